#include "platform/zip/ZipArchive.h"

#include "platform/Cp932.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>

#include <limits>

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>

namespace tova {

struct ZipArchive::Handle {
    zip_t* archive = nullptr;
    QByteArray bytes;  // the archive in memory (openBytes), kept alive while the archive is open
};

namespace {

QString zipErrorText(zip_error_t* error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

// Closes a libzip file on every way out.
struct OpenEntry {
    zip_file_t* file = nullptr;
    ~OpenEntry() {
        if (file) zip_fclose(file);
    }
};

ZipArchive::Kind kindOf(zip_t* archive, zip_uint64_t index, const QByteArray& raw) {
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    const bool haveAttributes = zip_file_get_external_attributes(archive, index, 0, &opsys, &attributes) == 0;
    if (haveAttributes && opsys == ZIP_OPSYS_UNIX) {
        const mode_t mode = mode_t(attributes >> 16);
        switch (mode & S_IFMT) {
            case S_IFLNK:
                return ZipArchive::Kind::Link;
            case S_IFDIR:
                return ZipArchive::Kind::Folder;
            case S_IFCHR:
            case S_IFBLK:
            case S_IFIFO:
            case S_IFSOCK:
                return ZipArchive::Kind::Special;
            default:
                break;
        }
    } else if (haveAttributes && (attributes & 0x10u)) {  // the DOS folder attribute
        return ZipArchive::Kind::Folder;
    }
    if (raw.endsWith('/') || raw.endsWith('\\')) return ZipArchive::Kind::Folder;
    return ZipArchive::Kind::File;
}

quint64 little(const char* p, int bytes) {
    quint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | quint8(p[i]);
    return v;
}

// The names as the archive's central directory stores them, whole, in directory order: libzip hands a
// name holding a NUL byte out changed. Empty when the directory is not where its end record says.
QList<QByteArray> storedNames(QIODevice& in) {
    const qint64 size = in.size();
    constexpr qint64 kEndRecord = 22, kLocator = 20, kEnd64 = 56;
    const qint64 tailStart = qMax<qint64>(0, size - kEndRecord - 0xFFFF);
    if (!in.seek(tailStart)) return {};
    const QByteArray tail = in.read(size - tailStart);
    qsizetype end = tail.size() - kEndRecord;
    while (end >= 0 && !(tail.mid(end, 4) == QByteArrayLiteral("PK\x05\x06"))) --end;
    if (end < 0) return {};
    const char* e = tail.constData() + end;
    quint64 count = little(e + 10, 2), cdSize = little(e + 12, 4), cdStart = little(e + 16, 4);
    if (count == 0xFFFF || cdSize == 0xFFFFFFFF || cdStart == 0xFFFFFFFF) {
        // ZIP64: the locator just before the end record gives the place of the larger end record.
        if (end < kLocator || tail.mid(end - kLocator, 4) != QByteArrayLiteral("PK\x06\x07")) return {};
        const quint64 at = little(tail.constData() + end - kLocator + 8, 8);
        if (at > quint64(size) || !in.seek(qint64(at))) return {};
        const QByteArray e64 = in.read(kEnd64);
        if (e64.size() < kEnd64 || e64.left(4) != QByteArrayLiteral("PK\x06\x06")) return {};
        count = little(e64.constData() + 32, 8);
        cdSize = little(e64.constData() + 40, 8);
        cdStart = little(e64.constData() + 48, 8);
    }
    if (cdStart > quint64(size) || cdSize > quint64(size) - cdStart || count > cdSize / 46 || !in.seek(qint64(cdStart)))
        return {};
    const QByteArray cd = in.read(qint64(cdSize));
    QList<QByteArray> names;
    qsizetype at = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (cd.size() - at < 46 || cd.mid(at, 4) != QByteArrayLiteral("PK\x01\x02")) return {};
        const char* r = cd.constData() + at;
        const qsizetype nameLength = qsizetype(little(r + 28, 2));
        const qsizetype record = 46 + nameLength + qsizetype(little(r + 30, 2)) + qsizetype(little(r + 32, 2));
        if (cd.size() - at < record) return {};
        names << cd.mid(at + 46, nameLength);
        at += record;
    }
    return names;
}

}  // namespace

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() { close(); }

void ZipArchive::close() {
    if (h_ && h_->archive) zip_discard(h_->archive);
    h_.reset();
    entries_.clear();
}

bool ZipArchive::open(const QString& path) {
    close();
    error_.clear();
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        error_ = zipErrorText(&error);
        zip_error_fini(&error);
        return false;
    }
    h_ = std::make_unique<Handle>();
    h_->archive = archive;
    QFile file(path);
    QList<QByteArray> names;
    if (file.open(QIODevice::ReadOnly)) names = storedNames(file);
    return readDirectory(names);
}

bool ZipArchive::openBytes(const QByteArray& bytes) {
    close();
    error_.clear();
    h_ = std::make_unique<Handle>();
    h_->bytes = bytes;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(h_->bytes.constData(), zip_uint64_t(h_->bytes.size()), 0, &error);
    if (source) {
        h_->archive = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!h_->archive) zip_source_free(source);
    }
    if (!h_->archive) {
        error_ = zipErrorText(&error);
        zip_error_fini(&error);
        h_.reset();
        return false;
    }
    zip_error_fini(&error);
    QBuffer buffer(&h_->bytes);
    QList<QByteArray> names;
    if (buffer.open(QIODevice::ReadOnly)) names = storedNames(buffer);
    return readDirectory(names);
}

QString ZipArchive::decodeName(const QByteArray& raw, bool utf8Flag, bool* clean) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(raw);
    const bool validUtf8 = !utf8.hasError();
    if (utf8Flag && validUtf8) {
        if (clean) *clean = true;
        return asUtf8;
    }
    bool cp932Clean = true;
    const QString asCp932 = Cp932::decode(raw, &cp932Clean);
    // An archive made where names are UTF-8 often leaves the flag unset: a name that is not code page
    // 932 but is UTF-8 reads as UTF-8, so two such names never collapse into one.
    if (!cp932Clean && validUtf8) {
        if (clean) *clean = true;
        return asUtf8;
    }
    if (clean) *clean = cp932Clean;
    return asCp932;
}

bool ZipArchive::readDirectory(const QList<QByteArray>& stored) {
    const zip_int64_t count = zip_get_num_entries(h_->archive, 0);
    const bool storedFits = stored.size() == count;
    QList<qsizetype> unflagged;  // the entries whose non-ASCII names carry no UTF-8 flag
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* rawName = zip_get_name(h_->archive, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!rawName) continue;  // an entry whose name cannot be read is not listed
        Entry e;
        e.index = i;
        e.rawName = QByteArray(rawName);
        // A name holding a NUL byte: libzip's text stops there or has a blank in its place ("nul\0name.txt"
        // would be "nul" or "nul name.txt").
        if (storedFits && stored[i].contains('\0')) {
            e.rawName = stored[i];
            e.nulInName = true;
        }
        // The strict reading leaves a name alone only when it carries the UTF-8 flag (an unflagged name
        // with bytes above 127 is converted from code page 437 and so differs from the raw bytes).
        const char* strict = zip_get_name(h_->archive, zip_uint64_t(i), ZIP_FL_ENC_STRICT);
        bool ascii = true;
        for (char c : e.rawName)
            if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
        const bool flagged = !ascii && strict && e.rawName == QByteArray(strict);
        e.name = decodeName(e.rawName, flagged, &e.cleanName);
        if (!ascii && !flagged) unflagged << entries_.size();
        e.kind = kindOf(h_->archive, zip_uint64_t(i), e.rawName);
        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(h_->archive, zip_uint64_t(i), 0, &opsys, &attributes) == 0 &&
            opsys == ZIP_OPSYS_UNIX)
            e.permissions = int((attributes >> 16) & 0777u);
        zip_stat_t st;
        zip_stat_init(&st);
        e.size = zip_stat_index(h_->archive, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)
                     ? qint64(qMin<zip_uint64_t>(st.size, zip_uint64_t(std::numeric_limits<qint64>::max())))
                     : -1;
        e.compressedSize = zip_stat_index(h_->archive, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_COMP_SIZE)
                               ? qint64(qMin<zip_uint64_t>(st.comp_size, zip_uint64_t(std::numeric_limits<qint64>::max())))
                               : -1;
        entries_ << e;
    }
    // The unflagged names are of one making: when each is UTF-8 and some are not code page 932, the
    // archive was made where names are UTF-8, and all of them read so (UTF-8 text can also happen to
    // be code page 932 text, which would spell one folder two ways).
    bool allUtf8 = !unflagged.isEmpty(), someNotCp932 = false;
    for (qsizetype k : unflagged) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)utf8.decode(entries_[k].rawName);
        allUtf8 = allUtf8 && !utf8.hasError();
        bool clean = true;
        (void)Cp932::decode(entries_[k].rawName, &clean);
        someNotCp932 = someNotCp932 || !clean;
    }
    if (allUtf8 && someNotCp932)
        for (qsizetype k : unflagged) entries_[k].name = decodeName(entries_[k].rawName, true, &entries_[k].cleanName);
    return true;
}

std::optional<QByteArray> ZipArchive::read(qint64 index, qint64 maxBytes) const {
    if (!h_ || !h_->archive || index < 0) return std::nullopt;
    OpenEntry entry;
    entry.file = zip_fopen_index(h_->archive, zip_uint64_t(index), 0);
    if (!entry.file) {
        error_ = zipErrorText(zip_get_error(h_->archive));
        return std::nullopt;
    }
    QByteArray out;
    char buffer[16384];
    for (;;) {
        const zip_int64_t n = zip_fread(entry.file, buffer, sizeof buffer);
        if (n < 0) {
            error_ = zipErrorText(zip_file_get_error(entry.file));
            return std::nullopt;
        }
        if (n == 0) break;
        if (out.size() + n > maxBytes) {
            error_ = QStringLiteral("the entry holds more than %1 bytes").arg(maxBytes);
            return std::nullopt;
        }
        out.append(buffer, qsizetype(n));
    }
    return out;
}

bool ZipArchive::copyTo(qint64 index, int fd, qint64 maxBytes) {
    if (!h_ || !h_->archive || index < 0) return false;
    OpenEntry entry;
    entry.file = zip_fopen_index(h_->archive, zip_uint64_t(index), 0);
    if (!entry.file) {
        error_ = zipErrorText(zip_get_error(h_->archive));
        return false;
    }
    char buffer[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(entry.file, buffer, sizeof buffer);
        if (n < 0) {
            error_ = zipErrorText(zip_file_get_error(entry.file));
            return false;
        }
        if (n == 0) return true;
        if (maxBytes >= 0) {
            if (n > maxBytes) {
                error_ = QStringLiteral("the entry holds more than its stated size");
                return false;
            }
            maxBytes -= n;
        }
        const char* p = buffer;
        zip_int64_t left = n;
        while (left > 0) {
            const ssize_t w = ::write(fd, p, size_t(left));
            if (w < 0) {
                if (errno == EINTR) continue;
                error_ = QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            p += w;
            left -= w;
        }
    }
}

}  // namespace tova
