#pragma once

#include "render/SelectionRenderer.h"

#include <QString>
#include <QtGlobal>

namespace tova {

class InProcessRender;
class RenderBatchWriter;
class RenderWindow;
class Song;

// The main window's operations that turn the song into a wave file and tell the user how it went:
// the generate command, the output-name question, the batch run and the selection render. The road is
// chosen by the settings: with `NonBatchMode` or `UseDLL` on the in-process renderer does the work,
// otherwise the render batch is written and run by the batch runner. Either way the output file's
// existence decides the outcome.
class RenderCommands : public SelectionRenderer {
public:
    RenderCommands(Song& song, RenderWindow& window, RenderBatchWriter& writer, InProcessRender& direct);

    // The handler of `mnGenerate` ("wavファイルを生成(&G)..."): renders the whole song to the project's
    // output file after asking for its name, and reports the result.
    void mnGenerate_Click();
    // The save dialog for the output name. True when the user chose a name (stored in `fileName`);
    // false, with `fileName` unchanged, when cancelled.
    bool AskOutputFileName(QString& fileName);
    // Runs a written render batch and waits for it with the window locked, then tests that the output
    // exists (a name without folder is taken in the batch's folder).
    bool RunBatchAndWait(const QString& batchPath, QString outputName);
    // Renders notes first..last into "temp.wav" of the temporary folder; true when it was produced.
    bool RenderSelectionToTemp(qint32& first, qint32& last) override;

private:
    bool inProcess() const;

    Song& song_;
    RenderWindow& window_;
    RenderBatchWriter& writer_;
    InProcessRender& direct_;
};

}  // namespace tova
