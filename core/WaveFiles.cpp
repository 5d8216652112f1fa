#include "core/WaveFiles.h"

#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/lean/FrqTable.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace tova {
namespace {

constexpr qint32 kMaxFrqFrames = 4095;
constexpr qint64 kFrqHeaderBytes = 40;
constexpr qint64 kMaxWaveDataBytes = qint64(1) << 30;

// Rounds half to even, as the sample-width and sample-rate computations of these formats always did.
double roundHalfEven(double v) { return v - std::remainder(v, 1.0); }

qint32 le32(const char* p) { return qFromLittleEndian<qint32>(p); }
qint16 le16(const char* p) { return qFromLittleEndian<qint16>(p); }
quint32 be32(const char* p) { return qFromBigEndian<quint32>(p); }
qint16 be16(const char* p) { return qFromBigEndian<qint16>(p); }

double leDouble(const char* p) {
    quint64 bits = qFromLittleEndian<quint64>(p);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void putDouble(char* p, double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian(bits, p);
}

// Bounded sequential reading of one device: never past its end, every skip moves forward.
class ByteReader {
public:
    ByteReader(QIODevice& device, bool raiseOnError) : d_(device), size_(device.size()), raise_(raiseOnError) {}

    qint64 size() const { return size_; }
    qint64 pos() const { return d_.pos(); }
    qint64 left() const { return size_ - d_.pos(); }

    // Reads exactly n bytes; false at the end of the device (nothing is consumed beyond it).
    bool read(char* buf, qint64 n) {
        if (n < 0 || n > left()) return false;
        qint64 got = 0;
        while (got < n) {
            qint64 r = d_.read(buf + got, n - got);
            if (r < 0) {
                if (raise_) throw IoError(d_.errorString());
                return false;
            }
            if (r == 0) return false;
            got += r;
        }
        return true;
    }
    bool read(QByteArray& out, qint64 n) {
        if (n < 0 || n > left()) return false;
        out.resize(n);
        return read(out.data(), n);
    }

    // Moves n bytes forward, stopping at the end.
    void skip(quint64 n) {
        qint64 target = n >= quint64(left()) ? size_ : d_.pos() + qint64(n);
        if (!d_.seek(target) && raise_) throw IoError(d_.errorString());
    }

    // Chunks of odd size are followed by a pad byte of 0; a file written without the pad (the next
    // chunk identifier follows at once, and identifiers never start with 0) is read as it is.
    void skipPad(quint64 chunkSize) {
        if ((chunkSize & 1) == 0 || left() < 1) return;
        char c = 1;
        if (!d_.peek(&c, 1)) return;
        if (c == 0) skip(1);
    }

private:
    QIODevice& d_;
    qint64 size_;
    bool raise_;
};

struct ChunkHeader {
    QByteArray id;
    quint32 size = 0;
};

bool readChunkHeader(ByteReader& r, ChunkHeader& ch, bool bigEndian) {
    char b[8];
    if (!r.read(b, 8)) return false;
    ch.id = QByteArray(b, 4);
    ch.size = bigEndian ? be32(b + 4) : quint32(le32(b + 4));
    return true;
}

// Skips chunks until one with the wanted identifier; false when the file ends first.
bool findChunk(ByteReader& r, const char* id, ChunkHeader& ch) {
    for (;;) {
        if (!readChunkHeader(r, ch, false)) return false;
        if (ch.id == id) return true;
        r.skip(ch.size);
        r.skipPad(ch.size);
    }
}

qint32 failWave(WaveHeader& header, QVector<qint16>& samples) {
    header.samplesPerSec = 0;
    header.dataSize = 0;
    samples = QVector<qint16>(1, 0);
    return 0;
}

qint32 readWavePath(ByteReader& r, WaveHeader& header, QVector<qint16>& samples) {
    ChunkHeader ch;
    if (!findChunk(r, "fmt ", ch)) return failWave(header, samples);
    header.fmtId = ch.id;
    header.fmtSize = qint32(ch.size);
    // A format chunk shorter than its 16 fixed bytes would make the fields below come from the next chunk.
    if (ch.size < 16) return failWave(header, samples);
    char f[16];
    if (!r.read(f, 16)) return failWave(header, samples);
    header.formatTag = le16(f);
    header.channels = le16(f + 2);
    header.samplesPerSec = le32(f + 4);
    header.avgBytesPerSec = le32(f + 8);
    header.blockAlign = le16(f + 12);
    header.bitsPerSample = le16(f + 14);
    r.skip(ch.size - 16);
    r.skipPad(ch.size);

    if (!findChunk(r, "data", ch)) return failWave(header, samples);
    header.dataId = ch.id;
    header.dataSize = qint32(ch.size);
    // A size of 0 (never updated after writing) or one that reaches past the end of the file: the
    // data is what the file holds after the data chunk's header.
    qint64 dataBytes = ch.size;
    if (dataBytes == 0 || dataBytes > r.left()) dataBytes = r.left();
    if (dataBytes <= 0 || dataBytes >= kMaxWaveDataBytes) return failWave(header, samples);
    header.dataSize = qint32(dataBytes);

    if (header.bitsPerSample == 0) return failWave(header, samples);
    const double bytesPerSample = roundHalfEven(header.bitsPerSample / 8.0);
    if (bytesPerSample < 1) return failWave(header, samples);
    const qint64 count = dataBytes / qint64(bytesPerSample);
    if (count <= 0) return failWave(header, samples);

    // The values are 16-bit little-endian words from the start of the data (the sample data itself
    // for 16-bit PCM). With one byte per sample the count asks for more words than the data holds:
    // those past the data are 0.
    QByteArray bytes;
    if (!r.read(bytes, std::min(count * 2, dataBytes))) return failWave(header, samples);
    QVector<qint16> out(count, 0);
    const qint64 words = bytes.size() / 2;
    for (qint64 i = 0; i < words; ++i) out[i] = le16(bytes.constData() + 2 * i);
    samples = std::move(out);
    return qint32(count);
}

qint32 readAiffPath(ByteReader& r, WaveHeader& header, QVector<qint16>& samples) {
    bool haveComm = false;
    qint16 channels = 0;
    qint32 frames = 0;
    qint16 sampleSize = 0;
    unsigned char rate80[10] = {};
    bool haveSound = false;
    QByteArray sound;

    while (r.left() >= 8) {
        ChunkHeader ch;
        if (!readChunkHeader(r, ch, true)) break;
        if (ch.id == "COMM") {
            char c[18];
            if (ch.size < 18 || !r.read(c, 18)) return failWave(header, samples);
            channels = be16(c);
            frames = qint32(be32(c + 2));
            sampleSize = be16(c + 6);
            std::memcpy(rate80, c + 8, 10);
            haveComm = true;
            r.skip(ch.size - 18);
        } else if (ch.id == "SSND") {
            if (ch.size < 8 || r.left() < 8) return failWave(header, samples);
            r.skip(8);  // offset and block size
            const qint64 n = std::min<qint64>(qint64(ch.size) - 8, r.left());
            if (!r.read(sound, n)) return failWave(header, samples);
            haveSound = true;
        } else {
            r.skip(ch.size);
        }
        r.skipPad(ch.size);
    }
    if (!haveComm || !haveSound) return failWave(header, samples);

    // Sample rate from the 80-bit extended float: the top 24 bits of the mantissa times
    // 2^(exponent - 16383 - 23).
    const unsigned exponent = (unsigned(rate80[0]) << 8) | rate80[1];
    const unsigned mantissa = (unsigned(rate80[2]) << 16) | (unsigned(rate80[3]) << 8) | rate80[4];
    const double rate = roundHalfEven(std::ldexp(double(mantissa), int(exponent) - 16383 - 23));
    if (!std::isfinite(rate) || rate > std::numeric_limits<qint32>::max()) return failWave(header, samples);

    // Each value is built from the first two bytes of a sample: narrower samples cannot be read.
    const double bytesPerSample = roundHalfEven(sampleSize / 8.0);
    if (bytesPerSample < 2 || frames <= 0) return failWave(header, samples);
    const qint64 bps = qint64(bytesPerSample);
    const qint64 avgBytes = bps * qint64(rate);
    const qint64 dataSize = bps * frames;
    const qint64 bits = qint64(sampleSize) * channels;
    if (avgBytes > std::numeric_limits<qint32>::max() || dataSize > std::numeric_limits<qint32>::max() ||
        bits > std::numeric_limits<qint16>::max() || bits < std::numeric_limits<qint16>::min())
        return failWave(header, samples);
    // The sound data must hold every frame the "COMM" chunk announces.
    if (dataSize > sound.size()) return failWave(header, samples);

    header.channels = channels;
    header.samplesPerSec = qint32(rate);
    header.blockAlign = qint16(bps);
    header.avgBytesPerSec = qint32(avgBytes);
    header.bitsPerSample = qint16(bits);
    header.dataSize = qint32(dataSize);

    QVector<qint16> out(frames);
    const auto* s = reinterpret_cast<const unsigned char*>(sound.constData());
    for (qint64 i = 0; i < frames; ++i) {
        const unsigned char* p = s + bps * i;
        out[i] = qint16(quint16((p[0] << 8) | p[1]));
    }
    samples = std::move(out);
    return frames;
}

}  // namespace

QString FrqTableName(const QString& samplePath) {
    QString name = samplePath + QStringLiteral(".frq");
    if (name.endsWith(QStringLiteral(".wav.frq"))) name.replace(name.size() - 8, 8, QStringLiteral("_wav.frq"));
    return name;
}

QString FrqBackupName(const QString& tableName) {
    if (tableName.endsWith(QStringLiteral(".frq"))) return tableName.left(tableName.size() - 4) + QStringLiteral(".bak");
    return tableName + QStringLiteral(".bak");
}

bool ReadFrqFrom(FrqHeader& header, QVector<double>& frames, QIODevice& device) {
    ByteReader r(device, false);
    if (!device.seek(0)) return false;
    char h[kFrqHeaderBytes];
    if (!r.read(h, kFrqHeaderBytes)) return false;
    header.signature = QByteArray(h, 8);
    header.reserved = le32(h + 8);
    header.averageFreq = leDouble(h + 12);
    header.extra1 = leDouble(h + 20);
    header.extra2 = leDouble(h + 28);
    header.frameCount = le32(h + 36);
    if (header.frameCount < 1 || header.frameCount > kMaxFrqFrames) return false;
    const qint64 values = 2 * qint64(header.frameCount);
    QByteArray data;
    if (!r.read(data, values * 8)) return false;
    QVector<double> out(values);
    for (qint64 i = 0; i < values; ++i) out[i] = leDouble(data.constData() + 8 * i);
    // Values no voice has are a damaged table, as the note renderer takes them.
    if (!lean::FrqTable::voiceValues(header.averageFreq, out.constData(), std::size_t(out.size()))) return false;
    frames = std::move(out);
    return true;
}

bool ReadFrqFile(FrqHeader& header, QVector<double>& frames, const QString& samplePath) {
    if (samplePath.isEmpty()) return false;
    const QString table = FrqTableName(samplePath);
    if (table.contains(u'*')) return false;
    // Tables are written by the analysis tool: opened without waiting, only as a regular file.
    QFile f;
    if (!FileSystem::openRegularFile(f, table) || f.size() == 0) return false;
    return ReadFrqFrom(header, frames, f);
}

bool WriteFrqFile(const FrqHeader& header, const QVector<double>& frames, const QString& samplePath) {
    if (samplePath.isEmpty()) return false;
    const QString table = FrqTableName(samplePath);
    if (table.contains(u'*')) return false;
    if (header.frameCount < 1 || header.frameCount > kMaxFrqFrames) return false;
    if (frames.size() != 2 * qint64(header.frameCount)) return false;
    // Never a table this program would itself read as damaged (and so remake over it).
    if (!lean::FrqTable::voiceValues(header.averageFreq, frames.constData(), std::size_t(frames.size()))) return false;

    QByteArray bytes(kFrqHeaderBytes + 8 * frames.size(), '\0');
    char* p = bytes.data();
    // The signature is a fixed 8-character field: a shorter text is padded with blanks.
    QByteArray sig = header.signature.left(8);
    sig.append(8 - sig.size(), ' ');
    std::memcpy(p, sig.constData(), 8);
    qToLittleEndian(header.reserved, p + 8);
    putDouble(p + 12, header.averageFreq);
    putDouble(p + 20, header.extra1);
    putDouble(p + 28, header.extra2);
    qToLittleEndian(header.frameCount, p + 36);
    for (qsizetype i = 0; i < frames.size(); ++i) putDouble(p + kFrqHeaderBytes + 8 * i, frames[i]);

    const QString path = FileSystem::resolve(table);
    ReplacingFile out(path);
    if (!out.write(bytes)) return false;
    // The new table is complete in its temporary file: now the old one becomes the backup, which is
    // replaced the same way (an older backup stays when the new one cannot be written whole).
    if (QFileInfo(path).isFile()) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly)) return false;
        const QByteArray oldBytes = old.readAll();
        if (old.error() != QFileDevice::NoError || !ReplaceFile(FrqBackupName(table), oldBytes)) return false;
    }
    return out.commit();
}

qint32 ReadWaveFrom(WaveHeader& header, QVector<qint16>& samples, QIODevice& device) {
    header = WaveHeader{};
    ByteReader r(device, true);
    if (!device.seek(0)) return failWave(header, samples);
    char h[12];
    if (!r.read(h, 12)) return failWave(header, samples);
    const QByteArray id(h, 4), form(h + 8, 4);
    header.riffId = id;
    header.formId = form;
    if (id == "RIFF" && form == "WAVE") {
        header.riffSize = le32(h + 4);
        return readWavePath(r, header, samples);
    }
    if (id == "FORM" && form == "AIFF") {
        header.riffSize = qint32(be32(h + 4));
        return readAiffPath(r, header, samples);
    }
    return failWave(header, samples);
}

qint32 ReadWaveFile(WaveHeader& header, QVector<qint16>& samples, const QString& path) {
    header = WaveHeader{};
    if (path.isEmpty()) return failWave(header, samples);
    // Waves are often written by the tools: opened without waiting, only as a regular file.
    QFile f;
    if (!FileSystem::openRegularFile(f, path)) return failWave(header, samples);
    return ReadWaveFrom(header, samples, f);
}

}  // namespace tova
