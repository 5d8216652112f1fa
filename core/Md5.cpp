#include "core/Md5.h"

#include <algorithm>
#include <cstring>

namespace tova {
namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Rotation amounts of the four rounds, four per round.
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

void Md5::init() {
    state_ = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    bitCount_ = 0;
}

void Md5::transform(const unsigned char* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 | uint32_t(block[4 * i + 2]) << 16 |
               uint32_t(block[4 * i + 3]) << 24;
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        uint32_t f;
        int k;
        switch (round) {
        case 0: f = (b & c) | (~b & d); k = step; break;                 // F
        case 1: f = (b & d) | (c & ~d); k = (5 * step + 1) % 16; break;   // G
        case 2: f = b ^ c ^ d; k = (3 * step + 5) % 16; break;            // H
        default: f = c ^ (b | ~d); k = (7 * step) % 16; break;            // I
        }
        const uint32_t t = d;
        d = c;
        c = b;
        b = b + rotl(a + f + kSine[step] + x[k], kShift[round][step % 4]);
        a = t;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void Md5::update(const char* data, std::size_t size) {
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    std::size_t used = std::size_t((bitCount_ / 8) % 64);
    bitCount_ += uint64_t(size) * 8;
    std::size_t i = 0;
    if (used > 0) {
        const std::size_t take = std::min(size, 64 - used);
        std::memcpy(buffer_.data() + used, in, take);
        i = take;
        if (used + take < 64) return;
        transform(buffer_.data());
    }
    for (; i + 64 <= size; i += 64) transform(in + i);
    if (i < size) std::memcpy(buffer_.data(), in + i, size - i);
}

QByteArray Md5::finish() {
    unsigned char length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<unsigned char>(bitCount_ >> (8 * i));
    const std::size_t used = std::size_t((bitCount_ / 8) % 64);
    const std::size_t padding = used < 56 ? 56 - used : 120 - used;
    static const unsigned char pad[64] = {0x80};
    update(reinterpret_cast<const char*>(pad), padding);
    update(reinterpret_cast<const char*>(length), 8);
    QByteArray out(16, '\0');
    for (int w = 0; w < 4; ++w)
        for (int i = 0; i < 4; ++i) out[4 * w + i] = char(state_[w] >> (8 * i));
    return out;
}

QByteArray Md5::digest(const QByteArray& bytes) {
    Md5 m;
    m.update(bytes);
    return m.finish();
}

QByteArray Md5::hex(const QByteArray& digestBytes) { return digestBytes.toHex(); }

}  // namespace tova
