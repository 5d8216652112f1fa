#include "exchange/plugins/PluginCommand.h"

#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/MessageTable.h"
#include "exchange/PluginList.h"
#include "exchange/plugins/PluginExchange.h"
#include "exchange/plugins/PluginRun.h"
#include "platform/Ports.h"
#include "render/NoteRenderParams.h"
#include "song/ReservedNoteVariables.h"
#include "song/Song.h"

namespace tova {
namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

PluginCommand::PluginCommand(Song& song, PluginWaitPort& wait) : song_(song), wait_(wait) {}

QString PluginCommand::RunPlugin(const QString& name, qint32 first, qint32& last, float tempo) {
    const QString text = BuildPluginExchangeText(song_, first, last, tempo, song_.VoiceDir, song_.CacheDir);
    const PluginRun run = wait_.go(name, text);
    switch (run.outcome) {
        case PluginRun::Outcome::Changed:
            break;
        case PluginRun::Outcome::Failed:
            Ports::msgBox(GetMessage(QStringLiteral("プラグイン'{1}'を実行できませんでした。\\n{2}"), name, run.error),
                          MsgButtons::OK, MsgIcon::Exclamation);
            return QString();
        case PluginRun::Outcome::NotListed:
            Ports::msgBox(GetMessage(QStringLiteral("プラグイン'{1}'が見つかりません。"), name), MsgButtons::OK,
                          MsgIcon::Exclamation);
            return QString();
        case PluginRun::Outcome::Unchanged:
        case PluginRun::Outcome::Abandoned:
            return QString();
    }
    QStringList refused;
    ApplyPluginReply(SanitizePluginReply(run.text), first, last, song_, &refused);
    if (!refused.isEmpty()) {
        refused.removeDuplicates();
        // Said in one message, by reason: the render's own names, then names that are no plain name.
        QStringList reserved, malformed;
        for (const QString& key : refused) (IsReservedNoteVariable(QStringView(key).mid(1)) ? reserved : malformed) << key;
        QStringList said;
        if (!reserved.isEmpty())
            said << GetMessage(QStringLiteral("プラグイン'{1}'が返したオプション{2}は、描画に使うプログラムやファイルの名前を変えるため、"
                                              "取り込みませんでした。"),
                               name, reserved.join(u' '));
        if (!malformed.isEmpty())
            said << GetMessage(QStringLiteral("プラグイン'{1}'が返したオプション{2}は、「@名前=値」の形でないか、名前に英数字と「_」以外の"
                                              "文字があるため、取り込みませんでした。"),
                               name, malformed.join(u' '));
        Ports::msgBox(said.join(kCrLf), MsgButtons::OK, MsgIcon::Exclamation);
    }
    return QStringLiteral("True");
}

bool PluginCommand::Run(const QString& name, float tempo) {
    const qint32 count = song_.noteCount();
    qint32 first = std::clamp(std::min(song_.SelStart, song_.SelEnd), 0, count);
    const qint32 oldLast = std::clamp(std::max(song_.SelStart, song_.SelEnd), 0, count);

    // The notes a reply can change: the selection and the notes on either side.
    const auto touched = [this, first](qint32 last) {
        const qint32 n = song_.noteCount();
        QString text;
        for (qint32 i = first; i <= last && i < n; ++i) text += song_.SerializeNote(QStringLiteral("INS"), i) + kCrLf;
        if (first > 0) text += song_.SerializeNote(QStringLiteral("PROP"), first - 1) + kCrLf;
        if (last < n - 1) text += song_.SerializeNote(QStringLiteral("PROP"), last + 1) + kCrLf;
        return text;
    };
    const QString before = touched(oldLast);

    qint32 last = oldLast;
    if (RunPlugin(name, first, last, tempo).isEmpty()) return false;
    const qint32 newCount = song_.noteCount();
    // A reply that gives the notes back as they were (other line ends, only settings) changes nothing:
    // no undo step, and the song stays unmodified.
    if (newCount == count && last == oldLast && touched(last) == before) return false;

    QString redo;
    if (first <= oldLast) redo += QStringLiteral("DEL\t%1\t%2").arg(first).arg(oldLast) + kCrLf;
    for (qint32 i = first; i <= last && i < newCount; ++i) redo += song_.SerializeNote(QStringLiteral("INS"), i) + kCrLf;
    if (first > 0) redo += song_.SerializeNote(QStringLiteral("PROP"), first - 1) + kCrLf;
    if (last < newCount - 1) redo += song_.SerializeNote(QStringLiteral("PROP"), last + 1) + kCrLf;

    song_.SetModified(true);
    const QString undo = QStringLiteral("DEL\t%1\t%2").arg(first).arg(last) + kCrLf + before;
    song_.PushUndoRecord(undo, redo, GetMessage(QStringLiteral("プラグインの実行")));

    if (first > last) {
        song_.SelStart = newCount;
        song_.SelEnd = newCount;
    } else {
        song_.SelStart = first;
        song_.SelEnd = last;
    }
    RefreshFirst = first > 0 ? first - 1 : first;
    RefreshLast = last < newCount - 1 ? last + 1 : last;
    return true;
}

void mnPlugin_Click(Song& song, PluginWaitPort& wait, int index,
                       const std::function<void(qint32 first, qint32 last)>& refresh) {
    const QStringList names = PluginMenuNames();
    if (index < 1 || index > names.size()) return;
    const qint32 first = std::clamp(std::min(song.SelStart, song.SelEnd), 0, song.noteCount());
    float tempo = song.Tempo;
    FindTempoAt(song, first, tempo);
    PluginCommand command(song, wait);
    if (command.Run(names.at(index - 1), tempo) && refresh) refresh(command.RefreshFirst, command.RefreshLast);
}

void registerPluginCommands(CommandRegistry& registry, std::function<PluginWaitPort*(EditContext&)> waitOf) {
    registry.addIndexed(QStringLiteral("mnPlugin"), [waitOf = std::move(waitOf)](EditContext& context, int index) {
        PluginWaitPort* wait = waitOf(context);
        if (!wait) return;
        mnPlugin_Click(context.editedSong(), *wait, index, [&context](qint32 first, qint32 last) {
            context.deleteCachedNotes(first, last);
            context.Redraw();
        });
    });
}

}  // namespace tova
