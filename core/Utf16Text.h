#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tova {

// UTF-16 little-endian text files of the localisation (message table and caption files).

// The lines of a file's bytes, read two bytes at a time. The byte-order mark U+FEFF is skipped wherever
// it stands; CR LF, a lone CR and a lone LF each end a line; a last line without an ending counts; a
// unit after a CR that is not LF belongs to the next line. A final odd byte is ignored.
QStringList ReadUtf16Lines(const QByteArray& bytes);

// The bytes of a file that starts with the byte-order mark (FF FE) and ends every line with CR LF.
QByteArray Utf16FileBytes(const QStringList& lines);

}  // namespace tova
