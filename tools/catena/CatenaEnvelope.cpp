#include "tools/catena/CatenaEnvelope.h"

#include "platform/lean/Numbers.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tova {
namespace {

// The value at `index`, or nothing when it is absent or empty.
bool present(const std::vector<std::string>& values, std::size_t index) {
    return index < values.size() && !lean::trimmed(values[index]).empty();
}

double valueOr(const std::vector<std::string>& values, std::size_t index, double fallback) {
    return present(values, index) ? lean::val(values[index]) : fallback;
}

double notNegative(double v) { return v < 0 ? 0.0 : v; }

}  // namespace

CatenaEnvelope::CatenaEnvelope(const std::vector<std::string>& values) {
    p1_ = notNegative(valueOr(values, 0, 0));
    p2_ = notNegative(valueOr(values, 1, 0));
    p3_ = notNegative(valueOr(values, 2, 0));
    v1_ = notNegative(valueOr(values, 3, 0));
    v2_ = notNegative(valueOr(values, 4, 100));
    v3_ = notNegative(valueOr(values, 5, 100));
    v4_ = notNegative(valueOr(values, 6, 0));
    overlap_ = valueOr(values, 7, 0);
    p4_ = notNegative(valueOr(values, 8, 0));
    p5_ = notNegative(valueOr(values, 9, 0));
    v5_ = notNegative(valueOr(values, 10, v2_));
}

std::array<CatenaEnvelope::Point, 7> CatenaEnvelope::points(double lengthMs) const {
    const double end = std::max(0.0, lengthMs);
    const double t1 = p1_;
    const double t2 = t1 + p2_;
    const double t5 = t2 + p5_;
    const double t4 = end - p4_;
    const double t3 = t4 - p3_;
    std::array<Point, 7> pts{{{0, 0}, {t1, v1_}, {t2, v2_}, {t5, v5_}, {t3, v3_}, {t4, v4_}, {end, 0}}};
    double floor = 0;
    for (Point& p : pts) {
        p.timeMs = std::clamp(p.timeMs, floor, end);
        floor = p.timeMs;
    }
    return pts;
}

double CatenaEnvelope::volumeAt(double timeMs, double lengthMs) const {
    std::size_t k = 0;
    return interpolate(points(lengthMs), timeMs, k);
}

void CatenaEnvelope::shape(std::vector<double>& samples, double lengthMs) const {
    shape(samples.data(), 0, samples.size(), lengthMs);
}

void CatenaEnvelope::shape(double* block, std::size_t first, std::size_t count, double lengthMs) const {
    const auto pts = points(lengthMs);
    const std::size_t n = first + count;
    // samples[i]: the sample i of the piece, for i in [first, n).
    double* const samples = block - first;
    auto timeOf = [](std::size_t i) { return double(i) * 1000.0 / SampleRate; };
    std::size_t k = 0;
    std::size_t i = first;
    // The samples go stretch by stretch: those between one point and the next share one line, so the
    // search for the point and the test for a flat stretch are made once per stretch, not per sample.
    // Every sample still gets the volume that interpolate() gives at its time.
    while (i < n) {
        const double t = timeOf(i);
        while (k + 1 < pts.size() && pts[k + 1].timeMs <= t) ++k;
        if (k + 1 >= pts.size()) {
            const double factor = pts.back().volume / 100.0;
            for (; i < n; ++i) samples[i] *= factor;
            break;
        }
        // The end of the stretch: the first sample at or after the next point (times only grow with i).
        const double next = pts[k + 1].timeMs;
        const double guess = std::ceil(next * SampleRate / 1000.0);
        std::size_t end = !(guess < double(n)) ? n : guess <= double(i) ? i : std::size_t(guess);
        while (end > i && timeOf(end - 1) >= next) --end;
        while (end < n && timeOf(end) < next) ++end;

        const Point& a = pts[k];
        const Point& b = pts[k + 1];
        if (a.volume == b.volume && a.volume != 0 && std::isfinite(a.volume)) {
            // A level stretch: the line gives a's volume exactly (a + 0 * ... / ... is a).
            const double factor = a.volume / 100.0;
            if (factor != 1.0)
                for (std::size_t j = i; j < end; ++j) samples[j] *= factor;
        } else {
            std::size_t j = i;
#if defined(__SSE2__)
            // Two samples per step, each lane with the same operations as the loop below.
            const __m128d thousand = _mm_set1_pd(1000.0), rate = _mm_set1_pd(double(SampleRate));
            const __m128d hundred = _mm_set1_pd(100.0), aTime = _mm_set1_pd(a.timeMs);
            const __m128d aVolume = _mm_set1_pd(a.volume), rise = _mm_set1_pd(b.volume - a.volume);
            const __m128d span = _mm_set1_pd(b.timeMs - a.timeMs);
            for (; j + 2 <= end; j += 2) {
                const __m128d time = _mm_div_pd(_mm_mul_pd(_mm_set_pd(double(j + 1), double(j)), thousand), rate);
                const __m128d line = _mm_add_pd(aVolume, _mm_div_pd(_mm_mul_pd(rise, _mm_sub_pd(time, aTime)), span));
                const __m128d atStart = _mm_cmple_pd(time, aTime);
                const __m128d volume = _mm_or_pd(_mm_and_pd(atStart, aVolume), _mm_andnot_pd(atStart, line));
                _mm_storeu_pd(&samples[j], _mm_mul_pd(_mm_loadu_pd(&samples[j]), _mm_div_pd(volume, hundred)));
            }
#endif
            for (; j < end; ++j) {
                const double time = timeOf(j);
                const double volume =
                    time <= a.timeMs ? a.volume
                                     : a.volume + (b.volume - a.volume) * (time - a.timeMs) / (b.timeMs - a.timeMs);
                samples[j] *= volume / 100.0;
            }
        }
        i = end;  // past i: the sample at i lies before the next point
    }
}

double CatenaEnvelope::interpolate(const std::array<Point, 7>& pts, double timeMs, std::size_t& k) {
    // The last point at or before the time (searching on from `k`, as times only grow); the volume
    // runs linearly from it to the next one.
    while (k + 1 < pts.size() && pts[k + 1].timeMs <= timeMs) ++k;
    if (k + 1 >= pts.size()) return pts.back().volume;
    const Point& a = pts[k];
    const Point& b = pts[k + 1];
    if (timeMs <= a.timeMs) return a.volume;
    return a.volume + (b.volume - a.volume) * (timeMs - a.timeMs) / (b.timeMs - a.timeMs);
}

}  // namespace tova
