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

QByteArray ReadBoundedTextFile(const QString& path, const TextFileBounds& bounds) {
    const QString& shown = path;
    QByteArray bytes;
    try {
        bytes = FileSystem::readRegularFile(path, bounds.bytes);
    } catch (const FileError& e) {
        if (e.number() != 7) throw;  // only "too large" gets the wording with the bound
        throw FileError(QStringLiteral("「%1」は大きすぎるため読み込みません（%2 MBまで）。").arg(shown).arg(bounds.bytes >> 20), 7);
    }
    // Lines as TextLines cuts them: CR LF, a lone CR and a lone LF each end one.
    const char* const data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype lines = 0;
    for (qsizetype start = 0; start < n;) {
        qsizetype end = start;
        while (end < n && data[end] != '\r' && data[end] != '\n') ++end;
        ++lines;
        if (lines > bounds.lines)
            throw FileError(QStringLiteral("「%1」は行が多すぎるため読み込みません（%2行まで）。").arg(shown).arg(bounds.lines), 7);
        if (end - start > bounds.lineBytes)
            throw FileError(QStringLiteral("「%1」の%2行目は長すぎるため読み込みません（1行%3バイトまで）。")
                                .arg(shown).arg(lines).arg(bounds.lineBytes),
                            7);
        if (end < n && data[end] == '\r' && end + 1 < n && data[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return bytes;
}

}  // namespace tova
