// The release on the roll: each drag becomes one undo step (the second half of RollEditor).
#include "mainwindow/RollEditor.h"

#include "commands/CommandFrame.h"
#include "commands/InsertCommands.h"
#include "commands/PitchRenderCommands.h"
#include "core/MessageTable.h"
#include "core/Midi.h"
#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {

namespace {

double roundEven(double v) { return std::nearbyint(v); }

QString joinLines(const QStringList& lines) { return lines.join(RecordLineEnd()); }

// Deletes the renderings of the notes among `notes` that exist.
void dropCache(MainWindow& w, std::initializer_list<qint32> notes) {
    for (qint32 i : notes)
        if (i >= 0 && i < w.song.noteCount()) w.deleteCachedNotes(i, i);
}

}  // namespace

void RollEditor::Picture2_MouseUp(int button, int shift, double x, double y) {
    try {
        if (PreviewNoteOn) {
            MidiNoteOff();
            PreviewNoteOn = 0;
            return;
        }
        if (VibratoDrag) {
            RunEditCommand(w_, [&] { commitVibrato(); });
            return;
        }
        if (PitchPointDrag) {
            RunEditCommand(w_, [&] { commitPitchPoint(); });
            return;
        }
        if (EmptyDragActive) {
            RunEditCommand(w_, [&] { commitEmptyDrag(shift); });
            return;
        }
        if (NoteDragActive) {
            RunEditCommand(w_, [&] { EndMouseEdit(w_.CurNote, button, shift); });
            return;
        }
        if (button == 2 && VibratoHandleIndex == -1 && PitchPointIndex == -1) rightClick(button, shift, x, y);
    } catch (...) {
        // The drag ends with its feedback; the guard of the handler shows the failure.
        resetDrag();
        throw;
    }
}

void RollEditor::commitVibrato() {
    VibratoDrag = 0;
    const qint32 sel = w_.song.SelStart;
    w_.pushUndo(DragUndoBefore, propLine(sel), QStringLiteral("ビブラートの変更"));
    w_.setModified(true);
    dropCache(w_, {sel, sel + 1});
    w_.DrawBackground();
    w_.DrawNotes();
}

void RollEditor::commitPitchPoint() {
    Song& s = w_.song;
    const qint32 sel = s.SelStart;
    const double rh = w_.RowHeight();
    // 1.
    const double tps = twipsPerMs(sel);
    const double tpp = sel > 0 ? twipsPerMs(sel - 1) : tps;
    // 2.
    QString& ext = s.NoteExt[sel];
    const double x0 = roundEven(Vb::Val(GetNoteOption(ext, QStringLiteral("PBS")).section(u';', 0, 0)));
    const QString pbw = GetNoteOption(ext, QStringLiteral("PBW"));
    QStringList W = pbw.isEmpty() ? QStringList{QStringLiteral("1")} : pbw.split(u' ');
    QStringList Y = GetNoteOption(ext, QStringLiteral("PBY")).split(u' ');
    Y.resize(W.size());
    // 3.
    const double px = Feedback.shpHandle.rect.left + 30 - double(w_.NoteGeometry.value(sel).Left);
    const double py = Feedback.shpHandle.rect.top + 30;
    const double yc = (84 - s.NoteNums[sel] - w_.VScroll1.Value + 0.5) * rh;
    const double divisor = px < 0 ? tpp : tps;
    const double tenths = Vb::Int((yc - py) / rh * 100) / 10;
    const int k = PitchPointIndex;
    if (k == 0) {
        // 4. The start point; the first width keeps the second point in place.
        const double newX = Vb::Int(px / divisor);
        SetNoteOption(ext, QStringLiteral("PBS"),
                      Vb::DoubleText(newX) + u';' + Vb::DoubleText(roundEven(tenths)));
        W[0] = Vb::DoubleText(std::max(1.0, roundEven(Vb::Val(W[0]) - newX + x0)));
        SetNoteOption(ext, QStringLiteral("PBW"), W.join(u' '));
    } else if (k > 0) {
        // 5. Point k ends segment k - 1; the point after it keeps its place.
        while (W.size() < k) W << QStringLiteral("0");
        Y.resize(W.size());
        double base = x0;
        for (int j = 0; j <= k - 2; ++j) base = roundEven(base + Vb::Val(W[j]));
        const double oldW = roundEven(Vb::Val(W[k - 1]));
        const double newW = Vb::Int(px / divisor - base);
        W[k - 1] = Vb::DoubleText(newW);
        if (k < W.size()) {
            W[k] = Vb::DoubleText(Vb::Val(W[k]) - newW + oldW);
            Y[k - 1] = Vb::DoubleText(tenths);
            SetNoteOption(ext, QStringLiteral("PBY"), Y.join(u' '));
        }
        SetNoteOption(ext, QStringLiteral("PBW"), W.join(u' '));
    }
    // 6.
    Feedback.shpHandle.visible = false;
    showFeedback();
    PitchPointDrag = 0;
    // 7.
    QString redo = propLine(sel);
    if (sel > 0) redo += RecordLineEnd() + propLine(sel - 1);
    w_.pushUndo(DragUndoBefore, redo, QStringLiteral("ピッチベンドの変更"));
    w_.setModified(true);
    dropCache(w_, {sel - 1, sel, sel + 1});
    w_.DrawBackground();
    w_.DrawNotes();
}

void RollEditor::commitEmptyDrag(int shift) {
    Song& s = w_.song;
    const double rh = w_.RowHeight();
    const double zoom = w_.Zoom();
    Feedback.Shape1.visible = false;
    const bool drawing = w_.IsToolMode(shift);
    if (drawing) {
        QString after, before, lyric;
        TakeQueuedLyric(w_, after, before, lyric);
        qint32 q = w_.quantizeTicks();
        if (q == 0) q = 1;
        double length = Vb::Int(Feedback.Shape1.rect.width * zoom / q) * q;
        if (length < 60) length = 60;
        qint32 index = FindNoteAtX(Feedback.Shape1.rect.left);
        const qint32 noteNum = 84 - qint32(Vb::Int(Feedback.Shape1.rect.top / rh + w_.VScroll1.Value));
        const qint32 inserted = s.InsertNotes(index, qint32(roundEven(length)), lyric, noteNum, false);
        if (settings().MidiSendNote && MidiNoteOn(int16_t(inserted))) {
            if (auto* timer = qobject_cast<QTimer*>(w_.view().windowObject(QStringLiteral("tmrMidiNote")))) {
                timer->stop();
                timer->setInterval(int(roundEven(length * 31.25 / double(w_.GetTempo(index)))));
                timer->start();
            }
        }
        s.SelStart = s.SelEnd = index;
        QString redo = after.isEmpty() ? QString() : after + RecordLineEnd();
        redo += s.SerializeNote(QStringLiteral("INS"), index);
        QString undo = before.isEmpty() ? QString() : before + RecordLineEnd();
        undo += DeleteLine(index, index);
        w_.pushUndo(undo, redo, QStringLiteral("ノートの挿入"));
    } else {
        Feedback.Line1.visible = Feedback.Line2.visible = false;
        UpdateRangeSelection(shift, true);
    }
    showFeedback();
    EmptyDragActive = 0;
    w_.DrawBackground();
    w_.DrawNotes();
    if (drawing && s.SelStart < s.noteCount()) {
        w_.UpdateTempoStatus(noteTempo(s.SelStart));
        w_.CurNote = s.SelStart;
    }
}

void RollEditor::rightClick(int button, int shift, double x, double y) {
    double left = 0, top = 0;
    qint32 hit = -1;
    HitTestNoteRect(x, y, left, top, hit);
    if (hit >= 0) {
        EndMouseEdit(hit, button, shift);
        return;
    }
    if (y <= w_.RowHeight()) return;
    int chosen = -1;
    const QString menu = shift == 2 ? QStringLiteral("mnNoteTools")
                         : shift == 3 ? QStringLiteral("mnPluginParent")
                                      : QStringLiteral("mnTest2");
    w_.view().popupMenu(menu, &chosen);
}

void RollEditor::EndMouseEdit(qint32 note, int button, int shift) {
    RulerNote = note;
    if (NoteDragActive)
        commitNoteDrag(note, shift);
    else if (button == 2)
        rightClickNote(note, shift);
}

bool RollEditor::resizeSharesFollower(qint32 n, int shift) const {
    const Song& s = w_.song;
    const bool ctrl = shift == 2 || shift == 3;
    const bool shiftBit = (shift & 1) != 0;
    return n + 1 < s.noteCount() && (IsRestLyric(s.Lyrics[n + 1]) || ctrl) && !shiftBit;
}

double RollEditor::resizeWidthLimit(qint32 n, int shift) const {
    const Song& s = w_.song;
    if (shift == 1 || n < 0 || n + 1 >= s.noteCount()) return std::numeric_limits<double>::infinity();
    // A rest (or, with Ctrl, any note) after n is used up at most; a sung note after n refuses growth.
    const double ticks = resizeSharesFollower(n, shift) ? double(s.Lengths[n]) + s.Lengths[n + 1] : double(s.Lengths[n]);
    return ticks / w_.Zoom() + 15;
}

void RollEditor::commitNoteDrag(qint32 n, int shift) {
    Song& s = w_.song;
    const double rh = w_.RowHeight();
    const double zoom = w_.Zoom();
    if (n < 0 || n >= s.noteCount()) {
        resetDrag();
        return;
    }
    QStringList undo, redo, intensityUndo, intensityRedo;
    const bool modifiedAtEntry = s.IsModified;
    const bool intensityBand = curveShown() && PressY < rh - 60;
    const qint32 last = s.noteCount() - 1;

    // 1. Intensity.
    if (intensityBand) {
        Feedback.lbNumber.visible = false;
        const double v = Vb::Val(Feedback.lbNumberCaption.mid(1));
        const qint32 delta = qint32(roundEven(v - GetNoteIntensity(n)));
        if (delta != 0) {
            if (MultiMoveActive) {
                const qint32 end = std::min(s.SelEnd, last);
                const qint32 step = end >= s.SelStart ? 1 : -1;
                for (qint32 i = s.SelStart; i >= 0 && i <= last; i += step) {
                    intensityUndo << propLine(i);
                    SetNoteIntensity(i, std::clamp(GetNoteIntensity(i) + delta, 0, 200));
                    intensityRedo << propLine(i);
                    dropCache(w_, {i});
                    if (i == end) break;
                }
            } else {
                intensityUndo << propLine(n);
                SetNoteIntensity(n, qint32(roundEven(v)));
                intensityRedo << propLine(n);
            }
        }
    }

    // 2. The new length from the feedback, compared in steps of 15 twips.
    const FeedbackItem shape = Feedback.Shape1;
    double len = roundEven((shape.rect.width - 15) * zoom);
    // A click (no pointer move since the press) keeps the note where and as long as it is.
    const bool widthUnchanged =
        !NoteDragMoved ||
        qint64(Vb::Int(s.Lengths[n] / zoom / 15 + 0.5)) == qint64(roundEven(shape.rect.width - 15)) / 15;

    if (widthUnchanged && !intensityBand && NoteDragMoved) {
        // 3. A move: to another row, and to another place in the sequence.
        const qint32 noteNum =
            std::clamp(qint32(roundEven(84 - shape.rect.top / rh - w_.VScroll1.Value)), 0, 83);
        const qint32 target = FindNoteAtX(shape.rect.left);
        if (shape.rect.left > 0 && target != n) {
            const qint32 length = s.Lengths[n];
            const QString lyric = s.Lyrics[n];
            const QString ext = s.NoteExt[n];
            s.SelStart = s.SelEnd = target;
            qint32 at = target > n ? target + 1 : target;
            s.InsertNotes(at, length, lyric, noteNum, false);
            s.NoteExt[at] = ext;
            undo << DeleteLine(at, at);
            redo << s.SerializeNote(QStringLiteral("INS"), at);
            if (shift != 1) {
                // The dragged note leaves its old place (Shift copies it).
                const qint32 old = at > n ? n : n + 1;
                undo.prepend(s.SerializeNote(QStringLiteral("INS"), old));
                redo << DeleteLine(old, old);
                s.RemoveNotes(old, old, false);
            }
        } else {
            const qint32 d = noteNum - s.NoteNums[n];
            if (d != 0) {
                if (!MultiMoveActive) {
                    undo << propLine(n);
                    s.NoteNums[n] = noteNum;
                    redo << propLine(n);
                    dropCache(w_, {n - 1, n + 1});
                } else {
                    if (s.SelEnd > last) s.SelEnd = last;
                    const qint32 step = s.SelEnd >= s.SelStart ? 1 : -1;
                    for (qint32 i = s.SelStart; i >= 0 && i <= last; i += step) {
                        undo << propLine(i);
                        s.NoteNums[i] = std::clamp(s.NoteNums[i] + d, 0, 83);
                        redo << propLine(i);
                        dropCache(w_, {i});
                        if (i == s.SelEnd) break;
                    }
                    dropCache(w_, {std::min(s.SelStart, s.SelEnd) - 1, std::max(s.SelStart, s.SelEnd) + 1});
                }
            }
        }
    } else if (!widthUnchanged) {
        // 4. A resize, with its effect on the following note. (A press in the intensity band that kept the
        // width changes no length: the width's rounding to 15 twips would otherwise count as a resize.)
        const qint32 q = w_.quantizeTicks();
        if (len <= 60)
            len = 60;
        else if (q / 2.0 > len)
            len = q;
        else if (q <= 0)
            len = Vb::Int(len / 4 + 0.5) * 4;
        else
            len = Vb::Int(len / q + 0.5) * q;
        qint32 newLength = qint32(len);
        const qint32 m = n + 1;
        if (shift != 1 && n < last) {
            const qint32 old = s.Lengths[n];
            const bool shiftBit = (shift & 1) != 0;
            if (resizeSharesFollower(n, shift)) {
                const qint32 total = old + s.Lengths[m];
                if (newLength >= total - 80) {
                    newLength = total;
                    undo << s.SerializeNote(QStringLiteral("INS"), m);
                    redo << DeleteLine(m, m);
                    s.RemoveNotes(m, m, false);
                } else {
                    undo << propLine(m);
                    s.Lengths[m] = total - newLength;
                    redo << propLine(m);
                }
            } else if (newLength >= old - 80) {
                newLength = old;
            } else {
                qint32 at = m;
                s.InsertNotes(at, old - newLength, shiftBit ? s.Lyrics[n] : QStringLiteral("R"), s.NoteNums[n], false);
                undo << DeleteLine(at, at);
                redo << s.SerializeNote(QStringLiteral("INS"), at);
            }
        }
        if (s.Lengths[n] != newLength) {
            undo << propLine(n);
            s.Lengths[n] = newLength;
            if (!IsRestLyric(s.Lyrics[n])) ScalePitchPoints(newLength, s.NoteExt[n], w_.GetTempo(n));
            redo << propLine(n);
            s.SelStart = s.SelEnd = n;
        }
    }

    // 5. Record.
    Feedback.Shape1.visible = Feedback.Shape2.visible = false;
    showFeedback();
    QString undoText = joinLines(undo), redoText = joinLines(redo);
    if (!intensityUndo.isEmpty()) {
        undoText = undoText.isEmpty() ? joinLines(intensityUndo) : joinLines(intensityUndo) + RecordLineEnd() + undoText;
        redoText = redoText.isEmpty() ? joinLines(intensityRedo) : joinLines(intensityRedo) + RecordLineEnd() + redoText;
    }
    if (!(undoText.isEmpty() && redoText.isEmpty()) && undoText != redoText) {
        s.IsModified = modifiedAtEntry;
        s.SetModified(true);
        w_.pushUndo(undoText, redoText, QStringLiteral("ノートの変更"));
        dropCache(w_, {n});
    } else if (shift != 1) {
        s.SelStart = s.SelEnd = n;
    }
    // 6.
    w_.UpdateTempoStatus(noteTempo(std::min(n, s.noteCount() - 1)));
    w_.DrawBackground();
    w_.DrawNotes();
    NoteDragActive = 0;
}

void RollEditor::rightClickNote(qint32 n, int shift) {
    MainWindowView& v = w_.view();
    int chosen = -1;
    if (shift == 1) {
        w_.ShowAliasMenu(n);
        return;
    }
    if (shift == 3) {
        v.popupMenu(QStringLiteral("mnPluginParent"), &chosen);
        return;
    }
    if (shift == 2) {
        v.popupMenu(QStringLiteral("mnNoteTools"), &chosen);
        return;
    }
    const Song& s = w_.song;
    const bool one = s.SelStart == s.SelEnd;
    const bool rest = IsRestLyric(s.Lyrics.value(n));
    const bool sung = one && !rest;
    v.setVisible(QStringLiteral("mnToneGen"), !one || !rest);
    v.setVisible(QStringLiteral("mnEnvelope"), sung);
    v.setVisible(QStringLiteral("mnTonePitch"), one ? !rest : settings().Mode2);
    v.setVisible(QStringLiteral("mnNoteLength"), one);
    v.setVisible(QStringLiteral("mnSetTempo"), one);
    v.setVisible(QStringLiteral("mnSeparator25"), sung);
    v.setVisible(QStringLiteral("mnToneProp"), !one || !rest);
    v.setText(QStringLiteral("mnToneProp"),
              GetMessage(one ? QStringLiteral("プロパティ") : QStringLiteral("複数選択のプロパティ")));
    v.popupMenu(QStringLiteral("mnTest"), &chosen);
}

}  // namespace tova
