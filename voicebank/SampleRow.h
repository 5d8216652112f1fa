#pragma once

#include <QString>

#include <array>

namespace tova {

// Where a row of the voice-bank manager came from: the oto.ini file (an index into the manager's files)
// and the line of that file, and the file name as that line writes it. A row that no line gave has
// line -1: a copy of a row keeps the copied row's file and name, a sample found in the folder has no
// file (its file is chosen by its name when it is saved).
struct OtoOrigin {
    int file = -1;
    int line = -1;
    QString name;
};

// One row of the voice-bank manager's sample list: the sample's file name relative to the voice folder
// (a sub-folder part written with "\"), a key that is unique in the list, and eight sub-items:
// 1 alias, 2 offset, 3 consonant, 4 cutoff, 5 pre-utterance, 6 overlap (texts of milliseconds exactly as
// read or typed), 7 the frequency-table mark "○" (or empty), 8 the sort key (RowSortKey).
struct SampleRow {
    QString key;
    QString text;
    std::array<QString, 8> items;
    bool selected = false;
    OtoOrigin origin;

    // Sub-item n (1..8).
    QString& item(int n) { return items[n - 1]; }
    const QString& item(int n) const { return items[n - 1]; }
};

}  // namespace tova
