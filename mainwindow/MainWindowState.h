#pragma once

#include "mainwindow/CurveHandles.h"
#include "mainwindow/NoteDrawing.h"
#include "commands/NoteGeometry.h"
#include "render/PlayState.h"

#include <QList>

#include <cstdint>

namespace tova {

// A point of a curve being drawn (x, y in twips).
struct CurvePoint {
    double x = 0;
    double y = 0;
};

// The view and editing fields of the main window besides the song itself (which the Song model holds:
// note arrays, project settings, selection, modified flag and undo history). The selection player's
// fields (play position, first played note, sounding note) are those of PlayState, which the playback
// commands write.
struct MainWindowState : PlayState {
    qint32 CurNote = -1;           // current (focused) note; -1 = none
    int16_t BeatsPerBar = 4;       // beats per measure of the grid: 4 or 3
    int32_t NewNoteLength = 1920;  // ticks of notes entered by typing
    int16_t ParamView = 0;         // value of the parameter-view switch
    bool Mode2Lock = false;        // raised while start-up sets the mode-2 switch
    NoteGeometryList NoteGeometry{NoteGeometryRecord()};
    // Kept by the note drawing from one drawing to the next: the song's timeline and which records of
    // NoteGeometry were drawn.
    NoteLayerMemory NoteLayer;
    QList<CurvePoint> PitchCurvePts{CurvePoint()};
    QList<CurvePoint> VibratoCurvePts{CurvePoint()};
    // Pitch-point and vibrato handles of the selection-start note, as the last note drawing left them.
    CurveHandles Handles;
    int CursorNoteNum = -1;        // note number under the pointer (roll and keyboard strip)
    qint64 SongLength = 0;         // sum of the note lengths as the last note drawing totalled it
    int32_t PlayScrollNote = -1;   // note playback has to scroll to; -1 = none
};

}  // namespace tova
