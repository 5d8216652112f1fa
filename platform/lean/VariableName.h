#pragma once

#include <string_view>

namespace tova::lean {

// Batch variable names as the editor and the batch runner both read them. A name a note may set is
// made of the ASCII letters, digits and "_" only; two names are the same variable when they differ in
// the case of ASCII letters alone. Any other character compares exactly: no letter of another script
// turns into an ASCII one (a dotless "ı" never becomes "I"), so no name can pass one reader as a name of
// its own and reach the other as a name the render runs with.

// Whether `name` is a non-empty run of A-Z, a-z, 0-9 and "_".
bool isNoteVariableName(std::u16string_view name);

// The one comparison of variable names: below 0, 0 or above 0 as `a` sorts before, with or after `b`,
// ASCII letters taken in upper case. 0 means the same variable.
int compareVariableNames(std::u16string_view a, std::u16string_view b);

inline bool sameVariableName(std::u16string_view a, std::u16string_view b) { return compareVariableNames(a, b) == 0; }

// Whether `name` begins with `prefix`, compared as compareVariableNames compares.
inline bool variableNameStartsWith(std::u16string_view name, std::u16string_view prefix) {
    return name.size() >= prefix.size() && sameVariableName(name.substr(0, prefix.size()), prefix);
}

// Orders a table of variables by compareVariableNames.
struct VariableNameLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const { return compareVariableNames(a, b) < 0; }
};

}  // namespace tova::lean
