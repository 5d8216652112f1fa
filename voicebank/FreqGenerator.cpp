#include "voicebank/FreqGenerator.h"

#include "core/MessageTable.h"
#include "core/Processes.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "voicebank/BankFolders.h"
#include "voicebank/FreqTableCommands.h"
#include "voicebank/Tool2Calls.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tova {
namespace {

const QChar Q = u'"';

QString forLine(const QString& folder, const QString& pattern, const QString& tool, const QString& flags) {
    return QStringLiteral("@for %%i in (") + Q + PathText::join(folder, pattern) + Q + QStringLiteral(") do ") + Q + tool + Q +
           u' ' + Q + QStringLiteral("%%i") + Q + QStringLiteral(" nul 100 100 ") + flags + QStringLiteral("0 50");
}

}  // namespace

QStringList FreqGenerator::BatchLines(const QString& voiceFolder, const QString& toolPath, Mode mode, bool closeAtEnd) {
    const QString flags = mode == GenerateMissing ? QStringLiteral("N") : QStringLiteral("GN");
    QStringList lines;
    lines << forLine(voiceFolder, QStringLiteral("*.wav"), toolPath, flags)
          << forLine(voiceFolder, QStringLiteral("*.aiff"), toolPath, flags);
    for (const QString& sub : DirectSubFolders(voiceFolder)) {
        const QString folder = PathText::join(voiceFolder, sub);
        lines << forLine(folder, QStringLiteral("*.wav"), toolPath, flags)
              << forLine(folder, QStringLiteral("*.aiff"), toolPath, flags);
    }
    if (!closeAtEnd)
        lines << QStringLiteral("@echo 周波数表の生成が終了しました。") << QStringLiteral("@echo ウィンドウを閉じるには何かキーを押してください。")
              << QStringLiteral("@pause>nul");
    return lines;
}

bool FreqGenerator::deleteTables(const QStringList& folders) {
    for (const QString& folder : folders)
        for (const QString& name : FileSystem::list(folder, QStringLiteral("*.frq"), false)) {
            const QString path = PathText::join(folder, name);
            if (!QFileInfo(path).isFile()) continue;
            if (!QFile::remove(path)) {
                Ports::msgBox(GetMessage(QStringLiteral("{1}を削除できませんでした。"), path), MsgButtons::OK, MsgIcon::Exclamation);
                return false;
            }
        }
    return true;
}

void FreqGenerator::OKButton_Click() {
    if (mode == NoMode) return;
    if (tool_.batchRunning()) {
        Ports::msgBox(GetMessage(QStringLiteral("周波数表の一括作成が実行中です。終了してから実行してください。")), MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    if (voiceFolder.isEmpty() || !FileSystem::isFolder(voiceFolder)) {
        Ports::msgBox(GetMessage(QStringLiteral("フォルダが見つかりません：{1}"), voiceFolder), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const QString folder = FileSystem::resolve(voiceFolder);
    if (mode == UpdateAfterDelete) {
        QStringList folders{folder};
        for (const QString& sub : DirectSubFolders(folder)) folders << PathText::join(folder, sub);
        if (!deleteTables(folders)) return;
    }
    const QString batch = FileSystem::resolve(PathText::join(TempFolder, QStringLiteral("regen.bat")));
    const QStringList lines = BatchLines(folder, FreqTableCommands::ToolPath(), mode, chkCloseWindowAtEnd);
    QSaveFile file(batch);
    if (!file.open(QIODevice::WriteOnly) || file.write(Cp932::encodeMarked(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))) < 0 ||
        !file.commit()) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を保存できませんでした。"), batch), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    QString error;
    if (!tool_.startBatch(batch, error)) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を実行できませんでした。"), batch) + u'\n' + error, MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    hidden = true;
}

}  // namespace tova
