#pragma once

#include <string>
#include <string_view>

namespace tova::lean {

// Batch variable names as the editor and the batch runner both read them. A name a note may set is
// made of the ASCII letters, digits and "_" only; two names are the same variable when they differ in
// the case of ASCII letters alone. Any other character compares exactly: no letter of another script
// turns into an ASCII one (a dotless "ı" never becomes "I"), so no name can pass one reader as a name of
// its own and reach the other as a name the render runs with.

// Whether `name` is a non-empty run of A-Z, a-z, 0-9 and "_".
bool isNoteVariableName(std::u16string_view name);

// Whether two variable names are the same variable.
bool sameVariableName(std::u16string_view a, std::u16string_view b);

// Whether `name` begins with `prefix`, compared as sameVariableName compares.
bool variableNameStartsWith(std::u16string_view name, std::u16string_view prefix);

// The one spelling of a name that sameVariableName takes as equal (ASCII letters in upper case), for
// keys of a table of variables: sameVariableName(a, b) exactly when the keys are equal.
std::u16string variableNameKey(std::u16string_view name);

}  // namespace tova::lean
