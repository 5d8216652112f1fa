#pragma once

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>

namespace tova {

// The MD5 message digest of RFC 1321: initialise, add runs of bytes, finalise.
class Md5 {
public:
    Md5() { init(); }

    // Sets the chaining words to their initial values and the bit count to zero.
    void init();
    // Adds bytes, transforming every complete 64-byte block.
    void update(const char* data, std::size_t size);
    void update(const QByteArray& bytes) { update(bytes.constData(), std::size_t(bytes.size())); }
    // Completes the message (a 1 bit, zeros, the 64-bit length in bits) and gives the 16 digest bytes.
    // The object must be initialised again before it is reused.
    QByteArray finish();

    // The digest of some bytes in one go.
    static QByteArray digest(const QByteArray& bytes);
    // 32 lower-case hexadecimal characters of 16 digest bytes.
    static QByteArray hex(const QByteArray& digestBytes);

private:
    void transform(const unsigned char* block);

    std::array<uint32_t, 4> state_{};
    uint64_t bitCount_ = 0;
    std::array<unsigned char, 64> buffer_{};
};

}  // namespace tova
