#pragma once

#include "platform/Errors.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tova {

class Song;
struct RenderNotePlan;

// A value that cannot go into a render batch line or a tool's command line: a double quote would end
// the quoted argument it stands in, a percent sign would expand as a batch variable, and a line break
// or other control character would start a line of its own. The description names the value, the
// character and the value itself (control characters shown as code points).
class RenderValueError : public TovaError {
public:
    explicit RenderValueError(const QString& what) : TovaError(5, what) {}
};

// The first character of `value` that a batch line cannot carry, described for the user ("\"", "%",
// "改行" or "制御文字 U+0009"), or "" when there is none. `percentAllowed` is for text that no variable
// expansion reaches (the batch's comment line).
QString UnsafeBatchCharacter(const QString& value, bool percentAllowed = false);

// Raises RenderValueError naming `what` when `value` holds such a character.
void CheckBatchValue(const QString& what, const QString& value, bool percentAllowed = false);

// The values of one render, checked before any file is written or deleted, on every road: the
// project-wide names (project name, voice folder, tools, output, cache folder, the batch's helper
// name, the project flags) and each planned note's sample, flags, envelope, parameters, pitch text,
// expression, batch variables, start-point sample and cache file name. A note's batch variable that
// names one of the render's programs, batches or paths, or has no plain name or no "="
// (song/ReservedNoteVariables.h), is refused too.
struct RenderValues {
    QString projectName;
    QString voiceDir;
    QString tool1;
    QString tool2;
    QString output;
    QString cacheDir;
    QString helperName;  // empty on the roads without batch files
    QString projectFlags;
};
void CheckRenderValues(const RenderValues& values, const std::vector<RenderNotePlan>& notes);

}  // namespace tova
