#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tova {

// Text rules of the batch dialect: the one expansion pass over a line and the splitting of a line
// into blank-separated tokens with double quotes. Texts are UTF-16, so lengths count characters as
// the command processor counts them.
using BatchString = std::u16string;
using BatchStrings = std::vector<BatchString>;

// One token of a line. `raw` keeps its double quotes (as "%1" of a called batch does); `text` is the
// token with every double quote removed (`""` gives the empty text); `end` is the position in the
// line just after the token.
struct BatchToken {
    BatchString raw;
    BatchString text;
    std::size_t end = 0;
};

// Splits at blanks and tabs outside double quotes; a quote left open runs to the end of the line.
// `from` is where to start in the line.
std::vector<BatchToken> batchTokens(const BatchString& line, std::size_t from = 0);

// The text after position `from` with leading blanks and tabs skipped.
BatchString batchRest(const BatchString& line, std::size_t from);

// Splits `text` at every `separator` character found outside double quotes (quotes are kept).
BatchStrings batchSplitOutsideQuotes(const BatchString& text, const BatchString& separators);

// The command processor's longest line, and its longest variable (name, "=" and value).
inline constexpr std::size_t kBatchLineLimit = 8191;

// One expansion pass: "%%" gives "%", "%0".."%9" the batch's own name and its arguments as they were
// passed (quotes kept; empty when absent), "%name%" the variable's value (empty when it is not set),
// and a "%" with no closing "%" is dropped. Expanded values are never expanded again, so "%", "&",
// "|", "<" and ">" inside a value stay literal text. A result longer than `limit` characters raises
// BatchLineError as soon as it grows past it.
BatchString batchExpand(const BatchString& line, const std::function<BatchString(const BatchString&)>& variable,
                        const BatchStrings& arguments, std::size_t limit = kBatchLineLimit);

// UTF-8 (the system's paths and the console) to and from the batch's texts.
std::string batchUtf8(const BatchString& text);
BatchString batchText(const std::string& utf8);
// A number's text.
BatchString batchNumber(long long n);
// Letters A-Z and a-z in the other case; other characters as they are.
BatchString batchUpper(BatchString text);
BatchString batchLower(BatchString text);
bool batchEqualNoCase(const BatchString& a, const BatchString& b);
bool batchStartsWith(const BatchString& text, const BatchString& start);
bool batchEndsWithNoCase(const BatchString& text, const BatchString& end);

}  // namespace tova
