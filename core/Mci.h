#pragma once

#include <QString>

namespace tova {

// Playing wave files through the multimedia command interface. Every file is opened under an alias
// made from its name, and the later commands address that alias, so callers only pass the path.

// The alias of a file: its name without folder and without its last extension ("\" and "/" both
// end a folder).
QString GetMciAlias(const QString& path);

// Opens the file under its alias. An alias that is open on another file is closed first, so the
// alias always plays the file last opened. Failures show later as "NG:" status answers; the result is
// the failure's text ("" when the file is open).
QString MciOpen(const QString& path);
void MciClose(const QString& path);
// Plays from the current position and returns at once; the result is the failure's text ("" when it
// plays).
QString MciPlay(const QString& path);
void MciPause(const QString& path);
// The answer to a status query of the file's alias, or "NG:" and the error text.
QString MciStatus(const QString& path, const QString& item);
// "playing", "paused" or "stopped", or an "NG:" answer.
QString MciGetMode(const QString& path);

// Plays a sound file asynchronously; the result is ignored (a missing file plays nothing).
void PlaySoundAsync(const QString& path);

// The command interface itself, for commands the procedures above do not send ("Seek ... to start").
int MciSendString(const QString& command, QString* answer = nullptr);
// The text of an error code; false when there is none.
bool MciGetErrorString(int code, QString* text);

}  // namespace tova
