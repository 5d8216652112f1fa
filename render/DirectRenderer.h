#pragma once

#include "render/InProcessRender.h"

#include <memory>

namespace tova {

class RenderWindow;
class Song;
class ToolRoad;
struct RenderNotePlan;

// Renders a range of notes into the output wave file without batch files: for each note, in the order
// and with the values of the render batch, tool 2 renders the note into its note file when needed
// (with the render cache on, only when the file is missing) and tool 1 appends it to the output's two
// parts, which are joined at the end through the concatenator's library. Every note is planned and
// every value checked (render/RenderValueCheck.h) before a file is touched; a refused value raises
// RenderValueError whatever DebugMode says. Tool programs that the project names and the user has not
// allowed are asked about (render/ToolTrust.h); a refusal ends the render as Stopped, with no output. The tools are reached
// through their library forms with `UseDLL` on (given up for the rest of the run when no "vorsa*.so"
// lies in the program folder), otherwise through their programs.
//
// Notes render side by side, one per core, when the road allows it (the libraries): each is appended
// in song order as soon as it and the notes before it are ready, so the output has the bytes of a
// render one note after the other. A note whose sample's frequency table is still to be made renders
// in order, after the notes before it are appended, with the table's progress shown.
//
// The progress window shows the note being rendered; its stop link ends the render before the next
// note: the notes done so far (with those already under way) are joined into the output and the
// render answers Stopped. A failure
// ends the render too (with DebugMode on it then reaches the caller): nothing is joined and no output
// exists. Either way the output's parts are never left behind.
//
// With the render cache on, a finished render leaves a record of its appends in the cache folder; the
// next render into the same output, on the library road, appends again only the stretch that changed
// (between restart points, see render/RenderReuse.h) and takes the rest from the previous output,
// writing the output once with the bytes of a whole render. A stop during such a render leaves no
// output; anything that does not match the record renders the whole song.
class DirectRenderer : public InProcessRender {
public:
    DirectRenderer(Song& song, RenderWindow& window);
    ~DirectRenderer() override;

    // Notes rendered at once: one per core unless set (1 renders one note after the other).
    void SetWorkers(unsigned count) { workers_ = count; }

    // An output name without a folder is placed in the path's folder (an empty one becomes the path's
    // base name with ".wav"), and comes back with that folder.
    RenderEnd RenderDirect(const QString& projectName, const QString& path, qint32 first, qint32 last,
                           QString& outputName) override;
    MissingSamples missingSamples() const override { return missing_; }

protected:
    // The road to the tools for one render (`library`: the libraries, else the programs).
    virtual std::unique_ptr<ToolRoad> MakeRoad(bool library);

private:
    struct Pending;
    struct Run;
    struct Piece;
    // The note file a note is appended from ("" for notes that need none).
    QString noteFileOf(const Run& run, const RenderNotePlan& note) const;
    Piece pieceOf(const RenderNotePlan& note, const QString& noteFile) const;
    QString pieceKey(Run& run, const Piece& piece) const;
    // Renders a note when it needs it (handing it to a worker when the road allows) and queues it.
    void startNote(Run& run, const RenderNotePlan& note);
    // Waits for the first queued note and appends it.
    void appendNext(Run& run);
    void appendNote(Run& run, const Pending& note);
    static bool isReady(const Pending& note);

    Song& song_;
    RenderWindow& window_;
    MissingSamples missing_;
    unsigned workers_ = 0;
    bool reuseAllowed_ = true;
};

}  // namespace tova
