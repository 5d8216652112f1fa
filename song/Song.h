#pragma once

#include "song/NoteArrays.h"

#include <QString>
#include <QStringList>

namespace tova {

class SongHost;
class NoteCache;

// The open project: the four note arrays, the project settings, the selection, the modified flag and
// the undo history. The main window owns one for the life of the program; a new project resets it.
class Song : public NoteArrays {
public:
    // ---- project settings (written to and read from the project file) ----
    QString ProjectPath;                              // empty until the project is saved
    QString ProjectName;
    QString VoiceDir;                                 // voice-bank folder
    QString OutFile = QStringLiteral("newfile.wav");  // output wave file
    QString CacheDir;                                 // render cache folder; empty = the temporary one
    QString Tool1, Tool2;                             // tool paths
    QString ProjectFlags;                             // render flags of the whole project
    float Tempo = 120.0f;                             // beats per minute, single precision
    bool Mode2 = false;                               // mode-2 pitch curves (mirrored by the Mode2 check box)

    // ---- editing state ----
    bool IsModified = false;   // unsaved changes
    bool WasModified = false;  // IsModified before the last SetModified
    // Selection: note indexes in either order; both equal to the note count when nothing is selected.
    qint32 SelStart = 0;
    qint32 SelEnd = 0;

    // Per-instance temporary folder that holds the recovery copy; set by the main window at start-up.
    QString TempFolder;

    // ---- undo history ----
    QStringList UndoTexts;     // undo text of record i
    QStringList RedoTexts;     // redo text of record i
    QStringList UndoCaptions;  // caption of record i (already localised)
    qint32 UndoPos = 0;        // records 0..UndoPos-1 can be undone, the rest redone
    qint32 SavedUndoPos = 0;   // UndoPos when last saved; -1 when that state can no longer be reached
    qint32 PropUndoFrom = 0;
    qint32 PropUndoTo = 0;
    QString PropUndoCaption;
    QString PropUndoBefore;

    // The window that shows the song and the render cache; either may be null.
    void attach(SongHost* host, NoteCache* cache) {
        host_ = host;
        cache_ = cache;
    }
    SongHost* host() const { return host_; }
    NoteCache* cache() const { return cache_; }

private:
    SongHost* host_ = nullptr;
    NoteCache* cache_ = nullptr;
};

}  // namespace tova
