#pragma once

#include <QString>

#include <functional>

namespace tova {

// One call of tool 2, the note renderer, as the in-process renderer makes it for a sung note.
struct NoteRenderCall {
    QString samplePath;   // the voice sample
    QString noteFile;     // the file to write
    QString noteName;     // target pitch ("C4" style)
    float velocity = 100;
    QString flags;
    double offset = 0;         // ms into the sample
    float requiredLength = 0;  // ms, a multiple of 50
    double consonant = 0;
    double cutoff = 0;
    QString intensity;
    QString modulation;
    QString pitchText;  // the note's pitch text as the render batch would pass it (may be empty)
    float tempo = 120;  // the tempo in force, stamped into an empty pitch text where one is needed
};

// How the in-process renderer reaches the two tools: through their library forms in this process, or
// through their programs, one command line at a time. Each road writes the numbers in the formats its
// form of the tools takes. Tool 1 appends to the parts "<output>.whd" and "<output>.dat".
class ToolRoad {
public:
    virtual ~ToolRoad() = default;

    // Tool 1 for a rest: the rest sample over the rest's length.
    virtual void AppendRest(const QString& output, const QString& restSample, const QString& lengthText) = 0;
    // Tool 1 for a note with a patch sample (used as it is, from its start point).
    virtual void AppendPatch(const QString& output, const QString& patchSample, float stp, const QString& lengthText,
                             const QString& envelope) = 0;
    // Tool 1 for a note that uses its voice sample directly, from offset + stp.
    virtual void AppendDirect(const QString& output, const QString& samplePath, double offset, float stp,
                              const QString& lengthText, const QString& envelope) = 0;
    // Tool 2: renders one note into its note file.
    virtual void RenderNote(const NoteRenderCall& call) = 0;
    // Tool 2 split in two so that notes render side by side: everything that needs the caller's
    // thread happens here, and the job answered does the rest on any thread, at the same time as other
    // notes' jobs, writing only the call's note file. An empty job means the road renders only in
    // order, through RenderNote.
    using RenderJob = std::function<void()>;
    virtual RenderJob PrepareRender(const NoteRenderCall& call) {
        Q_UNUSED(call);
        return {};
    }
    // Tool 1 for a rendered note.
    virtual void AppendNote(const QString& output, const QString& noteFile, float stp, const QString& lengthText,
                            const QString& envelope) = 0;
};

}  // namespace tova
