#include "commands/PitchRenderCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "platform/Vb.h"
#include "render/RenderNoteTiming.h"
#include "song/NoteExtension.h"
#include "song/PitchCurves.h"
#include "song/Song.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

// A VB-style split: the empty text has no element.
QStringList splitList(const QString& text, QChar separator) {
    return text.isEmpty() ? QStringList() : text.split(separator);
}

QString number(double v) { return Vb::DoubleText(v); }

}  // namespace

void cmdRender_Click(EditContext& c) {
    const NoteRange r = c.selectedRange();
    if (!r.empty && c.mode2() && r.first <= r.last) {
        c.beginPropUndo(r.first, r.last, QStringLiteral("ピッチをレンダリング"));
        RenderNotePitches(c, r.first, r.last);
        c.endPropUndo(false);
        if (c.traceMode()) c.Redraw();
    }
    c.focusRoll();
}

void RenderNotePitches(EditContext& c, qint32 first, qint32 last) {
    Song& s = c.editedSong();
    const RenderNoteTiming timing(s.Tempo);
    for (qint32 i = first; i <= last; ++i) {
        ComputeNotePitch(i, s, timing);
        const QString pitches = GetNoteOption(s.NoteExt.at(i), QStringLiteral("pitches"));
        SetPitchDataField(c, i, pitches);
        SetNoteOption(s.NoteExt[i], QStringLiteral("pitches"), QString());
        SetNoteOption(s.NoteExt[i], QStringLiteral("expression"), QString());
    }
}

void SetPitchDataField(EditContext& c, qint32 index, const QString& text) {
    QString& ext = c.editedSong().NoteExt[index];
    QStringList f = ext.split(u'\t');
    if (f.size() < 4) f.resize(ExtFieldCount);
    f[ExtPitches] = text;
    ext = f.join(u'\t');
}

void ScalePitchPoints(qint32 length, QString& extension, float tempo) {
    QStringList S = splitList(GetNoteOption(extension, QStringLiteral("PBS")), u';');
    QStringList W = splitList(GetNoteOption(extension, QStringLiteral("PBW")), u' ');
    QStringList Y = splitList(GetNoteOption(extension, QStringLiteral("PBY")), u' ');
    if (S.isEmpty()) return;
    double pos = Vb::Val(S.at(0));
    const double limit = double(length) * 31.25 / tempo;
    if (W.isEmpty()) W << QString();
    const qsizetype k = W.size() - 1;
    Y.resize(k + 1);
    QList<double> P(k + 1);
    for (qsizetype j = 0; j <= k; ++j) {
        pos += Vb::Val(W.at(j));
        // The absolute end of segment j in whole milliseconds, in 32 bits: a long note's points end past
        // 32,767 ms.
        P[j] = Vb::CLng(pos);
    }
    if (pos <= limit) return;

    const double ratio = limit / pos;
    const double start = Vb::Int(Vb::Val(S.at(0)) * ratio);
    S[0] = number(start);
    for (double& p : P) p = std::nearbyint(p * ratio);

    QStringList W2{number(P[0] - start)};
    QList<double> Y2{Vb::Val(Y.at(0))};
    for (qsizetype j = 1; j <= k; ++j) {
        if (P[j - 1] >= P[j]) {
            // The two points fell together: one point at the mean height.
            Y2.back() = (Vb::Val(Y.at(j)) + Vb::Val(Y.at(j - 1))) / 2;
        } else {
            W2 << number(P[j] - P[j - 1]);
            Y2 << Vb::Val(Y.at(j));
        }
    }
    QStringList heights;
    for (double y : Y2) heights << number(y);
    SetNoteOption(extension, QStringLiteral("PBS"), S.join(u';'));
    SetNoteOption(extension, QStringLiteral("PBW"), W2.join(u' '));
    SetNoteOption(extension, QStringLiteral("PBY"), heights.join(u' '));
}

void registerPitchRenderCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("cmdRender"), cmdRender_Click);
}

}  // namespace tova
