#include "autotune/AutoPitchDialog.h"

#include "autotune/TuningText.h"
#include "platform/Vb.h"

#include <algorithm>

namespace tova {

namespace {

struct Box {
    const char* control;
    const char* key;
    const char* fallback;
    QString AutoPitchDialog::*field;
};
const Box kBoxes[] = {
    {"txtUpperStart", "upstart", "0", &AutoPitchDialog::txtUpperStart},
    {"txtUpperWidth", "upwidth", "100", &AutoPitchDialog::txtUpperWidth},
    {"txtUpStartEx", "upstartex", "0", &AutoPitchDialog::txtUpStartEx},
    {"txtUpWidthEx", "upwidthex", "0", &AutoPitchDialog::txtUpWidthEx},
    {"txtDownStart", "downstart", "0", &AutoPitchDialog::txtDownStart},
    {"txtDownWidth", "downwidth", "75", &AutoPitchDialog::txtDownWidth},
    {"txtDnStartEx", "downstartex", "0", &AutoPitchDialog::txtDnStartEx},
    {"txtDnWidthEx", "downwidthex", "0", &AutoPitchDialog::txtDnWidthEx},
};

QString trueFalse(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }

}  // namespace

QString* AutoPitchDialog::textBox(const QString& control) {
    for (const Box& b : kBoxes)
        if (control == QLatin1String(b.control)) return &(this->*b.field);
    return nullptr;
}

void AutoPitchDialog::Form_Load() {
    Combo1.clear();
    Settings.setName(QStringLiteral("autopitch"));
    try {
        if (Settings.Load() < 1) return;
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    for (const Box& b : kBoxes) this->*b.field = Settings.Item(QLatin1String(b.key));
    chkReset = CheckValue(Settings.Item(QStringLiteral("resetpitch")));
    chkUseParams = CheckValue(Settings.Item(QStringLiteral("useparams")));
    Combo1.read(Settings, u',');
}

bool AutoPitchDialog::Form_Unload() {
    if (loadFailed_) return true;
    for (const Box& b : kBoxes) Settings.setValue(QLatin1String(b.key), Vb::DoubleText(Vb::Val(this->*b.field)));
    Settings.setValue(QStringLiteral("resetpitch"), chkReset ? QStringLiteral("1") : QStringLiteral("0"));
    Settings.setValue(QStringLiteral("useparams"), chkUseParams ? QStringLiteral("1") : QStringLiteral("0"));
    Combo1.write(Settings);
    return Settings.Save();
}

void AutoPitchDialog::cmdSave_Click() {
    const QString sep = QStringLiteral(",");
    const auto text = [&](const QString& t) { return sep + CleanPresetText(t, sep); };
    const QString tail = sep + trueFalse(chkUpper) + text(txtUpperStart) + text(txtUpperWidth) + text(txtUpStartEx) +
                         text(txtUpWidthEx) + sep + trueFalse(chkDown) + text(txtDownStart) + text(txtDownWidth) +
                         text(txtDnStartEx) + text(txtDnWidthEx) + sep + trueFalse(chkReset) + sep +
                         trueFalse(chkUseParams);
    Combo1.store(tail, u',');
}

void AutoPitchDialog::cmdLoad_Click() {
    const int k = Combo1.chosen();
    if (k < 0) return;
    const QStringList f = Combo1.Entries.at(k).split(u',');
    chkUpper = f.value(1) == QLatin1String("True");
    txtUpperStart = f.value(2);
    txtUpperWidth = f.value(3);
    txtUpStartEx = f.value(4);
    txtUpWidthEx = f.value(5);
    chkDown = f.value(6) == QLatin1String("True");
    txtDownStart = f.value(7);
    txtDownWidth = f.value(8);
    txtDnStartEx = f.value(9);
    txtDnWidthEx = f.value(10);
    chkReset = f.value(11) == QLatin1String("True");
    chkUseParams = f.value(12) == QLatin1String("True");
}

void AutoPitchDialog::cmdDel_Click() { Combo1.removeChosen(); }

void AutoPitchDialog::cmdSet_Click() {
    for (const Box& b : kBoxes) txt_LostFocus(QLatin1String(b.control));
    accept();
}

void AutoPitchDialog::txt_LostFocus(const QString& control) {
    for (const Box& b : kBoxes) {
        if (control != QLatin1String(b.control)) continue;
        QString& t = this->*b.field;
        if (!Vb::IsNumeric(t)) t = QLatin1String(b.fallback);
    }
}

void AutoPitchDialog::txtUpperStart_LostFocus() { txt_LostFocus(QStringLiteral("txtUpperStart")); }
void AutoPitchDialog::txtUpperWidth_LostFocus() { txt_LostFocus(QStringLiteral("txtUpperWidth")); }
void AutoPitchDialog::txtUpStartEx_LostFocus() { txt_LostFocus(QStringLiteral("txtUpStartEx")); }
void AutoPitchDialog::txtUpWidthEx_LostFocus() { txt_LostFocus(QStringLiteral("txtUpWidthEx")); }
void AutoPitchDialog::txtDownStart_LostFocus() { txt_LostFocus(QStringLiteral("txtDownStart")); }
void AutoPitchDialog::txtDownWidth_LostFocus() { txt_LostFocus(QStringLiteral("txtDownWidth")); }
void AutoPitchDialog::txtDnStartEx_LostFocus() { txt_LostFocus(QStringLiteral("txtDnStartEx")); }
void AutoPitchDialog::txtDnWidthEx_LostFocus() { txt_LostFocus(QStringLiteral("txtDnWidthEx")); }

BendSettings AutoPitchDialog::bendSettings() const {
    BendSettings s;
    s.UpEnabled = chkUpper;
    s.UpStart = Vb::Val(txtUpperStart);
    s.UpWidth = Vb::Val(txtUpperWidth);
    s.UpStartEx = Vb::Val(txtUpStartEx);
    s.UpWidthEx = Vb::Val(txtUpWidthEx);
    s.DownEnabled = chkDown;
    s.DownStart = Vb::Val(txtDownStart);
    s.DownWidth = Vb::Val(txtDownWidth);
    s.DownStartEx = Vb::Val(txtDnStartEx);
    s.DownWidthEx = Vb::Val(txtDnWidthEx);
    s.ResetFirst = chkReset;
    s.UseNoteParams = chkUseParams;
    return s;
}

}  // namespace tova
