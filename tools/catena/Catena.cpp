#include "tools/catena/Catena.h"

#include "platform/lean/Failure.h"
#include "platform/lean/Numbers.h"
#include "tools/catena/CatenaEnvelope.h"
#include "tools/catena/CatenaInput.h"
#include "tools/catena/CatenaLength.h"
#include "tools/catena/CatenaParts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tova {
namespace {

// Longest piece a wave can hold (16-bit samples, 32-bit sizes).
constexpr std::int64_t MaxPieceFrames = (std::int64_t(std::numeric_limits<std::uint32_t>::max()) - 36) / 2;

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

}  // namespace

std::int64_t Catena::toFrames(double ms) {
    // Far beyond any wave (and any input) either way; keeps the sample arithmetic from overflowing.
    constexpr double Limit = double(std::int64_t(1) << 50);
    const double frames = std::round(ms * CatenaParts::SampleRate / 1000.0);
    if (std::isnan(frames)) return 0;
    return std::int64_t(std::clamp(frames, -Limit, Limit));
}

void Catena::append(const std::string& output, const std::string& input, const std::string& startPointText,
                    const std::string& lengthText, const std::vector<std::string>& envelope) {
    const CatenaEnvelope env(envelope);
    const double lengthMs = std::max(0.0, CatenaLength::milliseconds(lengthText));
    const std::int64_t frames = toFrames(lengthMs);
    if (frames > MaxPieceFrames)
        throw lean::Failure(lean::Failure::Io, "a piece of " + number(lengthMs) + " ms is longer than a wave can hold");
    const std::int64_t overlap = toFrames(env.overlapMs());
    if (overlap < -MaxPieceFrames || overlap > MaxPieceFrames)
        throw lean::Failure(lean::Failure::Io, "an overlap of " + number(env.overlapMs()) + " ms is out of range");

    // The piece goes block by block from the input through the envelope into the parts.
    const std::int64_t startFrame = toFrames(lean::val(startPointText));
    CatenaInput in(input);
    CatenaParts(output).mix(frames, [&](std::int64_t first, double* out, std::size_t count) {
        in.read(startFrame + first, out, count);
        env.shape(out, std::size_t(first), count, lengthMs);
    }, overlap);
}

void Catena::appendFiles(const std::string& headerPart, const std::string& dataPart, const std::string& output) {
    CatenaParts::join(headerPart, dataPart, output);
}

int Catena::runProgram(const std::vector<std::string>& arguments, std::string& errors) {
    if (arguments.size() < 4) {
        errors = "usage: catena output input start-point length [p1 p2 p3 v1 v2 v3 v4 [overlap [p4 [p5 [v5]]]]]\n";
        return 2;
    }
    try {
        append(arguments[0], arguments[1], arguments[2], arguments[3],
               std::vector<std::string>(arguments.begin() + 4, arguments.end()));
        return 0;
    } catch (const std::exception& e) {
        errors = std::string("catena: ") + e.what() + "\n";
    }
    return 1;
}

}  // namespace tova
