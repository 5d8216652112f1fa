#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

// Text rules of the batch dialect: the one expansion pass over a line and the splitting of a line
// into blank-separated tokens with double quotes.

// One token of a line. `raw` keeps its double quotes (as "%1" of a called batch does); `text` is the
// token with every double quote removed (`""` gives the empty text); `end` is the position in the
// line just after the token.
struct BatchToken {
    QString raw;
    QString text;
    qsizetype end = 0;
};

// Splits at blanks and tabs outside double quotes; a quote left open runs to the end of the line.
// `from` is where to start in the line.
QList<BatchToken> batchTokens(const QString& line, qsizetype from = 0);

// The text after position `from` with leading blanks and tabs skipped.
QString batchRest(const QString& line, qsizetype from);

// Splits `text` at every `separator` character found outside double quotes (quotes are kept).
QStringList batchSplitOutsideQuotes(const QString& text, const QString& separators);

// The command processor's longest line, and its longest variable (name, "=" and value).
inline constexpr qsizetype kBatchLineLimit = 8191;

// One expansion pass: "%%" gives "%", "%0".."%9" the batch's own name and its arguments as they were
// passed (quotes kept; empty when absent), "%name%" the variable's value (empty when it is not set),
// and a "%" with no closing "%" is dropped. Expanded values are never expanded again, so "%", "&",
// "|", "<" and ">" inside a value stay literal text. A result longer than `limit` characters raises
// BatchLineError as soon as it grows past it.
QString batchExpand(const QString& line, const std::function<QString(const QString&)>& variable,
                    const QStringList& arguments, qsizetype limit = kBatchLineLimit);

}  // namespace tova
