#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// The envelope text of a note (its `env` option, and the `DefaultEnv` setting for new notes):
// blank-separated fields p1 p2 p3 v1 v2 v3 v4, optionally followed by a marker ("%", never examined)
// and p4 p5 v5. Times are ms (p1 after the sound starts, p2 after P1, p3 before P4, p4 before the end of
// the sound, p5 after P2), volumes %. The empty text stands for the default envelope.

// The default envelope is DefaultEnvelope (core/DefaultEnvelope.h).

// The eleven fields by position (0..6 p1..v4, 7 the marker, 8 p4, 9 p5, 10 v5): an empty text reads as
// the default envelope; "," reads as a blank; the text splits at every single blank, so two blanks in a
// row give an empty field and later fields shift; fields past the eleventh are dropped, missing ones
// are empty.
QStringList ReadEnvelopeFields(const QString& text);

// The text of an envelope: `main` (p1..v4, seven texts) each as the decimal text of its leading number;
// when any of p4, p5, v5 is non-empty, "%", p4 as the decimal text of its leading number, then p5 and v5
// as they stand; joined by single blanks with the blanks at both ends removed. The default envelope
// gives the empty text.
QString WriteEnvelopeText(const QStringList& main, const QString& p4, const QString& p5, const QString& v5);

}  // namespace tova
