#pragma once

#include "platform/Errors.h"

namespace tova {

// A MIDI-based file that cannot be what it claims: a read past the end of the file or of the chunk that
// holds it, or a value no well-formed file carries (a zero tempo, a division of 0, a length beyond the
// file). The readers' entry points turn it into their format-failure result.
class SmfFormatError : public TovaError {
public:
    explicit SmfFormatError(const QString& what = QStringLiteral("ファイル形式が正しくありません"))
        : TovaError(321, what) {}
};

// A note that a MIDI-based file cannot hold: its MIDI note number (note number + 24) lies outside
// 0..127. `index` is the note's index in the song, so that the refusal can name it.
class SmfNoteRangeError : public SmfFormatError {
public:
    explicit SmfNoteRangeError(qint32 index) : index_(index) {}
    qint32 index() const { return index_; }

private:
    qint32 index_;
};

}  // namespace tova
