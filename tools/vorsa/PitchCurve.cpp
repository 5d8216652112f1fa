#include "tools/vorsa/PitchCurve.h"

#include "platform/Vb.h"
#include "song/PitchText.h"

#include <QStringList>

#include <cmath>

namespace tova::vorsa {

PitchCurve::PitchCurve(std::vector<double> cents, double step) : cents_(std::move(cents)), step_(step > 0 ? step : 256.0) {}

int PitchCurve::stepForTempo(double tempo) {
    if (!(tempo > 0.0) || !std::isfinite(tempo)) tempo = 120.0;
    return static_cast<int>(std::floor(60.0 / 96.0 / tempo * 44100.0 + 0.5));
}

PitchCurve PitchCurve::fromText(const QString& raw) {
    const QString text = raw.trimmed();
    if (text.isEmpty()) return {};
    if (text.startsWith(u'!')) {
        const QString decoded = DecodePitchText(text);
        // Text the decoder leaves alone has no pairs: no curve.
        if (decoded == text) return {};
        return fromPlainList(decoded);
    }
    return fromPlainList(text);
}

PitchCurve PitchCurve::fromPlainList(const QString& text) {
    const QStringList tokens = text.split(u' ', Qt::SkipEmptyParts);
    if (tokens.isEmpty()) return {};
    std::vector<double> values;
    values.reserve(tokens.size());
    double step = 256.0;
    const QString& first = tokens.front();
    const qsizetype q = first.indexOf(u'Q');
    if (q >= 0) step = stepForTempo(Vb::Val(first.mid(q + 1)));
    for (const QString& token : tokens) {
        const double v = Vb::Val(token);
        values.push_back(std::isfinite(v) ? v : 0.0);
    }
    return PitchCurve(std::move(values), step);
}

double PitchCurve::centsAt(double outputSample) const {
    if (cents_.empty()) return 0.0;
    const double position = outputSample / step_;
    if (position <= 0.0) return cents_.front();
    const size_t k = static_cast<size_t>(std::floor(position));
    const double fraction = position - k;
    const double a = k < cents_.size() ? cents_[k] : 0.0;
    const double b = k + 1 < cents_.size() ? cents_[k + 1] : 0.0;
    return a + (b - a) * fraction;
}

}  // namespace tova::vorsa
