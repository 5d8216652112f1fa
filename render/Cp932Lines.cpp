#include "render/Cp932Lines.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QFile>

namespace tova {

QString ReadCp932Text(const QString& path, bool* clean) {
    QFile file(FileSystem::resolve(path));
    if (!file.open(QIODevice::ReadOnly)) throw FileError(QStringLiteral("ファイルを開けません: ") + path, 75);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw IoError(QStringLiteral("ファイルを読めません: ") + path);
    return Cp932::decode(bytes, clean);
}

QList<QStringView> TextLines(const QString& text) {
    QList<QStringView> lines;
    const QStringView all(text);
    const qsizetype n = all.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && all[end] != u'\r' && all[end] != u'\n') ++end;
        lines << all.mid(start, end - start);
        if (end < n && all[end] == u'\r' && end + 1 < n && all[end + 1] == u'\n') ++end;
        start = end + 1;
    }
    return lines;
}

QStringList ReadCp932Lines(const QString& path) {
    const QString text = ReadCp932Text(path);
    QStringList lines;
    for (QStringView line : TextLines(text)) lines << line.toString();
    return lines;
}

}  // namespace tova
