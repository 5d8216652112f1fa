#pragma once

#include "render/ToolRoad.h"

#include <QString>

namespace tova {

// The tool programs, started one command line at a time and awaited (ShellAndWait). The command
// lines are those of the render batch's tool calls with every variable filled in. Notes render side
// by side: a note's tool 2 program is started on the caller's thread and its job waits for it to end.
class ProgramToolRoad : public ToolRoad {
public:
    ProgramToolRoad(const QString& tool1, const QString& tool2) : tool1_(tool1), tool2_(tool2) {}

    void AppendRest(const QString& output, const QString& restSample, const QString& lengthText) override;
    void AppendPatch(const QString& output, const QString& patchSample, float stp, const QString& lengthText,
                     const QString& envelope) override;
    void AppendDirect(const QString& output, const QString& samplePath, double offset, float stp,
                      const QString& lengthText, const QString& envelope) override;
    void RenderNote(const NoteRenderCall& call) override;
    RenderJob PrepareRender(const NoteRenderCall& call) override;
    void AppendNote(const QString& output, const QString& noteFile, float stp, const QString& lengthText,
                    const QString& envelope) override;

    // The command lines, as they are run.
    QString RestLine(const QString& output, const QString& restSample, const QString& lengthText) const;
    QString PatchLine(const QString& output, const QString& patchSample, float stp, const QString& lengthText,
                      const QString& envelope) const;
    QString DirectLine(const QString& output, const QString& samplePath, double offset, float stp,
                       const QString& lengthText, const QString& envelope) const;
    QString RenderLine(const NoteRenderCall& call) const;
    QString AppendLine(const QString& output, const QString& noteFile, float stp, const QString& lengthText,
                       const QString& envelope) const;

private:
    QString tool1_;
    QString tool2_;
};

}  // namespace tova
