#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tova {

// Text files in code page 932, as the voice-bank files (profile, oto.ini, prefix.map) are written.
// The path goes through FileSystem::resolve, so "\" separators and loosely spelled letter case are
// accepted. A file that cannot be opened or read raises FileError or IoError. Text after the UTF-8
// byte-order mark, and unmarked text that is valid UTF-8 but not clean CP932, is read as UTF-8
// (our own batches and projects that hold characters CP932 lacks are written that way).

// The whole text of a file. `clean` (when given) is set to false when a byte sequence did not decode
// (it became U+FFFD).
QString ReadCp932Text(const QString& path, bool* clean = nullptr);

// The lines of a text, as views into it: CR LF, a lone CR and a lone LF each end a line (banks edited
// on other systems); a last line without an ending counts.
QList<QStringView> TextLines(const QString& text);

// The lines of a file.
QStringList ReadCp932Lines(const QString& path);

// How much of a text file a reader takes: a file beyond any of these is refused whole, before it is
// decoded, so a damaged or hostile file cannot hold the program for minutes or fill its memory.
struct TextFileBounds {
    qint64 bytes = 0;          // the whole file
    qsizetype lines = 0;       // lines, counted as TextLines counts them
    qsizetype lineBytes = 0;   // one line, without its end
};

// The bytes of a regular file within the bounds. A file beyond them raises FileError naming the file
// and the bound it passed (the line, for a line too long); other failures as FileSystem::readRegularFile.
QByteArray ReadBoundedTextFile(const QString& path, const TextFileBounds& bounds);

}  // namespace tova
