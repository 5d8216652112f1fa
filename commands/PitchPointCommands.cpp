#include "commands/PitchPointCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/Settings.h"
#include "platform/Vb.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <algorithm>
#include <optional>

namespace tova {

namespace {

const QString kPBS = QStringLiteral("PBS");
const QString kPBW = QStringLiteral("PBW");
const QString kPBY = QStringLiteral("PBY");
const QString kPBM = QStringLiteral("PBM");
const QString kVBR = QStringLiteral("VBR");

// The widest point list a new last segment may extend.
constexpr qsizetype kMaxLastIndex = 50;
// The width of a new last segment, ms.
const QString kNewSegmentWidth = QStringLiteral("30");

// A blank-separated list; the empty text has no entry.
QStringList entries(const QString& text) { return text.isEmpty() ? QStringList() : text.split(u' '); }

QString number(double v) { return Vb::DoubleText(v); }

// The selection-start note when it is a note of the song, else -1.
qint32 pointNote(const EditContext& c) {
    const qint32 s = c.selStart();
    return s >= 0 && s < c.editedSong().noteCount() ? s : -1;
}

// The cached renderings of notes s - 1..s + 1 as far as they are notes of the song.
void dropNeighbours(EditContext& c, qint32 s) {
    c.deleteCachedNotes(std::max(s - 1, 0), std::min(s + 1, c.editedSong().lastNote()));
}

// The widths and heights of a note's points, the heights cut or padded to one per width.
struct PointLists {
    QStringList W, Y;
    explicit PointLists(const QString& ext) : W(entries(GetNoteOption(ext, kPBW))), Y(entries(GetNoteOption(ext, kPBY))) {
        Y.resize(W.size());
    }
    // The highest width index (-1 without widths).
    qsizetype U() const { return W.size() - 1; }
};

// The note and index of the pressed pitch point, with that note's point lists; none without a press.
struct PressedPoint {
    struct Where {
        qint32 s;
        qint32 p;
        Song& song;
        QString& ext;
    } where;
    PointLists lists;
};

std::optional<PressedPoint> pressedPoint(EditContext& c) {
    const qint32 s = pointNote(c);
    const qint32 p = c.pitchPointIndex();
    if (s < 0 || p < 0) return std::nullopt;
    Song& song = c.editedSong();
    QString& ext = song.NoteExt[s];
    return PressedPoint{{s, p, song, ext}, PointLists(ext)};
}

}  // namespace

void mnPBPAdd_Click(EditContext& c) {
    auto pressed = pressedPoint(c);
    if (!pressed) return;
    const auto& [s, p, song, ext] = pressed->where;
    QStringList& W = pressed->lists.W;
    QStringList& Y = pressed->lists.Y;
    const qsizetype U = pressed->lists.U();
    c.beginPropUndo(s, s, QStringLiteral("ポルタメント点を増やす"));
    if (p > U) {
        if (U < kMaxLastIndex) {
            W << kNewSegmentWidth;
            SetNoteOption(ext, kPBW, W.join(u' '));
        }
    } else {
        const double oldHeight = Vb::Val(Y.at(p));
        W.insert(p + 1, W.at(p));
        Y.insert(p + 1, Y.at(p));
        const double w = Vb::Val(W.at(p));
        const double half = w / 2;
        W[p] = number(half);
        W[p + 1] = number(w - half);
        double height;
        if (p >= 1) {
            height = (Vb::Val(Y.at(p - 1)) + oldHeight) / 2;
        } else {
            height = oldHeight / 2;
            // A start before the note lies at the previous sung note's pitch.
            const QStringList start = GetNoteOption(ext, kPBS).split(u';');
            if (Vb::Val(start.at(0)) < 0 && s > 0 && !IsRestLyric(song.Lyrics.at(s - 1)))
                height += double(song.NoteNums.at(s - 1) - song.NoteNums.at(s)) * 5;
        }
        Y[p] = number(height);
        SetNoteOption(ext, kPBW, W.join(u' '));
        SetNoteOption(ext, kPBY, Y.join(u' '));
    }
    if (!c.endPropUndo(false)) return;
    dropNeighbours(c, s);
    c.Redraw();
}

void mnPBPDec_Click(EditContext& c) {
    auto pressed = pressedPoint(c);
    if (!pressed) return;
    const auto& [s, p, song, ext] = pressed->where;
    QStringList& W = pressed->lists.W;
    QStringList& Y = pressed->lists.Y;
    const qsizetype U = pressed->lists.U();
    // A note with one segment (or none) keeps its points: removing one would leave no segment at all.
    if (U < 1) return;
    QStringList S = GetNoteOption(ext, kPBS).split(u';');
    S.resize(std::max<qsizetype>(S.size(), 2));
    c.beginPropUndo(s, s, QStringLiteral("ポルタメント点を減らす"));
    if (p >= 1 && p <= U) {
        const double w = Vb::Val(W.at(p - 1));
        W.removeAt(p - 1);
        Y.removeAt(p - 1);
        W[p - 1] = number(Vb::Val(W.at(p - 1)) + w);
    } else if (p == 0) {
        S[0] = number(Vb::Val(S.at(0)) + Vb::Val(W.at(0)));
        W.removeAt(0);
        Y.removeAt(0);
        SetNoteOption(ext, kPBS, S.at(1).isEmpty() ? S.at(0) : S.at(0) + u';' + S.at(1));
    }
    W.resize(U);
    Y.resize(U);
    Y.back() = QString();
    SetNoteOption(ext, kPBW, W.join(u' '));
    SetNoteOption(ext, kPBY, TrimBlanks(Y.join(u' ')));
    if (!c.endPropUndo(false)) return;
    dropNeighbours(c, s);
    c.Redraw();
}

QString CurveTypeLetter(int type) {
    static const QString letters = QStringLiteral(" srj");
    return type >= 0 && type < letters.size() ? QString(letters.at(type)).trimmed() : QString();
}

void SetPitchCurveType(EditContext& c, int type) {
    const qint32 s = pointNote(c);
    const qint32 p = c.pitchPointIndex();
    if (s < 0 || p < 1) return;
    Song& song = c.editedSong();
    const QString before = song.SerializeNote(QStringLiteral("PROP"), s);
    QStringList M = entries(GetNoteOption(song.NoteExt.at(s), kPBM));
    if (M.size() < p) M.resize(p);
    M[p - 1] = CurveTypeLetter(type);
    SetNoteOption(song.NoteExt[s], kPBM, M.join(u' '));
    const QString after = song.SerializeNote(QStringLiteral("PROP"), s);
    if (after == before) return;
    c.pushUndo(before, after, QStringLiteral("線種の変更"));
    c.setModified(true);
    // The shape changes the rendered pitch of the note and of the notes it joins.
    dropNeighbours(c, s);
    c.Redraw();
}

const QString& DefaultVibrato() {
    static const QString text = QStringLiteral("65,180,35,20,20,0,0,0");
    return text;
}

void mnVBRAdd_Click(EditContext& c) {
    const qint32 s = pointNote(c);
    if (s < 0) return;
    const QString text = settings().Mode2VBR.isEmpty() ? DefaultVibrato() : settings().Mode2VBR;
    c.beginPropUndo(s, s, QStringLiteral("ビブラートの追加"));
    SetNoteOption(c.editedSong().NoteExt[s], kVBR, text);
    if (!c.endPropUndo(false)) return;
    c.deleteCachedNotes(s, std::min(s + 1, c.editedSong().lastNote()));
    c.DrawNotes();
}

void mnVBRDel_Click(EditContext& c) {
    const qint32 s = pointNote(c);
    if (s < 0) return;
    c.beginPropUndo(s, s, QStringLiteral("ビブラートの削除"));
    SetNoteOption(c.editedSong().NoteExt[s], kVBR, QString());
    if (!c.endPropUndo(false)) return;
    c.deleteCachedNotes(s, std::min(s + 1, c.editedSong().lastNote()));
    c.Redraw();
}

void mnCurve0_Click(EditContext& context) { SetPitchCurveType(context, 0); }

void mnCurve1_Click(EditContext& context) { SetPitchCurveType(context, 1); }

void mnCurve2_Click(EditContext& context) { SetPitchCurveType(context, 2); }

void mnCurve3_Click(EditContext& context) { SetPitchCurveType(context, 3); }

void registerPitchPointCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnPBPAdd"), mnPBPAdd_Click);
    addEditCommand(registry, QStringLiteral("mnPBPDec"), mnPBPDec_Click);
    addEditCommand(registry, QStringLiteral("mnCurve0"), mnCurve0_Click);
    addEditCommand(registry, QStringLiteral("mnCurve1"), mnCurve1_Click);
    addEditCommand(registry, QStringLiteral("mnCurve2"), mnCurve2_Click);
    addEditCommand(registry, QStringLiteral("mnCurve3"), mnCurve3_Click);
    addEditCommand(registry, QStringLiteral("mnVBRAdd"), mnVBRAdd_Click);
    addEditCommand(registry, QStringLiteral("mnVBRDel"), mnVBRDel_Click);
}

}  // namespace tova
