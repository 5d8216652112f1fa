#include "voicebank/FreqGenerator.h"

#include "core/MessageTable.h"
#include "core/Processes.h"
#include "platform/Cp932.h"
#include "platform/EventWait.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "voicebank/BankFolders.h"
#include "voicebank/FreqGeneratorProgress.h"
#include "voicebank/FreqTableCommands.h"
#include "voicebank/OtoIniFiles.h"
#include "voicebank/Tool2Calls.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

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
    QString reason;
    if (!ReplaceFile(batch, Cp932::encodeMarked(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")), &reason)) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を保存できませんでした。"), batch) + u'\n' + reason, MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    QString error;
    if (!tool_.startBatch(batch, error)) {
        Ports::msgBox(GetMessage(QStringLiteral("{1}を実行できませんでした。"), batch) + u'\n' + error, MsgButtons::OK,
                      MsgIcon::Exclamation);
        return;
    }
    if (progress) followRun(folder);
    hidden = true;
}

void FreqGenerator::followRun(const QString& folder) {
    // The tables the batch makes: one per sample of the folder and of its direct sub-folders. A table
    // counts as made when it was written since the start (in the missing-only mode also when it was
    // there before: the tool keeps it). File times may have whole-second precision.
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    QStringList tables;
    QStringList folders{folder};
    for (const QString& sub : DirectSubFolders(folder)) folders << PathText::join(folder, sub);
    for (const QString& f : folders)
        for (const QString& pattern : {QStringLiteral("*.wav"), QStringLiteral("*.aiff")})
            for (const QString& name : FileSystem::list(f, pattern, false)) tables << FrqFilePath(PathText::join(f, name));
    const bool keepOld = mode == GenerateMissing;
    const auto made = [&] {
        int n = 0;
        for (const QString& t : tables) {
            const QFileInfo info(t);
            if (info.exists() && (keepOld || info.lastModified() >= since)) ++n;
        }
        return n;
    };
    progress->open(int(tables.size()));
    int shown = made();
    progress->update(shown);
    bool stopped = false;
    EventWait::until(
        [&] {
            if (!tool_.batchRunning()) return true;
            if (progress->stopRequested()) return stopped = true;
            const int now = made();
            if (now != shown) progress->update(shown = now);
            return false;
        },
        pollMs);
    if (stopped) tool_.stopBatch();
    shown = made();
    progress->update(shown);
    progress->close();
    if (stopped)
        Ports::msgBox(GetMessage(QStringLiteral("周波数表の一括作成を中止しました。（{1} / {2}）"), QString::number(shown),
                                 QString::number(tables.size())),
                      MsgButtons::OK, MsgIcon::Exclamation);
    else
        Ports::msgBox(GetMessage(QStringLiteral("周波数表の一括作成が終了しました。（{1} / {2}）"), QString::number(shown),
                                 QString::number(tables.size())),
                      MsgButtons::OK, MsgIcon::Information);
}

}  // namespace tova
