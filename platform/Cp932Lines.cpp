#include "platform/Cp932Lines.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace tova {

QString ReadCp932Text(const QString& path, bool* clean) {
    // Only a regular file: a pipe named like a bank's file must not hold the program.
    return Cp932::decodeMarked(FileSystem::readRegularFile(path), clean);
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
