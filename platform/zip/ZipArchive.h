#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace tova {

// Reading ZIP archives (over libzip). Entry names are taken as the raw bytes the archive stores and
// decoded here: as UTF-8 when the entry carries the UTF-8 flag and the bytes are valid UTF-8, else as
// code page 932 (archives made on Japanese Windows). Nothing is written by this class; where entries
// go on disk is the caller's decision.
class ZipArchive {
public:
    enum class Kind { File, Folder, Link, Special };
    struct Entry {
        qint64 index = 0;     // position in the archive's directory
        QString name;         // decoded name as stored (separators untouched)
        QByteArray rawName;   // the stored bytes
        bool cleanName = true;  // false when the bytes did not decode cleanly
        bool nulInName = false;  // the stored name holds a NUL byte (`rawName` holds the name as stored)
        Kind kind = Kind::File;
        qint64 size = 0;      // uncompressed size as the directory states it (-1 when unknown)
        qint64 compressedSize = 0;  // stored size as the directory states it (-1 when unknown)
        int permissions = 0;  // the stored Unix permission bits (0777 mask); 0 when the archive has none
    };

    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Opens an archive file (read only) or an archive held in memory (the bytes are copied). False when
    // it is not a readable archive; `errorText` then says why.
    bool open(const QString& path);
    bool openBytes(const QByteArray& bytes);
    QString errorText() const { return error_; }

    // The entries in directory order.
    const QList<Entry>& entries() const { return entries_; }

    // The whole content of an entry, at most `maxBytes` bytes: nothing when the entry cannot be read,
    // is not a file or is larger than that.
    std::optional<QByteArray> read(qint64 index, qint64 maxBytes) const;

    // Streams an entry into an open file descriptor (written from its current position), never more
    // than `maxBytes` bytes when that is not negative. False when reading or writing fails or the entry
    // holds more than that (then at most `maxBytes` bytes were written); `errorText` then says why.
    bool copyTo(qint64 index, int fd, qint64 maxBytes = -1);

    // A name decoded as entries are: UTF-8 when flagged and valid, otherwise code page 932.
    static QString decodeName(const QByteArray& raw, bool utf8Flag, bool* clean = nullptr);

private:
    void close();
    bool readDirectory(const QList<QByteArray>& storedNames);

    struct Handle;
    std::unique_ptr<Handle> h_;
    QList<Entry> entries_;
    mutable QString error_;  // the last failure's reason (reading an entry sets it too)
};

}  // namespace tova
