#include "platform/lean/VariableName.h"

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

bool sameVariableName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    return true;
}

bool variableNameStartsWith(std::u16string_view name, std::u16string_view prefix) {
    return name.size() >= prefix.size() && sameVariableName(name.substr(0, prefix.size()), prefix);
}

std::u16string variableNameKey(std::u16string_view name) {
    std::u16string key(name);
    for (char16_t& c : key) c = asciiUpper(c);
    return key;
}

}  // namespace tova::lean
