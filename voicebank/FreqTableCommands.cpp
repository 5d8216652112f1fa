#include "voicebank/FreqTableCommands.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "render/CacheFiles.h"
#include "voicebank/OtoIniFiles.h"
#include "voicebank/Tool2Calls.h"
#include "voicebank/VoiceBankManager.h"
#include "voicebank/VoiceBankToolsView.h"


namespace tova {
namespace {

const QString kMark = QStringLiteral("○");

QString withoutSampleExtension(QString name) {
    if (name.endsWith(QStringLiteral(".wav"))) name.chop(4);
    else if (name.endsWith(QStringLiteral(".aiff"))) name.chop(5);
    return name;
}

// The sample's path on disk, or "" when the row names no existing sample of the bank.
QString existingSample(const VoiceBankManager& manager, const QString& name) {
    const QString path = SampleFilePath(manager.VoiceFolder, name);
    if (path.isEmpty() || !FileSystem::isFile(path)) return QString();
    return FileSystem::resolve(path);
}

bool tableExists(const QString& samplePath) { return FileSystem::isFile(FrqTableName(samplePath)); }

// Clears the busy flag however the command ends.
struct BusyScope {
    VoiceBankManager& m;
    explicit BusyScope(VoiceBankManager& manager) : m(manager) { m.Busy = true; }
    ~BusyScope() { m.Busy = false; }
};

struct RunScope {
    VoiceBankToolsView& v;
    RunScope(VoiceBankToolsView& view, int count) : v(view) { v.beginRun(count); }
    ~RunScope() { v.endRun(); }
};

}  // namespace

QString FreqTableCommands::ToolPath() { return settings().Tool2Path; }

bool FreqTableCommands::GenerateFreqTable(VoiceBankManager& manager, const QString& name) {
    const QString sample = existingSample(manager, name);
    if (sample.isEmpty()) return false;
    tool_.runAndWait(QuoteString(ToolPath()) + u' ' + QuoteString(sample) + u' ' +
                     QuoteString(PathText::join(TempFolder, QStringLiteral("temp.wav"))) +
                     QStringLiteral(" 100 100 GN 0 100"));
    DeleteVoiceCacheFiles(manager.CacheFolder, withoutSampleExtension(name));
    return true;
}

void FreqTableCommands::execLibrary(const QString& samplePath) {
    // The library's answer is not looked at: a sample it cannot read keeps its old table and mark.
    tool_.libraryExec({samplePath, QStringLiteral("nul"), QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("GN"),
                       QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("0"),
                       QStringLiteral("100"), QStringLiteral("0"), QStringLiteral("120"), QString()});
}

void FreqTableCommands::cmdDeleteFreqList_Click(VoiceBankManager& manager) {
    BusyScope busy(manager);
    if (qAbs(manager.RepeatCount) >= 10) {
        manager.RepeatCount = 0;
        view_.showFreqGenerator(manager.VoiceFolder);
        return;
    }
    if (manager.multiSelect) runMany(manager);
    else runOne(manager);
}

void FreqTableCommands::runMany(VoiceBankManager& manager) {
    if (Ports::msgBox(GetMessage(QStringLiteral("選択したエントリの周波数表を再作成します。")), MsgButtons::OKCancel,
                      MsgIcon::Exclamation) != MsgResult::OK)
        return;
    QList<int> chosen;
    for (int i = 0; i < manager.rows.size(); ++i)
        if (manager.rows[i].selected) chosen << i;

    if (settings().UseDLL) {
        RunScope run(view_, int(chosen.size()));
        StopRequested = 0;
        int done = 0;
        for (const int row : chosen) {
            const QString sample = existingSample(manager, manager.rows[row].text);
            if (sample.isEmpty()) continue;
            view_.advance(++done);
            execLibrary(sample);
            if (StopRequested != 0) break;
        }
    } else {
        QString text;
        for (const int row : chosen) {
            const QString sample = existingSample(manager, manager.rows[row].text);
            if (sample.isEmpty()) continue;
            text += QuoteString(ToolPath()) + u' ' + QuoteString(sample) + QStringLiteral(" nul 100 100 GN 0 100\r\n");
        }
        const QString batch = PathText::join(TempFolder, QStringLiteral("temp.bat"));
        QString reason;
        if (!ReplaceFile(batch, Cp932::encodeMarked(text), &reason))
            throw FileError(GetMessage(QStringLiteral("{1}を保存できませんでした。"), batch) + u'\n' + reason, 75);
        tool_.runBatchAndWait(FileSystem::resolve(batch));
    }

    for (const int row : chosen) {
        SampleRow& r = manager.rows[row];
        const QString sample = existingSample(manager, r.text);
        if (sample.isEmpty() || !tableExists(sample)) continue;
        r.item(7) = kMark;
        DeleteVoiceCacheFiles(manager.CacheFolder, withoutSampleExtension(r.text));
    }
    manager.ShowParams();
}

void FreqTableCommands::runOne(VoiceBankManager& manager) {
    const int row = manager.selectedRow;
    if (row < 0 || row >= manager.rows.size()) return;
    const QString name = manager.rows[row].text;
    if (Ports::msgBox(GetMessage(QStringLiteral("「{1}」の周波数表を再作成します。"), name), MsgButtons::OKCancel,
                      MsgIcon::Exclamation) != MsgResult::OK) {
        manager.RepeatCount = manager.RepeatCount > 0 ? 0 : manager.RepeatCount - 1;
        return;
    }
    const QString sample = existingSample(manager, name);
    if (!sample.isEmpty()) {
        if (settings().UseDLL) {
            RunScope run(view_, 1);
            StopRequested = 0;
            view_.advance(1);
            execLibrary(sample);
        } else {
            tool_.runAndWait(QuoteString(ToolPath()) + u' ' + QuoteString(sample) + QStringLiteral(" nul 100 100 GN 0 100"));
        }
        if (tableExists(sample)) {
            manager.rows[row].item(7) = kMark;
            if (manager.rows[row].key == manager.CurrentKey) manager.cmdFreqListEnabled = true;
        }
        DeleteVoiceCacheFiles(manager.CacheFolder, withoutSampleExtension(name));
    }
    manager.RepeatCount = manager.RepeatCount < 0 ? 0 : manager.RepeatCount + 1;
}

bool FreqTableCommands::cmdFreqList_Click(VoiceBankManager& manager) {
    const int row = manager.selectedRow;
    if (row < 0 || row >= manager.rows.size()) return false;
    const QString sample = SampleFilePath(manager.VoiceFolder, manager.rows[row].text);
    if (sample.isEmpty()) return false;
    return view_.loadFreqFile(sample);
}

void FreqTableCommands::Label18_DblClick(VoiceBankManager& manager) { view_.showFreqGenerator(manager.VoiceFolder); }

}  // namespace tova
