#include "platform/PathText.h"

namespace tova {

qsizetype PathText::lastSeparator(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i])) return i;
    return -1;
}

QString PathText::folderPart(const QString& path) {
    qsizetype i = lastSeparator(path);
    if (i < 0) return QString();
    if (i == 0) return path.left(1);  // the root itself
    return path.left(i);
}

QString PathText::filePart(const QString& path) {
    return path.mid(lastSeparator(path) + 1);
}

QString PathText::baseName(const QString& path) {
    QString f = filePart(path);
    qsizetype dot = f.lastIndexOf(u'.');
    return dot < 0 ? f : f.left(dot);
}

QString PathText::extension(const QString& path) {
    QString f = filePart(path);
    qsizetype dot = f.lastIndexOf(u'.');
    return dot < 0 ? QString() : f.mid(dot);
}

QString PathText::withoutExtension(const QString& path) {
    return path.left(path.size() - extension(path).size());
}

QString PathText::join(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (isSeparator(folder.back())) return folder + name;
    return folder + u'/' + name;
}

QString PathText::toSlashes(const QString& path) {
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
}

bool PathText::staysInside(const QString& name) {
    if (name.startsWith(u'/') || name.startsWith(u'\\')) return false;
    qsizetype from = 0;
    while (from <= name.size()) {
        qsizetype end = from;
        while (end < name.size() && !isSeparator(name.at(end))) ++end;
        if (QStringView(name).mid(from, end - from) == u"..") return false;
        from = end + 1;
    }
    return true;
}

}  // namespace tova
