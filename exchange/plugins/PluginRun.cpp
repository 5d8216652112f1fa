#include "exchange/plugins/PluginRun.h"

#include "core/MessageTable.h"
#include "core/Processes.h"
#include "exchange/PluginList.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace tova {

qint64 PluginReplyLimit(const QString& sent) { return std::max<qint64>(8 << 20, qint64(sent.size()) * 2 * 4); }

PluginRun RunPluginByName(const QString& name, const QString& text) {
    PluginRun run;
    for (const QString& line : PluginList) {
        const QStringList f = line.split(u'\t');
        if (f.size() < 5 || f[0] != name) continue;
        if (TempFolder.isEmpty() || !FileSystem::makePrivateFolder(TempFolder)) {
            run.outcome = PluginRun::Outcome::Failed;
            run.error = GetMessage(QStringLiteral("一時フォルダを使用できません。")) + QStringLiteral("\r\n") + TempFolder;
            return run;
        }
        const qint64 limit = PluginReplyLimit(text);
        try {
            run.text = f[3] == u"use" ? RunProgramOnText(StripQuotes(f[1]), text, limit)
                                      : RunProcessOnText(f[1], text, f[4], limit);
        } catch (const TovaError& e) {
            run.outcome = PluginRun::Outcome::Failed;
            run.error = e.description();
            return run;
        }
        run.outcome = run.text.isEmpty() ? PluginRun::Outcome::Unchanged : PluginRun::Outcome::Changed;
        return run;
    }
    run.outcome = PluginRun::Outcome::NotListed;
    return run;
}

}  // namespace tova
