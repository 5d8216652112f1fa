#pragma once

#include <QString>

namespace tova {

// One line of a voice bank's prefix.map: the note it names, and the prefix and suffix that a lyric
// sung at that note receives.
struct PrefixMapRecord {
    QString noteName;
    QString prefix;
    QString suffix;

    bool operator==(const PrefixMapRecord&) const = default;
};

}  // namespace tova
