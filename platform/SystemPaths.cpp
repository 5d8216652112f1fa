#include "platform/SystemPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace tova {
namespace {
QString& overrideFolder() {
    static QString f;
    return f;
}
}  // namespace

QString SystemPaths::programFolder() {
    if (!overrideFolder().isEmpty()) return overrideFolder();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SystemPaths::setProgramFolder(const QString& folder) {
    QString f = folder;
    while (f.size() > 1 && (f.endsWith(u'/') || f.endsWith(u'\\'))) f.chop(1);
    overrideFolder() = f;
}

QString SystemPaths::tempRoot() {
    for (const char* var : {"TEMP", "TMPDIR"}) {
        QString v = qEnvironmentVariable(var);
        if (!v.isEmpty()) return v;
    }
    return QStringLiteral("/tmp");
}

QString SystemPaths::home() { return qEnvironmentVariable("HOME"); }

}  // namespace tova
