#include "autotune/AutoVibratoDialog.h"

#include "autotune/TuningText.h"
#include "platform/Vb.h"

#include <algorithm>

namespace tova {

namespace {
int sliderValue(const QString& text) {
    return int(std::clamp(Nearest(Vb::Val(text)), double(AutoVibratoDialog::SliderMin),
                          double(AutoVibratoDialog::SliderMax)));
}
QString numberText(const QString& text) { return Vb::DoubleText(Vb::Val(text)); }
}  // namespace

void AutoVibratoDialog::Form_Load() {
    Combo1.clear();
    Settings.setName(QStringLiteral("autobibrato"));
    try {
        if (Settings.Load() < 1) return;
    } catch (...) {
        loadFailed_ = true;
        throw;
    }
    txtStart = Settings.Item(QStringLiteral("start"));
    txtDepth = Settings.Item(QStringLiteral("depth"));
    txtLength = Settings.Item(QStringLiteral("length"));
    txtLimit = Settings.Item(QStringLiteral("limit"));
    chkRideFlag = CheckValue(Settings.Item(QStringLiteral("rideflag")));
    Slider1 = sliderValue(Settings.Item(QStringLiteral("updownrate")));
    Combo1.read(Settings, u',');
}

bool AutoVibratoDialog::Form_Unload() {
    if (loadFailed_) return true;
    Settings.setValue(QStringLiteral("start"), numberText(txtStart));
    Settings.setValue(QStringLiteral("depth"), numberText(txtDepth));
    Settings.setValue(QStringLiteral("length"), numberText(txtLength));
    Settings.setValue(QStringLiteral("limit"), numberText(txtLimit));
    Settings.setValue(QStringLiteral("rideflag"), chkRideFlag ? QStringLiteral("1") : QStringLiteral("0"));
    Settings.setValue(QStringLiteral("updownrate"), QString::number(Slider1));
    Combo1.write(Settings);
    return Settings.Save();
}

void AutoVibratoDialog::cmdSave_Click() {
    const QString sep = QStringLiteral(",");
    QString tail;
    for (const QString* t : {&txtStart, &txtDepth, &txtLength, &txtLimit}) tail += sep + CleanPresetText(*t, sep);
    tail += sep + (chkRideFlag ? QStringLiteral("1") : QStringLiteral("0")) + sep + QString::number(Slider1);
    Combo1.store(tail, u',');
}

void AutoVibratoDialog::cmdLoad_Click() {
    const int k = Combo1.chosen();
    if (k < 0) return;
    const QStringList f = Combo1.Entries.at(k).split(u',');
    txtStart = numberText(f.value(1));
    txtDepth = numberText(f.value(2));
    txtLength = numberText(f.value(3));
    txtLimit = numberText(f.value(4));
    chkRideFlag = CheckValue(f.value(5));
    Slider1 = sliderValue(f.value(6));
}

void AutoVibratoDialog::cmdDel_Click() { Combo1.removeChosen(); }

VibratoSettings AutoVibratoDialog::vibratoSettings() const {
    VibratoSettings s;
    s.Share = Vb::Val(txtStart);
    s.Depth = Vb::Val(txtDepth);
    s.Cycle = Vb::Val(txtLength);
    s.Limit = Vb::Val(txtLimit);
    s.UpDownRate = Slider1;
    s.Ride = chkRideFlag;
    return s;
}

}  // namespace tova
