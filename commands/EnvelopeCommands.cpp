#include "commands/EnvelopeCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/Settings.h"
#include "platform/Vb.h"
#include "render/CrossFade.h"
#include "render/NoteTiming.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

namespace tova {

namespace {

const QString kEnv = QStringLiteral("env");

}  // namespace

void mnResetEnvelop_Click(EditContext& c) {
    const NoteRange r = c.selectedRange();
    if (r.empty) return;
    Song& s = c.editedSong();
    QString undo, redo;
    for (qint32 i = r.first; i <= r.last; ++i) {
        const QString before = s.SerializeNote(QStringLiteral("PROP"), i);
        SetNoteOption(s.NoteExt[i], kEnv, settings().DefaultEnv);
        const QString after = s.SerializeNote(QStringLiteral("PROP"), i);
        if (before != after) {
            undo += before + RecordLineEnd();
            redo += after + RecordLineEnd();
        }
    }
    if (undo.isEmpty()) return;
    c.pushUndo(undo, redo, QStringLiteral("エンベロープのリセット"));
    c.setModified(true);
    c.Redraw();
}

void ApplyCrossFadeEnvelope(EditContext& c, bool longForm) {
    NoteRange r = c.selectedRange();
    if (r.empty) return;
    if (r.first <= 0) r.first = 1;
    Song& s = c.editedSong();
    if (r.first > r.last) return;  // only note 0: no pair

    float tempo = TempoAt(c, r.first - 1);
    QStringList before;
    for (qint32 i = r.first - 1; i <= r.last; ++i) before << s.SerializeNote(QStringLiteral("PROP"), i);
    for (qint32 i = r.first; i <= r.last; ++i) {
        const QString own = GetNoteOption(s.NoteExt.at(i - 1), QStringLiteral("tempo"));
        if (!own.isEmpty()) tempo = float(Vb::Val(own));
        if (IsRestLyric(s.Lyrics.at(i)) || IsRestLyric(s.Lyrics.at(i - 1))) continue;
        float pre = 0, overlap = 0, stp = 0;
        GetNoteStartTime(tempo, s, i, pre, overlap, stp);
        SetCrossFadeEnvelope(i - 1, s.NoteExt, overlap, longForm);
    }
    QString undo, redo;
    for (qint32 i = r.first - 1; i <= r.last; ++i) {
        const QString after = s.SerializeNote(QStringLiteral("PROP"), i);
        if (after == before.at(i - r.first + 1)) continue;
        undo += before.at(i - r.first + 1) + RecordLineEnd();
        redo += after + RecordLineEnd();
        c.deleteCachedNotes(i, i);
    }
    if (undo.isEmpty()) return;
    c.pushUndo(undo, redo, QStringLiteral("クロスフェードのエンベロープ"));
    c.setModified(true);
    c.Redraw();
}

void EditEnvelopeText(QString& ext, const QString& env, const QString& pre, const QString& overlap) {
    QStringList fields = SplitNoteExt(ext);
    QStringList entries = fields.at(ExtOptions).split(OptionSeparator());
    bool found = false;
    for (QString& e : entries) {
        if (!e.startsWith(QStringLiteral("env="))) continue;
        e = env.isEmpty() ? QString() : QStringLiteral("env=") + env;
        found = true;
    }
    if (!found && !env.isEmpty()) {
        if (fields.at(ExtOptions).isEmpty()) entries.clear();
        entries << QStringLiteral("env=") + env;
    }
    fields[ExtOptions] = entries.join(OptionSeparator());
    ext = JoinNoteExt(fields);
    // The velocity part of field 0 stays: only pre-utterance and overlap are the caller's.
    SetNotePreOverlap(ext, pre, overlap);
}

void mnCrossFadeEnv_Click(EditContext& context) { ApplyCrossFadeEnvelope(context, false); }

void mnCrossFadeEnv14_Click(EditContext& context) { ApplyCrossFadeEnvelope(context, true); }

void cmdCrossFadeEnv_Click(EditContext& context) { mnCrossFadeEnv_Click(context); }

void cmdCrossFadeEnv2_Click(EditContext& context) { mnCrossFadeEnv14_Click(context); }

void registerEnvelopeCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnResetEnvelop"), mnResetEnvelop_Click);
    addEditCommand(registry, QStringLiteral("mnCrossFadeEnv"), mnCrossFadeEnv_Click);
    addEditCommand(registry, QStringLiteral("mnCrossFadeEnv14"), mnCrossFadeEnv14_Click);
    addEditCommand(registry, QStringLiteral("cmdCrossFadeEnv"), cmdCrossFadeEnv_Click);
    addEditCommand(registry, QStringLiteral("cmdCrossFadeEnv2"), cmdCrossFadeEnv2_Click);
}

}  // namespace tova
