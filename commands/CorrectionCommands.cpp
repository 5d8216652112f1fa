#include "commands/CorrectionCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/DefaultEnvelope.h"
#include "core/FrqHeader.h"
#include "core/NoteNames.h"
#include "core/WaveFiles.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <QVector>

#include <cmath>

namespace tova {

namespace {

const QString kStp = QStringLiteral("stp");
const QString kEnv = QStringLiteral("env");

// An effective value written back as the note's own: divided by the velocity factor and cut (toward
// minus infinity) to three decimals, in single precision so that a written value reads back the same.
QString ownValue(float x, float factor) {
    const float scaled = x * 1000.0f / factor;
    return Vb::DoubleText(double(Vb::Int(scaled)) / 1000.0);
}

float lengthMs(const Song& s, qint32 index, float tempo) { return float(double(s.Lengths.at(index)) * 31.25 / tempo); }

// A tempo option's value when it can be a tempo (a positive number); 0 otherwise.
float usableTempo(const QString& text) {
    const double v = Vb::Val(text);
    return v > 0 ? float(v) : 0.0f;
}

}  // namespace

bool CorrectNoteParameters(EditContext& c, qint32 i, float prevTempo, float tempo, float nextTempo) {
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    if (i < 0 || i >= count) return false;
    const float len = lengthMs(s, i, tempo);

    float pre = 0, ovl = 0;
    const float vf = GetNoteOtoTiming(s.NoteExt.at(i), s.NoteNums.at(i), s.Lyrics.at(i), pre, ovl);
    float stp = float(Vb::Val(GetNoteOption(s.NoteExt.at(i), kStp))) * vf;
    const float pre0 = pre, ovl0 = ovl, stp0 = stp;

    if (i >= 1) AdjustPreutterance(lengthMs(s, i - 1, prevTempo), pre, ovl, stp, IsRestLyric(s.Lyrics.at(i - 1)));

    float nextPre = 0, nextOvl = 0;
    if (i + 1 < count) {
        float nextStp = 0;
        GetNoteStartTime(tempo, s, i + 1, nextPre, nextOvl, nextStp);
        float nextLen = lengthMs(s, i + 1, nextTempo);
        if (i + 2 < count) {
            float pre2 = 0, ovl2 = 0, stp2 = 0;
            GetNoteStartTime(nextTempo, s, i + 2, pre2, ovl2, stp2);
            if (ovl2 - pre2 < 0) nextLen = nextLen - pre2 + ovl2;
        }
        if (nextOvl - nextPre > nextLen) nextOvl = nextPre + nextLen;
    }
    const float room = nextOvl - nextPre < 0 ? len - nextPre + nextOvl : len;
    if (ovl - pre > room) ovl = pre + room;

    QString& ext = s.NoteExt[i];
    const QString original = ext;
    SetNoteOption(ext, kStp, ownValue(stp, vf));
    SetNotePreOverlap(ext, ownValue(pre, vf), ownValue(ovl, vf));

    // The envelope fitted to the sounding length. An absent envelope stands for the default one and
    // stays absent when the default fits as it is.
    const QString env = GetNoteOption(ext, kEnv);
    QString fitted = env;
    NormalizeEnvelope(fitted, qint32(std::nearbyint(double(len + pre - nextPre + nextOvl))));
    const bool envChanged = fitted != (env.isEmpty() ? DefaultEnvelope() : env);
    if (envChanged) SetNoteOption(ext, kEnv, fitted);

    const bool changed = envChanged || stp != stp0 || pre != pre0 || ovl != ovl0;
    // A note that already fits keeps its texts as they were: a write-back outside the undo step would
    // be a change that undo cannot take back (and turns the voice bank's values into the note's own).
    if (!changed) ext = original;
    return changed;
}

void mnCorrectParams_Click(EditContext& c) {
    const NoteRange r = c.selectedRange();
    if (!r.empty && r.first <= r.last) {
        Song& s = c.editedSong();
        float previous = TempoAt(c, r.first - 1);
        float current = TempoAt(c, r.first);
        float next = current;
        QString undo, redo;
        for (qint32 i = r.first; i <= r.last; ++i) {
            if (i < s.lastNote()) {
                const float own = usableTempo(GetNoteOption(s.NoteExt.at(i + 1), QStringLiteral("tempo")));
                if (own > 0) next = own;
            }
            const QString before = s.SerializeNote(QStringLiteral("PROP"), i);
            if (CorrectNoteParameters(c, i, previous, current, next)) {
                undo += before + RecordLineEnd();
                redo += s.SerializeNote(QStringLiteral("PROP"), i) + RecordLineEnd();
                c.deleteCachedNotes(i, i);
            }
            previous = current;
            current = next;
        }
        if (!undo.isEmpty() && !redo.isEmpty()) {
            c.pushUndo(undo, redo, QStringLiteral("パラメータの補正"));
            c.setModified(true);
        }
    }
    c.Redraw();
}

void mnForStretch_Click(EditContext& c) {
    const NoteRange r = c.selectedRange();
    if (r.empty) return;
    Song& s = c.editedSong();
    QString undo, redo;
    for (qint32 i = r.first; i <= r.last; ++i) {
        const QString before = s.SerializeNote(QStringLiteral("PROP"), i) + RecordLineEnd();
        float pre = 0, ovl = 0;
        const QStringList oto = LookupNoteOto(s.NoteNums.at(i), s.Lyrics.at(i), pre, ovl);
        FrqHeader header;
        QVector<double> frames;
        const QString sample = oto.value(0);
        if (sample.isEmpty() || !ReadFrqFile(header, frames, s.VoiceDir + u'/' + sample)) continue;
        if (header.averageFreq <= 0) continue;  // a table without an average says nothing about the pitch
        const float ratio = float(header.averageFreq / NoteNumToFreq(s.NoteNums.at(i)));
        SetNotePreOverlap(s.NoteExt[i], Vb::SingleText(pre * ratio), Vb::SingleText(ovl * ratio));
        const QString after = s.SerializeNote(QStringLiteral("PROP"), i) + RecordLineEnd();
        if (after == before) continue;
        undo += before;
        redo += after;
        c.deleteCachedNotes(i, i);
    }
    if (undo.isEmpty() || redo.isEmpty()) return;
    c.pushUndo(undo, redo, QStringLiteral("stretchの補正"));
    c.setModified(true);
}

void registerCorrectionCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnCorrectParams"), mnCorrectParams_Click);
    addEditCommand(registry, QStringLiteral("mnForStretch"), mnForStretch_Click);
}

}  // namespace tova
