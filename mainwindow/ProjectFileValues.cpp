#include "mainwindow/ProjectFileValues.h"

#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "render/VoiceBankList.h"
#include "song/Song.h"

namespace tova {
namespace {

// The rest of `path` after `folder` and one separator, when `path` lies inside that folder; a null
// text otherwise. A folder that already ends in a separator needs none after it.
QString insideFolder(const QString& path, const QString& folder) {
    if (folder.isEmpty() || !path.startsWith(folder)) return QString();
    if (PathText::isSeparator(folder.back())) return path.mid(folder.size());
    if (path.size() > folder.size() && PathText::isSeparator(path.at(folder.size()))) return path.mid(folder.size() + 1);
    return QString();
}

}  // namespace

QString StoredVoiceFolder(const QString& voiceDir, const QStringList& voiceBankList) {
    const QString home = SystemPaths::home();
    if (!home.isEmpty()) {
        if (voiceDir == home) return QStringLiteral("%HOME%");
        if (!insideFolder(voiceDir, home).isNull()) return QStringLiteral("%HOME%") + voiceDir.mid(home.size());
    }
    const QString root = GetVoiceRoot();
    if (voiceDir.startsWith(root)) return QStringLiteral("%VOICE%") + voiceDir.mid(root.size());
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

QString StoredToolPath(const QString& tool) {
    const QString rest = insideFolder(tool, SystemPaths::programFolder());
    return rest.isNull() ? tool : rest;
}

QString StoredProjectRelative(const QString& path, const QString& projectPath) {
    const qsizetype sep = PathText::lastSeparator(projectPath);
    if (sep < 0) return path;
    const QString folder = projectPath.left(sep + 1);
    return path.startsWith(folder) ? path.mid(folder.size()) : path;
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

}  // namespace tova
