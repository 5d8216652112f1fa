#include "voicebank/ui/frmEditFreqList.h"

#include "core/NoteNames.h"
#include "core/ui/Twips.h"
#include "platform/EventGuard.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

namespace tova {
namespace {
constexpr double kPx = Twips::PerPixel;
constexpr int kHeight = 4695;
constexpr int kMinWidth = 4770;
}  // namespace

frmEditFreqList::frmEditFreqList(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmEditFreqList"), QStringLiteral("Frequency List Editor"), owner) {
    resize(Twips::size(12000, kHeight));
    setMinimumSize(Twips::size(kMinWidth, kHeight));
    setMaximumHeight(kHeight / Twips::PerPixel);
    auto label = [this](const char* name, const QString& caption, QRect r) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        l->setWordWrap(true);
        return l;
    };
    label("Label1", QStringLiteral("TOVAのエンジンで使用する周波数表を編集します。ツールはこの表を元にキーの変換を行います。"),
          Twips::rect(120, 60, 4440, 480));
    label("Label2", QStringLiteral("基本的にこの表は自動的に作成されますが、原音の特性によっては編集が必要になることがあります。"),
          Twips::rect(120, 540, 4440, 480));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(Twips::rect(120, 1080, 1920, 3000));
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (syncing_) return;
        selectionFromView();
        handle([this] { logic().List1_Click(); });
    });
    txtFrequency = new QLineEdit(this);
    txtFrequency->setObjectName(QStringLiteral("txtFrequency"));
    txtFrequency->setGeometry(Twips::rect(2160, 1080, 1440, 330));
    connect(txtFrequency, &QLineEdit::textEdited, this, [this](const QString& t) { logic().txtFrequency = t; });
    cmdSetValue = new QPushButton(QStringLiteral("←セット"), this);
    cmdSetValue->setObjectName(QStringLiteral("cmdSetValue"));
    cmdSetValue->setGeometry(Twips::rect(3660, 1080, 900, 330));
    connect(cmdSetValue, &QPushButton::clicked, this, [this] { handle([this] { logic().cmdSetValue_Click(); }); });

    struct Command {
        const char* name;
        const char* caption;
        const char* tip;
        QRect r;
    };
    const Command commands[] = {
        {"lbSetKey", "選択範囲の平均をキーに", "選択範囲の平均値をキーに設定します", Twips::rect(2160, 1500, 2400, 255)},
        {"lbre", "元に戻す", "全てを読み込み時の値に戻します", Twips::rect(2160, 1800, 1200, 255)},
        {"lbc", "-", "選択範囲の値を「なし」にします", Twips::rect(2160, 2100, 360, 255)},
        {"lbavg", "avg", "選択範囲の先頭と終わりを直線で結びます", Twips::rect(2580, 2100, 480, 255)},
        {"lbx3", "x3", "選択範囲の値を３倍にします", Twips::rect(3120, 2100, 360, 255)},
        {"lbx2", "x2", "選択範囲の値を二倍にします", Twips::rect(3540, 2100, 360, 255)},
        {"lbs3", "/3", "選択範囲の値を三分の一にします", Twips::rect(3960, 2100, 360, 255)},
        {"lbs2", "/2", "選択範囲の値を二分の一にします", Twips::rect(4380, 2100, 300, 255)},
    };
    for (const Command& c : commands) {
        QLabel* l = label(c.name, QString::fromUtf8(c.caption), c.r);
        l->setToolTip(QString::fromUtf8(c.tip));
        l->setStyleSheet(QStringLiteral("color: #0000c0; text-decoration: underline;"));
        l->installEventFilter(this);
    }
    lbHelp = label("lbHelp", QStringLiteral("？"), Twips::rect(4380, 1800, 300, 255));
    lbHelp->setToolTip(QStringLiteral("コマンドはダブルクリックで実行します"));
    lbHelp->installEventFilter(this);
    label("Label3", QStringLiteral("キー"), Twips::rect(2160, 2580, 480, 255));
    txtFreqAvg = new QLineEdit(this);
    txtFreqAvg->setObjectName(QStringLiteral("txtFreqAvg"));
    txtFreqAvg->setGeometry(Twips::rect(2640, 2520, 1560, 330));
    connect(txtFreqAvg, &QLineEdit::textEdited, this, [this](const QString& t) { handle([this, t] { logic().txtFreqAvg_Change(t); }); });
    label("Label4", QStringLiteral("Hz"), Twips::rect(4260, 2580, 360, 255));
    OKButton = new QPushButton(QStringLiteral("書き込む"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips::rect(2160, 3720, 1170, 375));
    OKButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, [this] { handle([this] { logic().OKButton_Click(); }); });
    CancelButton = new QPushButton(QStringLiteral("閉じる"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(3390, 3720, 1170, 375));
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, [this] { handle([this] { logic().CancelButton_Click(); }); });
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        logic().scrollValue = v;
        redrawGraph();
    });
    finishLoad();
}

bool frmEditFreqList::LoadFreqFile(const QString& samplePath, QWidget* owner) {
    frmEditFreqList form(owner);
    bool loaded = false;
    EventGuard::runHandler([&] { loaded = form.logic().Load(samplePath); });
    if (!loaded) return false;
    form.setWindowTitle(form.logic().fileName);
    form.refreshFromModel();
    form.showModal();
    return form.logic().result;
}

void frmEditFreqList::selectionFromView() {
    FreqTableEditor& e = logic();
    e.selected.fill(false);
    for (QListWidgetItem* item : List1->selectedItems()) e.selected[List1->row(item)] = true;
    e.listIndex = List1->currentRow();
}

void frmEditFreqList::refreshFromModel() {
    FreqTableEditor& e = logic();
    syncing_ = true;
    if (List1->count() != e.List1.size()) {
        List1->clear();
        List1->addItems(e.List1);
    } else {
        for (int i = 0; i < e.List1.size(); ++i)
            if (List1->item(i)->text() != e.List1[i]) List1->item(i)->setText(e.List1[i]);
    }
    for (int i = 0; i < e.List1.size() && i < e.selected.size(); ++i) List1->item(i)->setSelected(e.selected[i]);
    if (txtFrequency->text() != e.txtFrequency) txtFrequency->setText(e.txtFrequency);
    if (txtFreqAvg->text() != e.txtFreqAvg) {
        const int cursor = txtFreqAvg->cursorPosition();
        txtFreqAvg->setText(e.txtFreqAvg);
        txtFreqAvg->setCursorPosition(std::min(cursor, int(e.txtFreqAvg.size())));
    }
    HScroll1->setRange(0, e.scrollMax);
    HScroll1->setPageStep(e.scrollLargeChange);
    HScroll1->setValue(e.scrollValue);
    syncing_ = false;
    redrawGraph();
}

void frmEditFreqList::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int cw = width() * Twips::PerPixel;
    HScroll1->setGeometry(Twips::rect(4680, kHeight - 180 - 255, std::max(0, cw - 4680 - 120), 255));
    EventGuard::runHandler([&] { logic().Resize(cw); });
    refreshFromModel();
}

void frmEditFreqList::redrawGraph() {
    const FreqTableEditor& e = logic();
    const double cw = width() * kPx, ch = height() * kPx;
    picture_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    picture_.fill(Qt::transparent);
    if (cw > 4800) {
        QPainter p(&picture_);
        auto px = [](double t) { return t / kPx; };
        auto lineTw = [&](double x1, double y1, double x2, double y2, QColor c) {
            p.setPen(QPen(c, 0));
            p.drawLine(QPointF(px(x1), px(y1)), QPointF(px(x2), px(y2)));
        };
        p.fillRect(QRectF(QPointF(px(4680), px(120)), QPointF(px(cw - 120), px(ch - 180))), Qt::white);
        const int scroll = e.scrollValue;
        for (int i = 0; i <= 50; ++i) {
            const double x = i * 0.1 * FreqGraph::kTwipsPerSecond - scroll * 60;
            if (x >= 0) lineTw(4800 + x, 120, 4800 + x, 120 + 4005, Qt::cyan);
        }
        for (int i = 0; i <= 51; ++i) {
            const double y = 4005 - 75 * i;
            const bool octave = (i - 6) % 12 == 0;
            lineTw(4800, y, cw - 120, y, octave ? QColor(192, 192, 192) : QColor(224, 224, 224));
            if (octave) {
                p.setPen(QColor(128, 128, 128));
                p.drawText(QPointF(px(4680), px(3910 - 75 * i) + 10), NoteNumToName(i + 6));
            }
        }
        if (e.key > 0) {
            const double ky = FreqGraph::y(FreqToNoteValue(e.key) - 6);
            lineTw(4680, ky, cw - 120, ky, Qt::red);
        }
        double prevN = 0;
        for (int i = 0; i <= e.lastFrame(); ++i) {
            const int c = i - scroll;
            const double f = e.freq(i);
            const double n = f > 0 ? FreqToNoteValue(f) - 6 : 0;
            const bool sel = i < e.selected.size() && e.selected[i];
            const QColor colour = sel ? Qt::red : Qt::blue;
            if (c >= 0) {
                if (e.level(i) >= 300)
                    p.fillRect(QRectF(QPointF(px(4845 + 60 * c), px(4020 - e.level(i) / 20)), QPointF(px(4875 + 60 * c), px(4020))),
                               Qt::green);
                if (f != 55.0) {
                    p.setPen(QPen(colour, 0));
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(QRectF(QPointF(px(4845 + 60 * c), px(3990 - 75 * n)), QPointF(px(4875 + 60 * c), px(4020 - 75 * n))));
                }
                if (i >= 1 && f != 55.0 && e.freq(i - 1) != 55.0) {
                    const bool prevSel = i - 1 < e.selected.size() && e.selected[i - 1];
                    lineTw(4800 + 60 * c, 4005 - 75 * prevN, 4860 + 60 * c, 4005 - 75 * n, sel || prevSel ? Qt::red : Qt::blue);
                }
            }
            prevN = n;
        }
        const QColor face = palette().color(QPalette::Button);
        p.fillRect(QRectF(QPointF(px(4800), 0), QPointF(px(cw), px(120))), face);
        p.fillRect(QRectF(QPointF(px(cw - 120), px(120)), QPointF(px(cw), px(ch - 180))), face);
    }
    update();
}

void frmEditFreqList::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

bool frmEditFreqList::eventFilter(QObject* watched, QEvent* event) {
    auto* l = qobject_cast<QLabel*>(watched);
    if (l && l == lbHelp && event->type() == QEvent::MouseButtonPress) {
        handle([this] { logic().lbHelp_Click(); });
        return true;
    }
    if (l && event->type() == QEvent::MouseButtonDblClick) {
        static const QHash<QString, void (FreqTableEditor::*)()> runs{
            {QStringLiteral("lbSetKey"), &FreqTableEditor::lbSetKey_DblClick}, {QStringLiteral("lbre"), &FreqTableEditor::lbre_DblClick},
            {QStringLiteral("lbc"), &FreqTableEditor::lbc_DblClick},           {QStringLiteral("lbavg"), &FreqTableEditor::lbavg_DblClick},
            {QStringLiteral("lbx3"), &FreqTableEditor::lbx3_DblClick},         {QStringLiteral("lbx2"), &FreqTableEditor::lbx2_DblClick},
            {QStringLiteral("lbs3"), &FreqTableEditor::lbs3_DblClick},         {QStringLiteral("lbs2"), &FreqTableEditor::lbs2_DblClick}};
        const auto run = runs.value(l->objectName());
        if (run) {
            selectionFromView();
            handle([this, run] { (logic().*run)(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tova
