#include "autotune/AutoCombineDialog.h"

#include "autotune/TuningText.h"
#include "platform/Vb.h"
#include "song/FreeText.h"

#include <algorithm>

namespace tova {

namespace {

QString checkText(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }
QString trueFalse(bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); }
QString numberText(const QString& t) { return Vb::DoubleText(Vb::Val(t)); }

// The fifteen settings in the order of the file and of a preset entry.
struct Key {
    const char* name;
    bool CombineSettings::*check;
    QString CombineSettings::*text;
    bool numeric;  // normalised in a preset entry
};
const Key kKeys[] = {
    {"Enabled", &CombineSettings::Enabled, nullptr, false},
    {"Targets", nullptr, &CombineSettings::Targets, false},
    {"Width", nullptr, &CombineSettings::Width, true},
    {"Start", nullptr, &CombineSettings::Start, true},
    {"Rate", nullptr, &CombineSettings::Per, true},
    {"Vol", &CombineSettings::VolNext, nullptr, false},
    {"EnvType1", &CombineSettings::Env1, nullptr, false},
    {"Target2", nullptr, &CombineSettings::Target2, false},
    {"ET1Start", nullptr, &CombineSettings::E1st, true},
    {"ET1Top", nullptr, &CombineSettings::E1top, true},
    {"ET1Mid", nullptr, &CombineSettings::E1mid, true},
    {"EnvOther", &CombineSettings::EnvOther, nullptr, false},
    {"ETOTop", nullptr, &CombineSettings::EOtop, true},
    {"ETOMid", nullptr, &CombineSettings::EOmid, true},
    {"ETOBtm", nullptr, &CombineSettings::EObtm, true},
};

}  // namespace

void AutoCombineDialog::Form_Load() {
    Values.Env1 = false;
    Values.EnvOther = false;
    Combo1.clear();
    Settings.setName(QStringLiteral("autocomb"));
    bool read = false;
    try {
        read = Settings.Load() > 0;
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    if (read) {
        for (const Key& k : kKeys) {
            const QString v = Settings.Item(QLatin1String(k.name));
            if (k.check) Values.*k.check = CheckValue(v);
            else Values.*k.text = v;
        }
        Combo1.read(Settings, u'|');
    }
    Height = (!Values.Env1 && !Values.EnvOther) ? ShortHeight : FullHeight;
}

bool AutoCombineDialog::Form_Unload() {
    if (loadFailed_) return true;
    for (const Key& k : kKeys)
        Settings.setValue(QLatin1String(k.name),
                          k.check ? checkText(Values.*k.check) : SafeFreeText(Values.*k.text, FreeTextUse::Line));
    Combo1.write(Settings);
    return Settings.Save();
}

void AutoCombineDialog::cmdOK_Click() {
    txtPer_LostFocus();
    txtStart_LostFocus();
    txtWidth_LostFocus();
    accept();
}

void AutoCombineDialog::ToggleDetailHeight() { Height = Height != FullHeight ? FullHeight : ShortHeight; }

void AutoCombineDialog::txtPer_LostFocus() {
    if (!Vb::IsNumeric(Values.Per)) Values.Per = QStringLiteral("1.0");
}
void AutoCombineDialog::txtStart_LostFocus() {
    if (!Vb::IsNumeric(Values.Start)) Values.Start = QStringLiteral("0");
}
void AutoCombineDialog::txtWidth_LostFocus() {
    if (!Vb::IsNumeric(Values.Width)) Values.Width = QStringLiteral("0");
}

QString AutoCombineDialog::presetValues() const {
    const QString sep = QStringLiteral("|");
    QString out;
    for (const Key& k : kKeys) {
        out += sep;
        if (k.check) out += trueFalse(Values.*k.check);
        else if (k.numeric) out += numberText(Values.*k.text);
        else out += CleanPresetText(Values.*k.text, sep);
    }
    return out;
}

void AutoCombineDialog::Combo1_Click(int index) {
    Combo1.Index = index;
    const int k = Combo1.chosen();
    if (k < 0) return;
    Combo1.Text = Combo1.Items.at(k);
    const QStringList f = Combo1.Entries.at(k).split(u'|');
    for (int n = 0; n < 15; ++n) {
        const QString v = f.value(n + 1);
        if (kKeys[n].check) Values.*kKeys[n].check = v == QLatin1String("True");
        else Values.*kKeys[n].text = v;
    }
}

void AutoCombineDialog::cmdSave_Click() {
    const bool overwrite = Combo1.chosen() >= 0;
    Combo1.store(presetValues(), u'|');
    // A new preset is chosen, which applies it at once: the boxes show the stored values.
    if (!overwrite) Combo1_Click(Combo1.Index);
}

void AutoCombineDialog::cmdDel_Click() { Combo1.removeChosen(); }

}  // namespace tova
