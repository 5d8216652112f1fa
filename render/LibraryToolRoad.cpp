#include "render/LibraryToolRoad.h"

#include "platform/Vb.h"
#include "render/FreqTableCallback.h"
#include "render/ToolLibraries.h"
#include "song/PitchText.h"

namespace tova {
namespace {

const QString kRestEnvelope = QStringLiteral("0 0 0 0 100 100 0 0");

QString plain(float v) { return Vb::SingleText(v); }
QString fourDecimals(double v) { return Vb::Format(v, QStringLiteral("0.0###")); }

}  // namespace

QStringList LibraryToolRoad::EnvelopeTokens(const QString& envelope) {
    QStringList tokens = envelope.split(u' ');
    while (tokens.size() < ToolLibraries::CatenaArgumentCount - 4) tokens << QString();
    return tokens.mid(0, ToolLibraries::CatenaArgumentCount - 4);
}

QStringList LibraryToolRoad::VorsaArguments(const NoteRenderCall& call) {
    // Compact pitch text whatever the setting says: it never holds more than the two parts.
    QString pitch = EncodePitchText(call.pitchText, true);
    if (pitch.isEmpty()) pitch = QStringLiteral("!") + plain(call.tempo) + QStringLiteral(" AA#2#");
    const qsizetype blank = pitch.indexOf(u' ');
    const QString first = blank < 0 ? pitch : pitch.left(blank);
    const QString rest = blank < 0 ? QString() : pitch.mid(blank + 1);
    return {call.samplePath,
            call.noteFile,
            call.noteName,
            Vb::Format(call.velocity, QStringLiteral("0.0")),
            call.flags,
            fourDecimals(call.offset),
            fourDecimals(call.requiredLength),
            fourDecimals(call.consonant),
            fourDecimals(call.cutoff),
            call.intensity,
            call.modulation,
            first,
            rest};
}

void LibraryToolRoad::concatenate(const QString& output, const QString& input, const QString& startPoint,
                                  const QString& lengthText, const QString& envelope) {
    QStringList arguments{output, input, startPoint, lengthText};
    arguments += EnvelopeTokens(envelope);
    ToolLibraries::instance().CatenaExec(arguments);
}

void LibraryToolRoad::AppendRest(const QString& output, const QString& restSample, const QString& lengthText) {
    concatenate(output, restSample, QStringLiteral("0"), lengthText, kRestEnvelope);
}

void LibraryToolRoad::AppendPatch(const QString& output, const QString& patchSample, float stp,
                                  const QString& lengthText, const QString& envelope) {
    concatenate(output, patchSample, plain(stp), lengthText, envelope);
}

void LibraryToolRoad::AppendDirect(const QString& output, const QString& samplePath, double offset, float stp,
                                   const QString& lengthText, const QString& envelope) {
    concatenate(output, samplePath, plain(float(double(stp) + offset)), lengthText, envelope);
}

void LibraryToolRoad::RenderNote(const NoteRenderCall& call) {
    ToolLibraries::instance().VorsaExec(VorsaArguments(call), callback_);
}

ToolRoad::RenderJob LibraryToolRoad::PrepareRender(const NoteRenderCall& call) {
    auto exec = ToolLibraries::instance().PrepareVorsaExec(VorsaArguments(call));
    return [exec] { exec(&ConcurrentFreqTableCallback); };
}

void LibraryToolRoad::AppendNote(const QString& output, const QString& noteFile, float stp, const QString& lengthText,
                                 const QString& envelope) {
    concatenate(output, noteFile, plain(stp), lengthText, envelope);
}

}  // namespace tova
