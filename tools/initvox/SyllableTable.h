#pragma once

#include <QList>
#include <QString>

namespace tova::initvox {

// The generator's table ("initvox.txt" beside the generator): the speech settings and one line per
// sample of the default voice bank. It is the generator's third file, in place of a speech library:
// it says what is spoken and how.
//
// Text in UTF-8, lines ended by LF or CR LF. Empty lines and lines starting with "#" are skipped.
// A line "key=value" sets one setting:
//   voice  the speech synthesizer's voice name (required)
//   speed  speaking speed in words a minute, 20..500 (default 80)
//   pitch  base pitch, 0..99 (default 50)
//   name   the bank's display name written to character.txt (required)
// Every other line is one sample: its file name without ".wav", then blanks and the text spoken (a
// sample without text is silence). Names are plain file names: no folder separators, no "=", ",",
// "*", "?", quotes or control characters, unique without regard to letter case.
class SyllableTable {
public:
    struct Entry {
        QString sample;  // file name without ".wav"
        QString text;    // what is spoken; empty for a silent sample
    };

    QString voice;
    int speed = 80;
    int pitch = 50;
    QString bankName;
    QList<Entry> entries;

    // Reads the table; FileError when the file cannot be read, TypeMismatchError (naming the line)
    // when a line breaks the rules above.
    static SyllableTable read(const QString& path);
    static SyllableTable parse(const QString& text);
};

}  // namespace tova::initvox
