#include "core/Digests.h"

#include "core/Md5.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"

#include <QFile>

namespace tova {

QString MD5String(const QString& text) {
    return QString::fromLatin1(Md5::hex(Md5::digest(Cp932::encode(text))));
}

QString MD5File(const QString& path) {
    QByteArray buffer(33, '-');
    md5file(path, buffer);
    return QString::fromLatin1(buffer.left(32));
}

bool md5file(const QString& path, QByteArray& buffer) {
    if (buffer.size() < 32 || path.isEmpty()) return false;
    // The files digested are written by the generator's batch: opened without waiting, only as a
    // regular file.
    QFile file;
    if (!FileSystem::openRegularFile(file, path)) return false;
    Md5 md5;
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) break;
        md5.update(chunk, std::size_t(got));
    }
    const QByteArray text = Md5::hex(md5.finish());
    buffer.replace(0, text.size(), text);
    return true;
}

}  // namespace tova
