#include "commands/CrossFadeCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/JobProgress.h"
#include "core/MessageTable.h"
#include "platform/MessageBoxPort.h"
#include "render/CacheFiles.h"
#include "render/CrossFade.h"
#include "song/Song.h"

namespace tova {

namespace {

// Raised while an optimisation runs: the events handled between notes may start the command again.
bool running = false;

// Gives the roll the keyboard focus when the command ends, however it ends.
struct FocusRollAtEnd {
    EditContext& c;
    ~FocusRollAtEnd() { c.focusRoll(); }
};

}  // namespace

void cmdCorrectCrossFade_Click(EditContext& c) {
    if (running) return;
    const NoteRange r = c.selectedRange();
    if (r.empty || r.first > r.last) return;
    running = true;
    struct Lower {
        ~Lower() { running = false; }
    } lower;

    Song& s = c.editedSong();
    const QString cacheFolder = CacheFolderOrTemp(s.CacheDir);
    const QString status = GetMessage(QStringLiteral("クロスフェード最適化中"));
    QString undo, redo;
    {
        FocusRollAtEnd focus{c};
        JobProgress progress(c, r.last - r.first + 1, r.first < r.last);
        for (qint32 i = r.first; i <= r.last; ++i) {
            if (i == 0) continue;
            progress.UpdateProgress(status, i - r.first + 1);
            if (progress.stopRequested()) break;
            const float tempoPrev = TempoAt(c, i >= 2 ? i - 2 : i - 1);
            const float tempo = TempoAt(c, i - 1);
            const float tempoNext = TempoAt(c, i);
            const QString before = s.SerializeNote(QStringLiteral("PROP"), i);
            if (!OptimiseCrossFade(cacheFolder, tempoPrev, tempo, tempoNext, i - 1, s)) continue;
            const QString after = s.SerializeNote(QStringLiteral("PROP"), i);
            if (after == before) continue;  // already at its best place
            undo += before + RecordLineEnd();
            redo += after + RecordLineEnd();
        }
        if (redo != undo) {
            MessageRequest ask;
            ask.text = GetMessage(QStringLiteral("適用範囲のキャッシュを削除しますか？"));
            ask.buttons = MsgButtons::YesNo;
            ask.icon = MsgIcon::Question;
            if (c.messageBox().show(ask) == MsgResult::Yes) c.deleteCachedNotes(r.first, r.last);
            c.pushUndo(undo, redo, QStringLiteral("クロスフェード最適化"));
            c.setModified(true);
        } else {
            MessageRequest none;
            none.text = GetMessage(QStringLiteral("対象なし/最適化済み/キャッシュがありません"));
            none.icon = MsgIcon::Exclamation;
            c.messageBox().show(none);
        }
    }
}

void mnCorrectCrossFade_Click(EditContext& context) { cmdCorrectCrossFade_Click(context); }

void registerCrossFadeCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("cmdCorrectCrossFade"), cmdCorrectCrossFade_Click);
    addEditCommand(registry, QStringLiteral("mnCorrectCrossFade"), mnCorrectCrossFade_Click);
}

}  // namespace tova
