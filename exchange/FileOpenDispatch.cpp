#include "exchange/FileOpenDispatch.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Settings.h"
#include "exchange/ProjectWindow.h"
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
#include "song/Song.h"

namespace tova {
namespace {

const QString kHome = QStringLiteral("%HOME%");
const QString kVoice = QStringLiteral("%VOICE%");

// The folder part of a path with its final separator ("" when the path has none).
QString folderWithSeparator(const QString& path) {
    return path.left(PathText::lastSeparator(path) + 1);
}

}  // namespace

FileOpenDispatch::FileOpenDispatch(ProjectWindow& window, VoiceBankAccess& voices)
    : window_(window), voices_(voices) {}

QString FileOpenDispatch::ProjectCacheFolder(const QString& projectPath) {
    QString base = PathText::baseName(projectPath);
    base.remove(u'^');
    return folderWithSeparator(projectPath) + base + QStringLiteral(".cache");
}

bool FileOpenDispatch::IsRootedPath(const QString& path) {
    return !path.isEmpty() && ResolveAppPath(path) == path;
}

QString FileOpenDispatch::ResolveVoiceFolder(const QString& stored, const QStringList& voiceBankList) {
    QString folder = stored;
    // A bank named by its list name: "*name"; files written by older versions hold "name*".
    QString bankName;
    if (folder.startsWith(u'*'))
        bankName = folder.mid(1);
    else if (folder.size() > 1 && folder.endsWith(u'*') && PathText::lastSeparator(folder) < 0)
        bankName = folder.left(folder.size() - 1);
    if (!bankName.isNull()) {
        for (const QString& entry : voiceBankList) {
            const QStringList fields = entry.split(u'\t');
            if (fields.size() >= 2 && fields[0] == bankName) return fields[1];
        }
        return bankName;
    }
    if (folder.startsWith(kHome)) {
        folder.replace(kHome, SystemPaths::home());
        return folder;
    }
    if (folder.startsWith(kVoice)) {
        folder.replace(kVoice, GetVoiceRoot());
        return folder;
    }
    if (!IsRootedPath(folder)) return ResolveAppPath(folder);
    return folder;
}

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
    if (!problems.isEmpty()) {
        constexpr qsizetype kShown = 20;
        QString list = problems.mid(0, kShown).join(u'\n');
        if (problems.size() > kShown) list += QStringLiteral("\n…");
        Ports::msgBox(GetMessage(QStringLiteral("{1} の一部を読み込めませんでした。"), path) + QStringLiteral("\n\n") + list,
                      MsgButtons::OK, MsgIcon::Exclamation);
    }

    settings().Mode2 = s.Mode2;
    window_.SetMode2Box(s.Mode2);

    song.VoiceDir = ResolveVoiceFolder(song.VoiceDir, voices_.VoiceBankList());
    if (!IsRootedPath(song.Tool1)) song.Tool1 = ResolveAppPath(song.Tool1);
    if (!IsRootedPath(song.Tool2)) song.Tool2 = ResolveAppPath(song.Tool2);
    if (PathText::lastSeparator(path) >= 0) {
        const QString folder = folderWithSeparator(path);
        if (!IsRootedPath(song.OutFile)) song.OutFile = folder + song.OutFile;
        if (!IsRootedPath(song.CacheDir)) song.CacheDir = folder + song.CacheDir;
    }

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
            song.Tempo = float(Vb::Val(line.mid(11)));
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
