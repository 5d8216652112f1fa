#include "platform/lean/VariableName.h"

#include <algorithm>

namespace tova::lean {
namespace {

char16_t asciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c; }

}  // namespace

bool isNoteVariableName(std::u16string_view name) {
    if (name.empty()) return false;
    for (const char16_t c : name) {
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !digit && c != u'_') return false;
    }
    return true;
}

int compareVariableNames(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = asciiUpper(a[i]), y = asciiUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace tova::lean
