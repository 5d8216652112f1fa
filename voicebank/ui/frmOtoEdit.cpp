#include "voicebank/ui/frmOtoEdit.h"

#include <QScreen>
#include <algorithm>

#include "core/ui/Twips.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"
#include "voicebank/VoiceBankManager.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>

namespace tova {
namespace {

constexpr double kPx = Twips::PerPixel;
constexpr int kBarTwips = 900;  // the control bar under the drawing area

QColor vbColour(std::uint32_t c) { return QColor(int(c & 255), int((c >> 8) & 255), int((c >> 16) & 255)); }

}  // namespace

frmOtoEdit::frmOtoEdit(QWidget* owner) : ModelDialogOf(QStringLiteral("frmOtoEdit"), QString(), owner) {
    resize(Twips::size(12000, 6000));
    setSizeGripEnabled(true);
    canvas = new QWidget(this);
    canvas->setObjectName(QStringLiteral("canvas"));
    canvas->installEventFilter(this);
    canvas->setAttribute(Qt::WA_OpaquePaintEvent);

    const QColor handleColours[5] = {QColor(96, 96, 255), QColor(255, 96, 255), QColor(96, 96, 255), QColor(255, 0, 0),
                                     QColor(0, 200, 0)};
    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(canvas);
        l->setObjectName(QStringLiteral("Label1"));
        l->setProperty("index", i);
        l->setToolTip(TimingEditor::kHandleTexts[size_t(i)]);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        QColor c = handleColours[i];
        c.setAlpha(90);
        p.setColor(QPalette::Window, c);
        l->setPalette(p);
        l->setCursor(Qt::SizeHorCursor);
        l->installEventFilter(this);
        Label1[size_t(i)] = l;
    }
    Label5 = new QLabel(QStringLiteral("←ブランク"), canvas);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setStyleSheet(QStringLiteral("background: #ffffe0; border: 1px solid gray;"));
    Label5->hide();
    Line1 = new QFrame(canvas);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::VLine);
    Line1->hide();

    auto button = [this](const char* name, const QString& caption, const std::function<void()>& run) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, run] { handle(run); });
        return b;
    };
    cmdZoomIn = button("cmdZoomIn", QStringLiteral("+"), [this] { logic().cmdZoomIn(); });
    cmdZoomOut = button("cmdZoomOut", QStringLiteral("-"), [this] { logic().cmdZoomOut(); });
    cmdUp = button("cmdUp", QStringLiteral("↑"), [this] { logic().cmdUp(); });
    cmdDn = button("cmdDn", QStringLiteral("↓"), [this] { logic().cmdDn(); });
    cmdOK = button("cmdOK", QStringLiteral("OK"), [this] { logic().cmdOK(); });
    cmdCancel = button("cmdCancel", QStringLiteral("ｷｬﾝｾﾙ"), [this] { logic().cmdCancel(); });

    Label2 = new QLabel(QStringLiteral("P"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setToolTip(QStringLiteral("ダブルクリックで再生"));
    Label2->installEventFilter(this);
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setSingleStep(1);
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) {
        if (!syncing_) handle([this, v] { logic().HScroll1_Change(v); });
    });

    chkSpectrum = new QCheckBox(QStringLiteral("s"), this);
    chkSpectrum->setObjectName(QStringLiteral("chkSpectrum"));
    chkSpectrum->installEventFilter(this);
    connect(chkSpectrum, &QCheckBox::clicked, this, [this](bool on) { handle([this, on] { logic().spectrumShown = on; }); });
    chkNoCache = new QCheckBox(this);
    chkNoCache->setObjectName(QStringLiteral("chkNoCache"));
    connect(chkNoCache, &QCheckBox::clicked, this, [this](bool on) { handle([this, on] { logic().chkNoCache_Click(on); }); });
    Label6 = new QLabel(QStringLiteral("キャッシュしない"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label4 = new QLabel(QStringLiteral("*"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->installEventFilter(this);
    sldLevel = new QSlider(Qt::Vertical, this);
    sldLevel->setObjectName(QStringLiteral("sldLevel"));
    sldLevel->setRange(-3, 3);
    sldLevel->hide();
    connect(sldLevel, &QSlider::valueChanged, this, [this](int v) {
        if (!syncing_) handle([this, v] { logic().SetLevel(v); });
    });

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    ProgressBar1 = new QProgressBar(Picture1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    Label3 = new QLabel(QStringLiteral("スペクトラム表作成中..."), Picture1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Picture1->setGeometry(Twips::rect(120, -975, 6000, 855));
    Label3->setGeometry(Twips::rect(120, 120, 2400, 255));
    ProgressBar1->setGeometry(Twips::rect(120, 450, 5760, 255));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->hide();

    mnSpectrum = new QMenu(QStringLiteral("setting"), this);
    mnSpectrum->setObjectName(QStringLiteral("mnSpectrum"));
    QMenu* cols = mnSpectrum->addMenu(QStringLiteral("カラー"));
    cols->menuAction()->setObjectName(QStringLiteral("mnCols"));
    for (int i = 0; i < 6; ++i) {
        QAction* a = cols->addAction(TimingEditor::kColourNames[size_t(i)]);
        a->setObjectName(QStringLiteral("mnCol"));
        a->setProperty("index", i);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { handle([this, i] { logic().SetScheme(i); }); });
        mnCol[size_t(i)] = a;
    }
    mnSpectrum->addSeparator()->setObjectName(QStringLiteral("sepa1"));
    QMenu* ranges = mnSpectrum->addMenu(QStringLiteral("レンジ"));
    ranges->menuAction()->setObjectName(QStringLiteral("mnRanges"));
    const QString rangeNames[3] = {QStringLiteral("5KHz"), QStringLiteral("7KHz"), QStringLiteral("10KHz")};
    for (int i = 0; i < 3; ++i) {
        QAction* a = ranges->addAction(rangeNames[i]);
        a->setObjectName(QStringLiteral("mnRange"));
        a->setProperty("index", i);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { handle([this, i] { logic().SetRange(i); }); });
        mnRange[size_t(i)] = a;
    }
    mnSpectrum->addSeparator()->setObjectName(QStringLiteral("sepa0"));
    mnNocache = mnSpectrum->addAction(QStringLiteral("キャッシュしない"));
    mnNocache->setObjectName(QStringLiteral("mnNocache"));
    mnNocache->setCheckable(true);
    connect(mnNocache, &QAction::triggered, this, [this] { handle([this] { logic().mnNocache_Click(); }); });

    // The cache build shows its progress panel and keeps the window's events running.
    logic().buildShown = [this](bool started) {
        Picture1->move(Picture1->x(), started ? 0 : -975 / Twips::PerPixel);
        Picture1->raise();
        for (QPushButton* b : findChildren<QPushButton*>()) b->setEnabled(!started);
        QApplication::processEvents();
    };
    logic().buildProgress = [this](std::int64_t pos, std::int64_t last) {
        ProgressBar1->setRange(0, int(std::min<std::int64_t>(last, INT_MAX)));
        ProgressBar1->setValue(int(std::min<std::int64_t>(pos, INT_MAX)));
        QApplication::processEvents();
        return false;
    };
    finishLoad();
}

frmOtoEdit::~frmOtoEdit() = default;

int frmOtoEdit::EditEntry(VoiceBankManager& manager, Tool2Calls& tool, QWidget* owner) {
    frmOtoEdit form(owner);
    TimingEditor& e = form.logic();
    e.tool = &tool;
    e.managerVisible = owner && owner->isVisible();
    if (!e.Begin(manager, manager.VoiceFolder, manager.CacheFolder)) return e.result;
    EventGuard::runHandler([&] { e.Form_Load(); });
    form.cmdCancel->setVisible(!e.managerVisible);
    form.cmdOK->setText(e.managerVisible ? QStringLiteral("閉じる") : QStringLiteral("OK"));
    form.refreshFromModel();
    // The manager may still be hidden (a quick open): stand over the nearest shown window above it,
    // centred on it and kept on its screen.
    QWidget* over = owner ? owner->window() : nullptr;
    while (over && !over->isVisible()) over = over->parentWidget() ? over->parentWidget()->window() : nullptr;
    if (over) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(over->frameGeometry().center());
        if (QScreen* screen = over->screen()) {
            const QRect area = screen->availableGeometry();
            frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
            frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
        }
        form.move(frame.topLeft());
    }
    form.showModal();
    EventGuard::runHandler([&] { e.Form_Unload(); });
    return e.result;
}

void frmOtoEdit::layoutControls() {
    const int w = width(), h = height();
    const int bar = kBarTwips / Twips::PerPixel;
    canvas->setGeometry(0, 0, w, h - bar);
    const int y = h - bar + 4;
    HScroll1->setGeometry(0, y, w, 16);
    int x = 4;
    const int by = y + 22;
    for (QWidget* b : std::initializer_list<QWidget*>{cmdZoomIn, cmdZoomOut, cmdUp, cmdDn}) {
        b->setGeometry(x, by, 28, 24);
        x += 32;
    }
    Label2->setGeometry(x + 8, by + 4, 16, 16);
    chkSpectrum->setGeometry(x + 32, by + 2, 36, 20);
    Label4->setGeometry(x + 72, by + 4, 12, 16);
    chkNoCache->setGeometry(x + 92, by + 2, 20, 20);
    Label6->setGeometry(x + 112, by + 4, std::max(110, Label6->sizeHint().width()), 16);
    sldLevel->setGeometry(x + 72, std::max(0, by - 110), 20, 100);
    cmdCancel->setGeometry(w - 84, by, 80, 24);
    cmdOK->setGeometry(w - 168, by, 80, 24);
    Picture1->move(8, Picture1->y());
    TimingEditor& e = logic();
    e.width = canvas->width() * kPx;
    e.height = canvas->height() * kPx;
    for (int i = 0; i < 5; ++i) {
        const double H = canvas->height();
        const double top = i < 3 ? 0 : i == 3 ? 0.25 * H : 0.2 * H;
        const double hh = i < 3 ? H : i == 3 ? 0.5 * H : 0.6 * H;
        Label1[size_t(i)]->setGeometry(Label1[size_t(i)]->x(), int(top), 120 / Twips::PerPixel, int(hh));
    }
}

void frmOtoEdit::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutControls();
    EventGuard::runHandler([this] { logic().ScrollRange(); });
    refreshFromModel();
}

void frmOtoEdit::keyPressEvent(QKeyEvent* event) {
    // Escape is the "ｷｬﾝｾﾙ" button where the window shows one (opened without the manager on screen):
    // the edit is left as cancelled, and nothing opens after it. Without that button Escape closes the
    // window like its close box.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && cmdCancel->isVisibleTo(this)) {
        cmdCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmOtoEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    logic().visible = true;
    refreshFromModel();
}

void frmOtoEdit::hideEvent(QHideEvent* event) {
    logic().visible = false;
    QDialog::hideEvent(event);
}

void frmOtoEdit::placeHandles() {
    for (int i = 0; i < 5; ++i) {
        const double left = logic().handleLeft(TimingEditor::Marker(i));
        Label1[size_t(i)]->move(int(std::lround(left / kPx)), Label1[size_t(i)]->y());
    }
}

void frmOtoEdit::repaintPicture() {
    TimingDisplay ops;
    if (!EventGuard::runHandler([&] { ops = logic().Redraw(); })) return;
    if (logic().building) return;
    if (picture_.size() != canvas->size()) picture_ = QImage(canvas->size(), QImage::Format_RGB32);
    picture_.fill(Qt::white);
    QPainter p(&picture_);
    for (const TimingDrawOp& op : ops) {
        const QColor c = vbColour(op.colour);
        switch (op.kind) {
            case TimingDrawOp::Box: {
                const QRectF r(op.rect.left() / kPx, op.rect.top() / kPx, op.rect.width() / kPx, op.rect.height() / kPx);
                p.fillRect(r, c);
                break;
            }
            case TimingDrawOp::Line:
                p.setPen(QPen(c, 0));
                p.drawLine(op.from / kPx, op.to / kPx);
                break;
            case TimingDrawOp::Polyline: {
                QVector<QPointF> pts;
                pts.reserve(op.points.size());
                for (const QPointF& q : op.points) pts << q / kPx;
                p.setPen(QPen(c, 0));
                p.drawPolyline(pts.constData(), int(pts.size()));
                break;
            }
            case TimingDrawOp::Text:
                p.setPen(Qt::black);
                p.drawText(QRectF(op.from / kPx, QSizeF(60, 16)), Qt::AlignLeft | Qt::AlignTop, op.text);
                break;
        }
    }
    p.end();
    canvas->update();
}

void frmOtoEdit::refreshFromModel() {
    TimingEditor& e = logic();
    syncing_ = true;
    setWindowTitle(e.captionText);
    HScroll1->setRange(0, e.scrollMax);
    HScroll1->setPageStep(e.scrollLargeChange);
    HScroll1->setValue(e.scrollValue);
    chkSpectrum->setChecked(e.spectrumShown);
    Label4->setVisible(e.spectrumShown);
    if (!e.spectrumShown) sldLevel->hide();
    chkNoCache->setChecked(e.noCache);
    mnNocache->setChecked(e.noCache);
    sldLevel->setValue(e.sldLevel);
    for (int i = 0; i < 6; ++i) mnCol[size_t(i)]->setChecked(i == e.colourScheme);
    const int rangeItem = e.range == 128 ? 0 : e.range == 256 ? 2 : 1;
    for (int i = 0; i < 3; ++i) mnRange[size_t(i)]->setChecked(i == rangeItem);
    syncing_ = false;
    if (!e.dragging) {
        repaintPicture();
        placeHandles();
    }
}

void frmOtoEdit::mousePressEvent(QMouseEvent* event) {
    sldLevel->hide();
    QDialog::mousePressEvent(event);
}

bool frmOtoEdit::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == canvas && type == QEvent::Paint) {
        QPainter p(canvas);
        p.drawImage(0, 0, picture_);
        return true;
    }
    if (watched == canvas && type == QEvent::MouseButtonPress && sldLevel) sldLevel->hide();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
    if (!mouse) return QDialog::eventFilter(watched, event);
    auto* m = static_cast<QMouseEvent*>(event);
    if (watched == Label2 && type == QEvent::MouseButtonDblClick) {
        handle([this] { logic().PlayRange(); });
        return true;
    }
    if (watched == Label4 && type == QEvent::MouseButtonPress) {
        sldLevel->setVisible(!sldLevel->isVisible());
        sldLevel->raise();
        return true;
    }
    if (watched == chkSpectrum && type == QEvent::MouseButtonRelease && m->button() == Qt::RightButton) {
        mnNocache->setChecked(logic().noCache);
        QString chosen;
        EventGuard::runHandler([&] { chosen = Ports::popupMenu().popup(mnSpectrum, m->globalPosition().toPoint()); });
        if (!chosen.isEmpty())
            for (QAction* a : mnSpectrum->findChildren<QAction*>())
                if (a->objectName() == chosen) {
                    a->trigger();
                    break;
                }
        return true;
    }
    for (int i = 0; i < 5; ++i) {
        if (watched != Label1[size_t(i)]) continue;
        const auto marker = TimingEditor::Marker(i);
        QLabel* handleLabel = Label1[size_t(i)];
        if (type == QEvent::MouseButtonPress && m->button() == Qt::LeftButton) {
            sldLevel->hide();
            dragLeft_ = handleLabel->x() * kPx;
            QString hint;
            handle([&] { hint = logic().dragDown(marker, dragLeft_, m->position().x() * kPx); });
            Line1->setGeometry(int((dragLeft_ + 60) / kPx), 0, 1, canvas->height());
            Line1->show();
            Label5->setText(hint);
            Label5->adjustSize();
            const QPoint at = handleLabel->pos() + m->position().toPoint() + QPoint(4, 4);
            Label5->move(marker == TimingEditor::Cutoff ? at - QPoint(Label5->width() + 8, 0) : at);
            Label5->show();
            Label5->raise();
            return true;
        }
        if (type == QEvent::MouseMove && logic().dragging) {
            double newLeft = handleLabel->x() * kPx;
            QString hint;
            handle([&] { hint = logic().dragMove(marker, handleLabel->x() * kPx, m->position().x() * kPx, newLeft); });
            handleLabel->move(int(std::lround(newLeft / kPx)), handleLabel->y());
            Line1->move(int((newLeft + 60) / kPx), 0);
            Label5->setText(hint);
            Label5->adjustSize();
            const QPoint at = handleLabel->pos() + m->position().toPoint() + QPoint(4, 4);
            Label5->move(marker == TimingEditor::Cutoff ? at - QPoint(Label5->width() + 8, 0) : at);
            return true;
        }
        if (type == QEvent::MouseButtonRelease && logic().dragging) {
            const int shift = m->modifiers() == Qt::ShiftModifier ? 1 : 0;
            const double left = handleLabel->x() * kPx;
            Line1->hide();
            Label5->hide();
            handle([&] { logic().dragUp(marker, left, shift); });
            logic().dragging = false;
            refreshFromModel();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tova
