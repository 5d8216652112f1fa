#include "tools/vorsa/NoteRenderer.h"

#include "platform/lean/Failure.h"
#include "platform/lean/Numbers.h"
#include "platform/lean/Files.h"
#include "platform/lean/NoteName.h"
#include "platform/lean/Utf.h"
#include "tools/vorsa/PitchCurve.h"
#include "tools/vorsa/PitchMarks.h"
#include "tools/vorsa/PsolaSynthesizer.h"
#include "tools/vorsa/RenderConstants.h"
#include "tools/vorsa/RenderFlags.h"
#include "tools/vorsa/SampleAudio.h"
#include "tools/vorsa/TimeMap.h"
#include "tools/vorsa/VoiceEffects.h"
#include "tools/vorsa/WaveOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tova::vorsa {
namespace {

constexpr double kSamplesPerMs = kSampleRate / 1000.0;

// A number in a message, with up to six significant digits.
std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// End of the usable sample: a cutoff of 0 or more counts back from the sample's end, a negative one
// forward from the offset. Never past the sample's end.
double stretchEnd(const RenderRequest& r, double sampleLength) {
    const double offset = r.offset * kSamplesPerMs;
    const double end = r.cutoff >= 0.0 ? sampleLength - r.cutoff * kSamplesPerMs : offset - r.cutoff * kSamplesPerMs;
    return std::min(end, sampleLength);
}

std::vector<float> cutPiece(const RenderRequest& r, const std::vector<float>& signal) {
    const double sampleLength = static_cast<double>(signal.size());
    const long long start = std::llround(r.offset * kSamplesPerMs);
    long long length = NoteRenderer::outputSamples(r.length);
    if (r.length <= 0.0)
        length = std::clamp(static_cast<long long>(std::ceil(stretchEnd(r, sampleLength))) - start, 0LL,
                            NoteRenderer::kMaxOutputSamples);
    std::vector<float> out(length, 0.0f);
    for (long long n = 0; n < length; ++n) {
        const long long i = start + n;
        if (i >= 0 && i < static_cast<long long>(signal.size())) out[n] = signal[i];
    }
    return out;
}

}  // namespace

long long NoteRenderer::outputSamples(double milliseconds) {
    if (!(milliseconds > 0.0)) return 0;
    // Beyond every note a call renders; never converted, so never out of the integer's range.
    if (!(milliseconds < kMaxTimeMs)) return std::numeric_limits<long long>::max();
    // A tiny tolerance keeps lengths such as 0.1 ms * 44.1 from rounding up past the exact count.
    return static_cast<long long>(std::ceil(milliseconds * kSamplesPerMs - 1e-7));
}

bool NoteRenderer::isNoteTarget(const std::string& note) { return !note.empty() && note[0] >= 'A' && note[0] <= 'G'; }

std::vector<float> NoteRenderer::render(const RenderRequest& r, const std::vector<float>& signal,
                                        const SamplePitch& pitch) {
    return render(r, signal, pitch, [&](double from, double to) { return PitchMarks(signal, pitch, from, to); });
}

std::vector<float> NoteRenderer::render(const RenderRequest& r, const std::vector<float>& signal,
                                        const SamplePitch& pitch, const MarkSource& markSource) {
    const RenderFlags flags = RenderFlags::parse(r.flags);
    std::vector<float> out;
    double consonantOut = 0.0;
    double baseFrequency = 0.0;
    if (isNoteTarget(r.note)) {
        try {
            baseFrequency = lean::noteNumToFreq(lean::noteNameToNum(lean::toUtf16(r.note)));
        } catch (const lean::Failure&) {
            baseFrequency = 0.0;  // an octave beyond every range: treated as no note
        }
    }
    if (baseFrequency > 0.0) {
        const double sampleLength = static_cast<double>(signal.size());
        const double velocityFactor = std::pow(2.0, 1.0 - r.velocity / 100.0);
        const double offset = r.offset * kSamplesPerMs;
        const double consonant = std::max(0.0, r.consonant * kSamplesPerMs);
        const double end = std::max(stretchEnd(r, sampleLength), offset + consonant);
        long long length = outputSamples(r.length);
        if (r.length <= 0.0) {
            const double natural = std::ceil(consonant * velocityFactor + (end - offset - consonant));
            length = static_cast<long long>(std::clamp(natural, 0.0, static_cast<double>(kMaxOutputSamples)));
        }
        const TimeMap map(offset, consonant, velocityFactor, end, static_cast<double>(length));
        consonantOut = map.consonantOutputLength();

        // Marks only where the note reads the sample, with a margin of a few grains either side.
        const double margin = 4096.0;
        const double lastInput = std::max(end, map.inputAt(static_cast<double>(length)));
        const PitchMarks marks = markSource(std::min(offset, map.inputAt(0.0)) - margin, lastInput + margin);
        const PitchCurve curve = PitchCurve::fromText(r.pitch);
        const double modulation = r.modulation / 100.0;
        const double average = pitch.average();
        auto target = [&](double output, double input) {
            double cents = curve.centsAt(output);
            if (modulation != 0.0 && average > 0.0) {
                const double own = pitch.frequencyAt(input);
                if (own > 0.0) cents += modulation * std::clamp(1200.0 * std::log2(own / average), -1200.0, 1200.0);
            }
            return baseFrequency * std::exp2(cents / 1200.0);
        };
        PsolaSynthesizer::Settings settings;
        settings.formantFactor = flags.formantFactor();
        settings.preserveFormants = !flags.formantsFollowPitch;
        std::vector<PsolaSynthesizer::Grain> grains;
        out = PsolaSynthesizer::render(signal, marks, map, target, settings, length, &grains);
        VoiceEffects::applyBreathiness(out, grains, flags.breathiness);
        VoiceEffects::applyConsonantVolume(out, consonantOut, flags.consonantVolume);
    } else {
        out = cutPiece(r, signal);
    }
    VoiceEffects::applyGain(out, r.intensity);
    return out;
}

NoteRenderer::Outcome NoteRenderer::run(const RenderRequest& r, const Progress& progress, SampleCache* cache) {
    Outcome outcome;
    if (lean::trimmed(r.input).empty() || lean::trimmed(r.output).empty()) {
        outcome.code = BadArguments;
        outcome.message = "usage: vorsa input output [note velocity flags offset length consonant cutoff intensity modulation pitch...]";
        return outcome;
    }
    // Numbers are checked before anything converts them to sample counts.
    const struct {
        const char* name;
        double value;
        bool time;
    } numbers[] = {{"velocity", r.velocity, false},   {"offset", r.offset, true},   {"length", r.length, true},
                   {"consonant", r.consonant, true},  {"cutoff", r.cutoff, true},   {"intensity", r.intensity, false},
                   {"modulation", r.modulation, false}};
    for (const auto& n : numbers) {
        if (!std::isfinite(n.value) || (n.time && std::abs(n.value) > kMaxTimeMs)) {
            outcome.code = BadArguments;
            outcome.message = std::string("the ") + n.name + " " + number(n.value) + " is out of range";
            return outcome;
        }
    }
    if (outputSamples(r.length) > kMaxOutputSamples) {
        outcome.code = BadArguments;
        outcome.message = "a note of " + number(r.length) + " ms is longer than the " +
                          number(kMaxOutputSamples / kSamplesPerMs) + " ms a call may render";
        return outcome;
    }
    const std::string input = lean::Files::resolve(r.input);
    const RenderFlags flags = RenderFlags::parse(r.flags);
    // A table to remake is made at every call, so such a call neither takes from the cache nor adds.
    if (flags.remakeTable) cache = nullptr;
    std::shared_ptr<SampleCache::Sample> cached = cache ? cache->find(input) : nullptr;
    std::string error;
    if (!cached) {
        std::vector<float> signal;
        if (!lean::Files::isFile(input) || !SampleAudio::load(input, signal, &error)) {
            outcome.code = SampleUnreadable;
            outcome.message = error.empty() ? "cannot read " + r.input : error;
            return outcome;
        }
        SampleFrequencyTable::Result table = SampleFrequencyTable::obtain(signal, input, flags.remakeTable, progress);
        if (table.status == SampleFrequencyTable::Status::Cancelled) {
            outcome.code = Cancelled;
            outcome.message = "stopped";
            return outcome;
        }
        if (r.outputIsNull()) return outcome;
        if (!cache) {
            const std::vector<float> out = render(r, signal, table.pitch);
            if (!WaveOutput::write(lean::Files::resolveOutput(r.output), out, &error)) {
                outcome.code = OutputFailed;
                outcome.message = error;
            }
            return outcome;
        }
        cached = cache->store(input, std::move(signal), std::move(table.pitch));
    }
    if (r.outputIsNull()) return outcome;
    SampleCache::Sample& sample = *cached;
    const std::vector<float> out = render(r, sample.signal(), sample.pitch(),
                                          [&sample](double from, double to) { return sample.marks(from, to); });
    if (!WaveOutput::write(lean::Files::resolveOutput(r.output), out, &error)) {
        outcome.code = OutputFailed;
        outcome.message = error;
    }
    return outcome;
}

}  // namespace tova::vorsa
