#include "exchange/PluginList.h"

#include "core/FileHelpers.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace tova {

QStringList PluginList;

QString GetPluginsFolder() { return PathText::join(SystemPaths::programFolder(), QStringLiteral("plugins")); }

QString ReadPluginTxt(const QString& folder, QString& entry) {
    const QString found = SafeDir(PathText::join(folder, QStringLiteral("plugin.txt")));
    if (found.isEmpty()) return QString();
    // A pipe named like the description must not hold the program at start: only a regular file.
    QFile file;
    if (!FileSystem::openRegularFile(file, PathText::join(folder, found))) return QString();
    const QString text = Cp932::decodeMarked(file.readAll());
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));

    QString type, name, execute, shell;
    bool haveExecute = false;
    for (const QString& line : text.split(lineEnd)) {
        if (line.isEmpty()) continue;
        const QStringList parts = line.split(u'=');
        const QString key = parts[0].toLower();
        const QString value = parts.size() > 1 ? parts[1] : QString();
        if (key == u"type") {
            type = value;
        } else if (key == u"name") {
            name = value;
        } else if (key == u"execute") {
            execute = value;
            haveExecute = true;
        } else if (key == u"shell") {
            shell = value;
        }
    }
    if (name.isEmpty()) name = execute;
    if (haveExecute) {
        QString program = PathText::join(folder, execute);
        if (program.contains(u' ')) program = u'"' + program + u'"';
        entry = u'\t' + program + u'\t' + type + u'\t' + shell + u'\t' + folder;
    }
    return name;
}

int LoadPluginList() {
    const QString folder = GetPluginsFolder();
    QStringList folders;
    QString name = SafeDir(PathText::join(folder, QStringLiteral("*.*")), kDirFolders);
    while (!name.isEmpty()) {
        if (name != u"." && name != u"..") folders << name;
        name = SafeDir();
    }
    QString listText;
    QSet<QString> used;
    for (const QString& sub : folders) {
        const QString path = PathText::join(folder, sub);
        if (!FileSystem::isFolder(path)) continue;
        QString entry;
        const QString pluginName = ReadPluginTxt(path, entry);
        // A description without a program gives no entry: listing it would run another plug-in's program.
        if (pluginName.isEmpty() || entry.isEmpty()) continue;
        QString unique = pluginName;
        for (int n = 2; used.contains(unique); ++n) unique = pluginName + u'(' + QString::number(n) + u')';
        used.insert(unique);
        listText += unique + entry + QStringLiteral("\r\n");
    }
    PluginList = listText.split(QStringLiteral("\r\n"));
    return int(PluginList.size()) - 1;
}

QStringList PluginMenuNames() {
    QStringList names;
    for (const QString& line : PluginList) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() >= 4 && !fields[0].isEmpty()) names << fields[0];
    }
    return names;
}

}  // namespace tova
