#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/Cp932Lines.h"

namespace tova {

// A text file of a voice bank kept line by line, so that writing it back changes only the lines that
// were replaced or added: every other line keeps its bytes, its own line end (CR LF, LF or CR), and
// the file keeps its encoding (code page 932, or UTF-8 with or without the byte-order mark) and its
// byte-order mark. Lines the reader of the file does not understand (comments, blank lines, broken
// lines) are kept as they are.
class KeptTextFile {
public:
    enum class Encoding { Cp932, Utf8 };

    struct Line {
        QString text;       // the line without its end, decoded
        QByteArray raw;     // the line's bytes without its end
        QByteArray ending;  // "\r\n", "\n", "\r", or empty for a last line without an end
        bool clean = true;  // the bytes decoded without a replacement character
    };

    // Reads a file; a missing file gives an empty one that does not exist. A file that exists but
    // cannot be read raises FileError or IoError.
    static KeptTextFile read(const QString& path);
    // The same, refusing a file beyond the bounds (FileError naming the file).
    static KeptTextFile read(const QString& path, const TextFileBounds& bounds);
    // Splits bytes as `read` does.
    static KeptTextFile fromBytes(const QByteArray& bytes);

    QString path;             // where the file was read from and is written back to
    bool existed = false;     // the file was there when it was read
    QByteArray original;      // its bytes as read (the state a later write checks the disk against)
    Encoding encoding = Encoding::Cp932;
    QByteArray mark;          // the byte-order mark the file began with, or empty
    QList<Line> lines;

    // True when the file's encoding can hold every character of the text.
    bool canHold(const QString& text) const;
    // Replaces the text of line i (its line end stays).
    void setLine(qsizetype i, const QString& text);
    // Adds a line at the end with the line end the file uses (the first line's, CR LF for a file
    // without one); a last line that had no end gets that end first.
    void append(const QString& text);
    void removeLine(qsizetype i) { lines.removeAt(i); }
    // Turns the file into UTF-8 after the byte-order mark (for a text code page 932 cannot hold); every
    // line is encoded again from its text. False, changing nothing, when a line did not decode cleanly.
    bool convertToUtf8();
    // The file's bytes as they now stand.
    QByteArray bytes() const;
    // True when the lines give other bytes than the file had when it was read (or it is new with lines).
    bool changed() const { return existed ? bytes() != original : !lines.isEmpty(); }
    // True when the file on disk is no longer what was read: changed, removed, or made since.
    bool changedOnDisk() const;

private:
    QByteArray encode(const QString& text) const;
    QByteArray newline() const;
};

// Before a file read earlier is written back: when it changed on disk since (by hand or by another
// program), asks "…は読み込んだ後に変更されています。上書きしますか？" (default No). True when it may be
// written: unchanged, or the user answered Yes.
bool MayOverwrite(const KeptTextFile& file);

}  // namespace tova
