#include "tools/catena/CatenaParts.h"

#include "platform/lean/Failure.h"
#include "platform/lean/Files.h"
#include "tools/catena/PositionedIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <memory>

namespace tova {
namespace {

// The nearest 16-bit value (halves away from zero), saturating at the limits.
std::int16_t saturate(double v) {
    if (v > -32768.0 && v < 32767.0) {
        // The usual case, without a library call: the fraction v - trunc(v) is exact.
        int r = int(v);
        const double fraction = v - double(r);
        r += int(fraction >= 0.5) - int(fraction <= -0.5);
        return std::int16_t(r);
    }
    const double r = std::round(v);
    if (r >= 32767.0) return 32767;
    if (r <= -32768.0) return -32768;
    return std::int16_t(r);
}

// The samples of `count` doubles as 16-bit little-endian values (see saturate) at `out`.
void saturateInto(const double* v, std::size_t count, char* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Four samples per step while all lie within the 16-bit range: truncation, the exact fraction
    // and one step away from zero for halves and more, as saturate() does one by one.
    const __m128d low = _mm_set1_pd(-32768.0), high = _mm_set1_pd(32767.0);
    const __m128d half = _mm_set1_pd(0.5), minusHalf = _mm_set1_pd(-0.5);
    auto inRange = [&](__m128d x) { return _mm_movemask_pd(_mm_and_pd(_mm_cmpgt_pd(x, low), _mm_cmplt_pd(x, high))); };
    // The low 32 bits of each 64-bit lane of two comparisons (all ones or none), as four 32-bit lanes.
    auto lanes = [](__m128d a, __m128d b) {
        return _mm_castps_si128(_mm_shuffle_ps(_mm_castpd_ps(a), _mm_castpd_ps(b), _MM_SHUFFLE(2, 0, 2, 0)));
    };
    for (; i + 4 <= count; i += 4) {
        const __m128d x0 = _mm_add_pd(_mm_setzero_pd(), _mm_loadu_pd(v + i));
        const __m128d x1 = _mm_add_pd(_mm_setzero_pd(), _mm_loadu_pd(v + i + 2));
        if ((inRange(x0) & inRange(x1)) != 3) {
            for (std::size_t k = i; k < i + 4; ++k) lean::putLittle16(out + k * 2, saturate(0.0 + v[k]));
            continue;
        }
        const __m128i t0 = _mm_cvttpd_epi32(x0), t1 = _mm_cvttpd_epi32(x1);
        const __m128d f0 = _mm_sub_pd(x0, _mm_cvtepi32_pd(t0)), f1 = _mm_sub_pd(x1, _mm_cvtepi32_pd(t1));
        // All ones is -1: subtracting the "half or more" mask adds one, adding the other subtracts one.
        __m128i r = _mm_unpacklo_epi64(t0, t1);
        r = _mm_sub_epi32(r, lanes(_mm_cmpge_pd(f0, half), _mm_cmpge_pd(f1, half)));
        r = _mm_add_epi32(r, lanes(_mm_cmple_pd(f0, minusHalf), _mm_cmple_pd(f1, minusHalf)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i * 2), _mm_packs_epi32(r, r));
    }
#endif
    for (; i < count; ++i) lean::putLittle16(out + i * 2, saturate(0.0 + v[i]));
}

// A part opened for reading and writing (created when missing; see lean::Files::openResolved), closed
// when it goes. `path` is the part's path on disk.
struct OpenFile {
    explicit OpenFile(const std::string& name)
        : fd(lean::Files::openResolved(name, O_RDWR | O_CREAT | O_CLOEXEC, 0666, &path)) {}
    ~OpenFile() {
        if (fd >= 0) ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    std::string path;
    int fd;
};

// The largest data part a RIFF header can describe.
constexpr std::int64_t MaxDataBytes = std::int64_t(std::numeric_limits<std::uint32_t>::max()) - 36;

}  // namespace

CatenaParts::CatenaParts(const std::string& outputName) : whd_(outputName + ".whd"), dat_(outputName + ".dat") {}

std::string CatenaParts::headerPath() const { return lean::Files::resolve(whd_); }

std::string CatenaParts::dataPath() const { return lean::Files::resolve(dat_); }

std::array<char, CatenaParts::HeaderSize> CatenaParts::header(std::uint32_t dataBytes) {
    return lean::pcmWaveHeader(SampleRate, 1, dataBytes);
}

std::int64_t CatenaParts::frames() const {
    struct stat st {};
    return ::stat(dataPath().c_str(), &st) == 0 && S_ISREG(st.st_mode) ? std::int64_t(st.st_size) / 2 : 0;
}

void CatenaParts::mix(const std::vector<double>& piece, std::int64_t overlapFrames) {
    mix(std::int64_t(piece.size()), [&piece](std::int64_t first, double* out, std::size_t count) {
        std::copy_n(piece.begin() + first, count, out);
    }, overlapFrames);
}

void CatenaParts::mix(std::int64_t pieceFrames, const PieceSource& source, std::int64_t overlapFrames) {
    const OpenFile dat(dat_);
    if (dat.fd < 0) throw lean::Failure(lean::Failure::Access, "cannot open " + dat.path);
    struct stat st {};
    if (::fstat(dat.fd, &st) != 0) throw lean::Failure(lean::Failure::Io, "cannot read " + dat.path);
    const std::int64_t end = std::int64_t(st.st_size) / 2;
    // An odd trailing byte is no sample; drop it so the samples stay aligned.
    if (st.st_size % 2 != 0 && ::ftruncate(dat.fd, off_t(end * 2)) != 0)
        throw lean::Failure(lean::Failure::Io, "cannot trim " + dat.path);

    const std::int64_t start = std::max<std::int64_t>(0, end - overlapFrames);
    const std::int64_t pieceEnd = start + pieceFrames;
    const std::int64_t newEnd = std::max(end, pieceEnd);
    if (newEnd * 2 > MaxDataBytes)
        throw lean::Failure(lean::Failure::Io, dat.path + " would exceed the size a wave can hold");

    // The samples from the start of the piece (or the old end, before a gap) to the piece's end, a
    // block at a time: what is there already (the tail it overlaps, silence in a gap) plus the piece.
    // The tail past a piece that ends inside it stays as it was.
    // Every sample of a block is read, put or mixed before the block is written, so its buffers are
    // not cleared first.
    const std::int64_t touchedFrom = std::min(start, end);
    const std::size_t blockFrames = std::size_t(std::clamp<std::int64_t>(pieceEnd - touchedFrom, 0, MixBlockFrames));
    const auto bytes = std::make_unique_for_overwrite<char[]>(blockFrames * 2);
    const auto block = std::make_unique_for_overwrite<double[]>(blockFrames);
    for (std::int64_t from = touchedFrom; from < pieceEnd; from += MixBlockFrames) {
        const std::int64_t to = std::min(pieceEnd, from + MixBlockFrames);
        char* out = bytes.get();
        auto at = [&](std::int64_t x) { return out + (x - from) * 2; };
        const std::int64_t oldTo = std::min(to, end);
        if (from < oldTo && !readAt(dat.fd, out, (oldTo - from) * 2, from * 2))
            throw lean::Failure(lean::Failure::Io, "cannot read " + dat.path);
        for (std::int64_t x = from; x < std::min(to, start); ++x) lean::putLittle16(at(x), saturate(0.0));
        const std::int64_t pieceFrom = std::max(from, start);
        if (pieceFrom < to) {
            source(pieceFrom - start, block.get(), std::size_t(to - pieceFrom));
            const double* p = block.get() - pieceFrom;  // p[x]: the piece's sample at output sample x
            for (std::int64_t x = pieceFrom; x < std::min(to, end); ++x)
                lean::putLittle16(at(x), saturate(double(lean::little16(at(x))) + p[x]));
            const std::int64_t fresh = std::max(pieceFrom, end);
            if (fresh < to) saturateInto(p + fresh, std::size_t(to - fresh), at(fresh));
        }
        if (!writeAt(dat.fd, out, (to - from) * 2, from * 2))
            throw lean::Failure(lean::Failure::Io, "cannot write " + dat.path);
    }

    // The header is rewritten in place: one write of its 44 bytes, without a temporary file or a sync
    // to disk, which would cost more than the note itself when a render appends hundreds of notes.
    const OpenFile whd(whd_);
    if (whd.fd < 0) throw lean::Failure(lean::Failure::Access, "cannot write " + whd.path);
    const auto head = header(std::uint32_t(newEnd * 2));
    if (!writeAt(whd.fd, head.data(), HeaderSize, 0) || ::fstat(whd.fd, &st) != 0 ||
        (st.st_size != HeaderSize && ::ftruncate(whd.fd, HeaderSize) != 0))
        throw lean::Failure(lean::Failure::Io, "cannot write " + whd.path);
}

void CatenaParts::join(const std::string& headerPart, const std::string& dataPart, const std::string& output) {
    // Both parts are opened before the output is begun: a missing part leaves no trace.
    const std::string parts[2] = {headerPart, dataPart};
    int fds[2] = {-1, -1};
    struct Closer {
        int* fds;
        ~Closer() {
            for (int k = 0; k < 2; ++k)
                if (fds[k] >= 0) ::close(fds[k]);
        }
    } closer{fds};
    for (int k = 0; k < 2; ++k) {
        fds[k] = lean::Files::openResolved(parts[k], O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st {};
        if (fds[k] < 0 || ::fstat(fds[k], &st) != 0 || !S_ISREG(st.st_mode))
            throw lean::Failure(lean::Failure::FileNotFound, "cannot read " + parts[k]);
    }
    lean::AtomicFile out(lean::Files::resolve(output));
    if (!out.isOpen()) throw lean::Failure(lean::Failure::Access, "cannot write " + output);
    constexpr std::size_t ChunkBytes = std::size_t(1) << 20;
    const auto chunk = std::make_unique_for_overwrite<char[]>(ChunkBytes);  // each byte read before it is written
    for (int k = 0; k < 2; ++k) {
        for (;;) {
            const ssize_t n = ::read(fds[k], chunk.get(), ChunkBytes);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw lean::Failure(lean::Failure::Io, "cannot read " + parts[k]);
            if (n == 0) break;
            if (!out.write(chunk.get(), std::size_t(n))) throw lean::Failure(lean::Failure::Io, out.error());
        }
    }
    if (!out.commit()) throw lean::Failure(lean::Failure::Io, "cannot write " + output);
}

}  // namespace tova
