#include "exchange/SongImport.h"

#include "core/MessageTable.h"
#include "exchange/FileOpenDispatch.h"
#include "exchange/ProjectWindow.h"
#include "exchange/ReadProblemsMessage.h"
#include "exchange/RenderBatchReader.h"
#include "exchange/TrackChooserPort.h"
#include "exchange/VoiceBankAccess.h"
#include "exchange/midi/SmfReader.h"
#include "exchange/vsq/VsqReader.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "song/ProjectFile.h"
#include "song/Song.h"

namespace tova {

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString tempoText(float tempo) { return Vb::Format(double(tempo), QStringLiteral("0.00")); }

// The file name's extension in lower case with its dot; empty when the name has none.
QString extensionOf(const QString& path) {
    const QString name = path.mid(PathText::lastSeparator(path) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

// Standard MIDI files go by these names (".kar" karaoke files are MIDI files with lyrics).
bool isSmfExtension(const QString& ext) {
    return ext == u".mid" || ext == u".midi" || ext == u".kar" || ext == u".smf";
}

// Whether a note from `first` on is sung (not a rest).
// The row the track chooser opens on: the first entry that holds notes, so that OK imports something;
// -1 (none chosen) when no entry does.
qint32 firstTrackWithNotes(const QList<qint32>& noteCounts) {
    for (qsizetype i = 0; i < noteCounts.size(); ++i)
        if (noteCounts[i] > 0) return qint32(i);
    return -1;
}

bool hasSungNote(const NoteArrays& notes, qint32 first) {
    for (qint32 i = first; i < notes.noteCount(); ++i)
        if (!IsRestLyric(notes.Lyrics[i])) return true;
    return false;
}

}  // namespace

SongImport::SongImport(ProjectWindow& window, VoiceBankAccess& voices, TrackChooserPort& chooser)
    : window_(window), voices_(voices), chooser_(chooser) {}

void SongImport::showFormatMessage() {
    Ports::msgBox(GetMessage(QStringLiteral("ファイル形式が正しくありません")), MsgButtons::OK);
}

void SongImport::showNothingMessage() {
    Ports::msgBox(GetMessage(QStringLiteral("読み込める音符がありませんでした")), MsgButtons::OK);
}

void SongImport::ImportMidiOrVsq(const QString& path) {
    QString base = path.mid(PathText::lastSeparator(path) + 1);
    QString ext;
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot >= 0) {
        ext = base.mid(dot).toLower();
        base = base.left(dot);
    }
    // The file is read before the open song is closed: a file that cannot be read, a track choice not
    // made and a track without notes leave the song as it was.
    NoteArrays notes;
    float tempo = 120.0f;
    bool read = false;
    if (isSmfExtension(ext)) {
        qint32 count = 0;
        read = readSmfTrack(path, ext, notes, count, tempo);
    } else if (ext == u".vsq") {
        read = readVsqTrack(path, notes, tempo);
    } else {
        showFormatMessage();
    }
    if (!read) return;
    if (!hasSungNote(notes, 0)) {
        // A file read without a note to sing (the conductor track chosen, a part without notes or of
        // rests only).
        showNothingMessage();
        return;
    }
    window_.NewProject();
    Song& song = window_.song();
    if (!song.VoiceDir.isEmpty()) {
        voices_.LoadOtoIni(song.VoiceDir);
        voices_.LoadPrefixMap(song.VoiceDir);
    }
    static_cast<NoteArrays&>(song) = std::move(notes);
    window_.SetTempoText(tempoText(tempo));
    song.Tempo = tempo;
    song.ProjectName = base;
    song.OutFile = base;
    FileOpenDispatch(window_, voices_).ShowVoiceInfo();
    window_.DrawBackground();
    window_.DrawNotes();
    song.SetModified(true);
}

bool SongImport::readSmfTrack(const QString& path, const QString& ext, NoteArrays& into, qint32& count,
                              float& tempo) {
    QList<qint32> noteCounts;
    const QStringList tracks = ListSmfTracks(path, &noteCounts);
    if (tracks.isEmpty()) {
        showFormatMessage();
        return false;
    }
    const qint32 track = ext == u".wsq" ? 2 : chooser_.SelectTrack(tracks, firstTrackWithNotes(noteCounts));
    if (track <= 0) return false;
    // The reader leaves the arrays as they were unless the whole track was read.
    if (tova::ImportSmfTrack(path, qint16(qMin(track, 32767)), count, tempo, into) < 0) {
        showFormatMessage();
        return false;
    }
    return true;
}

bool SongImport::ImportSmfTrack(const QString& path, const QString& ext) {
    Song& song = window_.song();
    qint32 count = song.noteCount();
    float tempo = song.Tempo;
    if (!readSmfTrack(path, ext, song, count, tempo)) return false;
    window_.SetTempoText(tempoText(tempo));
    song.Tempo = tempo;
    return true;
}

bool SongImport::ImportVsqTrack(const QString& path) {
    Song& song = window_.song();
    float tempo = song.Tempo;
    if (!readVsqTrack(path, song, tempo)) return false;
    window_.SetTempoText(tempoText(tempo));
    song.Tempo = tempo;
    return true;
}

bool SongImport::readVsqTrack(const QString& path, NoteArrays& into, float& tempo) {
    const QStringList tracks = ListSmfTracks(path);
    if (tracks.isEmpty()) {
        showFormatMessage();
        return false;
    }
    // A VSQ file keeps its notes in the sequence text of its voice tracks, which hold no note events: the
    // chooser opens on the first voice track (the second entry; the first is the master track).
    const qint32 track = tracks.size() <= 2 ? 2 : chooser_.SelectTrack(tracks, 1);
    if (track <= 0) return false;
    qint16 chosen = qint16(qMin(track, 32767));
    if (ReadVsqFile(path, tempo, into, chosen) <= 0) {
        showFormatMessage();
        return false;
    }
    return true;
}

bool SongImport::appendVsqTrack(const QString& path) {
    NoteArrays added;
    Song& song = window_.song();
    float tempo = song.Tempo;
    if (!readVsqTrack(path, added, tempo)) return false;
    window_.SetTempoText(tempoText(tempo));
    song.Tempo = tempo;
    const qint32 first = song.noteCount();
    song.resizeNotes(first + added.noteCount());
    for (qint32 i = 0; i < added.noteCount(); ++i) {
        song.Lengths[first + i] = added.Lengths[i];
        song.Lyrics[first + i] = added.Lyrics[i];
        song.NoteNums[first + i] = added.NoteNums[i];
        song.NoteExt[first + i] = added.NoteExt[i];
    }
    return true;
}

void SongImport::AppendLoadProject(const QString& path) {
    Song& song = window_.song();
    ProjectSettings discarded;
    qint32 index = song.noteCount();
    NoteArrays notes = song;
    QStringList problems;
    ReadProjectFile(path, discarded, index, notes, &problems);
    static_cast<NoteArrays&>(song) = std::move(notes);
    // What the reader refused or cut is said, as when the project is opened.
    ShowReadProblems(path, problems);
}

void SongImport::AppendLoadFile(const QString& path) {
    Song& song = window_.song();
    const QString ext = extensionOf(path);
    const qint32 first = song.noteCount();
    const float tempoBefore = song.Tempo;
    bool read = true;
    if (ext == u".tvx") AppendLoadProject(path);
    else if (isSmfExtension(ext) || ext == u".wsq") read = ImportSmfTrack(path, ext);
    else if (ext == u".vsq") read = appendVsqTrack(path);
    else read = RenderBatchReader(window_, voices_).AppendBatchNotes(path);

    const qint32 last = song.noteCount() - 1;
    // A file that was read but adds no sung note (a track without notes, the conductor track chosen)
    // says so, as the import does.
    if (read && !hasSungNote(song, first)) showNothingMessage();
    const bool tempoChanged = song.Tempo != tempoBefore;
    if (first <= last || tempoChanged) {
        QString undo, redo;
        if (first <= last) {
            for (qint32 i = first; i <= last; ++i) redo += CrLf + song.SerializeNote(QStringLiteral("INS"), i);
            undo = QStringLiteral("DEL\t") + QString::number(first) + u'\t' + QString::number(last);
        }
        // The file's tempo replaced the project's: undoing the step brings the old tempo back.
        if (tempoChanged) {
            undo += CrLf + Song::TempoRecordLine(tempoBefore);
            redo += CrLf + Song::TempoRecordLine(song.Tempo);
        }
        song.PushUndoRecord(undo, redo, GetMessage(QStringLiteral("追加で読込")));
        if (first <= last) {
            song.SelStart = first;
            song.SelEnd = last;
        }
    }
    window_.DrawBackground();
    window_.DrawNotes();
    song.SetModified(true);
}

}  // namespace tova
