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
// "ファイル形式が正しくありません"; the song then stays as it was. A file is read into arrays of its own
// and reaches the song only when it was read whole; the import command closes the open song only then,
// and only for notes. A track choice cancelled, or ended with OK and no row chosen, ends silently. Errors other than format failures (a file that cannot be
// opened) reach the caller.
class SongImport {
public:
    SongImport(ProjectWindow& window, VoiceBankAccess& voices, TrackChooserPort& chooser);

    // The import command's worker: the file by its extension in any letter case (".mid", ".midi", ".kar",
    // ".smf" or ".vsq"; any other is a format failure), then, when it brought notes, a new project (its
    // voice bank reloaded) holding them at the file's tempo (120 when it has none), named after the file
    // without folder and extension, as is the output file. The project is marked modified; the history
    // starts fresh. A file that brings no notes says so and, like a failure or no choice, leaves the open
    // song as it was.
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
    // The MIDI track the user chooses (track 2 of a ".wsq" file) added to `into` from index `count` on,
    // and the VSQ voice track the user chooses replacing `into`; `tempo` goes in as the tempo to keep
    // when the file has none and comes out as the file's. False, with the arrays as they were, when the
    // file cannot be read (the format message is shown) or no track was chosen.
    bool readSmfTrack(const QString& path, const QString& ext, NoteArrays& into, qint32& count, float& tempo);
    bool readVsqTrack(const QString& path, NoteArrays& into, float& tempo);
    bool appendVsqTrack(const QString& path);
    void showFormatMessage();
    void showNothingMessage();

    ProjectWindow& window_;
    VoiceBankAccess& voices_;
    TrackChooserPort& chooser_;
};

}  // namespace tova
