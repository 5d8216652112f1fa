#include "exchange/SongExport.h"

#include "core/MessageTable.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfWriter.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "song/Song.h"

#include <QFileInfo>

#include <algorithm>

namespace tova {

namespace {

// Runs a writer; a song it refuses shows why: the note it cannot hold (by its number, its measure of
// four beats and its lyric), else the format message.
template <class Body>
bool refusedShown(const NoteArrays& notes, Body body) {
    try {
        body();
        return true;
    } catch (const SmfNoteRangeError& e) {
        qint64 position = 0;
        for (qint32 i = 0; i < e.index() && i < notes.noteCount(); ++i) position += notes.Lengths.value(i);
        Ports::msgBox(GetMessage(QStringLiteral("{1}番目の音符（{2}小節目、歌詞「{3}」）は音の高さがMIDIで書ける範囲の外にあるため、"
                                                "書き出せませんでした。"),
                                 QString::number(e.index() + 1), QString::number(position / 7680 + 1),
                                 notes.Lyrics.value(e.index())),
                      MsgButtons::OK);
        return false;
    } catch (const SmfFormatError&) {
        Ports::msgBox(GetMessage(QStringLiteral("ファイル形式が正しくありません")), MsgButtons::OK);
        return false;
    } catch (const TovaError& e) {
        // The file could not be written (a full disk, no right to write): the old file stays.
        Ports::msgBox(e.description(), MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
}

}  // namespace

void SongExport::mnSaveExport_Click() {
    FileDialogRequest request;
    request.save = true;
    request.title = GetMessage(QStringLiteral("形式を指定してエクスポート"));
    request.filter = QStringLiteral("SMFファイル(*.mid)|*.mid|VSQ形式ファイル(*.vsq)|*.vsq|すべてのファイル(*.*)|*.*");
    request.filterIndex = 1;
    request.overwritePrompt = true;
    const qsizetype dot = song_.ProjectPath.lastIndexOf(u'.');
    request.fileName = song_.ProjectPath.isEmpty() ? song_.ProjectName
                       : dot < 0                   ? song_.ProjectPath
                                                   : song_.ProjectPath.left(dot);
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return;
    QString name = chosen.fileName;
    // A name typed without an extension takes the chosen filter's.
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    if (name.indexOf(u'.', slash + 1) < 0) {
        if (chosen.filterIndex == 1) name += QStringLiteral(".mid");
        else if (chosen.filterIndex == 2) name += QStringLiteral(".vsq");
    }
    // A MIDI file holds notes: a song without any writes no file, and says so (before any question
    // about replacing a file) rather than report one.
    if (song_.noteCount() == 0 && !name.endsWith(QLatin1String(".vsq"), Qt::CaseInsensitive)) {
        Ports::msgBox(GetMessage(QStringLiteral("音符がないため、{1}を作成しませんでした。"), name), MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    // The dialog asked about the name it returned when that file exists as spelt; a file it did not see
    // (the name with the added extension, or one whose name differs only in letter case, which the
    // writers would replace) is replaced only when the user agrees.
    const bool dialogAsked = name == chosen.fileName && QFileInfo::exists(name);
    if (!dialogAsked && FileSystem::exists(name)) {
        const QString existing = FileSystem::resolve(name);
        if (Ports::msgBox(GetMessage(QStringLiteral("'{1}'を上書きします"), existing), MsgButtons::OKCancel,
                          MsgIcon::Exclamation) != MsgResult::OK)
            return;
    }
    const auto hasExtension = [&name](const char* extension) {
        return name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
    };
    if (hasExtension(".vsq")) {
        ExportVsq(name);
    } else if (hasExtension(".stm")) {
        if (ExportSmfTM(name))
            Ports::msgBox(GetMessage(QStringLiteral("歌うTmidity形式のsmfファイルを生成します")), MsgButtons::OK);
    } else if (hasExtension(".aqu")) {
        Ports::msgBox(GetMessage(QStringLiteral("AquesTone形式のsmfファイルを生成します")), MsgButtons::OK);
        ExportSmfAQ(name);
    } else {
        ExportSmf(name);
    }
}

bool SongExport::exportSmf(const QString& path, bool withTempo, const QString& mode) {
    QStringList header{QStringLiteral("@rem project=") + song_.ProjectName};
    if (withTempo) header << QStringLiteral("@set tempo=") + Vb::SingleText(song_.Tempo);
    return refusedShown(song_, [&] { WriteSmfFile(song_.Tempo, header, song_, path, mode); });
}

bool SongExport::ExportSmf(const QString& path) { return exportSmf(path, true, QString()); }
bool SongExport::ExportSmfTM(const QString& path) { return exportSmf(path, false, QStringLiteral("TM")); }
bool SongExport::ExportSmfAQ(const QString& path) { return exportSmf(path, false, QStringLiteral("AQ")); }

bool SongExport::ExportVsq(const QString& path) {
    return refusedShown(song_, [&] { WriteVsqFile(song_.Tempo, song_, path); });
}

}  // namespace tova
