#include "mainwindow/ProgramInfo.h"

#include "core/FileHelpers.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"

namespace tova::ProgramInfo {

QString Title() { return QStringLiteral("ＴＯＶＡ"); }

QString SplashVersionText() {
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
}

QString AboutVersionText() {
    return QStringLiteral("Ver %1.%2.").arg(VersionMajor).arg(VersionMinor) + Vb::Format(VersionRevision, QStringLiteral("00"));
}

QString IconFile(const QString& formIconSetting) {
    if (formIconSetting.isEmpty()) return QString();
    if (FileExists(formIconSetting)) return formIconSetting;
    const QString inProgram = PathText::join(SystemPaths::programFolder(), formIconSetting);
    if (FileExists(inProgram)) return inProgram;
    return QString();
}

}  // namespace tova::ProgramInfo
