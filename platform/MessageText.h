#pragma once

#include <QString>

namespace tova {

// The text a message box shows, bounded so the box never grows past the screen whatever a file or a
// program put into the message (a 50 MB line, a million lines): at most kMessageLines lines, each of
// at most kMessageLineChars characters. A longer line keeps its start and its end with "…" between
// (a path keeps its folder and its file name); lines past the last shown are replaced by one "…".
inline constexpr qsizetype kMessageLines = 24;
inline constexpr qsizetype kMessageLineChars = 100;
QString BoundedMessageText(const QString& text);

}  // namespace tova
