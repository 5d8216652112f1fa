#include "exchange/install/ArchivePaths.h"

namespace tova {
namespace {

bool hasControl(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return true;
    return false;
}

bool isDriveMark(const QString& part) { return part.size() >= 2 && part.at(1) == u':' && part.at(0).isLetter(); }

}  // namespace

bool SplitEntryName(const QString& name, QStringList& parts) {
    parts.clear();
    if (name.isEmpty()) return true;
    if (name.at(0) == u'/' || name.at(0) == u'\\' || hasControl(name)) return false;
    QStringList found;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name.at(i) != u'/' && name.at(i) != u'\\') continue;
        const QString part = name.mid(start, i - start);
        start = i + 1;
        if (part.isEmpty() || part == u".") continue;
        if (part == u"..") return false;
        if (found.isEmpty() && isDriveMark(part)) return false;
        found << part;
    }
    parts = found;
    return true;
}

bool IsPlainFolderName(const QString& folder) {
    if (folder.isEmpty() || folder == u"." || folder.contains(QStringLiteral(".."))) return false;
    if (folder.contains(u'/') || folder.contains(u'\\') || folder.contains(u':')) return false;
    return !hasControl(folder);
}

bool SplitContentsDir(const QString& contentsDir, QStringList& parts) {
    parts.clear();
    if (contentsDir.isEmpty()) return true;
    QString text = contentsDir;
    if (text.endsWith(u'/')) text.chop(1);
    if (text.isEmpty()) return false;
    QStringList found;
    for (const QString& part : text.split(u'/')) {
        if (part.isEmpty() || part == u"." || part.contains(u'\\') || part.contains(u':')) return false;
        if (part == u".." || hasControl(part)) return false;
        found << part;
    }
    parts = found;
    return true;
}

}  // namespace tova
