#pragma once

#include <QString>
#include <QtGlobal>

namespace tova {

// What a reader keeps of one settings value (a name or a path): far beyond any real path, and a bound
// on what a damaged or hostile file can make the program hold and show.
inline constexpr qsizetype ProjectValueLimit = 4096;

// The tempos a song takes (beats per minute): those of the tempo boxes. Typed tempos outside them are
// asked again, and a tempo an import brings is held to them.
inline constexpr float MinTempo = 10.0f;
inline constexpr float MaxTempo = 512.0f;
// A tempo held to MinTempo..MaxTempo; a value that is no number gives `otherwise`.
float HeldTempo(double tempo, float otherwise);
// A tempo a project file gives, for the song or a note, is read when, rounded to a whole number, it
// lies in 4..600: what the file has always carried (MinTempo..MaxTempo and what older imports wrote),
// and what its two decimals keep (a tempo below 0.005 would be written "0.00" and read back as none).
bool ReadableTempo(double tempo);
// A tempo a file brings in (an import, a render batch): one ReadableTempo takes stays as it is, so a
// song saved or exported by this program comes back with its tempos; one beyond is held (HeldTempo).
// 0 (none given) stays 0.
double ImportedTempo(double tempo, float otherwise);

// The settings section of a project file, as written and as read.
struct ProjectSettings {
    QString ProjectName;
    QString VoiceDir;
    QString OutFile;
    QString CacheDir;
    QString Tool1;
    QString Tool2;
    QString Flags;
    float Tempo = 120.0f;
    bool Mode2 = false;
};

}  // namespace tova
