#pragma once

#include <QString>

namespace tova {

// Text operations on paths. Paths that the program builds use "/"; paths that come from files made on
// Windows may hold "\": every function here that looks for a separator accepts both.
class PathText {
public:
    static bool isSeparator(QChar c) { return c == u'/' || c == u'\\'; }
    // Position of the last "/" or "\" (-1 when none).
    static qsizetype lastSeparator(const QString& path);
    // Folder part without the final separator ("a/b/c.wav" -> "a/b"; "c.wav" -> "").
    static QString folderPart(const QString& path);
    // File part after the last separator.
    static QString filePart(const QString& path);
    // File part without its extension ("a/b.c.wav" -> "b.c").
    static QString baseName(const QString& path);
    // Extension with its dot, of the file part only ("a.d/b" -> "").
    static QString extension(const QString& path);
    // Path without the extension of its file part.
    static QString withoutExtension(const QString& path);
    // Folder and name joined with "/" (no doubled separator; an empty folder gives the name).
    static QString join(const QString& folder, const QString& name);
    // Whether a relative name, joined to a folder, names something inside that folder: not rooted ("/"
    // or "\" first) and no ".." among its parts ("\" and "/" alike). Names from files a user is given
    // (lyrics, aliases, note options) must pass before they are joined.
    static bool staysInside(const QString& name);
    // Every "\" turned into "/".
    static QString toSlashes(const QString& path);
};

}  // namespace tova
