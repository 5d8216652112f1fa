#pragma once

#include <QString>

namespace tova {

// The records that free text (typed, pasted, imported or answered by a plug-in) ends up in, each with
// the characters that would split it:
//   Lyric         a note's lyric: a field of the TAB-separated undo line and the value of a
//                 "Lyric=" line of the project file (ended by CR, LF or backslash + "n", cut at a
//                 second "=")
//   Flags         a note's flags text: a field of the extension string and a "Flags=" line
//   OptionKey     the key of an option entry (ended by "=")
//   OptionValue   the value of an option entry: "," is read as a blank on disk
//   Label         the `label` option: an option value without blanks at its ends
//   Alias         an alias of a voice bank's oto.ini: what a lyric names, and a ","-separated field
//   RegionName    one name of a `$region` list (names joined by "|")
//   Line          a text whose reader takes the rest of its line: a value of a settings or ini file
//                 line (key "=" value), the lyric queue of the undo record
//   PresetField   one field of a "|"-separated preset record kept in a settings value
enum class FreeTextUse { Lyric, Alias, Flags, OptionKey, OptionValue, Label, RegionName, Line, PresetField };

// The longest lyric, flags and label texts that the project file reader takes in; a longer text is
// cut so that a saved song reads back as it was.
constexpr qsizetype LyricTextLimit = 255;
constexpr qsizetype FlagsTextLimit = 1024;
constexpr qsizetype LabelTextLimit = 20;

// The text made safe for its record, so that it neither splits the record it enters nor changes on
// the way through a save and a re-read:
//   - TAB, CR, LF (a CR LF pair counts as one) and every other control character become one blank;
//   - in a text that goes into a note (all but Line and PresetField): a backslash directly before "n"
//     becomes "/", since that pair separates option entries and ends a line of the project file, and a
//     path typed there ("C:\new") still reads as the same path; "=" becomes a blank, since the note's
//     readers take a value up to the next "=";
//   - "," becomes a blank in option values, labels and region names (the file keeps their blanks as
//     commas) and in aliases, "|" in region names and preset fields;
//   - a label loses the blanks at its ends; lyrics, aliases, flags and labels are cut to their limits.
// Other characters are kept as typed; a text that is already safe comes back unchanged, so calling
// this twice changes nothing more. Region names were always cleaned this way ("|" and "=" as blanks);
// files written before keep reading as they did.
QString SafeFreeText(const QString& text, FreeTextUse use);

}  // namespace tova
