#pragma once

#include "mainwindow/NoteDrawing.h"
#include "mainwindow/NoteDrawingPort.h"

namespace tova {

class MainWindow;
class NoteDrawingServices;

// The note layer of the main window: draws the song into the roll ("Picture2") and the ruler
// ("Picture4") from the window's state, keeps the geometry, the handles, the song length and the
// playback notes in the window's fields, and shows the play-position line "Line3", the selected
// duration in the second status panel and the horizontal bar's new maximum.
class ProgramNoteDrawing : public NoteDrawingPort {
public:
    // `services` gives the region names of the ruler; without it none is shown.
    explicit ProgramNoteDrawing(const NoteDrawingServices* services = nullptr);

    void DrawNotes(EditContext& window, const QString& option) override;

    // What the window shows now: its song, selection, scales, scroll values, switches and play position.
    static NoteScene sceneOf(MainWindow& window);

private:
    const NoteDrawingServices* services_;
};

}  // namespace tova
