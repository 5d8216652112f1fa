#pragma once

#include <QByteArray>
#include <QString>

namespace tova {

// MD5 digests (RFC 1321) as 32 lower-case hexadecimal characters.

// The digest of a text's bytes in the system code page (932): one or two bytes per character, a
// character the code page lacks as "?", no terminator.
QString MD5String(const QString& text);

// The digest of a file's bytes. When the file cannot be read the result is 32 "-" characters, which
// matches no digest.
QString MD5File(const QString& path);

// The archive library's file-digest entry: writes the 32 lower-case hexadecimal characters of the
// file's digest over the start of `buffer` (which must hold at least 32 bytes) and answers true; leaves
// the buffer untouched and answers false when the file cannot be opened or read.
bool md5file(const QString& path, QByteArray& buffer);

}  // namespace tova
