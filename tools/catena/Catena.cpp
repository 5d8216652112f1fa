#include "tools/catena/Catena.h"

#include "platform/Errors.h"
#include "platform/Vb.h"
#include "tools/catena/CatenaEnvelope.h"
#include "tools/catena/CatenaInput.h"
#include "tools/catena/CatenaLength.h"
#include "tools/catena/CatenaParts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {
namespace {

// Longest piece a wave can hold (16-bit samples, 32-bit sizes).
constexpr qint64 MaxPieceFrames = (qint64(std::numeric_limits<quint32>::max()) - 36) / 2;

}  // namespace

qint64 Catena::toFrames(double ms) {
    // Far beyond any wave (and any input) either way; keeps the sample arithmetic from overflowing.
    constexpr double Limit = double(qint64(1) << 50);
    const double frames = std::round(ms * CatenaParts::SampleRate / 1000.0);
    if (std::isnan(frames)) return 0;
    return qint64(std::clamp(frames, -Limit, Limit));
}

void Catena::append(const QString& output, const QString& input, const QString& startPointText,
                    const QString& lengthText, const QStringList& envelope) {
    const CatenaEnvelope env(envelope);
    const double lengthMs = std::max(0.0, CatenaLength::milliseconds(lengthText));
    const qint64 frames = toFrames(lengthMs);
    if (frames > MaxPieceFrames) throw IoError(QStringLiteral("a piece of %1 ms is longer than a wave can hold").arg(lengthMs));
    const qint64 overlap = toFrames(env.overlapMs());
    if (overlap < -MaxPieceFrames || overlap > MaxPieceFrames)
        throw IoError(QStringLiteral("an overlap of %1 ms is out of range").arg(env.overlapMs()));

    // The piece goes block by block from the input through the envelope into the parts.
    const qint64 startFrame = toFrames(Vb::Val(startPointText));
    CatenaInput in(input);
    CatenaParts(output).mix(frames, [&](qint64 first, double* out, std::size_t count) {
        in.read(startFrame + first, out, count);
        env.shape(out, std::size_t(first), count, lengthMs);
    }, overlap);
}

void Catena::appendFiles(const QString& headerPart, const QString& dataPart, const QString& output) {
    CatenaParts::join(headerPart, dataPart, output);
}

int Catena::runProgram(const QStringList& arguments, QString& errors) {
    if (arguments.size() < 4) {
        errors = QStringLiteral(
            "usage: catena output input start-point length [p1 p2 p3 v1 v2 v3 v4 [overlap [p4 [p5 [v5]]]]]\n");
        return 2;
    }
    try {
        append(arguments[0], arguments[1], arguments[2], arguments[3], arguments.mid(4));
        return 0;
    } catch (const TovaError& e) {
        errors = QStringLiteral("catena: %1\n").arg(e.description());
    } catch (const std::exception& e) {
        errors = QStringLiteral("catena: %1\n").arg(QString::fromLocal8Bit(e.what()));
    }
    return 1;
}

}  // namespace tova
