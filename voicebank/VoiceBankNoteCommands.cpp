#include "voicebank/VoiceBankNoteCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/NotAvailable.h"
#include "song/Song.h"
#include "voicebank/SamplePickerPort.h"
#include "voicebank/SuffixBrokerPort.h"

namespace tova {

void mnSurffixBroker_Click(EditContext& context, SuffixBrokerPort& broker) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    const QString kind = QStringLiteral("PROP");
    const QString before = song.SerializeNoteRange(kind, r.first, r.last);
    if (!broker.ShowDialog(r.first, r.last, song.Lyrics, context.ownerWindow())) return;
    const QString after = song.SerializeNoteRange(kind, r.first, r.last);
    if (after == before) return;
    context.deleteCachedNotes(r.first, r.last);
    context.setModified(true);
    context.pushUndo(before, after, QStringLiteral("歌詞の変更"));
    context.Redraw();
}

void mnInsertFrom_Click(EditContext& context, SamplePickerPort& picker) {
    picker.ShowList(context.editedSong().VoiceDir, context);
}

void registerVoiceBankNoteCommands(CommandRegistry& registry, std::function<SuffixBrokerPort*(EditContext&)> broker,
                                   std::function<SamplePickerPort*(EditContext&)> picker) {
    registry.add(QStringLiteral("mnSurffixBroker"), [broker](EditContext& context) {
        SuffixBrokerPort* port = broker ? broker(context) : nullptr;
        if (!port) {
            ReportNotAvailable(QStringLiteral("SurffixBroker"));
            return;
        }
        RunEditCommand(context, [&] { mnSurffixBroker_Click(context, *port); });
    });
    registry.add(QStringLiteral("mnInsertFrom"), [picker](EditContext& context) {
        SamplePickerPort* port = picker ? picker(context) : nullptr;
        if (!port) {
            ReportNotAvailable(QStringLiteral("音リストを表示"));
            return;
        }
        mnInsertFrom_Click(context, *port);
    });
}

}  // namespace tova
