#include "autotune/TuningCommands.h"

#include "autotune/TuningDialogsPort.h"
#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/NotAvailable.h"
#include "render/NoteRenderParams.h"
#include "render/RenderNoteTiming.h"
#include "song/Song.h"

#include <functional>

namespace tova {

namespace {

const QString kProp = QStringLiteral("PROP");

// The tempo in force at note `index`; the project tempo below note 0.
float tempoAt(const Song& song, qint32 index) {
    float tempo = song.Tempo;
    if (index >= 0) FindTempoAt(song, index, tempo);
    return tempo;
}

// Deletes the renderings of from..to and takes their lines after the change, note by note.
QString dropCacheAndSnapshot(EditContext& context, qint32 from, qint32 to) {
    const Song& song = context.editedSong();
    QString after;
    for (qint32 i = from; i <= to; ++i) {
        context.deleteCachedNotes(i, i);
        song.AppendNoteLine(after, kProp, i);
    }
    return after;
}

// The closing of the vibrato, combining and pitch commands after a confirmed dialog.
void recordStep(EditContext& context, qint32 from, qint32 to, const QString& before, const QString& caption) {
    const QString after = dropCacheAndSnapshot(context, from, to);
    context.setModified(true);
    context.pushUndo(before, after, caption);
    context.Redraw();
}

// The vibrato, combining and pitch commands: the tempo `tempoBack` notes before the selection, the
// snapshot from the note before it when the tool edits that note too, the dialog, and after a confirmed
// one the step.
void runTool(EditContext& context, qint32 tempoBack, bool withPrevious, const QString& caption,
             const std::function<bool(float&, const NoteRange&, Song&, const NoteTimingSource&)>& show) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    float tempo = tempoAt(song, r.first - tempoBack);
    const qint32 from = withPrevious && r.first > 0 ? r.first - 1 : r.first;
    const QString before = song.SerializeNoteRange(kProp, from, r.last);
    const RenderNoteTiming timing(song.Tempo);
    if (!show(tempo, r, song, timing)) return;
    recordStep(context, from, r.last, before, caption);
}

}  // namespace

void mnAutoBibrato_Click(EditContext& context, TuningDialogsPort& dialogs) {
    runTool(context, 1, false, QStringLiteral("オートで波打たせる"), [&](float& tempo, const NoteRange& r, Song& song,
                                                               const NoteTimingSource& timing) {
        return dialogs.ShowAutoVibratoDialog(tempo, r.first, r.last, song, timing, context.ownerWindow());
    });
}

void mnAutoComb_Click(EditContext& context, TuningDialogsPort& dialogs) {
    runTool(context, 1, true, QStringLiteral("母音結合"), [&](float& tempo, const NoteRange& r, Song& song,
                                                               const NoteTimingSource& timing) {
        return dialogs.ShowAutoCombineDialog(tempo, r.first, r.last, song, timing, context.ownerWindow());
    });
}

void mnAutoPitch_Click(EditContext& context, TuningDialogsPort& dialogs) {
    runTool(context, 2, true, QStringLiteral("オートピッチ"), [&](float& tempo, const NoteRange& r, Song& song,
                                                               const NoteTimingSource& timing) {
        return dialogs.ShowAutoPitchDialog(tempo, r.first, r.last, song, timing, context.ownerWindow());
    });
}

void mnOmakase_Click(EditContext& context, TuningDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    const float tempo = tempoAt(song, r.first - 2);
    const qint32 from = r.first > 0 ? r.first - 1 : r.first;
    const QString selectionBefore = song.SerializeNoteRange(kProp, from, r.last);
    const QString songBefore = song.SerializeNoteRange(kProp, 0, song.lastNote());
    const RenderNoteTiming timing(song.Tempo);
    const qint16 result = dialogs.ShowOmakaseDialog(tempo, r.first, r.last, song, timing, context.ownerWindow());
    if (result < 1) return;
    context.setModified(true);
    const bool selection = result == 2;
    const QString after = selection ? dropCacheAndSnapshot(context, from, r.last)
                                    : dropCacheAndSnapshot(context, 0, song.lastNote());
    context.pushUndo(selection ? selectionBefore : songBefore, after, QStringLiteral("おま☆かせ"));
    context.Redraw();
}

void registerTuningCommands(CommandRegistry& registry, std::function<TuningDialogsPort*(EditContext&)> dialogs) {
    const struct {
        const char16_t* name;
        const char16_t* feature;
        void (*command)(EditContext&, TuningDialogsPort&);
    } commands[] = {
        {u"mnAutoPitch", u"オートピッチ", mnAutoPitch_Click},
        {u"mnAutoComb", u"母音結合", mnAutoComb_Click},
        {u"mnAutoBibrato", u"波打たせる", mnAutoBibrato_Click},
        {u"mnOmakase", u"おま☆かせ", mnOmakase_Click},
    };
    for (const auto& c : commands) {
        registry.add(QString::fromUtf16(c.name), [dialogs, feature = QString::fromUtf16(c.feature),
                                                  command = c.command](EditContext& context) {
            TuningDialogsPort* port = dialogs ? dialogs(context) : nullptr;
            if (!port) {
                ReportNotAvailable(feature);
                return;
            }
            // The dialog changes the notes before the step is recorded: a failure after it puts them back.
            RunEditCommand(context, [&] { command(context, *port); });
        });
    }
}

}  // namespace tova
