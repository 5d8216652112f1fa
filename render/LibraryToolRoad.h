#pragma once

#include "render/ToolRoad.h"
#include "tools/vorsa/library/VorsaExec.h"

#include <QStringList>

namespace tova {

// The tools' library forms, called in process (ToolLibraries). The pitch curve always goes to the note
// renderer as compact pitch text, in two parts: the text up to its first blank and all the rest, so
// no part of the curve is ever left out.
class LibraryToolRoad : public ToolRoad {
public:
    explicit LibraryToolRoad(VorsaProgressCallback callback) : callback_(callback) {}

    void AppendRest(const QString& output, const QString& restSample, const QString& lengthText) override;
    void AppendPatch(const QString& output, const QString& patchSample, float stp, const QString& lengthText,
                     const QString& envelope) override;
    void AppendDirect(const QString& output, const QString& samplePath, double offset, float stp,
                      const QString& lengthText, const QString& envelope) override;
    void RenderNote(const NoteRenderCall& call) override;
    // The job calls the library with a progress callback that only answers the stop request (a
    // frequency table made there shows no progress; the renderer gives notes whose table is still
    // to be made to RenderNote).
    RenderJob PrepareRender(const NoteRenderCall& call) override;
    void AppendNote(const QString& output, const QString& noteFile, float stp, const QString& lengthText,
                    const QString& envelope) override;

    // The thirteen texts of the note renderer's `exec` for a call.
    static QStringList VorsaArguments(const NoteRenderCall& call);
    // An envelope text as the concatenator's eleven envelope arguments (blank-separated values, padded
    // with empty texts or cut to eleven).
    static QStringList EnvelopeTokens(const QString& envelope);

private:
    void concatenate(const QString& output, const QString& input, const QString& startPoint,
                     const QString& lengthText, const QString& envelope);
    VorsaProgressCallback callback_;
};

}  // namespace tova
