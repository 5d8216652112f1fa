#pragma once

#include <QString>

#include <cstdint>

namespace tova {

class MainWindowPlacement;

// "setting.ini" in the program folder: lines of key, "=", value in code page 932 (UTF-8 after the mark EF BB BF when a
// value holds a character that code page lacks), written in a fixed
// order, read back into settings() (core/Settings.h).

// Longest recent-file history that AddHistory grows to.
inline constexpr int HistoryMaxLength = 10;

// Sets the 25 colour settings to their defaults.
void InitDefaultColors();

// Sets the non-colour defaults that the file may change (cache flags, render switches, MIDI, mode-2
// and note defaults, SharpFlat, the run-time-only switches). Settings it does not name keep their value.
void InitSettingDefaults();

// How old a "setting.ini.XXXXXX" must be to count as left by a save that never finished (the program
// was killed): another instance's save in progress is younger.
inline constexpr int StaleSettingsTempSeconds = 60;
// Deletes such leftovers in the program folder; LoadSettings starts with it.
void RemoveStaleSettingsTemps();

// Reads "setting.ini" into settings(). False when there is no file (defaults apply). A value is the
// text after the first "="; a number that does not parse or does not fit its type leaves that setting
// unchanged and the following lines are still read. A "MainWindow" line places `window` (when given).
// Afterwards an empty or missing tool path becomes the program folder's "catena" or "vorsa". The event
// guard reads DebugMode from settings() itself.
bool LoadSettings(MainWindowPlacement* window = nullptr);

// Writes "setting.ini" from settings() and the window's placement (when given). The file is written
// to a temporary file and renamed over the old one, so a failure never leaves a half-written file.
// A failure is reported through the message box ("予期せぬエラー：{1}") and gives false; it never throws,
// so the program can always go on to exit.
bool SaveSettings(const MainWindowPlacement* window = nullptr);

// Puts the path at position 1 of the recent-file history (moving it up when already present).
void AddHistory(const QString& path);
// Removes the first entry equal to the path from the history.
void RemoveHistory(const QString& path);

// Upper-case hexadecimal digits of a colour, at least six (blue, green, red order).
QString ColorToHex(int32_t color);
// The colour of a text: "&H" hexadecimal (a "#" stands for "&H"), else a decimal number; 0 when
// nothing is readable. Throws OverflowError when the value does not fit 32 bits.
int32_t ParseColorText(const QString& text);

}  // namespace tova
