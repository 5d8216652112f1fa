#include "core/clsIniFile.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/SystemErrorText.h"
#include "platform/SystemPaths.h"

#include <QDir>
#include <QFile>

#include <cerrno>

namespace tova {
namespace {

QString settingsFolder() { return FileSystem::resolve(SystemPaths::programFolder() + QStringLiteral("/settings")); }

}  // namespace

QString clsIniFile::filePath() const {
    return FileSystem::resolve(settingsFolder() + u'/' + name_ + QStringLiteral(".ini"));
}

QString clsIniFile::oldFilePath() const {
    return FileSystem::resolve(SystemPaths::programFolder() + u'/' + name_ + QStringLiteral(".ini"));
}

bool clsIniFile::setValue(const QString& key, const QString& value) {
    if (map_.setValue(key, value)) return true;
    map_.add(key, value);
    return false;
}

QList<std::pair<QString, QString>> clsIniFile::entries() const {
    QList<std::pair<QString, QString>> out;
    for (const QString& key : map_.Keys()) {
        if (!map_.ContainsKey(key)) continue;  // removed since it was added
        out.append({key, map_.Value(key)});
    }
    return out;
}

bool clsIniFile::Save() {
    if (name_.isEmpty()) return true;
    const QList<std::pair<QString, QString>> now = entries();
    if (!loadedFrom_.isEmpty() && loadedFrom_ == filePath() && now == loaded_ && FileSystem::isFile(loadedFrom_))
        return true;  // nothing changed: the file stays as it is
    lastError_.clear();
    const QString folder = settingsFolder();
    errno = 0;
    if (!FileSystem::isFolder(folder) && !QDir().mkpath(folder)) {
        lastError_ = folder + QStringLiteral(": ") + SystemErrorText(errno);
        return false;
    }

    QString text;
    for (const auto& [key, value] : now) text += key + u'=' + value + QStringLiteral("\r\n");
    QString reason;
    if (!ReplaceFile(filePath(), Cp932::encodeMarked(text), &reason)) {
        lastError_ = filePath() + QStringLiteral(": ") + reason;
        return false;
    }
    loadedFrom_ = filePath();
    loaded_ = now;

    const QString old = oldFilePath();
    if (FileSystem::isFile(old)) QFile::remove(old);  // a failed delete is harmless: the new file is written
    return true;
}

int clsIniFile::Load() {
    if (name_.isEmpty()) return 0;
    QString path = filePath();
    if (!FileSystem::isFile(path)) path = oldFilePath();
    map_.Clear();
    loadedFrom_.clear();
    loaded_.clear();
    if (!FileSystem::isFile(path)) return 0;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw FileError(QStringLiteral("ファイルを開けません: ") + path, 75);
    const QString text = Cp932::decodeMarked(file.readAll());
    if (file.error() != QFileDevice::NoError) throw IoError(QStringLiteral("ファイルを読めません: ") + path);

    int lines = 0;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        // A line ends at CR LF, a lone CR or a lone LF; a last line without an end counts too.
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n') ++end;
        const QString line = text.mid(start, end - start);
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ++end;
        start = end + 1;

        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        map_.add(line.left(eq), line.mid(eq + 1));
        ++lines;
    }
    loadedFrom_ = path;
    loaded_ = entries();
    return lines;
}

}  // namespace tova
