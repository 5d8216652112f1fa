#pragma once

#include <QList>
#include <QStringList>

namespace tova {

struct NoteArrays;

// Start ticks, tempos and play times of every note of a song, kept from one drawing of the roll to the
// next, so that a drawing finds the notes on screen by a search instead of adding up lengths from the
// first note. The tables keep a shared (copy-on-write) copy of the song's length and extension arrays:
// whatever changes either array gives the song an array of its own, and that difference tells the next
// update to rebuild. Nothing else of the song is read.
class NoteTimeline {
public:
    // Brings the tables up to the song and its project tempo; costs next to nothing when neither the
    // lengths, the extension strings, the note count nor the tempo changed.
    void update(const NoteArrays& notes, float projectTempo);

    qint32 count() const { return count_; }
    // Start tick of note i, 0 <= i <= count (count gives the song's length).
    qint64 startTick(qint32 i) const { return starts_[i]; }
    qint64 songLength() const { return starts_[count_]; }
    // The tempo in force at note i once its own tempo option is read; the project tempo for i = -1.
    float tempoAfter(qint32 i) const { return i < 0 ? projectTempo_ : tempos_[i]; }
    // Play length of note i in whole milliseconds at its tempo, and the sum of those before note i
    // (0 <= i <= count).
    double playMs(qint32 i) const { return playBefore_[i + 1] - playBefore_[i]; }
    double playMsBefore(qint32 i) const { return playBefore_[i]; }

    // The notes follow each other in time: no length below 0 and every play length a finite number not
    // below 0. The searches below need it.
    bool ordered() const { return ordered_; }
    // The first note whose end lies after `tick`; count when none does.
    qint32 firstEndingAfter(double tick) const;
    // The last note whose start lies at or before `tick`; -1 when none does.
    qint32 lastStartingBy(double tick) const;
    // The note i with playMsBefore(i) < ms < playMsBefore(i + 1); -1 when `ms` lies before the first
    // note, on a boundary between two notes or after the last.
    qint32 noteAtPlayMs(double ms) const;

    // Duration in seconds of notes lo..hi: length / tempo / 32 of each, added in note order. The result
    // of the last range asked is kept until the song changes.
    double secondsOf(qint32 lo, qint32 hi) const;

private:
    // The tempo option of each extension string (NaN for none), read anew where the strings changed.
    void readOwnTempos(const QStringList& ext);

    QList<qint32> lengths_;  // shared with the song's arrays as long as these do not change
    QStringList ext_;
    qint32 count_ = 0;
    float projectTempo_ = 0;
    bool built_ = false;

    QList<qint64> starts_{0};
    QList<float> own_;     // the tempo option of each extension string; NaN where there is none
    QList<float> tempos_;
    QList<double> playBefore_{0.0};
    bool ordered_ = true;

    mutable qint32 secondsLow_ = -1;
    mutable qint32 secondsHigh_ = -1;
    mutable double seconds_ = 0;
};

}  // namespace tova
