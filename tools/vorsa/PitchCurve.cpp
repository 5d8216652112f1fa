#include "tools/vorsa/PitchCurve.h"

#include "platform/lean/Numbers.h"
#include "platform/lean/PitchText.h"
#include "platform/lean/Utf.h"

#include <cmath>

namespace tova::vorsa {

PitchCurve::PitchCurve(std::vector<double> cents, double step) : cents_(std::move(cents)), step_(step > 0 ? step : 256.0) {}

int PitchCurve::stepForTempo(double tempo) {
    if (!(tempo > 0.0) || !std::isfinite(tempo)) tempo = 120.0;
    return static_cast<int>(std::floor(60.0 / 96.0 / tempo * 44100.0 + 0.5));
}

PitchCurve PitchCurve::fromText(const std::string& raw) {
    const std::u16string text = lean::toUtf16(lean::trimmed(raw));
    if (text.empty()) return {};
    if (text.front() == u'!') {
        const std::u16string decoded = lean::decodePitchText(text);
        // Text the decoder leaves alone has no pairs: no curve.
        if (decoded == text) return {};
        return fromPlainList(decoded);
    }
    return fromPlainList(text);
}

PitchCurve PitchCurve::fromPlainList(const std::u16string& text) {
    std::vector<std::string> tokens;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t blank = text.find(u' ', from);
        if (blank == std::u16string::npos) blank = text.size();
        if (blank > from) tokens.push_back(lean::toUtf8(std::u16string_view(text).substr(from, blank - from)));
        from = blank + 1;
    }
    if (tokens.empty()) return {};
    std::vector<double> values;
    values.reserve(tokens.size());
    double step = 256.0;
    const std::string& first = tokens.front();
    const std::size_t q = first.find('Q');
    if (q != std::string::npos) step = stepForTempo(lean::val(std::string_view(first).substr(q + 1)));
    for (const std::string& token : tokens) {
        const double v = lean::val(token);
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
