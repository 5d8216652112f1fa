#include "render/ProgramToolRoad.h"

#include "core/Processes.h"
#include "platform/ProcessHandle.h"
#include "platform/Vb.h"

#include <QStringList>

namespace tova {
namespace {

QString quoted(const QString& text) { return u'"' + text + u'"'; }
QString plain(float v) { return Vb::SingleText(v); }
QString fourDecimals(double v) { return Vb::Format(v, QStringLiteral("0.0###")); }

// Window styles of the tool programs: the rest line runs normal, the others minimised.
constexpr int kNormal = 1;
constexpr int kMinimised = 2;

}  // namespace

QString ProgramToolRoad::RestLine(const QString& output, const QString& restSample, const QString& lengthText) const {
    return QStringList{quoted(tool1_), quoted(output), quoted(restSample), QStringLiteral("0"), lengthText,
                       QStringLiteral("0"), QStringLiteral("0")}
        .join(u' ');
}

QString ProgramToolRoad::PatchLine(const QString& output, const QString& patchSample, float stp,
                                   const QString& lengthText, const QString& envelope) const {
    return QStringList{quoted(tool1_), quoted(output), quoted(patchSample), plain(stp), lengthText, envelope}.join(u' ');
}

QString ProgramToolRoad::DirectLine(const QString& output, const QString& samplePath, double offset, float stp,
                                    const QString& lengthText, const QString& envelope) const {
    return QStringList{quoted(tool1_), quoted(output), quoted(samplePath), fourDecimals(double(stp) + offset),
                       lengthText, envelope}
        .join(u' ');
}

QString ProgramToolRoad::RenderLine(const NoteRenderCall& call) const {
    return QStringList{quoted(tool2_),
                       quoted(call.samplePath),
                       quoted(call.noteFile),
                       call.noteName,
                       Vb::Format(call.velocity, QStringLiteral("0.0")),
                       quoted(call.flags),
                       fourDecimals(call.offset),
                       plain(call.requiredLength),
                       fourDecimals(call.consonant),
                       fourDecimals(call.cutoff),
                       call.intensity,
                       call.modulation,
                       call.pitchText}
        .join(u' ');
}

QString ProgramToolRoad::AppendLine(const QString& output, const QString& noteFile, float stp,
                                    const QString& lengthText, const QString& envelope) const {
    return QStringList{quoted(tool1_), quoted(output), quoted(noteFile), plain(stp), lengthText, envelope}.join(u' ');
}

void ProgramToolRoad::AppendRest(const QString& output, const QString& restSample, const QString& lengthText) {
    ShellAndWait(RestLine(output, restSample, lengthText), kNormal);
}

void ProgramToolRoad::AppendPatch(const QString& output, const QString& patchSample, float stp,
                                  const QString& lengthText, const QString& envelope) {
    ShellAndWait(PatchLine(output, patchSample, stp, lengthText, envelope), kMinimised);
}

void ProgramToolRoad::AppendDirect(const QString& output, const QString& samplePath, double offset, float stp,
                                   const QString& lengthText, const QString& envelope) {
    ShellAndWait(DirectLine(output, samplePath, offset, stp, lengthText, envelope), kMinimised);
}

void ProgramToolRoad::RenderNote(const NoteRenderCall& call) { ShellAndWait(RenderLine(call), kMinimised); }

ToolRoad::RenderJob ProgramToolRoad::PrepareRender(const NoteRenderCall& call) {
    const qint64 pid = Shell(RenderLine(call), kMinimised);
    return [pid] {
        ProcessHandle handle;
        if (handle.open(pid)) handle.wait(-1);
    };
}

void ProgramToolRoad::AppendNote(const QString& output, const QString& noteFile, float stp, const QString& lengthText,
                                 const QString& envelope) {
    ShellAndWait(AppendLine(output, noteFile, stp, lengthText, envelope), kMinimised);
}

}  // namespace tova
