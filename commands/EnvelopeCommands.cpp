#include "commands/EnvelopeCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/EnvelopeDialogPort.h"
#include "commands/NotAvailable.h"
#include "core/Settings.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/CrossFade.h"
#include "render/NoteTiming.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <cmath>

namespace tova {

namespace {

const QString kEnv = QStringLiteral("env");
const QString kStandardEnvelope = QStringLiteral("0 5 35 0 100 100 0");

// A pre-utterance or overlap text as the editor takes it: its number written back, or empty.
QString numberOrEmpty(const QString& text) { return text.isEmpty() ? QString() : Vb::DoubleText(Vb::Val(text)); }

}  // namespace

bool NoEnvelopeDialog::ShowEnvelopeDialog(EnvelopeDialogArgs&, QObject*) {
    ReportNotAvailable(QStringLiteral("エンベロープ"));
    return false;
}

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

void mnEnvelope_Click(EditContext& c, EnvelopeDialogPort& dialog) {
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    if (count <= 0 || s.SelStart != s.SelEnd || s.SelStart < 0 || s.SelStart >= count) return;
    const qint32 n = s.SelStart;

    EnvelopeDialogArgs a;
    QStringList timing = NoteExtField(s.NoteExt.at(n), ExtTiming).split(u':');
    timing.resize(std::max<qsizetype>(timing.size(), 3));
    a.pre = numberOrEmpty(timing.at(0));
    a.overlap = numberOrEmpty(timing.at(1));
    a.velocityFactor = timing.at(2).isEmpty() ? 1.0f : float(std::pow(2.0, Vb::Val(timing.at(2)) / 100.0 - 1.0));
    if (n > 0) {
        a.prevLength = NoteLengthMs(c, n - 1);
        a.prevIsRest = IsRestLyric(s.Lyrics.at(n - 1));
    }
    a.noteLength = NoteLengthMs(c, n);

    const QString before = s.SerializeNote(QStringLiteral("PROP"), n);
    a.env = GetNoteOption(s.NoteExt.at(n), kEnv);
    LookupNoteOto(s.NoteNums.at(n), s.Lyrics.at(n), a.otoPre, a.otoOverlap);
    if (n < count - 1) {
        float stp = 0;
        GetNoteStartTime(TempoAt(c, n), s, n + 1, a.nextPre, a.nextOverlap, stp);
    }
    if (!dialog.ShowEnvelopeDialog(a, c.ownerWindow())) return;

    SetNoteOption(s.NoteExt[n], kEnv, a.env);
    SetNotePreOverlap(s.NoteExt[n], a.pre, a.overlap);
    const QString after = s.SerializeNote(QStringLiteral("PROP"), n);
    if (after == before) return;
    c.setModified(true);
    c.pushUndo(before, after, QStringLiteral("エンベロープ"));
    c.Redraw();
}

void mnNoteDefaultEnv_Click(EditContext& c, EnvelopeDialogPort& dialog) {
    EnvelopeDialogArgs a;
    a.prevIsRest = true;
    a.prevLength = 120.0f;
    a.noteLength = 480.0f;
    a.env = settings().DefaultEnv;
    a.pre = QStringLiteral("20");
    a.overlap = QStringLiteral("10");
    a.velocityFactor = 1.0f;
    a.otoPre = 20.0f;
    a.otoOverlap = 10.0f;
    if (!dialog.ShowEnvelopeDialog(a, c.ownerWindow())) return;
    settings().DefaultEnv = a.env == kStandardEnvelope ? QString() : a.env;
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

void registerEnvelopeCommands(CommandRegistry& registry, std::function<EnvelopeDialogPort*(EditContext&)> dialog) {
    auto editor = [dialog](EditContext& c) -> EnvelopeDialogPort& {
        static NoEnvelopeDialog none;
        EnvelopeDialogPort* port = dialog ? dialog(c) : nullptr;
        return port ? *port : none;
    };
    addEditCommand(registry, QStringLiteral("mnResetEnvelop"), mnResetEnvelop_Click);
    registry.add(QStringLiteral("mnEnvelope"),
                 [editor](EditContext& c) { RunEditCommand(c, [&] { mnEnvelope_Click(c, editor(c)); }); });
    registry.alias(QStringLiteral("mnEnvEdit"), QStringLiteral("mnEnvelope"));
    registry.add(QStringLiteral("mnNoteDefaultEnv"), [editor](EditContext& c) { mnNoteDefaultEnv_Click(c, editor(c)); });
    registry.add(QStringLiteral("mnCrossFadeEnv"),
                 [](EditContext& c) { RunEditCommand(c, [&] { ApplyCrossFadeEnvelope(c, false); }); });
    registry.add(QStringLiteral("mnCrossFadeEnv14"),
                 [](EditContext& c) { RunEditCommand(c, [&] { ApplyCrossFadeEnvelope(c, true); }); });
}

}  // namespace tova
