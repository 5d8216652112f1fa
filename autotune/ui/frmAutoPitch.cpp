#include "autotune/ui/frmAutoPitch.h"

#include "autotune/TuningFrame.h"
#include "autotune/ui/PresetCombo.h"
#include "autotune/ui/TitledHandler.h"
#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"
#include "platform/Errors.h"
#include "song/NoteArrays.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace tova {

frmAutoPitch::frmAutoPitch(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmAutoPitch"), QStringLiteral("オートピッチベンド"), owner) {
    setFixedSize(Twips::size(4680, 3660));
    Combo1 = new PresetCombo(this, model().Combo1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(Twips::rect(120, 120, 2160, 315));
    cmdSave = placed<QPushButton>(this, "cmdSave", Twips::rect(2400, 120, 675, 315), QStringLiteral("保存"));
    cmdLoad = placed<QPushButton>(this, "cmdLoad", Twips::rect(3135, 120, 675, 315), QStringLiteral("読込"));
    cmdDel = placed<QPushButton>(this, "cmdDel", Twips::rect(3870, 120, 675, 315), QStringLiteral("削除"));
    // Two columns: rising and falling, each a check and four boxes.
    const auto column = [this](int left, const char* check, const QString& caption, std::array<const char*, 4> names,
                               std::array<const char*, 4> labels) {
        auto* c = placed<QCheckBox>(this, check, Twips::rect(left, 600, 2100, 285), caption);
        QList<QLineEdit*> made;
        for (int k = 0; k < 4; ++k) {
            const int top = 960 + k * 420;
            auto* l = placed<QLabel>(this, labels[k], Twips::rect(left, top + 30, 1170, 255), QString());
            l->setText(k == 0 ? QStringLiteral("開始") : k == 1 ? QStringLiteral("幅") : k == 2 ? QStringLiteral("半音毎に拡張") : QString());
            auto* box = placed<QLineEdit>(this, names[k], Twips::rect(left + 1200, top, 735, 315));
            box->setAlignment(Qt::AlignRight);
            made << box;
        }
        return std::make_pair(c, made);
    };
    auto up = column(120, "chkUpper", QStringLiteral("上り"), {"txtUpperStart", "txtUpperWidth", "txtUpStartEx", "txtUpWidthEx"},
                     {"Label1", "Label2", "Label3", "Label4"});
    auto down = column(2400, "chkDown", QStringLiteral("下り"), {"txtDownStart", "txtDownWidth", "txtDnStartEx", "txtDnWidthEx"},
                       {"Label5", "Label6", "Label7", "Label8"});
    chkUpper = up.first;
    chkDown = down.first;
    txtUpperStart = up.second[0], txtUpperWidth = up.second[1], txtUpStartEx = up.second[2], txtUpWidthEx = up.second[3];
    txtDownStart = down.second[0], txtDownWidth = down.second[1], txtDnStartEx = down.second[2], txtDnWidthEx = down.second[3];
    boxes_ = up.second + down.second;
    chkReset = placed<QCheckBox>(this, "chkReset", Twips::rect(120, 2700, 3000, 285), QStringLiteral("処理前に曲線をリセットする"));
    chkUseParams = placed<QCheckBox>(this, "chkUseParams", Twips::rect(120, 3030, 3000, 285), QStringLiteral("保存したパラメータを優先する"));
    cmdSet = placed<QPushButton>(this, "cmdSet", Twips::rect(3360, 2940, 1185, 375), QStringLiteral("実行"));
    cmdSet->setDefault(true);
    // The cancel button serves Esc only: it lies outside the visible area.
    btnCancel = placed<QPushButton>(this, "btnCancel", Twips::rect(-1200, 0, 735, 315), QStringLiteral("c"));
    btnCancel->setAutoDefault(false);
    for (QPushButton* b : {cmdSave, cmdLoad, cmdDel}) b->setAutoDefault(false);

    const auto h = [this](const std::function<void()>& f) { handle(f); };
    Combo1->connectTo(h);
    const std::pair<const char*, void (AutoPitchDialog::*)()> lostFocus[] = {
        {"txtUpperStart", &AutoPitchDialog::txtUpperStart_LostFocus},
        {"txtUpperWidth", &AutoPitchDialog::txtUpperWidth_LostFocus},
        {"txtUpStartEx", &AutoPitchDialog::txtUpStartEx_LostFocus},
        {"txtUpWidthEx", &AutoPitchDialog::txtUpWidthEx_LostFocus},
        {"txtDownStart", &AutoPitchDialog::txtDownStart_LostFocus},
        {"txtDownWidth", &AutoPitchDialog::txtDownWidth_LostFocus},
        {"txtDnStartEx", &AutoPitchDialog::txtDnStartEx_LostFocus},
        {"txtDnWidthEx", &AutoPitchDialog::txtDnWidthEx_LostFocus},
    };
    for (QLineEdit* box : boxes_) {
        const QString name = box->objectName();
        connect(box, &QLineEdit::textEdited, this, [this, name](const QString& t) { handle([&] { *model().textBox(name) = t; }); });
        for (const auto& [control, handler] : lostFocus)
            if (name == QLatin1String(control))
                connect(box, &QLineEdit::editingFinished, this, [this, h = handler] { handle([&] { (model().*h)(); }); });
    }
    const auto bindCheck = [this](QCheckBox* box, bool AutoPitchDialog::*field) {
        connect(box, &QCheckBox::clicked, this, [this, field](bool on) { handle([&] { model().*field = on; }); });
    };
    bindCheck(chkUpper, &AutoPitchDialog::chkUpper);
    bindCheck(chkDown, &AutoPitchDialog::chkDown);
    bindCheck(chkReset, &AutoPitchDialog::chkReset);
    bindCheck(chkUseParams, &AutoPitchDialog::chkUseParams);
    connect(cmdSave, &QPushButton::clicked, this, [this] { handle([&] { model().cmdSave_Click(); }); });
    connect(cmdLoad, &QPushButton::clicked, this, [this] { handle([&] { model().cmdLoad_Click(); }); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdDel_Click(); }); });
    connect(cmdSet, &QPushButton::clicked, this, [this] { handle([&] { model().cmdSet_Click(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { handle([&] { model().btnCancel_Click(); }); });

    handle([&] { RunTitledHandler(QStringLiteral("オートピッチ"), [&] { model().Form_Load(); }); });
    finishLoad();
}

frmAutoPitch::~frmAutoPitch() {
    RunTitledHandler(QStringLiteral("オートピッチ"), [this] {
        if (!model().Form_Unload())
            throw FileError(QStringLiteral("autopitch.ini を保存できません。") + u'\n' + model().Settings.lastError());
    });
}

void frmAutoPitch::refreshFromModel() {
    for (QLineEdit* box : boxes_) {
        const QString& t = *model().textBox(box->objectName());
        if (box->text() != t) box->setText(t);
    }
    chkUpper->setChecked(model().chkUpper);
    chkDown->setChecked(model().chkDown);
    chkReset->setChecked(model().chkReset);
    chkUseParams->setChecked(model().chkUseParams);
    Combo1->refresh();
}

bool frmAutoPitch::ShowAutoPitchDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                       const NoteTimingSource& timing, QWidget* owner) {
    frmAutoPitch form(owner);
    if (!form.showModal()) return false;
    const BendSettings s = form.model().bendSettings();
    const float start = tempo;
    RunRestoringOnFailure(notes, [&] {
        RunPitchLoop(start, first, last, notes, [&](float t2, float t1, float t0, qint32 i) {
            ApplyAutoPitch(t2, t1, t0, i, notes, timing, s);
        });
    });
    return true;
}

}  // namespace tova
