#include "platform/Cp932.h"

#include <QStringDecoder>

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <stdexcept>

namespace tova {
namespace {

// iconv descriptors are not thread-safe: each thread has its own pair, so that the recovery copy's
// writer never waits for the window's thread (or the reverse) to encode or decode.
struct Converters {
    iconv_t toCp932 = reinterpret_cast<iconv_t>(-1);
    iconv_t fromCp932 = reinterpret_cast<iconv_t>(-1);
    Converters() {
        toCp932 = iconv_open("CP932", "UTF-16LE");
        fromCp932 = iconv_open("UTF-16LE", "CP932");
        if (toCp932 == reinterpret_cast<iconv_t>(-1) || fromCp932 == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert CP932");
    }
    ~Converters() {
        iconv_close(toCp932);
        iconv_close(fromCp932);
    }
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
};

Converters& converters() {
    thread_local Converters c;
    return c;
}

// Converts one UTF-16 code point (one or two units) to CP932; false when the code page lacks it.
bool encodeOne(iconv_t cd, const char16_t* units, int count, QByteArray& out) {
    char buf[8];
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units));
    size_t inLeft = size_t(count) * 2;
    char* o = buf;
    size_t outLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    if (r == size_t(-1) || inLeft != 0) return false;
    // glibc may report a lossy (non-reversible) conversion in r > 0; treat it as unmappable.
    if (r > 0) return false;
    out.append(buf, o - buf);
    return true;
}

// The CP932 bytes of one character of the basic plane, as encodeOne gives them, with two exceptions:
// U+00A5 (yen sign) and U+203E (overline) have no faithful CP932 byte (glibc would map them to 5C/7E,
// which read back as backslash and tilde), so they are gaps like any other. Each code unit is asked of
// iconv once and then kept in a table shared by all threads, so that a song's text is encoded in one
// pass over its characters rather than one iconv call per character.
// A table entry: 0 = not yet known; Known set: the character is known, Gap set: the code page lacks
// it, otherwise TwoBytes tells one or two bytes in the low 16 bits (the lead byte in bits 8-15).
constexpr quint32 Known = 1u << 31;
constexpr quint32 Gap = 1u << 30;
constexpr quint32 TwoBytes = 1u << 16;
std::atomic<quint32> codeTable[0x10000];

quint32 lookUp(char16_t ch) {
    quint32 entry = codeTable[ch].load(std::memory_order_relaxed);
    if (entry) return entry;
    QByteArray bytes;
    if (ch == 0x00A5 || ch == 0x203E || !encodeOne(converters().toCp932, &ch, 1, bytes) || bytes.isEmpty() ||
        bytes.size() > 2) {
        entry = Known | Gap;
    } else if (bytes.size() == 1) {
        entry = Known | quint8(bytes[0]);
    } else {
        entry = Known | TwoBytes | (quint32(quint8(bytes[0])) << 8) | quint8(bytes[1]);
    }
    codeTable[ch].store(entry, std::memory_order_relaxed);
    return entry;
}

// Encodes `text`; a character the code page lacks becomes "?" and, when `lossless` is given, clears it.
QByteArray encodeText(const QString& text, bool* lossless) {
    const char16_t* u = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    // At most two bytes per code unit: the buffer is sized once and cut to what was written.
    QByteArray out(n * 2, Qt::Uninitialized);
    char* o = out.data();
    for (qsizetype i = 0; i < n;) {
        const char16_t ch = u[i];
        if (ch < 0x80) {
            *o++ = char(ch);
            ++i;
            continue;
        }
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) {
            // Outside the basic plane: one character of two units, one "?" when the code page lacks it.
            QByteArray pair;
            if (encodeOne(converters().toCp932, u + i, 2, pair) && pair.size() <= 4) {
                for (char b : pair) *o++ = b;
            } else {
                *o++ = '?';
                if (lossless) *lossless = false;
            }
            i += 2;
            continue;
        }
        const quint32 entry = lookUp(ch);
        if (entry & Gap) {
            *o++ = '?';
            if (lossless) *lossless = false;
        } else if (entry & TwoBytes) {
            *o++ = char(quint8(entry >> 8));
            *o++ = char(quint8(entry));
        } else {
            *o++ = char(quint8(entry));
        }
        ++i;
    }
    out.truncate(o - out.constData());
    return out;
}

}  // namespace

QByteArray Cp932::encode(const QString& text) { return encodeText(text, nullptr); }

QByteArray Cp932::encode(const QString& text, bool* exact) {
    if (exact) *exact = true;
    return encodeText(text, exact);
}

bool Cp932::isMarked(const char* data, qsizetype size) {
    return size >= 3 && QByteArrayView(data, 3) == utf8Mark();
}

QString Cp932::decodeMarked(const char* data, qsizetype size, bool* clean) {
    return decodeMarked(QByteArray::fromRawData(data, size), clean);
}

bool Cp932::canEncode(const QString& text) {
    bool lossless = true;
    encodeText(text, &lossless);
    return lossless;
}

QByteArray Cp932::encodeMarked(const QString& text) {
    bool lossless = true;
    QByteArray bytes = encodeText(text, &lossless);
    if (lossless) return bytes;
    return utf8Mark() + text.toUtf8();
}

QString Cp932::decodeMarked(const QByteArray& bytes, bool* clean) {
    auto utf8 = [](QByteArrayView b, bool* valid) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(b);
        if (valid) *valid = !decoder.hasError();
        return text;
    };
    if (bytes.startsWith(utf8Mark())) return utf8(QByteArrayView(bytes).sliced(3), clean);
    bool cp932Clean = true;
    QString text = decode(bytes, &cp932Clean);
    if (!cp932Clean) {
        bool valid = false;
        QString asUtf8 = utf8(bytes, &valid);
        if (valid) {
            if (clean) *clean = true;
            return asUtf8;
        }
    }
    if (clean) *clean = cp932Clean;
    return text;
}

QString Cp932::decode(const QByteArray& bytes, bool* clean) {
    return decode(bytes.constData(), bytes.size(), clean);
}

namespace {

// What each byte sequence above 7F decodes to, asked of iconv once for all of them (a call a character
// made reading a large file take seconds): the single bytes 80-FF and every lead byte (81-9F, E0-FC)
// with every trail byte. `count` 0 marks a sequence iconv refuses.
struct Decoded {
    char16_t units[2] = {0, 0};
    quint8 count = 0;
};

struct DecodeTable {
    Decoded single[128];
    Decoded pairs[60][256];  // lead 81-9F as 0-30, E0-FC as 31-59
};

bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
int leadIndex(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31; }

Decoded decodeOne(iconv_t cd, const unsigned char* bytes, int length) {
    Decoded d;
    char16_t buf[4];
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    size_t inLeft = size_t(length);
    char* o = reinterpret_cast<char*>(buf);
    size_t outLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    const qsizetype units = reinterpret_cast<char16_t*>(o) - buf;
    if (r == size_t(-1) || inLeft != 0 || units < 1 || units > 2) return d;
    d.count = quint8(units);
    d.units[0] = buf[0];
    if (units == 2) d.units[1] = buf[1];
    return d;
}

const DecodeTable& decodeTable() {
    static const std::unique_ptr<DecodeTable> table = [] {
        auto t = std::make_unique<DecodeTable>();
        // Built once, on the first thread that decodes, with that thread's own converter.
        auto& c = converters();
        for (int b = 0x80; b <= 0xFF; ++b) {
            const unsigned char one = static_cast<unsigned char>(b);
            if (!isLead(one)) {
                // One unit a byte at most, so the text never outgrows the bytes (single bytes of
                // the code page are katakana and control codes: one unit each).
                const Decoded d = decodeOne(c.fromCp932, &one, 1);
                if (d.count == 1) t->single[b - 0x80] = d;
            } else {
                for (int trail = 0; trail < 256; ++trail) {
                    const unsigned char two[2] = {one, static_cast<unsigned char>(trail)};
                    t->pairs[leadIndex(one)][trail] = decodeOne(c.fromCp932, two, 2);
                }
            }
        }
        return t;
    }();
    return *table;
}

}  // namespace

QString Cp932::decode(const char* data, qsizetype size, bool* clean) {
    const DecodeTable& table = decodeTable();
    QString out(size, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    char16_t* const start = o;
    bool ok = true;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    while (i < size) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            *o++ = char16_t(b);
            ++i;
            continue;
        }
        // Lead bytes of double-byte characters: 81-9F and E0-FC. Single-byte katakana: A1-DF.
        const bool lead = isLead(b);
        if (lead && i + 1 >= size) {
            *o++ = 0xFFFD;
            ok = false;
            break;
        }
        const Decoded& d = lead ? table.pairs[leadIndex(b)][p[i + 1]] : table.single[b - 0x80];
        if (d.count == 0) {
            *o++ = 0xFFFD;
            ok = false;
            ++i;  // resynchronise on the next byte
            continue;
        }
        for (int k = 0; k < d.count; ++k) *o++ = d.units[k];
        i += lead ? 2 : 1;
    }
    out.truncate(o - start);
    if (clean) *clean = ok;
    return out;
}

}  // namespace tova
