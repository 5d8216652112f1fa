#include "exchange/plugins/PluginExecution.h"

#include "core/MessageTable.h"
#include "core/Processes.h"
#include "platform/Ports.h"

namespace tova {

void PluginExecution::Begin(const QString& pluginName, const QString& exchangeText) {
    name = pluginName;
    text = exchangeText;
    result = PluginRun();
    running = false;
    started = false;
    abandoned = false;
    StopRequested = 0;
}

void PluginExecution::Timer1_Timer() {
    if (started) return;
    started = true;
    running = true;
    PluginRun run = RunPluginByName(name, text);
    running = false;
    if (abandoned) {
        run.outcome = PluginRun::Outcome::Abandoned;
        run.text.clear();
    }
    result = run;
    accept();
}

void PluginExecution::cancelRequested() {
    // Before the plug-in started and after it ended the window is closed by its timer only.
    if (!running || abandoned) return;
    const MsgResult answer = Ports::msgBox(
        GetMessage(QStringLiteral("作業を再開するには実行中のプラグインを終了してください。")) + u'\n' +
            GetMessage(QStringLiteral("「いいえ」をクリックするとプラグインを無視して再開します。")),
        MsgButtons::YesNoCancel, MsgIcon::Exclamation);
    if (answer != MsgResult::No) return;
    abandoned = true;
    StopRequested = -1;  // the wait ends at its next poll; the plug-in keeps running
}

}  // namespace tova
