#include "render/RenderReuse.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/lean/Files.h"
#include "platform/lean/PcmWaveHeader.h"
#include "render/LibraryToolRoad.h"
#include "tools/catena/Catena.h"
#include "tools/catena/CatenaEnvelope.h"
#include "tools/catena/CatenaLength.h"
#include "tools/catena/CatenaParts.h"
#include "tools/catena/PositionedIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <thread>

namespace tova::RenderReuse {
namespace {

const QByteArray kRecordVersion = QByteArrayLiteral("tova render record 1");

std::string onDisk(const QString& path) { return lean::Files::resolve(path.toUtf8().toStdString()); }

// Frames and overlap of a piece, read from its key as the concatenator reads its arguments.
void geometry(const QString& key, std::int64_t& frames, std::int64_t& overlap) {
    const qsizetype lengthEnd = key.indexOf(u'\t');
    const QString length = lengthEnd < 0 ? key : key.left(lengthEnd);
    const qsizetype envelopeEnd = lengthEnd < 0 ? -1 : key.indexOf(u'\t', lengthEnd + 1);
    const QString envelope = lengthEnd < 0 ? QString() : key.mid(lengthEnd + 1, envelopeEnd < 0 ? -1 : envelopeEnd - lengthEnd - 1);
    frames = Catena::toFrames(std::max(0.0, CatenaLength::milliseconds(length.toUtf8().toStdString())));
    std::vector<std::string> tokens;
    for (const QString& t : LibraryToolRoad::EnvelopeTokens(envelope)) tokens.push_back(t.toUtf8().toStdString());
    overlap = Catena::toFrames(CatenaEnvelope(tokens).overlapMs());
}

QByteArray escaped(const QString& text) {
    QString t = text;
    t.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\r"));
    return t.toUtf8();
}

std::optional<QString> unescaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) return std::nullopt;
        if (text[i] == u'\\') out += u'\\';
        else if (text[i] == u'n') out += u'\n';
        else if (text[i] == u'r') out += u'\r';
        else return std::nullopt;
    }
    return out;
}

std::optional<std::int64_t> number(const QString& text) {
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);  // locale-free
    if (!ok) return std::nullopt;
    return std::int64_t(v);
}

}  // namespace

QString pieceKey(const QString& road, const QString& kind, const QString& lengthText, const QString& envelope,
                 const QString& input, const QString& startText, const QString& inputStamp) {
    QString key = lengthText + u'\t' + envelope + u'\t' + road + u'\t' + kind + u'\t' + startText + u'\t' + input;
    if (!inputStamp.isEmpty()) key += u'\t' + inputStamp;
    return key;
}

std::vector<Placement> simulate(const QStringList& keys) {
    std::vector<Placement> out;
    out.reserve(std::size_t(keys.size()));
    std::int64_t end = 0;
    for (const QString& key : keys) {
        std::int64_t frames = 0, overlap = 0;
        geometry(key, frames, overlap);
        Placement p;
        p.endBefore = end;
        p.start = std::max<std::int64_t>(0, end - overlap);
        p.touchedFrom = std::min(p.start, end);
        p.endAfter = std::max(end, p.start + frames);
        end = p.endAfter;
        out.push_back(p);
    }
    return out;
}

std::vector<bool> restartPoints(const std::vector<Placement>& placements) {
    const std::size_t n = placements.size();
    std::vector<bool> out(n + 1, false);
    out[n] = true;
    std::int64_t lowestLater = std::numeric_limits<std::int64_t>::max();  // least touchedFrom of the pieces after i
    for (std::size_t i = n; i-- > 0;) {
        const Placement& p = placements[i];
        out[i] = p.touchedFrom >= p.endBefore && lowestLater >= p.endBefore;
        lowestLater = std::min(lowestLater, p.touchedFrom);
    }
    return out;
}

std::optional<Reuse> findReuse(const QStringList& oldKeys, const QStringList& newKeys) {
    const int nOld = int(oldKeys.size()), nNew = int(newKeys.size());
    if (nNew == 0) return std::nullopt;
    const std::vector<Placement> po = simulate(oldKeys), pn = simulate(newKeys);
    const std::vector<bool> ro = restartPoints(po), rn = restartPoints(pn);
    auto endBefore = [](const std::vector<Placement>& p, int i) { return i < int(p.size()) ? p[std::size_t(i)].endBefore : (p.empty() ? 0 : p.back().endAfter); };

    int common = 0;
    while (common < std::min(nOld, nNew) && oldKeys[common] == newKeys[common]) ++common;
    int r = common;
    while (r > 0 && !(ro[std::size_t(r)] && rn[std::size_t(r)])) --r;
    if (endBefore(po, r) != endBefore(pn, r)) return std::nullopt;  // equal keys before r: never so

    const int maxSuffix = std::min(nOld, nNew) - common;
    int suffix = 0;
    while (suffix < maxSuffix && oldKeys[nOld - 1 - suffix] == newKeys[nNew - 1 - suffix]) ++suffix;
    // The longest common suffix starting at a restart point of both renders, with every piece of it
    // placed alike relative to its start.
    for (; suffix > 0; --suffix) {
        const int s = nOld - suffix, s2 = nNew - suffix;
        if (!ro[std::size_t(s)] || !rn[std::size_t(s2)]) continue;
        const std::int64_t baseOld = po[std::size_t(s)].endBefore, baseNew = pn[std::size_t(s2)].endBefore;
        bool alike = endBefore(po, nOld) - baseOld == endBefore(pn, nNew) - baseNew;
        for (int k = 0; alike && k < suffix; ++k) {
            const Placement& a = po[std::size_t(s + k)];
            const Placement& b = pn[std::size_t(s2 + k)];
            alike = a.start - baseOld == b.start - baseNew && a.touchedFrom - baseOld == b.touchedFrom - baseNew &&
                    a.endAfter - baseOld == b.endAfter - baseNew;
        }
        if (alike) break;
    }
    Reuse reuse;
    reuse.first = r;
    reuse.newEnd = nNew - suffix;
    reuse.oldEnd = nOld - suffix;
    if (reuse.newEnd - reuse.first >= nNew) return std::nullopt;
    reuse.headFrames = endBefore(pn, r);
    reuse.middleFrames = endBefore(pn, reuse.newEnd) - reuse.headFrames;
    reuse.oldTailFrom = endBefore(po, reuse.oldEnd);
    reuse.oldTotal = endBefore(po, nOld);
    reuse.newTotal = endBefore(pn, nNew);
    return reuse;
}

QString recordPath(const QString& cacheFolder, const QString& output) {
    return PathText::join(cacheFolder, PathText::baseName(output) + QStringLiteral(".render"));
}

QByteArray formatRecord(const Record& record) {
    QString text = QString::fromLatin1(kRecordVersion) + u'\n';
    text += QString::fromUtf8(escaped(record.output)) + u'\n';
    text += QString::number(record.size) + u'\n' + QString::number(record.mtimeNs) + u'\n' +
            QString::number(record.keys.size()) + u'\n';
    for (const QString& key : record.keys) text += QString::fromUtf8(escaped(key)) + u'\n';
    return Cp932::encodeMarked(text);
}

std::optional<Record> parseRecord(const QByteArray& bytes) {
    bool clean = true;
    const QString text = Cp932::decodeMarked(bytes, &clean);
    if (!clean || !text.endsWith(u'\n')) return std::nullopt;
    const QStringList lines = text.left(text.size() - 1).split(u'\n');
    if (lines.size() < 5 || lines[0] != QString::fromLatin1(kRecordVersion)) return std::nullopt;
    Record record;
    const auto output = unescaped(lines[1]);
    const auto size = number(lines[2]), mtime = number(lines[3]), count = number(lines[4]);
    if (!output || !size || !mtime || !count || *count != lines.size() - 5) return std::nullopt;
    record.output = *output;
    record.size = *size;
    record.mtimeNs = *mtime;
    for (qsizetype i = 5; i < lines.size(); ++i) {
        const auto key = unescaped(lines[i]);
        if (!key) return std::nullopt;
        record.keys << *key;
    }
    return record;
}

bool writeRecord(const QString& path, const Record& record) {
    const QByteArray bytes = formatRecord(record);
    return lean::Files::writeAtomically(onDisk(path), std::string_view(bytes.constData(), std::size_t(bytes.size())),
                                        nullptr, false);
}

std::optional<Record> readRecord(const QString& path) {
    std::string bytes;
    if (!lean::Files::read(onDisk(path), bytes)) return std::nullopt;
    return parseRecord(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

std::optional<Stamp> stampOf(const QString& path) {
    const lean::Files::State state = lean::Files::stateOf(onDisk(path));
    if (!state.exists) return std::nullopt;
    return Stamp{state.size, state.seconds * 1000000000 + state.nanoseconds};
}

OldOutput::~OldOutput() { close(); }

void OldOutput::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void OldOutput::closeInBackground() {
    if (fd_ < 0) return;
    std::thread([fd = fd_] { ::close(fd); }).detach();
    fd_ = -1;
}

bool OldOutput::open(const QString& output, const Record& record) {
    close();
    if (record.output != output) return false;
    const int fd = ::open(onDisk(output).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    char head[lean::kPcmWaveHeaderSize];
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::int64_t(st.st_size) == record.size &&
              std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec == record.mtimeNs;
    const std::int64_t data = std::int64_t(st.st_size) - lean::kPcmWaveHeaderSize;
    ok = ok && data >= 0 && data % 2 == 0 && data <= std::int64_t(std::numeric_limits<std::uint32_t>::max()) &&
         readAt(fd, head, lean::kPcmWaveHeaderSize, 0);
    if (ok) {
        const auto canonical = lean::pcmWaveHeader(CatenaParts::SampleRate, 1, std::uint32_t(data));
        ok = std::equal(canonical.begin(), canonical.end(), head);
    }
    if (!ok) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    dataFrames_ = data / 2;
    return true;
}

void OldOutput::writeSpliced(const Reuse& reuse, const QString& middleData, const QString& output) const {
    if (fd_ < 0 || reuse.oldTotal != dataFrames_ || reuse.headFrames > reuse.oldTailFrom ||
        reuse.oldTailFrom > reuse.oldTotal || reuse.newTotal * 2 > std::int64_t(std::numeric_limits<std::uint32_t>::max()) - 36)
        throw FileError(QStringLiteral("the earlier output does not match its record: ") + output);
    int middle = -1;
    struct Closer {
        int& fd;
        ~Closer() {
            if (fd >= 0) ::close(fd);
        }
    } closer{middle};
    if (reuse.middleFrames > 0 || lean::Files::exists(onDisk(middleData))) {
        middle = ::open(onDisk(middleData).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        struct stat st {};
        if (middle < 0 || ::fstat(middle, &st) != 0 || !S_ISREG(st.st_mode) ||
            std::int64_t(st.st_size) != reuse.middleFrames * 2)
            throw FileError(QStringLiteral("cannot read ") + middleData);
    }
    lean::AtomicFile out(onDisk(output));
    if (!out.isOpen()) throw FileError(QStringLiteral("cannot write ") + output, 75);
    const auto head = CatenaParts::header(std::uint32_t(reuse.newTotal * 2));
    if (!out.write(head.data(), head.size())) throw FileError(QString::fromStdString(out.error()), 75);
    constexpr std::int64_t ChunkBytes = std::int64_t(1) << 20;
    const auto chunk = std::make_unique_for_overwrite<char[]>(std::size_t(ChunkBytes));
    auto copy = [&](int fd, std::int64_t from, std::int64_t to, const QString& name) {
        for (std::int64_t at = from; at < to; at += ChunkBytes) {
            const std::int64_t n = std::min(ChunkBytes, to - at);
            if (!readAt(fd, chunk.get(), n, at)) throw FileError(QStringLiteral("cannot read ") + name);
            if (!out.write(chunk.get(), std::size_t(n))) throw FileError(QString::fromStdString(out.error()), 75);
        }
    };
    const std::int64_t header = lean::kPcmWaveHeaderSize;
    copy(fd_, header, header + reuse.headFrames * 2, output);
    if (middle >= 0) copy(middle, 0, reuse.middleFrames * 2, middleData);
    copy(fd_, header + reuse.oldTailFrom * 2, header + reuse.oldTotal * 2, output);
    if (!out.commit()) throw FileError(QStringLiteral("cannot write ") + output, 75);
}

}  // namespace tova::RenderReuse
