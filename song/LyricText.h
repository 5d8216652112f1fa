#pragma once

#include <QString>

namespace tova {

// The text without leading and trailing blanks: only the space character is removed, tabs and line
// breaks stay (lyrics, labels and envelopes are trimmed this way).
QString TrimBlanks(const QString& text);

// How a Japanese lyric is built from morae: one character, optionally followed by a small kana or a
// voicing mark, which may in turn be followed by a small kana.

// "ぁぃぅぇぉゃゅょァィゥェォャュョ"
bool IsSmallKana(QChar c);
// The stand-alone semi-voiced and voiced marks "゜゛".
bool IsVoicingMark(QChar c);

// The next lyric token of typed text from `position` (counting from 1): blanks are skipped; "?" joins
// the character after it; a text between double quotes is one token (without the quotes); a run of
// ASCII letters is one token; any other character is one mora. On return `position` is on the token's
// last character (the closing quote for a quoted token); the caller adds one before the next call.
// An empty text gives "" and leaves the position alone.
QString NextLyricMora(const QString& text, qint32& position);

// The first mora of an alias without a leading "?", folder part or blank-separated prefix.
QString GetLyricBase(const QString& alias);
// The alias from its start up to and including its first mora ("?", folder part, prefix and mora);
// the rest of the alias is its suffix.
QString GetLyricHead(const QString& alias);

}  // namespace tova
