#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// The plug-in list: one entry per plug-in folder under "plugins" in the program folder that holds a
// "plugin.txt" naming a program. An entry is the unique name followed by the entry fields, all
// TAB-separated: name, execute, type, shell, folder.
//   execute: the plug-in folder, "/" and the program named by the description, in double quotes when
//            it holds a blank;
//   type, shell: the description's values as written ("use" in shell starts the program through the
//            desktop);
//   folder: the plug-in folder's full path.
// Two plug-ins of the same name are told apart by "(2)", "(3)", ... after the later ones.

// Rebuilt whole by LoadPluginList; the list ends with one empty element (the text it was split from
// ends in a line break), so its last index is the number of plug-ins.
extern QStringList PluginList;

// The program folder followed by "/plugins".
QString GetPluginsFolder();

// Reads the folder's "plugin.txt": lines of key "=" value (empty lines skipped; a key compared in lower
// case; the value is the text between the first and a second "="; a key given twice keeps the last
// value). Returns the plug-in's name (the `execute` value as written when `name` is empty or missing);
// when an `execute` value was found, `entry` becomes TAB, execute, TAB, type, TAB, shell, TAB, folder.
// A folder without "plugin.txt" gives the empty text and leaves `entry` alone.
QString ReadPluginTxt(const QString& folder, QString& entry);

// Rebuilds PluginList from the plug-in folders in the order the folder search returns them, and returns
// its last index: the number of plug-ins, or a value below 1 when there is none. A description that
// names no program is not listed.
int LoadPluginList();

// The names of the plug-in menu's items in menu order (item 1 first): the name of every list line that
// has at least four fields and a name. The menu is built from it, and a click on item k runs name k - 1.
QStringList PluginMenuNames();

}  // namespace tova
