#include "autotune/ui/frmOmakase.h"

#include "autotune/PitchPreview.h"
#include "autotune/TuningFrame.h"
#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace tova {

namespace {

// The modulation label: presses, moves and releases in twips go to the model; a release is also the
// click.
class ModulationLabel : public QLabel {
public:
    explicit ModulationLabel(frmOmakase* form) : QLabel(form), form_(form) {}

protected:
    void mousePressEvent(QMouseEvent* e) override {
        const int button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 2 : 4;
        const float y = float(e->position().y() * Twips::PerPixel);
        form_->handle([&] { form_->model().Label4_MouseDown(button, y); });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const float y = float(e->position().y() * Twips::PerPixel);
        form_->handle([&] { form_->model().Label4_MouseMove(y); });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const float y = float(e->position().y() * Twips::PerPixel);
        form_->handle([&] {
            form_->model().Label4_MouseUp(y);
            if (rect().contains(e->position().toPoint())) form_->model().Label4_Click();
        });
    }

private:
    frmOmakase* form_;
};

}  // namespace

frmOmakase::frmOmakase(QWidget* owner) : ModelDialogOf(QStringLiteral("frmOmakase"), QStringLiteral("おま☆かせ"), owner) {
    setFixedSize(Twips::size(9720, 5520));
    // An option array in a frame: buttons left to right (wrapping after `perRow`), index property set.
    const auto options = [&](QWidget* parent, const char* name, QStringList captions, int first, int left, int top,
                             int width, int perRow, const std::function<void(int)>& chosen) {
        QList<QRadioButton*> made;
        for (int k = 0; k < captions.size(); ++k) {
            auto* b = placed<QRadioButton>(parent, name,
                                           Twips::rect(left + (k % perRow) * width, top + (k / perRow) * 300, width - 30, 270),
                                           captions.at(k));
            b->setProperty("index", first + k);
            connect(b, &QRadioButton::clicked, this, [this, chosen, idx = first + k] { handle([&] { chosen(idx); }); });
            made << b;
        }
        return made;
    };
    const auto frame = [&](const char* name, const QString& caption, QRect where) {
        auto* g = placed<QGroupBox>(this, name, where, caption);
        return g;
    };
    const auto check = [&](QWidget* parent, const char* name, QRect where, const QString& caption, bool OmakaseDialog::*field) {
        auto* c = placed<QCheckBox>(parent, name, where, caption);
        connect(c, &QCheckBox::clicked, this, [this, field](bool on) { handle([&] { model().*field = on; }); });
        return c;
    };

    // combining
    chkAutoCombine = check(this, "chkAutoCombine", Twips::rect(120, 120, 4620, 285),
                           QStringLiteral("「あいうえお」をまえの音につなげるよ！"), &OmakaseDialog::chkAutoCombine);
    const QStringList vowels{QStringLiteral("あ"), QStringLiteral("い"), QStringLiteral("う"), QStringLiteral("え"),
                             QStringLiteral("お"), QStringLiteral("ん")};
    for (int k = 0; k < 6; ++k) {
        auto* c = placed<QCheckBox>(this, "chkCN", Twips::rect(240 + k * 540, 480, 510, 285), vowels.at(k));
        c->setProperty("index", k);
        connect(c, &QCheckBox::clicked, this, [this, k](bool on) { handle([&] { model().chkCN[k] = on; }); });
        chkCN << c;
    }
    placed<QLabel>(this, "Label3", Twips::rect(3540, 510, 600, 255), QStringLiteral("その他"));
    txtCN = placed<QLineEdit>(this, "txtCN", Twips::rect(4140, 480, 600, 285));
    connect(txtCN, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtCN = t; }); });
    auto* comb = frame("Frame1", QStringLiteral("つなげかた"), Twips::rect(120, 840, 4620, 600));
    optComb = options(comb, "optComb", {QStringLiteral("しっかり"), QStringLiteral("中くらい"), QStringLiteral("すこし")}, 0, 120,
                      270, 1500, 3, [this](int i) { model().optComb = i; });

    // pitch
    placed<QLabel>(this, "Label1", Twips::rect(120, 1560, 4620, 255), QStringLiteral("おとのたかさをなめらかにつなぐよ！"));
    chkUpper = check(this, "chkUpper", Twips::rect(120, 1860, 2200, 285), QStringLiteral("音程が上がるとき"), &OmakaseDialog::chkUpper);
    chkDown = check(this, "chkDown", Twips::rect(2520, 1860, 2200, 285), QStringLiteral("音程が下がるとき"), &OmakaseDialog::chkDown);
    pictUp = placed<QLabel>(this, "pictUp", Twips::rect(120, 2220, 1200, 960));
    pictDn = placed<QLabel>(this, "pictDn", Twips::rect(2520, 2220, 1200, 960));
    for (QLabel* p : {pictUp, pictDn}) p->setFrameShape(QFrame::Box);
    const QStringList timings{QStringLiteral("早い"), QStringLiteral("真ん中"), QStringLiteral("遅い")};
    auto* upTiming = frame("Frame2", QStringLiteral("タイミング"), Twips::rect(1380, 2160, 1080, 1080));
    auto* downTiming = frame("Frame3", QStringLiteral("タイミング"), Twips::rect(3780, 2160, 1080, 1080));
    optPORT = options(upTiming, "optPORT", timings, 0, 90, 240, 960, 1, [this](int i) { model().optPORTUp = i; });
    optPORT += options(downTiming, "optPORT", timings, 3, 90, 240, 960, 1, [this](int i) { model().optPORTDown = i; });
    const auto shape = [&](const char* line, const char* sine, int left, bool OmakaseDialog::*field) {
        auto* l = placed<QRadioButton>(this, line, Twips::rect(left, 3270, 1020, 270), QStringLiteral("まっすぐ"));
        auto* s = placed<QRadioButton>(this, sine, Twips::rect(left + 1080, 3270, 1020, 270), QStringLiteral("カーブ"));
        auto* group = new QButtonGroup(this);
        group->addButton(l);
        group->addButton(s);
        connect(l, &QRadioButton::clicked, this, [this, field] { handle([&] { model().*field = false; }); });
        connect(s, &QRadioButton::clicked, this, [this, field] { handle([&] { model().*field = true; }); });
        return std::make_pair(l, s);
    };
    std::tie(optPULine, optPUSine) = shape("optPULine", "optPUSine", 120, &OmakaseDialog::optPUSine);
    std::tie(optPDLine, optPDSine) = shape("optPDLine", "optPDSine", 2520, &OmakaseDialog::optPDSine);
    auto* porv = frame("Frame4", QStringLiteral("かわりかた"), Twips::rect(120, 3600, 4620, 660));
    placed<QLabel>(porv, "Label5", Twips::rect(120, 300, 1200, 255), QStringLiteral("上り下り共通"));
    optPORV = options(porv, "optPORV", {QStringLiteral("ゆっくり"), QStringLiteral("中くらい"), QStringLiteral("はやい")}, 0, 1320,
                      270, 1080, 3, [this](int i) { model().optPORV = i; });

    // vibrato
    chkVibrato = check(this, "chkVibrato", Twips::rect(4980, 120, 4560, 285), QStringLiteral("声をふるわせるよ！"), &OmakaseDialog::chkVibrato);
    auto* depth = frame("Frame5", QStringLiteral("ふかさ"), Twips::rect(4980, 420, 4620, 600));
    optBDepth = options(depth, "optBDepth", {QStringLiteral("わずか"), QStringLiteral("あさく"), QStringLiteral("ふつう"), QStringLiteral("ふかく")},
                        0, 120, 270, 1110, 4, [this](int i) { model().optBDepth = i; });
    auto* speed = frame("Frame6", QStringLiteral("はやさ"), Twips::rect(4980, 1080, 4620, 900));
    optBVel = options(speed, "optBVel", {QStringLiteral("はやい"), QStringLiteral("ふつう"), QStringLiteral("おそい"), QStringLiteral("すごくおそい")},
                      0, 120, 270, 1440, 3, [this](int i) { model().optBVel = i; });
    auto* length = frame("Frame7", QStringLiteral("ながさ"), Twips::rect(4980, 2040, 4620, 900));
    optBLeng = options(length, "optBLeng",
                       {QStringLiteral("すこし"), QStringLiteral("はんぶん"), QStringLiteral("おおめ"), QStringLiteral("もっとおおめ"),
                        QStringLiteral("ほとんど")},
                       0, 120, 270, 1440, 3, [this](int i) { model().optBLeng = i; });

    // modulation
    Label4 = new ModulationLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(Twips::rect(4980, 3030, 2400, 285));
    Label4->setCursor(Qt::SizeVerCursor);

    // named settings
    auto* named = frame("Frame8", QStringLiteral("設定を保存"), Twips::rect(4980, 3360, 4620, 1500));
    txtName = placed<QLineEdit>(named, "txtName", Twips::rect(120, 300, 3300, 285));
    connect(txtName, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtName = t; }); });
    cmdAdd = placed<QPushButton>(named, "cmdAdd", Twips::rect(3480, 300, 480, 285), QStringLiteral("+"));
    cmdDel = placed<QPushButton>(named, "cmdDel", Twips::rect(4020, 300, 480, 285), QStringLiteral("-"));
    lstSettings = placed<QListWidget>(named, "lstSettings", Twips::rect(120, 660, 4380, 720));
    connect(lstSettings, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row != model().lstIndex && row >= 0) handle([&] { model().lstSettings_Click(row); });
    });

    // buttons
    cmdModosu = placed<QPushButton>(this, "cmdModosu", Twips::rect(120, 4980, 1800, 375), QStringLiteral("最初にもどす"));
    cmdOKSelection = placed<QPushButton>(this, "cmdOKSelection", Twips::rect(4980, 4980, 1560, 375), QStringLiteral("選択部分だけ"));
    cmdOKSelection->setDefault(true);
    cmdOKAll = placed<QPushButton>(this, "cmdOKAll", Twips::rect(6600, 4980, 1380, 375), QStringLiteral("全部"));
    cmdCancel = placed<QPushButton>(this, "cmdCancel", Twips::rect(8040, 4980, 1560, 375), QStringLiteral("ｷｬﾝｾﾙ"));
    for (QPushButton* b : {cmdAdd, cmdDel, cmdModosu, cmdOKAll, cmdCancel}) b->setAutoDefault(false);
    connect(cmdAdd, &QPushButton::clicked, this, [this] {
        handle([&] { model().cmdAdd_Click(); });
        if (model().txtName.isEmpty()) txtName->setFocus();  // the name is asked for
    });
    connect(cmdDel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdDel_Click(); }); });
    connect(cmdModosu, &QPushButton::clicked, this, [this] { handle([&] { model().cmdModosu_Click(); }); });
    connect(cmdOKSelection, &QPushButton::clicked, this, [this] { handle([&] { model().cmdOKSelection_Click(); }); });
    connect(cmdOKAll, &QPushButton::clicked, this, [this] { handle([&] { model().cmdOKAll_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdCancel_Click(); }); });

    handle([&] { model().Form_Load(); });
    finishLoad();
}

frmOmakase::~frmOmakase() {
    EventGuard::runHandler([this] {
        if (!model().Form_Unload())
            throw FileError(QStringLiteral("omakase.ini を保存できません。") + u'\n' + model().Settings.lastError());
    });
}

void frmOmakase::drawPreview(QLabel* box, bool rising) {
    const double w = box->width() * Twips::PerPixel, hgt = box->height() * Twips::PerPixel;
    QPixmap picture(box->size());
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const bool ticked = rising ? model().chkUpper : model().chkDown;
    for (const PreviewLine& l : PitchPreviewLines(rising, ticked, model().bendSettings(), w, hgt)) {
        p.setPen(QColor::fromRgb(QRgb(l.colour)));
        p.drawLine(l.from / Twips::PerPixel, l.to / Twips::PerPixel);
    }
    p.end();
    box->setPixmap(picture);
}

void frmOmakase::refreshFromModel() {
    const OmakaseDialog& m = model();
    chkAutoCombine->setChecked(m.chkAutoCombine);
    for (int k = 0; k < 6; ++k) chkCN[k]->setChecked(m.chkCN[k]);
    if (txtCN->text() != m.txtCN) txtCN->setText(m.txtCN);
    const auto select = [](const QList<QRadioButton*>& group, int index, int first = 0) {
        for (int k = 0; k < group.size(); ++k)
            if (k + first == index) group[k]->setChecked(true);
    };
    select(optComb, m.optComb);
    chkUpper->setChecked(m.chkUpper);
    chkDown->setChecked(m.chkDown);
    select(optPORT.mid(0, 3), m.optPORTUp);
    select(optPORT.mid(3), m.optPORTDown, 3);
    select(optPORV, m.optPORV);
    (m.optPUSine ? optPUSine : optPULine)->setChecked(true);
    (m.optPDSine ? optPDSine : optPDLine)->setChecked(true);
    chkVibrato->setChecked(m.chkVibrato);
    select(optBDepth, m.optBDepth);
    select(optBVel, m.optBVel);
    select(optBLeng, m.optBLeng);
    Label4->setText(m.Label4);
    if (txtName->text() != m.txtName) txtName->setText(m.txtName);
    {
        const QSignalBlocker block(lstSettings);
        QStringList shown;
        for (int k = 0; k < lstSettings->count(); ++k) shown << lstSettings->item(k)->text();
        if (shown != m.lstSettings) {
            lstSettings->clear();
            lstSettings->addItems(m.lstSettings);
        }
        lstSettings->setCurrentRow(m.lstIndex);
    }
    DrawUpPitchPreview();
    DrawDownPitchPreview();
}

void frmOmakase::DrawUpPitchPreview() { drawPreview(pictUp, true); }

void frmOmakase::DrawDownPitchPreview() { drawPreview(pictDn, false); }

qint16 frmOmakase::ShowOmakaseDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                     const NoteTimingSource& timing, QWidget* owner,
                                     const std::function<double()>& random) {
    frmOmakase form(owner);
    form.showModal();
    const OmakaseDialog& m = form.model();
    if (m.ApplyMode < 1) return 0;
    RunRestoringOnFailure(notes, [&] { m.RunPasses(tempo, first, last, notes, timing, random); });
    return m.ApplyMode;
}

}  // namespace tova
