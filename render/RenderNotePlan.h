#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tova {

// The working values of one note of a render, as the render batch writer and the in-process renderer
// both use them. Times are milliseconds.
struct RenderNotePlan {
    qint32 index = 0;
    bool rest = false;
    float tempoBefore = 0;  // the tempo in force before the note
    float tempo = 0;        // the running tempo at the note (its own `tempo` option applied)
    qint32 ticks = 0;       // the note's length in internal ticks
    float length = 0;       // the note's length
    float nextPre = 0;      // the next note's pre-utterance and overlap (0 after the last note)
    float nextOvl = 0;

    // Sung notes only.
    QString name;        // the sample: its file name without extension, sub-folder kept
    QString sampleExt;   // ".wav" or ".aiff"
    bool noSample = false;  // no sample file exists for the note: it renders silent
    double offset = 0;   // the oto entry's offset, consonant and cutoff
    double consonant = 0;
    double cutoff = 0;
    QString intensity;   // "100" when the note gives none
    QString modulation;
    float velocity = 100;
    float pre = 0;       // pre-utterance, overlap and start point after the velocity factor and fitting
    float ovl = 0;
    float stp = 0;
    float required = 0;   // the length tool 2 renders: a multiple of 50 with at least 50 to spare
    double sounding = 0;  // pre + length - next pre-utterance + next overlap
    QString env;          // the envelope fitted to the sounding length, its overlap marker filled in
    QString pitchText;    // as tool 2 gets it in the batch (compact only while EncodePitchData is on)
    QString expression;   // the encoded expression curve, or ""
    QString flags;        // the note's flags, the project flags after them, "E"/"e" written "/E"/"/e"
    QStringList userVariables;  // the option entries whose key begins with "@", in list order
    QString patch;        // the `$patch` option
    bool direct = false;  // a non-empty `$direct` option
    QString noteName;     // "C4" style
    QString cacheFileName;  // with the render cache on: the note's cache file name (no folder)

    // The sample's path in the voice folder.
    QString samplePath(const QString& voiceDir) const;
    // The wave a `$patch` note plays: the option's file in the project's folder, or "R.wav" (silence)
    // when there is no such file, the option names a place outside that folder, or the song has never
    // been saved (it has no folder).
    QString patchPath(const QString& projectPath) const;
    // The velocity as tool 2 gets it, and tool 2's arguments from input to pitch text as the render batch
    // passes them; the cache file name's digest is made of these.
    QStringList tool2Arguments(const QString& voiceDir) const;
};

}  // namespace tova
