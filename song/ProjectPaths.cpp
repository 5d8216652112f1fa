#include "song/ProjectPaths.h"

#include "core/FileHelpers.h"
#include "core/Settings.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "song/Song.h"

namespace tova {
namespace {

const QString kHome = QStringLiteral("%HOME%");
const QString kVoice = QStringLiteral("%VOICE%");

QString withSeparator(const QString& folder) {
    if (!folder.isEmpty() && PathText::isSeparator(folder.back())) return folder;
    return folder + u'/';
}

// The folder part of a path with its final separator ("" when the path has none).
QString folderWithSeparator(const QString& path) { return path.left(PathText::lastSeparator(path) + 1); }

// The rest of `path` after `folder` and one separator, when `path` lies inside that folder; a null
// text otherwise. A folder that already ends in a separator needs none after it.
QString insideFolder(const QString& path, const QString& folder) {
    if (folder.isEmpty() || !path.startsWith(folder)) return QString();
    if (PathText::isSeparator(folder.back())) return path.mid(folder.size());
    if (path.size() > folder.size() && PathText::isSeparator(path.at(folder.size()))) return path.mid(folder.size() + 1);
    return QString();
}

}  // namespace

QString GetVoiceRoot() {
    const QString& root = settings().VoiceRoot;
    if (!root.isEmpty()) return withSeparator(root);
    return withSeparator(SystemPaths::programFolder()) + QStringLiteral("voice/");
}

bool IsRootedPath(const QString& path) { return !path.isEmpty() && ResolveAppPath(path) == path; }

QString StoredVoiceFolder(const QString& voiceDir, const QStringList& voiceBankList) {
    const QString home = SystemPaths::home();
    if (!home.isEmpty()) {
        if (voiceDir == home) return kHome;
        if (!insideFolder(voiceDir, home).isNull()) return kHome + voiceDir.mid(home.size());
    }
    const QString root = GetVoiceRoot();
    if (voiceDir.startsWith(root)) return kVoice + voiceDir.mid(root.size());
    const QString inProgram = insideFolder(voiceDir, SystemPaths::programFolder());
    if (inProgram.isNull()) {
        QString name;
        int matches = 0;
        for (const QString& entry : voiceBankList) {
            const QStringList fields = entry.split(u'\t');
            if (fields.size() >= 2 && fields[1] == voiceDir) {
                ++matches;
                name = fields[0];
            }
        }
        return matches == 1 ? u'*' + name : voiceDir;
    }
    return inProgram;
}

QString ResolveVoiceFolder(const QString& stored, const QStringList& voiceBankList) {
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

QString StoredToolPath(const QString& tool) {
    const QString rest = insideFolder(tool, SystemPaths::programFolder());
    return rest.isNull() ? tool : rest;
}

QString ResolveToolPath(const QString& stored) { return IsRootedPath(stored) ? stored : ResolveAppPath(stored); }

QString StoredProjectRelative(const QString& path, const QString& projectPath) {
    const QString folder = folderWithSeparator(projectPath);
    if (folder.isEmpty()) return path;
    return path.startsWith(folder) ? path.mid(folder.size()) : path;
}

QString ResolveProjectRelative(const QString& stored, const QString& projectPath) {
    return IsRootedPath(stored) ? stored : folderWithSeparator(projectPath) + stored;
}

ProjectSettings StoredProjectSettings(const Song& song, const QString& projectPath, const QStringList& voiceBankList,
                                      bool mode2) {
    ProjectSettings s;
    s.ProjectName = song.ProjectName;
    s.VoiceDir = StoredVoiceFolder(song.VoiceDir, voiceBankList);
    s.OutFile = StoredProjectRelative(song.OutFile, projectPath);
    s.CacheDir = StoredProjectRelative(song.CacheDir, projectPath);
    s.Tool1 = StoredToolPath(song.Tool1);
    s.Tool2 = StoredToolPath(song.Tool2);
    s.Flags = song.ProjectFlags;
    s.Tempo = song.Tempo;
    s.Mode2 = mode2;
    return s;
}

QString CacheFolderFor(const QString& base) { return base + QStringLiteral(".cache"); }

QString ProjectCacheFolder(const QString& projectPath) {
    QString base = PathText::baseName(projectPath);
    base.remove(u'^');
    return CacheFolderFor(folderWithSeparator(projectPath) + base);
}

}  // namespace tova
