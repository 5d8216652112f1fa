#include "editors/VolumeFunctionizer.h"

#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

#include <algorithm>
#include <cmath>

namespace tova {

void VolumeFunctionizer::Form_Load() {
    Settings.setName(QStringLiteral("volumefunc"));
    if (Settings.Load() > 0) txtMul_Change(Settings.Item(QStringLiteral("Mul")));
}

bool VolumeFunctionizer::Form_Unload() {
    Settings.setValue(QStringLiteral("Mul"), Vb::DoubleText(gain()));
    return Settings.Save();
}

void VolumeFunctionizer::Slider1_Change(int value) {
    Slider1 = std::clamp(value, SliderMin, SliderMax);
    if (UpdatingFlag) return;
    UpdatingFlag = true;
    txtMul = Vb::Format(Slider1, QStringLiteral("0.0"));
    UpdatingFlag = false;
}

void VolumeFunctionizer::Slider1_Scroll(int value) { Slider1_Change(value); }

void VolumeFunctionizer::txtMul_Change(const QString& text) {
    txtMul = text;
    if (UpdatingFlag) return;
    UpdatingFlag = true;
    // Rounded like a whole-number conversion (halves to even), limited first so that no typed size
    // can overflow it.
    const double typed = std::clamp(Vb::Val(text), double(SliderMin), double(SliderMax));
    Slider1 = Vb::CInt(typed);
    UpdatingFlag = false;
}

double VolumeFunctionizer::gain() const {
    // A text that gives no finite number is no gain.
    const double v = Vb::Val(txtMul);
    return std::isfinite(v) ? v : 0.0;
}

QString MultipliedIntensity(const QString& intensity, double gainDb) {
    double v = intensity.isEmpty() ? 100.0 : Vb::Val(intensity);
    v *= std::pow(10.0, gainDb / 20.0);
    // Silence stays silent whatever the gain (0 times an infinite gain is no number).
    if (std::isnan(v)) v = 0;
    v = std::clamp(v, 0.0, 200.0);
    return Vb::IntText(qint64(Vb::Int(v + 0.5)));
}

void MultiplyVolume(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt, double gainDb) {
    for (qint32 i = first; i <= last; ++i) {
        if (IsRestLyric(lyrics.at(i))) continue;
        QStringList f = SplitNoteExt(noteExt.at(i));
        f[ExtIntensity] = MultipliedIntensity(f[ExtIntensity], gainDb);
        noteExt[i] = JoinNoteExt(f);
    }
}

}  // namespace tova
