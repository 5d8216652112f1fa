#pragma once

#include <QString>
#include <QStringList>

namespace tova {

struct NoteArrays;

// Small text and number rules shared by the tuning passes and their dialogs.

// The nearest whole number, halves to the even neighbour (no overflow: the value stays a double).
double Nearest(double v);

// Note `index`'s own `tempo` option when it is a usable tempo (above 0); `tempo` keeps its value
// otherwise (a tempo of 0 or less counts as absent: every length in ms divides by it).
void OwnTempo(const NoteArrays& notes, qint32 index, float& tempo);

// The lyric is "R" or empty after trimming blanks, letter case counting ("r" is sung).
bool IsExactRest(const QString& lyric);

// The first point of a pitch list stamped with its tempo: its number, "Q" and the tempo ("12Q120").
QString StampedFirstPoint(const QString& point, float tempo);

// A stored check box value: the text's number rounded to whole and held within 0..1; true for 1.
bool CheckValue(const QString& text);

// A whole number's text, for values computed in double ("-12", "0", "37").
QString WholeText(double v);

// Numeric option helpers on a whole extension string (six fields, option list in the last). The
// first entry whose key (text before its first "=") equals `key` matches.
//   GetNoteProp: on a match, the value's leading number rounded to whole (halves to even) goes into
//   `value`; without a match `value` keeps what it held.
//   SetNoteProp: the match becomes key "=" value, or such an entry is appended.
// FindNoteProp: true on a match, with the value text.
bool FindNoteProp(const QString& ext, const QString& key, QString& value);
void GetNoteProp(const QString& ext, const QString& key, qint32& value);
void SetNoteProp(QString& ext, const QString& key, qint32 value);

// Text option helpers on a bare option list: the value is the text between the first and a second
// "=" of the first matching entry ("" without a match; an entry without "=" matches with ""). Set
// replaces that entry by key "=" value (an empty value is kept as "key=") or appends it.
QString GetPropValue(const QString& list, const QString& key);
void SetPropValue(QString& list, const QString& key, const QString& value);

// An envelope text by position (ReadEnvelopeFields: eleven fields, "," read as a blank), with the
// envelope a tool gives an empty text in its place: the default envelope for the note itself, a long
// form for the note before a joint.
QStringList EnvelopeSlots(const QString& env, const QString& emptyDefault);
// The fields joined with single blanks, empty fields included, blanks at both ends removed.
QString JoinEnvelopeSlots(const QStringList& fields);

// A free text that goes into a preset record: CR, LF, TAB and each of `separators` become blanks, so
// that the record keeps its fields and the settings file its lines.
QString CleanPresetText(const QString& text, const QString& separators);

}  // namespace tova
