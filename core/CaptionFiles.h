#pragma once

#include "core/LocalizableWindow.h"

#include <QString>
#include <QStringView>

namespace tova {

// Caption files: the design-time captions of a window (menu items, labels, buttons, check boxes,
// option buttons, frames, tab titles, column headers, list entries, tool tips and the window title)
// in two UTF-16LE files per window under "res" in the program folder, named by the window's code:
// "<code>.menustring.txt" and "<code>.labelbuttonstring.txt". Controls are addressed through numbered
// aliases (the control's position in the window's collection, four digits) whose targets are the
// letter codes of the controls' names, with "." and the index for an element of a control array.

inline constexpr QStringView MenuStringKind = u"menu";
inline constexpr QStringView LabelButtonStringKind = u"labelbutton";

// The first ten letters of the letter code of the window's name.
QString CaptionWindowCode(const QString& windowName);
// The program folder's "res/<code>.<kind>string.txt".
QString CaptionFilePath(const QString& windowName, const QString& kind);

// Writes the window's menu file with its current captions. Menu items whose caption begins with
// "テスト", separators and the menus filled at run time (mnW0, mnCurve, mnPlugin, mnVoice, mnExtension,
// mnHistory) are left out; "mnJump" gets an alias and no caption line. Throws FileError when the file
// cannot be written.
void ExportMenuStrings(LocalizableWindow& window);

// Writes the window's label-and-button file: the window title, captions and tool tips of labels,
// buttons, check boxes, option buttons and frames, tab titles, column headers and, with `withLists`,
// the entries of combo and list boxes that hold two entries or more. Throws FileError when the file
// cannot be written.
void ExportLabelButtonStrings(LocalizableWindow& window, bool withLists = false);

// Reads the window's file of that kind ("menu" or "labelbutton"), if there is one, and sets the
// captions it names. A line splits at its first "=" (a caption may hold "="); a value of at least one
// character in double quotes loses the quotes. Lines for controls or properties that do not exist are
// skipped one by one.
void ApplyFormStrings(LocalizableWindow& window, const QString& kind);
void ApplyMenuStrings(LocalizableWindow& window);         // the "menu" file
void ApplyLabelButtonStrings(LocalizableWindow& window);  // the "labelbutton" file

// The options dialog's export command: writes the template files of the translated windows in their
// fixed order, then those of every other window that is loaded or loadable (WindowRegistry::names:
// the label-and-button file, and the menu file when the window has menus), loading each window that
// is not loaded and unloading those afterwards. A window that is neither loaded nor loadable is passed
// over.
void ExportAllCaptionFiles();

}  // namespace tova
