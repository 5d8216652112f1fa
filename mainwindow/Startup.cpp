#include "mainwindow/Startup.h"

#include "core/FileHelpers.h"
#include "platform/PathText.h"

#include <QDir>
#include <QFileInfo>

namespace tova {

QString InstanceTempFolderPath(int instance, const QString& tempVariable, const QString& programFolder) {
    if (InstanceTempFolderInTempRoot(instance, tempVariable))
        return PathText::join(tempVariable, QStringLiteral("tova") + QString::number(instance));
    return PathText::join(programFolder, QStringLiteral("temp") + QString::number(instance));
}

bool InstanceTempFolderInTempRoot(int instance, const QString& tempVariable) {
    return instance >= 1 && !tempVariable.isEmpty();
}

QString CommandLineText(const QStringList& arguments) {
    QStringList parts;
    for (QString a : arguments) {
        // Start-up may change the current folder (the default-voice generator runs in its own folder), so
        // a relative path that names something here is fixed to the folder the program was started in.
        if (QDir::isRelativePath(a) && QFileInfo::exists(a)) a = QFileInfo(a).absoluteFilePath();
        parts << (a.contains(u' ') ? u'"' + a + u'"' : a);
    }
    return parts.join(u' ');
}

QString DefaultVoiceFolder(const QString& programFolder) {
    return PathText::join(programFolder, QStringLiteral("voice/cantu"));
}

bool CheckDefaultVoiceTools(const QString& folder, const QList<DefaultVoiceFile>& files,
                            const std::function<QString(const QString&)>& md5File) {
    if (files.isEmpty()) return false;
    for (const DefaultVoiceFile& f : files) {
        const QString path = PathText::join(folder, f.name);
        if (SafeDir(path).isEmpty()) return false;
        if (md5File(path) != f.digest) return false;
    }
    return true;
}

QString DefaultVoicePathIn(const QStringList& voiceBankList, const QString& defaultVoiceSetting) {
    if (voiceBankList.isEmpty()) return QString();
    const QString wanted = defaultVoiceSetting.isEmpty() ? QStringLiteral("デフォルト") : defaultVoiceSetting;
    auto fields = [](const QString& entry) {
        QStringList f = entry.split(u'\t');
        while (f.size() < 6) f << QString();
        return f;
    };
    for (const QString& entry : voiceBankList) {
        const QStringList f = fields(entry);
        if (f[0] == wanted) return f[1];
    }
    return fields(voiceBankList[0])[1];
}

}  // namespace tova
