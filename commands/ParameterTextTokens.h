#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// Text routines over flags strings and option lists.

// The three parts of a flags string: [0] "B" with its number (the number as its shortest text; the
// digits after the "B" are taken out), [1] "N" when the string holds one (every "N" taken out), [2] the
// rest without ",". Parts that do not occur are empty.
QStringList SplitFlags(const QString& flags);

// Merges a marked list into flags: the list is three comma-separated parts (fewer than three: a flags
// string, split with SplitFlags); each part that is not "*" replaces that part of the base flags. The
// result is the three parts joined.
QString ProcessMarkedListA(const QString& baseFlags, const QString& list);
// Marks where flags differ from a list (read as in ProcessMarkedListA): each of the three parts that
// differs becomes "*". The result is the three parts joined by ",".
QString ProcessMarkedListB(const QString& list, const QString& flags);

// Takes the first "tempo=" entry out of an option list: with its separator (backslash "n") after it,
// the entry and the separator are removed and `out` gets the entry; without a separator after it the
// whole text moves into `out` and `text` becomes empty. Without an entry `out` is empty.
void SplitTempoString(QString& text, QString& out);

}  // namespace tova
