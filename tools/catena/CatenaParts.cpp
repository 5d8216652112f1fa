#include "tools/catena/CatenaParts.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PcmWave.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {
namespace {

// The nearest 16-bit value (halves away from zero), saturating at the limits.
qint16 saturate(double v) {
    if (v > -32768.0 && v < 32767.0) {
        // The usual case, without a library call: the fraction v - trunc(v) is exact.
        int r = int(v);
        const double fraction = v - double(r);
        r += int(fraction >= 0.5) - int(fraction <= -0.5);
        return qint16(r);
    }
    const double r = std::round(v);
    if (r >= 32767.0) return 32767;
    if (r <= -32768.0) return -32768;
    return qint16(r);
}

// The largest data part a RIFF header can describe.
constexpr qint64 MaxDataBytes = qint64(std::numeric_limits<quint32>::max()) - 36;

}  // namespace

CatenaParts::CatenaParts(const QString& outputName)
    : whd_(FileSystem::resolve(outputName + QStringLiteral(".whd"))),
      dat_(FileSystem::resolve(outputName + QStringLiteral(".dat"))) {}

QByteArray CatenaParts::header(quint32 dataBytes) { return PcmWaveHeader(SampleRate, 1, dataBytes); }

qint64 CatenaParts::frames() const {
    QFileInfo fi(dat_);
    return fi.isFile() ? fi.size() / 2 : 0;
}

void CatenaParts::mix(const std::vector<double>& piece, qint64 overlapFrames) {
    QFile dat(dat_);
    if (!dat.open(QIODevice::ReadWrite)) throw FileError(QStringLiteral("cannot open %1").arg(dat_), 75);
    qint64 end = dat.size() / 2;
    // An odd trailing byte is no sample; drop it so the samples stay aligned.
    if (dat.size() % 2 != 0 && !dat.resize(end * 2)) throw IoError(QStringLiteral("cannot trim %1").arg(dat_));

    const qint64 start = std::max<qint64>(0, end - overlapFrames);
    const qint64 pieceEnd = start + qint64(piece.size());
    const qint64 newEnd = std::max(end, pieceEnd);
    if (newEnd * 2 > MaxDataBytes) throw IoError(QStringLiteral("%1 would exceed the size a wave can hold").arg(dat_));

    // The samples from the start of the piece to the new end: what is there already (the tail it
    // overlaps, silence in a gap) plus the piece.
    const qint64 touchedFrom = std::min(start, end);
    QByteArray bytes(qsizetype(newEnd - touchedFrom) * 2, Qt::Uninitialized);
    char* out = bytes.data();
    if (touchedFrom < end) {
        if (!dat.seek(touchedFrom * 2)) throw IoError(QStringLiteral("cannot read %1").arg(dat_));
        const qint64 tailBytes = (end - touchedFrom) * 2;
        if (dat.read(out, tailBytes) != tailBytes) throw IoError(QStringLiteral("cannot read %1").arg(dat_));
    }
    // Sample x of the output: the old sample (0 past the old end) plus the piece's, when x is in it.
    auto old = [&](qint64 x) { return x < end ? double(qFromLittleEndian<qint16>(out + (x - touchedFrom) * 2)) : 0.0; };
    auto put = [&](qint64 x, double v) { qToLittleEndian(saturate(v), out + (x - touchedFrom) * 2); };
    for (qint64 x = touchedFrom; x < start; ++x) put(x, old(x));
    const double* p = piece.data();
    const qint64 overlapEnd = std::min(pieceEnd, end);
    for (qint64 x = start; x < overlapEnd; ++x) put(x, old(x) + p[x - start]);
    for (qint64 x = std::max(start, end); x < pieceEnd; ++x) put(x, 0.0 + p[x - start]);
    // The tail past a piece that ends inside it is written back as it was.

    if (!dat.seek(touchedFrom * 2) || dat.write(bytes) != bytes.size() || !dat.flush())
        throw IoError(QStringLiteral("cannot write %1").arg(dat_));
    dat.close();

    // The header is rewritten in place: one write of its 44 bytes, without a temporary file or a sync
    // to disk, which would cost more than the note itself when a render appends hundreds of notes.
    QFile whd(whd_);
    if (!whd.open(QIODevice::ReadWrite)) throw FileError(QStringLiteral("cannot write %1").arg(whd_), 75);
    const QByteArray head = header(quint32(newEnd * 2));
    if (whd.write(head) != head.size() || (whd.size() != head.size() && !whd.resize(head.size())) || !whd.flush())
        throw IoError(QStringLiteral("cannot write %1").arg(whd_));
}

void CatenaParts::join(const QString& headerPart, const QString& dataPart, const QString& output) {
    QFile whd(FileSystem::resolve(headerPart));
    QFile dat(FileSystem::resolve(dataPart));
    if (!whd.open(QIODevice::ReadOnly)) throw FileError(QStringLiteral("cannot read %1").arg(headerPart));
    if (!dat.open(QIODevice::ReadOnly)) throw FileError(QStringLiteral("cannot read %1").arg(dataPart));
    QSaveFile out(FileSystem::resolve(output));
    if (!out.open(QIODevice::WriteOnly)) throw FileError(QStringLiteral("cannot write %1").arg(output), 75);
    for (QFile* part : {&whd, &dat}) {
        while (!part->atEnd()) {
            const QByteArray chunk = part->read(1 << 20);
            if (chunk.isEmpty() && !part->atEnd()) {
                out.cancelWriting();
                throw IoError(QStringLiteral("cannot read %1").arg(part->fileName()));
            }
            out.write(chunk);
        }
    }
    if (!out.commit()) throw IoError(QStringLiteral("cannot write %1").arg(output));
}

}  // namespace tova
