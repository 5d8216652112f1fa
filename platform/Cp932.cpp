#include "platform/Cp932.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace tova {
namespace {

// iconv descriptors are not thread-safe; one pair guarded by a mutex is plenty for our use.
struct Converters {
    iconv_t toCp932 = reinterpret_cast<iconv_t>(-1);
    iconv_t fromCp932 = reinterpret_cast<iconv_t>(-1);
    std::mutex lock;
    Converters() {
        toCp932 = iconv_open("CP932", "UTF-16LE");
        fromCp932 = iconv_open("UTF-16LE", "CP932");
        if (toCp932 == reinterpret_cast<iconv_t>(-1) || fromCp932 == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert CP932");
    }
};

Converters& converters() {
    static Converters c;
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

// Encodes `text`; a character the code page lacks becomes "?" and, when `lossless` is given, clears it.
QByteArray encodeText(const QString& text, bool* lossless) {
    QByteArray out;
    out.reserve(text.size() * 2);
    auto& c = converters();
    std::lock_guard<std::mutex> guard(c.lock);
    const char16_t* u = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        char16_t ch = u[i];
        if (ch < 0x80) {
            out.append(char(ch));
            ++i;
            continue;
        }
        int len = 1;
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(u[i + 1])) len = 2;
        // U+00A5 (yen sign) and U+203E (overline) have no faithful CP932 byte: glibc would map them to
        // 5C/7E, which read back as backslash and tilde. They become "?" like any other gap.
        if ((len == 1 && (ch == 0x00A5 || ch == 0x203E)) || !encodeOne(c.toCp932, u + i, len, out)) {
            out.append('?');
            if (lossless) *lossless = false;
        }
        i += len;
    }
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
        auto& c = converters();
        std::lock_guard<std::mutex> guard(c.lock);
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
