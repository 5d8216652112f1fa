#include "autotune/ui/frmAutoBibrato.h"

#include "autotune/TuningFrame.h"
#include "autotune/ui/PresetCombo.h"
#include "autotune/ui/TitledHandler.h"
#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"
#include "platform/Errors.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tova {

frmAutoBibrato::frmAutoBibrato(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmAutoBibrato"), QStringLiteral("ピッチを波打たせる"), owner) {
    setFixedSize(Twips::size(4200, 3900));
    Combo1 = new PresetCombo(this, model().Combo1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(Twips::rect(120, 120, 1800, 315));
    cmdSave = placed<QPushButton>(this, "cmdSave", Twips::rect(2010, 120, 675, 315), QStringLiteral("保存"));
    cmdLoad = placed<QPushButton>(this, "cmdLoad", Twips::rect(2745, 120, 675, 315), QStringLiteral("読込"));
    cmdDel = placed<QPushButton>(this, "cmdDel", Twips::rect(3480, 120, 600, 315), QStringLiteral("削除"));
    // One row per value: label, box, unit.
    const struct {
        const char* box;
        const char* before;
        const char* after;
        QLineEdit** field;
    } rows[] = {
        {"txtStart", "割合", "%", &txtStart},
        {"txtDepth", "深さ", "cent", &txtDepth},
        {"txtLimit", "長さ", "以上", &txtLimit},
        {"txtLength", "周期", "msec", &txtLength},
    };
    int top = 600;
    int label = 1;
    for (const auto& r : rows) {
        placed<QLabel>(this, QStringLiteral("Label%1").arg(label++).toLatin1().constData(), Twips::rect(240, top + 30, 1200, 255),
                       QString::fromUtf8(r.before));
        *r.field = placed<QLineEdit>(this, r.box, Twips::rect(1440, top, 1095, 315));
        (*r.field)->setAlignment(Qt::AlignRight);
        placed<QLabel>(this, QStringLiteral("Label%1").arg(label++).toLatin1().constData(), Twips::rect(2640, top + 30, 900, 255),
                       QString::fromUtf8(r.after));
        top += 420;
    }
    placed<QLabel>(this, "Label9", Twips::rect(240, top + 60, 1200, 255), QStringLiteral("上下の比率"));
    placed<QLabel>(this, "Label10", Twips::rect(1320, top + 60, 150, 255), QStringLiteral("-"));
    Slider1 = placed<QSlider>(this, "Slider1", Twips::rect(1440, top, 2160, 420), Qt::Horizontal);
    Slider1->setRange(AutoVibratoDialog::SliderMin, AutoVibratoDialog::SliderMax);
    Slider1->setTickPosition(QSlider::TicksBelow);
    placed<QLabel>(this, "Label11", Twips::rect(3660, top + 60, 150, 255), QStringLiteral("+"));
    chkRideFlag = placed<QCheckBox>(this, "chkRideFlag", Twips::rect(240, top + 540, 3000, 285), QStringLiteral("既存の曲線に上乗せする"));
    cmdSet = placed<QPushButton>(this, "cmdSet", Twips::rect(2880, top + 960, 1185, 375), QStringLiteral("実行"));
    cmdSet->setDefault(true);
    btnCancel = placed<QPushButton>(this, "btnCancel", Twips::rect(-1200, 0, 735, 315), QStringLiteral("c"));
    btnCancel->setAutoDefault(false);
    for (QPushButton* b : {cmdSave, cmdLoad, cmdDel}) b->setAutoDefault(false);

    Combo1->connectTo([this](const std::function<void()>& f) { handle(f); });
    const auto bind = [this](QLineEdit* box, QString AutoVibratoDialog::*field) {
        connect(box, &QLineEdit::textEdited, this, [this, field](const QString& t) { handle([&] { model().*field = t; }); });
    };
    bind(txtStart, &AutoVibratoDialog::txtStart);
    bind(txtDepth, &AutoVibratoDialog::txtDepth);
    bind(txtLimit, &AutoVibratoDialog::txtLimit);
    bind(txtLength, &AutoVibratoDialog::txtLength);
    connect(Slider1, &QSlider::valueChanged, this, [this](int v) { handle([&] { model().Slider1 = v; }); });
    connect(chkRideFlag, &QCheckBox::clicked, this, [this](bool on) { handle([&] { model().chkRideFlag = on; }); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { handle([&] { model().cmdSave_Click(); }); });
    connect(cmdLoad, &QPushButton::clicked, this, [this] { handle([&] { model().cmdLoad_Click(); }); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdDel_Click(); }); });
    connect(cmdSet, &QPushButton::clicked, this, [this] { handle([&] { model().cmdSet_Click(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { handle([&] { model().btnCancel_Click(); }); });

    handle([&] { RunTitledHandler(QStringLiteral("オートビブラート"), [&] { model().Form_Load(); }); });
    finishLoad();
}

frmAutoBibrato::~frmAutoBibrato() {
    RunTitledHandler(QStringLiteral("オートビブラート"), [this] {
        if (!model().Form_Unload())
            throw FileError(QStringLiteral("autobibrato.ini を保存できません。") + u'\n' + model().Settings.lastError());
    });
}

void frmAutoBibrato::refreshFromModel() {
    const auto show = [](QLineEdit* box, const QString& t) {
        if (box->text() != t) box->setText(t);
    };
    show(txtStart, model().txtStart);
    show(txtDepth, model().txtDepth);
    show(txtLimit, model().txtLimit);
    show(txtLength, model().txtLength);
    {
        const QSignalBlocker block(Slider1);
        Slider1->setValue(model().Slider1);
    }
    chkRideFlag->setChecked(model().chkRideFlag);
    Combo1->refresh();
}

bool frmAutoBibrato::ShowAutoVibratoDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                           const NoteTimingSource& timing, QWidget* owner) {
    frmAutoBibrato form(owner);
    if (!form.showModal()) return false;
    const VibratoSettings s = form.model().vibratoSettings();
    const float start = tempo;
    RunRestoringOnFailure(notes, [&] {
        RunTwoTempoLoop(start, first, last, notes, [&](float prev, float cur, qint32 i) {
            ApplyAutoVibrato(prev, cur, i, notes, timing, s);
        });
    });
    return true;
}

}  // namespace tova
