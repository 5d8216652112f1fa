#include "exchange/FileOpenDispatch.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Settings.h"
#include "exchange/ProjectWindow.h"
#include "exchange/ReadProblemsMessage.h"
#include "exchange/RenderBatchReader.h"
#include "exchange/VoiceBankAccess.h"
#include "exchange/midi/SmfReader.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "render/VoiceBankList.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"
#include "song/ProjectFile.h"
#include "song/ProjectPaths.h"
#include "song/Song.h"

namespace tova {

FileOpenDispatch::FileOpenDispatch(ProjectWindow& window, VoiceBankAccess& voices)
    : window_(window), voices_(voices) {}

bool FileOpenDispatch::OpenFileByType(const QString& pathIn) {
    QString path = pathIn;
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"')) path = path.mid(1, path.size() - 2);

    // Only a regular file is opened: a pipe would hold the window for ever, a folder or device reads as
    // nothing. The project in hand stays.
    if (!FileSystem::isRegularFile(path)) {
        Ports::msgBox(FileSystem::exists(path)
                          ? GetMessage(QStringLiteral("{1} は通常のファイルではないため開けません。"), path)
                          : GetMessage(QStringLiteral("{1} が見つかりません。"), path),
                      MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }

    window_.NewProject();
    Song& song = window_.song();
    song.ProjectPath = path;
    song.ProjectName = PathText::baseName(path);

    // The older form and render batches are told by their extension in any letter case; anything else
    // is read as a project file.
    if (path.endsWith(QStringLiteral(".wsq"), Qt::CaseInsensitive))
        OpenWsqProject(path);
    else if (path.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive))
        ReadBatchNotes(path);
    else
        LoadProjectFile(path);

    song.CacheDir = ProjectCacheFolder(path);

    ShowVoiceInfo();
    window_.UpdateTempoStatus(song.Tempo);
    song.SetModified(false);
    window_.DrawBackground();
    window_.DrawNotes();

    if (!IsValidExePath(song.Tool1) || !IsValidExePath(song.Tool2) || !IsValidFolderPath(song.VoiceDir))
        window_.mnProjSetting_Click();
    return true;
}

void FileOpenDispatch::LoadProjectFile(const QString& path) {
    Song& song = window_.song();
    ProjectSettings s = song.projectSettings();
    qint32 index = song.noteCount();
    QStringList problems;
    ReadProjectFile(path, s, index, song, &problems);
    song.setProjectSettings(s);
    // What the reader refused or cut is said, line by line; the rest of the project is loaded.
    ShowReadProblems(path, problems);

    settings().Mode2 = s.Mode2;
    window_.SetMode2Box(s.Mode2);

    song.VoiceDir = ResolveVoiceFolder(song.VoiceDir, voices_.VoiceBankList());
    song.Tool1 = ResolveToolPath(song.Tool1);
    song.Tool2 = ResolveToolPath(song.Tool2);
    song.OutFile = ResolveProjectRelative(song.OutFile, path);
    song.CacheDir = ResolveProjectRelative(song.CacheDir, path);

    window_.SetTempoText(Vb::SingleText(song.Tempo));
    if (!song.VoiceDir.isEmpty()) {
        voices_.LoadOtoIni(song.VoiceDir);
        voices_.LoadPrefixMap(song.VoiceDir);
    }
}

void FileOpenDispatch::OpenWsqProject(const QString& path) {
    Song& song = window_.song();
    float fileTempo = song.Tempo;  // the file's own tempo event is not the project's
    QStringList texts;
    const qint32 count = ReadSmfFile(fileTempo, texts, song, path);
    if (count < 0) {
        Ports::msgBox(QStringLiteral("ファイル形式が正しくありません"));
        song.makeEmpty();
        return;
    }
    song.resizeNotes(count);
    if (count == 0) return;
    for (const QString& line : texts) {
        if (line.startsWith(u"@rem project=")) {
            song.ProjectName = line.mid(13);
        } else if (line.startsWith(u"@set tempo=") || line.startsWith(u"@rem tempo=")) {
            // A line without a tempo (0) leaves the tempo in force.
            const double tempo = ImportedTempo(Vb::Val(line.mid(11)), song.Tempo);
            if (tempo != 0) song.Tempo = float(tempo);
            window_.SetTempoText(Vb::SingleText(song.Tempo));
        } else if (line.startsWith(u"@set oto=")) {
            song.VoiceDir = line.mid(9);
            if (!song.VoiceDir.isEmpty()) {
                voices_.LoadOtoIni(song.VoiceDir);
                voices_.LoadPrefixMap(song.VoiceDir);
            }
        } else if (line.startsWith(u"@set tool=")) {
            song.Tool1 = line.mid(10);
        } else if (line.startsWith(u"@set resamp=")) {
            song.Tool2 = line.mid(12);
        } else if (line.startsWith(u"@set output=")) {
            song.OutFile = line.mid(12);
        } else if (line.startsWith(u"@set flag=")) {
            song.ProjectFlags = line.mid(10);
        }
    }
}

void FileOpenDispatch::ReadBatchNotes(const QString& path) {
    RenderBatchReader(window_, voices_).ReadBatchNotes(path);
}

void FileOpenDispatch::ShowVoiceInfo() {
    Song& song = window_.song();
    QString name;
    QString image;
    QString folder = song.VoiceDir;
    if (!folder.isEmpty()) {
        voices_.ReadCharacterTxt(folder, name, image);
        if (name.isEmpty()) {
            QString bare = song.VoiceDir;
            while (bare.size() > 1 && PathText::isSeparator(bare.back())) bare.chop(1);
            name = PathText::filePart(bare);
        }
    } else {
        name = GetMessage(QStringLiteral("原音ありません"));
    }
    window_.ShowVoiceName(name);
    const QString picture = image.isEmpty() ? QString() : PathText::join(folder, image);
    window_.ShowVoicePicture(!picture.isEmpty() && FileExists(picture) ? picture : QString());
}

}  // namespace tova
