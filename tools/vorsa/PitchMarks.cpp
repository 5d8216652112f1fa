#include "tools/vorsa/PitchMarks.h"

#include "tools/vorsa/RenderConstants.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova::vorsa {
namespace {

// Largest sample of signal[from, to).
long long strongestPeak(const std::vector<float>& x, long long from, long long to) {
    long long best = from;
    for (long long i = from; i < to; ++i)
        if (x[i] > x[best]) best = i;
    return best;
}

// Sums of squares of the samples before each position, energy(i) = x[0]^2 + ... + x[i-1]^2 added up in
// that order from 0.0: the values of one prefix array over the whole sample, but held only for the
// stretch the walk asks about (from a little before its start on), so that a note reading a short
// part of a long sample does not fill memory for all of it.
class EnergySums {
public:
    EnergySums(const std::vector<float>& x, long long start, long long stop) : x_(x), expected_(stop - start) {
        restart(start);
    }
    // energy(i), 0 <= i <= x.size().
    double at(long long i) {
        if (i < base_) restart(i);
        while (base_ + static_cast<long long>(values_.size()) <= i) {
            const long long k = base_ + static_cast<long long>(values_.size()) - 1;
            values_.push_back(values_.back() + double(x_[k]) * x_[k]);
        }
        return values_[std::size_t(i - base_)];
    }

private:
    // Room kept behind a start for the windows around the first marks.
    static constexpr long long kRoom = 4096;
    void restart(long long i) {
        const long long base = std::max(0LL, i - kRoom);
        double sum = 0.0;
        for (long long k = 0; k < base; ++k) sum += double(x_[k]) * x_[k];
        values_.clear();
        values_.reserve(std::size_t(std::max(0LL, expected_) + 3 * kRoom));
        values_.push_back(sum);
        base_ = base;
    }
    const std::vector<float>& x_;
    long long expected_;
    long long base_ = 0;
    std::vector<double> values_;  // values_[k] = energy(base_ + k)
};

// The sums of products of `n` samples from `reference` on with `n` samples from each of `Lanes`
// consecutive starts `candidate`, `candidate` + 1, ...: sums[k] = sum over j of reference[j] *
// candidate[k + j], every term in double (the product of two floats is exact there) and added in order
// of j from 0.0 on, so each sum is the very one a plain loop gives. The lanes only run side by side,
// which keeps the additions of different sums from waiting on each other.
template <int Lanes>
void laneSums(const float* reference, const float* candidate, long long n, double* sums) {
#if defined(__SSE2__)
    if constexpr (Lanes == 8) {
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd(), a2 = _mm_setzero_pd(), a3 = _mm_setzero_pd();
        for (long long j = 0; j < n; ++j) {
            const __m128d r = _mm_set1_pd(double(reference[j]));
            const __m128 low = _mm_loadu_ps(candidate + j), high = _mm_loadu_ps(candidate + j + 4);
            a0 = _mm_add_pd(a0, _mm_mul_pd(r, _mm_cvtps_pd(low)));
            a1 = _mm_add_pd(a1, _mm_mul_pd(r, _mm_cvtps_pd(_mm_movehl_ps(low, low))));
            a2 = _mm_add_pd(a2, _mm_mul_pd(r, _mm_cvtps_pd(high)));
            a3 = _mm_add_pd(a3, _mm_mul_pd(r, _mm_cvtps_pd(_mm_movehl_ps(high, high))));
        }
        _mm_storeu_pd(sums, a0);
        _mm_storeu_pd(sums + 2, a1);
        _mm_storeu_pd(sums + 4, a2);
        _mm_storeu_pd(sums + 6, a3);
        return;
    }
#endif
    double acc[Lanes] = {};
    for (long long j = 0; j < n; ++j) {
        const double r = reference[j];
        for (int k = 0; k < Lanes; ++k) acc[k] += r * double(candidate[j + k]);
    }
    for (int k = 0; k < Lanes; ++k) sums[k] = acc[k];
}

}  // namespace

PitchMarks::PitchMarks(const std::vector<float>& x, const SamplePitch& pitch, double from, double to)
    : PitchMarks(Trace(x, pitch, from, to), pitch, to) {}

PitchMarks::Trace::Trace(const std::vector<float>& x, const SamplePitch& pitch, double from, double to) {
    const long long length = static_cast<long long>(x.size());
    length_ = length;
    if (length == 0) return;
    const double stop = stopFor(to, length);
    stop_ = stop;
    // The largest value compared with `stop` so far: a mark is made under a smaller stop exactly when
    // every comparison before it passed there too.
    double gate = -std::numeric_limits<double>::infinity();
    // Prefix energies for the normalised match, held from a little before the walk's start on.
    EnergySums energy(x, static_cast<long long>(std::clamp(std::floor(from), 0.0, double(length))),
                      static_cast<long long>(stop));
    auto windowEnergy = [&](long long from, long long to) {
        from = std::clamp(from, 0LL, length);
        to = std::clamp(to, 0LL, length);
        return to > from ? energy.at(to) - energy.at(from) : 0.0;
    };
    auto sampleAt = [&](long long i) -> double { return (i >= 0 && i < length) ? x[i] : 0.0; };

    // Normalised correlation of one period around `reference` with one period around `candidate`.
    auto match = [&](long long reference, long long candidate, long long half) {
        double sum = 0.0;
        for (long long j = -half; j < half; ++j) sum += sampleAt(reference + j) * sampleAt(candidate + j);
        const double norm = std::sqrt(windowEnergy(reference - half, reference + half) *
                                      windowEnergy(candidate - half, candidate + half));
        return norm > 0.0 ? sum / norm : 0.0;
    };
    // The scores of the candidates first..last: where both periods lie inside the sample, the sums of
    // eight (or one) candidates at a time straight from the samples, each exactly match()'s sum; the
    // rest through match() itself.
    std::vector<double> scores;
    auto scoreCandidates = [&](long long reference, long long first, long long last, long long half) {
        const float* samples = x.data();
        const bool referenceInside = reference - half >= 0 && reference + half <= length;
        double sums[8];
        auto finish = [&](long long candidate, double sum) {
            const double norm = std::sqrt(windowEnergy(reference - half, reference + half) *
                                          windowEnergy(candidate - half, candidate + half));
            scores[std::size_t(candidate - first)] = norm > 0.0 ? sum / norm : 0.0;
        };
        long long candidate = first;
        while (candidate <= last) {
            // Lanes read one sample past each sum's window per further lane: all of it must be inside.
            const bool inside = referenceInside && candidate - half >= 0;
            if (inside && candidate + 7 <= last && candidate + 7 + half <= length) {
                laneSums<8>(samples + (reference - half), samples + (candidate - half), 2 * half, sums);
                for (int k = 0; k < 8; ++k) finish(candidate + k, sums[k]);
                candidate += 8;
            } else if (inside && candidate + half <= length) {
                laneSums<1>(samples + (reference - half), samples + (candidate - half), 2 * half, sums);
                finish(candidate, sums[0]);
                ++candidate;
            } else {
                scores[std::size_t(candidate - first)] = match(reference, candidate, half);
                ++candidate;
            }
        }
    };

    std::vector<Step>& marks = steps_;
    // Marks are fractional so that rounding does not add up over a vowel.
    double position = std::clamp(std::floor(from), 0.0, static_cast<double>(length));
    bool inVoiced = false;
    while (position < stop) {
        gate = std::max(gate, position);
        const double f = pitch.frequencyAt(position);
        if (!(f > 0.0)) {
            marks.push_back({position, false, gate});
            position += kUnvoicedStep;
            inVoiced = false;
            continue;
        }
        const double period = kSampleRate / f;
        if (!inVoiced) {
            // Start of a voiced stretch: the strongest peak of its first period.
            const long long from = static_cast<long long>(std::ceil(position));
            const long long end = std::min(length, from + std::max<long long>(1, std::llround(period)));
            position = static_cast<double>(strongestPeak(x, from, end));
            marks.push_back({position, true, gate});
            inVoiced = true;
        }
        // Next mark: one period on (period taken half-way), where one period of waveform best matches
        // the period around the previous mark; the best lag is refined between samples by a parabola.
        const double midFrequency = pitch.frequencyAt(position + period / 2.0);
        const double step = midFrequency > 0.0 ? kSampleRate / midFrequency : period;
        const long long reference = std::llround(position);
        const long long predicted = reference + std::max<long long>(1, std::llround(step));
        if (predicted + 1 >= length) break;
        const long long half = std::max<long long>(1, std::llround(step / 2.0));
        const long long reach = std::max<long long>(1, std::llround(step / 6.0));
        // Every candidate's score, the first best one kept.
        const long long first = std::max(predicted - reach, reference + 1), last = predicted + reach;
        scores.resize(std::size_t(std::max(0LL, last - first + 1)));
        scoreCandidates(reference, first, last, half);
        double bestScore = -2.0;
        long long best = predicted;
        for (long long candidate = first; candidate <= last; ++candidate) {
            const double score = scores[std::size_t(candidate - first)];
            if (score > bestScore) {
                bestScore = score;
                best = candidate;
            }
        }
        double lag = static_cast<double>(best - reference);
        // The neighbours' scores are among the candidates' unless the best lies at an end.
        auto scoreOf = [&](long long candidate) {
            return candidate >= first && candidate <= last ? scores[std::size_t(candidate - first)]
                                                           : match(reference, candidate, half);
        };
        const double left = scoreOf(best - 1), right = scoreOf(best + 1);
        const double curvature = left - 2.0 * bestScore + right;
        if (curvature < 0.0) {
            const double shift = 0.5 * (left - right) / curvature;
            if (std::abs(shift) < 1.0) lag += shift;
        }
        const double next = position + std::max(1.0, lag);
        gate = std::max(gate, next);
        if (next >= stop) break;
        position = next;
        if (!(pitch.frequencyAt(position) > 0.0)) {
            // The voiced stretch ends here: unvoiced marks go on from this point.
            inVoiced = false;
            continue;
        }
        marks.push_back({position, true, gate});
    }
}

double PitchMarks::Trace::stopFor(double to, long long length) {
    return (to < 0.0 || to > static_cast<double>(length)) ? static_cast<double>(length) : to;
}

PitchMarks::PitchMarks(const Trace& trace, const SamplePitch& pitch, double to) {
    const double stop = std::min(Trace::stopFor(to, trace.length()), trace.stop());
    std::vector<Mark> marks;
    for (const Trace::Step& step : trace.steps()) {
        if (!(step.gate < stop)) break;
        marks.push_back({step.position, 0, 0, step.voiced});
    }
    // Grain extents: the distances to the neighbouring marks.
    for (size_t i = 0; i < marks.size(); ++i) {
        const double previous = i > 0 ? marks[i].position - marks[i - 1].position : -1.0;
        const double next = i + 1 < marks.size() ? marks[i + 1].position - marks[i].position : -1.0;
        double own = marks[i].voiced ? kSampleRate / std::max(1.0, pitch.frequencyAt(marks[i].position))
                                     : double(kUnvoicedStep);
        marks[i].left = previous > 0 ? previous : (next > 0 ? next : own);
        marks[i].right = next > 0 ? next : marks[i].left;
    }
    marks_ = std::move(marks);
}

size_t PitchMarks::firstAtOrAfter(double position) const {
    auto it = std::lower_bound(marks_.begin(), marks_.end(), position,
                               [](const Mark& m, double p) { return m.position < p; });
    return static_cast<size_t>(it - marks_.begin());
}

size_t PitchMarks::nearest(double position) const {
    const size_t after = firstAtOrAfter(position);
    if (after == 0) return 0;
    if (after >= marks_.size()) return marks_.size() - 1;
    return (position - marks_[after - 1].position) <= (marks_[after].position - position) ? after - 1 : after;
}

}  // namespace tova::vorsa
