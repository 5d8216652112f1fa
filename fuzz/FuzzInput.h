#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tova::fuzz {

// The fuzz input as bytes (not copied).
inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One input split into `count` files' contents at its NUL bytes (missing parts are empty).
inline QList<QByteArray> partsOf(const QByteArray& bytes, int count) {
    QList<QByteArray> parts = bytes.split('\0');
    while (parts.size() < count) parts << QByteArray();
    while (parts.size() > count) parts.removeLast();
    return parts;
}

// A private folder for the readers that read files, made once per process. Every input rewrites its
// files, and a file system on disk flushes a truncated file on close, which would cost more than the
// reading itself: the folder is in memory (/dev/shm) where the machine has it.
inline const QString& scratchFolder() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        auto inMemory = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tova-fuzz-XXXXXX"));
        return inMemory->isValid() ? std::move(inMemory) : std::make_unique<QTemporaryDir>();
    }();
    if (!dir->isValid()) std::abort();
    static const QString path = dir->path();
    return path;
}

inline void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) std::abort();
}

// Aborts (a finding) when a promise of the code under test is broken.
inline void require(bool promise) {
    if (!promise) std::abort();
}

}  // namespace tova::fuzz
