#pragma once

#include <QString>

namespace tova {

class ProjectWindow;
struct NoteArrays;
class TrackChooserPort;
class VoiceBankAccess;

// Bringing notes from other files into the song: the import command (a Standard MIDI File or a VSQ
// file replaces the song) and append-load (a project, MIDI, older ".wsq", VSQ or render batch file is
// added after the last note as one undoable step).
//
// Every file that cannot be read as what its name says ends in the one message
// "ファイル形式が正しくありません"; the song then stays as it was (after an import: the new empty
// project). A file is read into arrays of its own and reaches the song only when it was read whole.
// A cancelled track choice ends silently. Errors other than format failures (a file that cannot be
// opened) reach the caller.
class SongImport {
public:
    SongImport(ProjectWindow& window, VoiceBankAccess& voices, TrackChooserPort& chooser);

    // The import command's worker: a new project (its voice bank reloaded), tempo 120, then the file by
    // its extension in any letter case (".mid", ".smf" or ".vsq"; any other imports nothing). When notes
    // came in, the project and the output file take the file's name without folder and extension. The
    // project is marked modified; the history starts fresh.
    void ImportMidiOrVsq(const QString& path);
    // One track of a Standard MIDI File added after the current notes: track 2 for ".wsq" (`ext` is the
    // lower-case extension with its dot), else the track the user chooses. The project tempo becomes the
    // file's. True when the file was read (even if it held no note).
    bool ImportSmfTrack(const QString& path, const QString& ext);
    // One voice track of a VSQ file replacing the notes (the chooser is shown only when the file has more
    // than one voice track); the project tempo becomes the file's. A file with no element is a format
    // failure. True when notes were read.
    bool ImportVsqTrack(const QString& path);

    // Append-load: by the file name's extension in any letter case, ".tvx" a project, ".mid", ".smf" and
    // ".wsq" a MIDI track, ".vsq" a VSQ voice track, anything else a render batch. The notes added (and a
    // change of the project tempo) form one undo step "追加で読込", and the new notes are selected. The
    // window is redrawn and marked modified in any case.
    void AppendLoadFile(const QString& path);
    // The notes of a project file after the current ones; the file's project settings are not taken.
    void AppendLoadProject(const QString& path);

private:
    // The VSQ voice track the user chooses into `into`; the project tempo becomes the file's.
    bool readVsqTrack(const QString& path, NoteArrays& into);
    bool appendVsqTrack(const QString& path);
    void showFormatMessage();

    ProjectWindow& window_;
    VoiceBankAccess& voices_;
    TrackChooserPort& chooser_;
};

}  // namespace tova
