#include "editors/EnvelopeDialogCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/NotAvailable.h"
#include "core/DefaultEnvelope.h"
#include "core/Settings.h"
#include "editors/EnvelopeEditor.h"
#include "editors/NoteDialogsPort.h"
#include "editors/NotePropertyCommands.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/NoteTiming.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <cmath>
#include <utility>

namespace tova {

namespace {

const QString kEnv = QStringLiteral("env");

// A pre-utterance or overlap text as the editor takes it: its number written back, or empty.
QString numberOrEmpty(const QString& text) { return text.isEmpty() ? QString() : Vb::DoubleText(Vb::Val(text)); }

// True only when the editor was shown and accepted.
bool accepted(const std::optional<bool>& result) { return result.value_or(false); }

}  // namespace

void mnEnvelope_Click(EditContext& c, NoteDialogsPort& dialogs) {
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    if (count <= 0 || s.SelStart != s.SelEnd || s.SelStart < 0 || s.SelStart >= count) return;
    const qint32 n = s.SelStart;

    EnvelopeDialogArgs a;
    QStringList timing = NoteExtField(s.NoteExt.at(n), ExtTiming).split(u':');
    timing.resize(std::max<qsizetype>(timing.size(), 3));
    a.preutterance = numberOrEmpty(timing.at(0));
    a.overlap = numberOrEmpty(timing.at(1));
    a.velocityFactor = timing.at(2).isEmpty() ? 1.0f : float(std::pow(2.0, Vb::Val(timing.at(2)) / 100.0 - 1.0));
    a.prevIsRest = false;
    if (n > 0) {
        a.prevLengthMs = NoteLengthMs(c, n - 1);
        a.prevIsRest = IsRestLyric(s.Lyrics.at(n - 1));
    }
    a.noteLengthMs = NoteLengthMs(c, n);

    const QString before = s.SerializeNote(QStringLiteral("PROP"), n);
    a.envelope = GetNoteOption(s.NoteExt.at(n), kEnv);
    LookupNoteOto(s.NoteNums.at(n), s.Lyrics.at(n), a.otoPre, a.otoOverlap);
    if (n < count - 1) {
        float stp = 0;
        GetNoteStartTime(TempoAt(c, n), s, n + 1, a.nextPre, a.nextOverlap, stp);
    }
    if (!accepted(dialogs.ShowEnvelopeDialog(a, c.ownerWindow()))) return;

    SetNoteOption(s.NoteExt[n], kEnv, a.envelope);
    SetNotePreOverlap(s.NoteExt[n], a.preutterance, a.overlap);
    const QString after = s.SerializeNote(QStringLiteral("PROP"), n);
    if (after == before) return;
    c.setModified(true);
    c.pushUndo(before, after, QStringLiteral("エンベロープ"));
    c.Redraw();
}

void mnEnvEdit_Click(EditContext& c, NoteDialogsPort& dialogs) { mnEnvelope_Click(c, dialogs); }

void mnNoteDefaultEnv_Click(EditContext& c, NoteDialogsPort& dialogs) {
    EnvelopeDialogArgs a;
    a.prevIsRest = true;
    a.prevLengthMs = 120.0f;
    a.noteLengthMs = 480.0f;
    a.envelope = settings().DefaultEnv;
    a.preutterance = QStringLiteral("20");
    a.overlap = QStringLiteral("10");
    a.velocityFactor = 1.0f;
    a.otoPre = 20.0f;
    a.otoOverlap = 10.0f;
    if (!accepted(dialogs.ShowEnvelopeDialog(a, c.ownerWindow()))) return;
    settings().DefaultEnv = a.envelope == DefaultEnvelope() ? QString() : a.envelope;
}

void mnNoteDefaultPitch_Click(EditContext& c, NoteDialogsPort& dialogs) {
    Song& s = c.editedSong();
    dialogs.ShowPitchControl(-1, -1, s, s.Tempo, c.ownerWindow());
}

void registerEnvelopeDialogCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs) {
    // The envelope of a note changes the song: a failure part-way leaves it as it was.
    using Command = void (*)(EditContext&, NoteDialogsPort&);
    for (const auto& [name, command] : {std::pair<const char16_t*, Command>{u"mnEnvelope", mnEnvelope_Click},
                                        std::pair<const char16_t*, Command>{u"mnEnvEdit", mnEnvEdit_Click}})
        registry.add(QString::fromUtf16(name), [dialogs, command = command](EditContext& c) {
            NoteDialogsPort* port = dialogs ? dialogs(c) : nullptr;
            if (!port) {
                ReportNotAvailable(QStringLiteral("エンベロープ"));
                return;
            }
            RunEditCommand(c, [&] { command(c, *port); });
        });
    addNoteDialogCommand(registry, QStringLiteral("mnNoteDefaultEnv"), QStringLiteral("エンベロープ"),
                         mnNoteDefaultEnv_Click, dialogs);
    addNoteDialogCommand(registry, QStringLiteral("mnNoteDefaultPitch"), QStringLiteral("ピッチコントロール"),
                         mnNoteDefaultPitch_Click, dialogs);
}

}  // namespace tova
