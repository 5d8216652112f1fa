#include "platform/lean/Cp932Text.h"

#include "platform/lean/Utf.h"

#include <iconv.h>

#include <mutex>

namespace tova::lean {
namespace {

// An iconv descriptor is not safe to share between threads: one, guarded. It is closed with the
// decoder, so that it does not outlive the renderer and joiner libraries the editor unloads.
struct Decoder {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::mutex lock;
    Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() {
        if (cd != iconv_t(-1)) iconv_close(cd);
    }
};

Decoder& decoder() {
    static Decoder d;
    return d;
}

// CP932 to UTF-8 one character at a time; false when a byte did not decode (it became U+FFFD).
bool decodeCp932(std::string_view bytes, std::string& out) {
    static const char replacement[] = "\xEF\xBF\xBD";
    Decoder& d = decoder();
    std::lock_guard<std::mutex> guard(d.lock);
    bool clean = d.cd != iconv_t(-1);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        }
        // Lead bytes of double-byte characters: 81-9F and E0-FC. Single-byte katakana: A1-DF.
        const std::size_t length = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
        if (length == 2 && i + 1 >= bytes.size()) {
            out += replacement;
            return false;
        }
        char buffer[8];
        char* in = const_cast<char*>(bytes.data() + i);
        std::size_t inLeft = length;
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        if (d.cd == iconv_t(-1)) {
            out += replacement;
            ++i;
            continue;
        }
        iconv(d.cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t r = iconv(d.cd, &in, &inLeft, &o, &outLeft);
        if (r == std::size_t(-1) || inLeft != 0) {
            out += replacement;
            clean = false;
            ++i;  // resynchronise on the next byte
            continue;
        }
        out.append(buffer, std::size_t(o - buffer));
        i += length;
    }
    return clean;
}

}  // namespace

std::string decodeMarkedCp932(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return toUtf8(toUtf16(bytes.substr(3)));
    std::string text;
    if (!decodeCp932(bytes, text) && isValidUtf8(bytes)) return std::string(bytes);
    return text;
}

}  // namespace tova::lean
