#include "platform/lean/Utf.h"

namespace tova::lean {
namespace {

// The code point of the sequence at `i` (advancing `i`), or -1 for an invalid byte (advancing by one).
long next(std::string_view s, std::size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int length = 0;
    long code = 0, least = 0;
    if (b >= 0xC2 && b <= 0xDF) length = 2, code = b & 0x1F, least = 0x80;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, code = b & 0x0F, least = 0x800;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, code = b & 0x07, least = 0x10000;
    if (length == 0 || i + std::size_t(length) > s.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[i + std::size_t(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        code = (code << 6) | (c & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += std::size_t(length);
    return code;
}

}  // namespace

std::u16string toUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        long c = next(s, i);
        if (c < 0) c = 0xFFFD;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::string toUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned long c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();)
        if (next(s, i) < 0) return false;
    return true;
}

}  // namespace tova::lean
