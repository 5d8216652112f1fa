#pragma once

#include <QString>

namespace tova {

// What one path given on the command line or dropped on the window names.
enum class CommandLinePathKind {
    Missing,     // neither a file nor a folder of that name exists
    Project,     // extension ".tvx": a project file to open
    ZipArchive,  // extension ".zip": an archive to install
    TvzArchive,  // extension ".tvz": an archive to install
    Folder,      // a folder: offered as the voice bank to use in place
    OtherFile,   // a file of any other type: refused
};

// The extension that classifies a command-line path: the text from the last "." of the whole path on,
// in lower case ("" without a "."); a "." in a folder name counts when the file name has none.
QString CommandLineExtension(const QString& path);

// Classifies a path (already without its surrounding quotes) by its extension and by what exists.
// A path holding "*" or "?" names nothing.
CommandLinePathKind ClassifyCommandLinePath(const QString& path);

}  // namespace tova
