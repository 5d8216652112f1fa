#include "autotune/ui/frmAutoCombine.h"

#include "autotune/TuningFrame.h"
#include "autotune/ui/PresetCombo.h"
#include "autotune/ui/TitledHandler.h"
#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"
#include "platform/Errors.h"

#include <algorithm>
#include <QCheckBox>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tova {

namespace {

constexpr int kWidth = 3420;

// A line control of the form between two points given in twips.
class LineShape : public QWidget {
public:
    LineShape(QWidget* parent, QPoint from, QPoint to) : QWidget(parent) {
        const QRect box = QRect(from, to).normalized();
        setGeometry(Twips::rect(box.left(), box.top(), box.width() + 15, box.height() + 15));
        from_ = (from - box.topLeft()) / Twips::PerPixel;
        to_ = (to - box.topLeft()) / Twips::PerPixel;
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawLine(from_, to_);
    }

private:
    QPoint from_, to_;
};

}  // namespace

frmAutoCombine::frmAutoCombine(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmAutoCombine"), QStringLiteral("自動母音結合"), owner) {
    setFixedSize(Twips::size(kWidth, AutoCombineDialog::ShortHeight - Twips::FrameHeight));
    const QFont mono(QStringLiteral("IPAexGothic"));
    chkEnabled = placed<QCheckBox>(this, "chkEnabled", Twips::rect(180, 240, 1140, 255), QStringLiteral("母音結合"));
    Combo1 = new PresetCombo(this, model().Combo1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(Twips::rect(1380, 120, 1215, 315));
    cmdSave = placed<QPushButton>(this, "cmdSave", Twips::rect(2700, 120, 315, 255), QStringLiteral("s"));
    cmdDel = placed<QPushButton>(this, "cmdDel", Twips::rect(3060, 120, 315, 255), QStringLiteral("d"));
    const auto label = [this, &mono](const char* name, QRect where, const QString& text) {
        auto* l = placed<QLabel>(this, name, where, text);
        l->setFont(mono);
        return l;
    };
    const auto box = [this, &mono](const char* name, QRect where) {
        auto* b = placed<QLineEdit>(this, name, where);
        b->setFont(mono);
        return b;
    };
    label("Label1", Twips::rect(180, 570, 480, 255), QStringLiteral("対象"));
    txtTargets = box("txtTargets", Twips::rect(660, 540, 2475, 270));
    label("Label2", Twips::rect(180, 930, 480, 255), QStringLiteral("幅"));
    txtWidth = box("txtWidth", Twips::rect(660, 900, 495, 270));
    label("Label5", Twips::rect(1200, 930, 720, 255), QStringLiteral("ミリ秒"));
    label("Label3", Twips::rect(180, 1290, 480, 255), QStringLiteral("開始"));
    txtStart = box("txtStart", Twips::rect(660, 1260, 495, 270));
    label("Label6", Twips::rect(1200, 1290, 720, 255), QStringLiteral("ミリ秒"));
    chkVolNext = placed<QCheckBox>(this, "chkVolNext", Twips::rect(240, 1680, 900, 255), QStringLiteral("音量"));
    txtPer = box("txtPer", Twips::rect(1200, 1620, 495, 270));
    label("Label20", Twips::rect(1740, 1650, 1620, 255), QStringLiteral("（手前の音符比）"));
    cmdOK = placed<QPushButton>(this, "cmdOK", Twips::rect(960, 2040, 1395, 315), QStringLiteral("OK"));
    cmdOK->setDefault(true);
    btnCancel = placed<QPushButton>(this, "btnCancel", Twips::rect(-735, 0, 615, 255), QStringLiteral("c"));
    btnCancel->setAutoDefault(false);
    cmdSave->setAutoDefault(false);
    cmdDel->setAutoDefault(false);
    chkEnv1 = placed<QCheckBox>(this, "chkEnv1", Twips::rect(180, 2520, 1500, 255), QStringLiteral("Env type 1"));
    label("Label11", Twips::rect(120, 2790, 480, 255), QStringLiteral("対象"));
    txtTarget2 = placed<QPlainTextEdit>(this, "txtTarget2", Twips::rect(600, 2760, 2475, 1050));
    txtTarget2->setFont(mono);
    txtTarget2->setWordWrapMode(QTextOption::WrapAnywhere);
    label("Label17", Twips::rect(120, 3930, 480, 255), QStringLiteral("開始"));
    txtE1st = box("txtE1st", Twips::rect(600, 3900, 495, 270));
    label("Label19", Twips::rect(1140, 3930, 300, 255), QStringLiteral("％"));
    label("Label10", Twips::rect(120, 4290, 480, 255), QStringLiteral("上"));
    txtE1top = box("txtE1top", Twips::rect(600, 4260, 495, 270));
    label("Label8", Twips::rect(1140, 4290, 300, 255), QStringLiteral("％"));
    label("Label9", Twips::rect(120, 4650, 480, 255), QStringLiteral("下"));
    txtE1mid = box("txtE1mid", Twips::rect(600, 4620, 495, 270));
    label("Label7", Twips::rect(1140, 4650, 300, 255), QStringLiteral("％"));
    chkEnvOther = placed<QCheckBox>(this, "chkEnvOther", Twips::rect(180, 5100, 1800, 255), QStringLiteral("Env type その他"));
    label("Label16", Twips::rect(120, 5430, 480, 255), QStringLiteral("上"));
    txtEOtop = box("txtEOtop", Twips::rect(600, 5400, 495, 270));
    label("Label14", Twips::rect(1140, 5430, 300, 255), QStringLiteral("％"));
    label("Label15", Twips::rect(120, 5790, 480, 255), QStringLiteral("中"));
    txtEOmid = box("txtEOmid", Twips::rect(600, 5760, 495, 270));
    label("Label13", Twips::rect(1140, 5790, 300, 255), QStringLiteral("％"));
    label("Label12", Twips::rect(120, 6150, 480, 255), QStringLiteral("下"));
    txtEObtm = box("txtEObtm", Twips::rect(600, 6120, 495, 270));
    label("Label18", Twips::rect(1140, 6150, 300, 255), QStringLiteral("％"));
    // Pictograms of the two envelope shapes beside their sections (Line1 .. Line12): a rise to the
    // upper volume, the fall to the lower one, the tail, and the base line.
    const int pictures[][4] = {
        {1740, 4860, 1860, 4260}, {1860, 4260, 2100, 3960}, {2100, 3960, 2580, 4380}, {2580, 4380, 2820, 4380},
        {2820, 4380, 2940, 4860}, {1740, 4860, 2940, 4860},
        {1740, 6480, 1860, 5400}, {1860, 5400, 2160, 5760}, {2160, 5760, 2580, 6120}, {2580, 6120, 2820, 6120},
        {2820, 6120, 2940, 6480}, {1740, 6480, 2940, 6480},
    };
    int n = 1;
    for (const auto& p : pictures) {
        auto* line = new LineShape(this, QPoint(p[0], p[1]), QPoint(p[2], p[3]));
        line->setObjectName(QStringLiteral("Line%1").arg(n++));
    }

    texts_ = {{txtTargets, &CombineSettings::Targets}, {txtWidth, &CombineSettings::Width}, {txtStart, &CombineSettings::Start},
              {txtPer, &CombineSettings::Per},         {txtE1st, &CombineSettings::E1st},    {txtE1top, &CombineSettings::E1top},
              {txtE1mid, &CombineSettings::E1mid},     {txtEOtop, &CombineSettings::EOtop}, {txtEOmid, &CombineSettings::EOmid},
              {txtEObtm, &CombineSettings::EObtm}};
    checks_ = {{chkEnabled, &CombineSettings::Enabled}, {chkVolNext, &CombineSettings::VolNext},
               {chkEnv1, &CombineSettings::Env1}, {chkEnvOther, &CombineSettings::EnvOther}};
    for (const auto& [w, field] : texts_)
        connect(w, &QLineEdit::textEdited, this, [this, f = field](const QString& t) { handle([&] { model().Values.*f = t; }); });
    for (const auto& [w, field] : checks_)
        if (w != chkVolNext)
            connect(w, &QCheckBox::clicked, this, [this, f = field](bool on) { handle([&] { model().Values.*f = on; }); });
    connect(chkVolNext, &QCheckBox::clicked, this, [this](bool on) { handle([&] { model().chkVolNext_Click(on); }); });
    connect(txtTarget2, &QPlainTextEdit::textChanged, this, [this] {
        if (txtTarget2->toPlainText() != model().Values.Target2) handle([&] { model().Values.Target2 = txtTarget2->toPlainText(); });
    });
    connect(txtPer, &QLineEdit::editingFinished, this, [this] { handle([&] { model().txtPer_LostFocus(); }); });
    connect(txtStart, &QLineEdit::editingFinished, this, [this] { handle([&] { model().txtStart_LostFocus(); }); });
    connect(txtWidth, &QLineEdit::editingFinished, this, [this] { handle([&] { model().txtWidth_LostFocus(); }); });
    Combo1->connectTo([this](const std::function<void()>& f) { handle(f); }, [this](int k) { model().Combo1_Click(k); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { handle([&] { model().cmdSave_Click(); }); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdDel_Click(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { handle([&] { model().cmdOK_Click(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { handle([&] { model().btnCancel_Click(); }); });

    handle([&] { RunTitledHandler(QStringLiteral("母音結合"), [&] { model().Form_Load(); }); });
    finishLoad();
}

frmAutoCombine::~frmAutoCombine() {
    RunTitledHandler(QStringLiteral("母音結合"), [this] {
        if (!model().Form_Unload())
            throw FileError(QStringLiteral("autocomb.ini を保存できません。") + u'\n' + model().Settings.lastError());
    });
}

void frmAutoCombine::mouseDoubleClickEvent(QMouseEvent*) { handle([&] { model().ToggleDetailHeight(); }); }

void frmAutoCombine::refreshFromModel() {
    for (const auto& [w, field] : texts_)
        if (w->text() != model().Values.*field) w->setText(model().Values.*field);
    for (const auto& [w, field] : checks_) w->setChecked(model().Values.*field);
    if (txtTarget2->toPlainText() != model().Values.Target2) txtTarget2->setPlainText(model().Values.Target2);
    txtPer->setEnabled(model().txtPerEnabled());
    // The design heights are those of the window with its frame: the short one hides the envelope rows.
    // The width keeps what the font needed (it only grows).
    setFixedSize(std::max(minimumWidth(), kWidth / Twips::PerPixel), (model().Height - Twips::FrameHeight) / Twips::PerPixel);
    Combo1->refresh();
}

bool frmAutoCombine::ShowAutoCombineDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                           const NoteTimingSource& timing, QWidget* owner) {
    frmAutoCombine form(owner);
    if (!form.showModal()) return false;
    CombineSettings& s = form.model().Values;
    RunRestoringOnFailure(notes, [&] {
        RunTwoTempoLoop(tempo, first, last, notes, [&](float prev, float cur, qint32 i) {
            ApplyAutoCombine(prev, cur, i, notes, timing, s);
        });
    });
    return true;
}

}  // namespace tova
