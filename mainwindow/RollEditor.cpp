#include "mainwindow/RollEditor.h"

#include "core/Midi.h"
#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/NoteColors.h"
#include "mainwindow/RollCanvas.h"
#include "platform/Vb.h"
#include "render/PlaybackCommands.h"
#include "song/NoteExtension.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

const QString kRoll = QStringLiteral("Picture2");
const QString kFullWidthBlank = QStringLiteral("　");

double roundEven(double v) { return std::nearbyint(v); }

}  // namespace

RollEditor::RollEditor(MainWindow& window) : w_(window) {}

// ---------------------------------------------------------------------------------------------------
// Small helpers

bool RollEditor::curveShown() const { return w_.view().value(QStringLiteral("mnShowCurve")) == 1; }

float RollEditor::noteTempo(qint32 note) const {
    if (note < 0 || note >= w_.NoteGeometry.size()) return w_.song.Tempo;
    return w_.NoteGeometry[note].NoteTempo;
}

double RollEditor::twipsPerMs(qint32 note) const { return double(noteTempo(note)) * 0.032 / double(w_.Zoom()); }

QString RollEditor::propLine(qint32 note) const { return w_.song.SerializeNote(QStringLiteral("PROP"), note); }

int RollEditor::rowNoteAt(double y) const {
    return 84 - int(Vb::Int(y / double(w_.RowHeight()) + double(w_.VScroll1.Value)));
}

bool RollEditor::pitchPointsShown() const { return w_.Handles.PitchPointsShown; }

bool RollEditor::vibratoHandlesShown() const { return w_.Handles.VibratoHandlesShown; }

int RollEditor::pitchPointAt(double x, double y) const {
    if (!pitchPointsShown()) return -1;
    const auto& points = w_.Handles.PitchPointPos;
    for (int k = 0; k < points.size(); ++k) {
        const double px = points[k].X, py = points[k].Y;
        if (x >= px - 30 && x < px + 30 && y >= py - 30 && y < py + 30) return k;
    }
    return -1;
}

int RollEditor::vibratoHandleAt(double x, double y, bool edgesIncluded) const {
    if (!vibratoHandlesShown()) return -1;
    const auto& rects = w_.Handles.VibratoHandleRect;
    for (int k = 0; k < rects.size(); ++k) {
        const HandleRect& r = rects[k];
        const bool in = edgesIncluded ? (x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom)
                                      : (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom);
        if (in) return k;
    }
    return -1;
}

RollPointer RollEditor::vibratoPointer(int handle) const {
    switch (handle) {
    case 0:
    case 4:
    case 5:
        return RollPointer::SizeWE;
    case 1:
    case 6:
        return RollPointer::Cross;
    case 2:
    case 3:
        return RollPointer::SizeNS;
    default:
        return RollPointer::Default;
    }
}

qint32 RollEditor::GetNoteIntensity(qint32 note) const {
    const QStringList fields = w_.song.NoteExt.value(note).split(u'\t');
    if (fields.size() < 2 || fields[1].isEmpty()) return 100;
    return qint32(Vb::Val(fields[1]));
}

void RollEditor::SetNoteIntensity(qint32 note, qint32 value) {
    QStringList fields = w_.song.NoteExt[note].split(u'\t');
    while (fields.size() < 6) fields << QString();
    fields[1] = QString::number(value);
    w_.song.NoteExt[note] = fields.join(u'\t');
}

// ---------------------------------------------------------------------------------------------------
// Hit tests

void RollEditor::HitTestNoteRect(double x, double y, double& left, double& top, qint32& index) const {
    index = -1;
    const qint32 count = std::min<qint32>(w_.song.noteCount(), qint32(w_.NoteGeometry.size()));
    for (qint32 i = 0; i < count; ++i) {
        const NoteGeometryRecord& g = w_.NoteGeometry[i];
        left = g.Left;
        top = g.Top;
        if (x >= g.Left && x < g.Left + g.Width && y >= g.Top && y < g.Top + g.Height) {
            index = i;
            return;
        }
    }
}

qint32 RollEditor::FindNoteAtX(double x) const {
    const qint32 count = std::min<qint32>(w_.song.noteCount(), qint32(w_.NoteGeometry.size()));
    if (count <= 0 || x < w_.NoteGeometry[0].Left) return 0;
    for (qint32 i = 0; i < count; ++i) {
        const NoteGeometryRecord& g = w_.NoteGeometry[i];
        if (double(g.Left) + g.Width - 15 > x) {
            if (i + 1 < count && x >= w_.NoteGeometry[i + 1].Left) return i + 1;
            return i;
        }
    }
    return w_.song.noteCount();
}

double RollEditor::BoundaryXAt(double x) const {
    const qint32 count = std::min<qint32>(w_.song.noteCount(), qint32(w_.NoteGeometry.size()));
    if (count <= 0) return 0;
    const qint32 k = FindNoteAtX(x);
    if (k < count) return w_.NoteGeometry[k].Left;
    const NoteGeometryRecord& last = w_.NoteGeometry[count - 1];
    return double(last.Left) + last.Width;
}

// ---------------------------------------------------------------------------------------------------
// Feedback

void RollEditor::showFeedback() {
    MainWindowView& v = w_.view();
    const struct {
        const char* name;
        FeedbackItem RollFeedback::*item;
    } items[] = {
        {"Shape1", &RollFeedback::Shape1},   {"Shape2", &RollFeedback::Shape2}, {"Shape3", &RollFeedback::Shape3},
        {"shpHandle", &RollFeedback::shpHandle}, {"Line1", &RollFeedback::Line1}, {"Line2", &RollFeedback::Line2},
        {"lbNumber", &RollFeedback::lbNumber},
    };
    for (const auto& it : items) {
        const FeedbackItem& now = Feedback.*(it.item);
        FeedbackItem& was = shown_.*(it.item);
        const QString name = QString::fromLatin1(it.name);
        if (!shownOnce_ || now.rect != was.rect) v.setControlRect(name, now.rect);
        if (!shownOnce_ || now.visible != was.visible) v.setVisible(name, now.visible);
        was = now;
    }
    if (!shownOnce_ || Feedback.lbNumberCaption != shown_.lbNumberCaption)
        v.setText(QStringLiteral("lbNumber"), Feedback.lbNumberCaption);
    if (!shownOnce_ || Feedback.pointer != shown_.pointer) v.setMousePointer(kRoll, int(Feedback.pointer));
    shown_.lbNumberCaption = Feedback.lbNumberCaption;
    shown_.pointer = Feedback.pointer;
    shownOnce_ = true;
}

void RollEditor::resetDrag() {
    PreviewNoteOn = VibratoDrag = PitchPointDrag = EmptyDragActive = NoteDragActive = 0;
    MultiMoveActive = 0;
    Feedback.Shape1.visible = Feedback.Shape2.visible = Feedback.shpHandle.visible = false;
    Feedback.Line1.visible = Feedback.Line2.visible = Feedback.lbNumber.visible = false;
    showFeedback();
}

// ---------------------------------------------------------------------------------------------------
// Press

void RollEditor::Picture2_MouseDown(int button, int shift, double x, double y) {
    // 1. An open lyric box is committed first.
    w_.Boxes.commitLyricBoxPlain();
    // 2.
    w_.CurNote = -1;
    PitchPointIndex = -1;
    // The vibrato handle of an earlier press would otherwise keep the release's right click from the
    // roll's pop-up menus for good.
    VibratoHandleIndex = -1;
    // 3. Right button with Alt: play the note alone, or sound the row's key.
    if (button == 2 && shift == 4) {
        double left = 0, top = 0;
        qint32 hit = -1;
        HitTestNoteRect(x, y, left, top, hit);
        if (hit >= 0) {
            if (!IsRestLyric(w_.song.Lyrics[hit]))
                if (PlaybackCommands* p = w_.playback()) p->PlayTemp(hit, hit);
        } else {
            MidiNoteOn(int16_t(rowNoteAt(y)));
            PreviewNoteOn = -1;
        }
        return;
    }
    // 4. Pitch points.
    if (const int k = pitchPointAt(x, y); k >= 0) {
        PitchPointIndex = int16_t(k);
        pressPitchPoint(k, button, x, y);
        return;
    }
    // 5. Vibrato handles.
    if (const int k = vibratoHandleAt(x, y, false); k >= 0) {
        VibratoHandleIndex = int16_t(k);
        pressVibratoHandle(k, button, x, y);
        return;
    }
    // 6. Notes: a rectangle takes the press; the band one row lower marks the note and the scan goes on.
    const qint32 count = std::min<qint32>(w_.song.noteCount(), qint32(w_.NoteGeometry.size()));
    const double rh = w_.RowHeight();
    for (qint32 i = 0; i < count; ++i) {
        const NoteGeometryRecord& g = w_.NoteGeometry[i];
        if (!(x >= g.Left && x < double(g.Left) + g.Width)) continue;
        if (y >= g.Top && y < double(g.Top) + g.Height) {
            w_.CurNote = i;
            CurNoteBelow = 0;
            PressNote(i, button, shift, x - g.Left, y - g.Top);
            return;
        }
        if (y >= double(g.Top) + rh && y < double(g.Top) + g.Height + rh) {
            w_.CurNote = i;
            CurNoteBelow = -1;
        }
    }
    // 7. Empty roll: a range selection or a new note.
    if (button == 1 && y > 0) {
        EmptyDragActive = -1;
        const double height = w_.view().picture(kRoll).height();
        if (!w_.IsToolMode(shift)) {
            Feedback.Line1 = {TwipRect{x, 0, 15, height}, true};
            Feedback.Line2 = {TwipRect{x + 1, 0, 15, height}, true};
        } else {
            MainWindowView& v = w_.view();
            const int entry = v.value(QStringLiteral("Combo1"));
            const double length = entry >= 0 ? v.itemData(QStringLiteral("Combo1"), entry) : w_.NewNoteLength;
            Feedback.Shape1.rect = TwipRect{BoundaryXAt(x), Vb::Int(y / rh) * rh, length / double(w_.Zoom()), rh};
            Feedback.Shape1.visible = true;
        }
        showFeedback();
    }
    // 8.
    w_.DrawNotes();
}

void RollEditor::pressPitchPoint(int k, int button, double x, double y) {
    Song& s = w_.song;
    const qint32 sel = s.SelStart;
    if (button == 1) {
        PitchPointDrag = -1;
        PressX = qint32(roundEven(x));
        PressY = qint32(roundEven(y));
        const PitchPointRecord& p = w_.Handles.PitchPointPos[k];
        Feedback.shpHandle = {TwipRect{double(p.X) - 30, double(p.Y) - 30, 60, 60}, true};
        showFeedback();
        DragUndoBefore = propLine(sel);
        if (sel > 0) DragUndoBefore += QStringLiteral("\r\n") + propLine(sel - 1);
        return;
    }
    if (button != 2) return;
    MainWindowView& v = w_.view();
    const bool shapes = k > 0;
    for (int c = 0; c < 4; ++c) v.setVisible(QStringLiteral("mnCurve%1").arg(c), shapes);
    v.setVisible(QStringLiteral("mnSeparator34"), shapes);
    if (shapes) {
        const QString ext = s.NoteExt.value(sel);
        const QStringList letters = GetNoteOption(ext, QStringLiteral("PBM")).split(u' ');
        const QString letter = letters.value(k - 1);
        // The letter's place in " srj" (counted from 0): empty 0, "s" 1, "r" 2, "j" 3; another letter checks none.
        const int number = letter.isEmpty() ? 0 : int(QStringLiteral(" srj").indexOf(letter));
        for (int c = 0; c < 4; ++c) v.setValue(QStringLiteral("mnCurve%1").arg(c), c == number ? 1 : 0);
    }
    const QString pbw = GetNoteOption(s.NoteExt.value(sel), QStringLiteral("PBW"));
    v.setVisible(QStringLiteral("mnPBPDec"), pbw.split(u' ').size() >= 2);
    v.setVisible(QStringLiteral("mnPBPAdd"), true);
    v.setVisible(QStringLiteral("mnVBRAdd"), false);
    v.setVisible(QStringLiteral("mnVBRDel"), false);
    // The vibrato pop-up hides the settings item; the pitch-point pop-up offers it again.
    v.setVisible(QStringLiteral("mnSeparator37"), true);
    v.setVisible(QStringLiteral("mnPBMode2Prop"), true);
    int chosen = -1;
    v.popupMenu(QStringLiteral("mnTest4"), &chosen);
}

void RollEditor::pressVibratoHandle(int /*k*/, int button, double x, double y) {
    if (button == 1) {
        VibratoDrag = -1;
        PressX = qint32(roundEven(x));
        PressY = qint32(roundEven(y));
        DragUndoBefore = propLine(w_.song.SelStart);
        return;
    }
    if (button != 2) return;
    MainWindowView& v = w_.view();
    for (const char* item : {"mnCurve0", "mnCurve1", "mnCurve2", "mnCurve3", "mnSeparator34", "mnPBPAdd", "mnPBPDec",
                             "mnVBRAdd", "mnSeparator37", "mnPBMode2Prop"})
        v.setVisible(QString::fromLatin1(item), false);
    v.setVisible(QStringLiteral("mnVBRDel"), true);
    int chosen = -1;
    v.popupMenu(QStringLiteral("mnTest4"), &chosen);
}

void RollEditor::PressNote(qint32 note, int button, int shift, double dx, double dy) {
    Song& s = w_.song;
    const NoteGeometryRecord g = w_.NoteGeometry.value(note);
    const double rh = w_.RowHeight();
    if (button == 2) {
        if (note < std::min(s.SelStart, s.SelEnd) || note > std::max(s.SelStart, s.SelEnd)) {
            s.SelStart = s.SelEnd = note;
            w_.UpdateTempoStatus(g.NoteTempo);
            w_.DrawNotes();
        }
        return;
    }
    if (button != 1) return;
    // 1.
    w_.Boxes.commitLyricBoxPlain();
    // 2. Selection.
    if (shift == 1) {
        if (note < s.SelStart) s.SelStart = note;
        if (note > s.SelEnd) s.SelEnd = note;
    } else if (note >= std::min(s.SelStart, s.SelEnd) && note <= std::max(s.SelStart, s.SelEnd) &&
               s.SelStart != s.SelEnd) {
        MultiMoveActive = settings().MultiMove ? -1 : 0;
    } else {
        MultiMoveActive = 0;
        s.SelStart = s.SelEnd = note;
        w_.UpdateTempoStatus(g.NoteTempo);
    }
    // 3./4. The intensity label, shown for a press in the intensity band.
    IntensityAtPress = float(GetNoteIntensity(note) * 15);
    Feedback.lbNumberCaption = kFullWidthBlank + QString::number(qint64(roundEven(IntensityAtPress)) / 15);
    PressInResizeZone = InResizeZone(g, dx);
    if (!PressInResizeZone && dy < rh - 60 && curveShown()) {
        w_.view().setPictureColors(QStringLiteral("lbNumber"), settings().COLOR_NOTE_SEL, -1);
        Feedback.lbNumber.rect = TwipRect{std::max(0.0, double(g.Left) + 60), double(g.Top) - rh + 30, 600, 240};
        Feedback.lbNumber.visible = true;
        Feedback.Shape1.rect.width = g.Width;
    } else {
        Feedback.Shape1 = {TwipRect{g.Left, g.Top, g.Width, g.Height}, true};
        w_.CursorNoteNum = int(roundEven(84 - double(g.Top) / rh - w_.VScroll1.Value));
        w_.ShowToneAtCursor();
        Feedback.lbNumber.visible = false;
    }
    // 5.
    if (!PressInResizeZone && MultiMoveActive) {
        GetSelectionExtent(Feedback.Shape2, note);
        Feedback.Shape2.visible = true;
    }
    showFeedback();
    // 6.
    w_.DrawNotes();
    NoteDragActive = -1;
    NoteDragMoved = false;
    PressX = qint32(roundEven(dx));
    PressY = qint32(roundEven(dy));
}

void RollEditor::GetSelectionExtent(FeedbackItem& shape, qint32 note) const {
    const NoteGeometryRecord g = w_.NoteGeometry.value(note);
    double left = g.Left, right = double(g.Left) + g.Width, top = g.Top, bottom = double(g.Top) + g.Height;
    const double width = w_.view().picture(kRoll).width();
    const Song& s = w_.song;
    const qint32 step = s.SelEnd >= s.SelStart ? 1 : -1;
    const qint32 count = std::min<qint32>(s.noteCount(), qint32(w_.NoteGeometry.size()));
    for (qint32 i = s.SelStart;; i += step) {
        if (i >= 0 && i < count) {
            const NoteGeometryRecord& r = w_.NoteGeometry[i];
            if (r.Left <= width && double(r.Left) + r.Width >= 0) {
                left = std::min(left, double(r.Left));
                right = std::max(right, double(r.Left) + r.Width);
                top = std::min(top, double(r.Top));
                bottom = std::max(bottom, double(r.Top) + r.Height);
            }
        }
        if (i == s.SelEnd) break;
    }
    shape.rect = TwipRect{left, top, right - left, bottom - top};
}

// ---------------------------------------------------------------------------------------------------
// Move

void RollEditor::Picture2_MouseMove(int button, int shift, double x, double y) {
    const double rh = w_.RowHeight();
    if (VibratoDrag) {
        moveVibratoHandle(x, y);
        return;
    }
    if (PitchPointDrag) {
        movePitchPoint(x, y);
        return;
    }
    if (EmptyDragActive) {
        if (!w_.IsToolMode(shift)) {
            Feedback.Line2.rect.left = x;
            showFeedback();
            UpdateRangeSelection(shift, false);
        } else {
            const double zoom = w_.Zoom();
            Feedback.Shape1.rect.width = std::clamp(x - Feedback.Shape1.rect.left, 60.0, std::max(60.0, 30720 / zoom));
            Feedback.Shape1.rect.top = Vb::Int(y / rh) * rh;
            showFeedback();
        }
        return;
    }
    const qint32 cur = w_.CurNote;
    if (cur >= 0 && cur < w_.song.noteCount() && cur < w_.NoteGeometry.size() && NoteDragActive) {
        const NoteGeometryRecord& g = w_.NoteGeometry[cur];
        if (qint32(roundEven(x - g.Left)) != PressX || qint32(roundEven(y - g.Top)) != PressY) NoteDragMoved = true;
        TrackMouseHover(cur, button, shift, x - g.Left, y - g.Top);
        return;
    }
    // Hover.
    if (pitchPointAt(x, y) >= 0) {
        Feedback.pointer = RollPointer::Cross;
    } else if (const int k = vibratoHandleAt(x, y, true); k >= 0) {
        Feedback.pointer = vibratoPointer(k);
    } else {
        double left = 0, top = 0;
        qint32 hit = -1;
        HitTestNoteRect(x, y, left, top, hit);
        if (hit >= 0)
            TrackMouseHover(hit, button, shift, x - left, y - top);
        else
            Feedback.pointer = w_.IsToolMode(shift) ? RollPointer::DrawingTool : RollPointer::Default;
    }
    showFeedback();
    w_.CursorNoteNum = rowNoteAt(y);
    w_.ShowToneAtCursor();
}

bool RollEditor::InResizeZone(const NoteGeometryRecord& g, double dx) {
    // The width runs up to the first twip after the right border (a hit is left <= x < left + width), so
    // the zone starts 60 twips before that end: 4 whole pixels, the same for the pointer and the press.
    return dx >= double(g.Width) - 60;
}

void RollEditor::TrackMouseHover(qint32 note, int /*button*/, int shift, double dx, double dy) {
    const NoteGeometryRecord g = w_.NoteGeometry.value(note);
    const double rh = w_.RowHeight();
    const double zoom = w_.Zoom();
    if (!NoteDragActive) {
        if (InResizeZone(g, dx))
            Feedback.pointer = RollPointer::SizeWE;
        else if (!curveShown() || dy >= rh - 60)
            Feedback.pointer = RollPointer::Default;
        else
            Feedback.pointer = RollPointer::SizeNS;
        showFeedback();
        return;
    }
    if (PressInResizeZone) {
        // Resize: the outline goes no further than the release lets the note grow, so that what is
        // drawn is what is applied.
        if (dx > 40 / zoom && dx <= 30720 / zoom) Feedback.Shape1.rect.width = std::min(dx, resizeWidthLimit(note, shift));
    } else if (curveShown() && PressY < rh - 60) {
        // Intensity: one unit per 15 twips.
        const double value = std::clamp(double(IntensityAtPress) + (PressY - dy), 0.0, 3000.0);
        Feedback.lbNumberCaption = kFullWidthBlank + QString::number(qint64(Vb::Int(value / 15)));
    } else {
        // Move.
        const double oldTop = Feedback.Shape1.rect.top;
        Feedback.Shape1.rect.top = Vb::Int((double(g.Top) + dy) / rh) * rh;
        if (MultiMoveActive)
            Feedback.Shape2.rect.top += Feedback.Shape1.rect.top - oldTop;
        else
            Feedback.Shape1.rect.left = BoundaryXAt(double(g.Left) + dx);
        w_.CursorNoteNum = int(84 - Feedback.Shape1.rect.top / rh - w_.VScroll1.Value);
        w_.ShowToneAtCursor();
    }
    showFeedback();
}

void RollEditor::moveVibratoHandle(double x, double y) {
    Song& s = w_.song;
    const qint32 sel = s.SelStart;
    if (sel < 0 || sel >= s.noteCount()) return;
    QStringList f = GetNoteOption(s.NoteExt[sel], QStringLiteral("VBR")).split(u' ');
    const double dX = x - PressX;
    const double dY = y - PressY;
    if (f.size() >= 6) {
        while (f.size() < 8) f << QString();
        const NoteGeometryRecord g = w_.NoteGeometry.value(sel);
        const double width = g.Width;
        const double rh = w_.RowHeight();
        const double tpm = twipsPerMs(sel);
        const double f0 = Vb::Val(f[0]);
        const double f1 = Vb::Val(f[1]);
        struct Rule {
            int field;
            double value;
            double low, high;
        };
        Rule r{};
        switch (VibratoHandleIndex) {
        case 0: r = {0, f0 - dX / width * 100, 20, 100}; break;
        case 1: r = {1, f1 + dX / tpm, 64, 512}; break;
        case 2: r = {2, Vb::Val(f[2]) - dY / rh * 100, 5, 200}; break;
        case 3: r = {2, Vb::Val(f[2]) + dY / rh * 100, 5, 200}; break;
        case 4: r = {3, Vb::Val(f[3]) + dX / (width * f0) * 10000, 5, 100}; break;
        case 5: r = {4, Vb::Val(f[4]) - dX / (width * f0) * 10000, 5, 100}; break;
        case 6: r = {5, Vb::Val(f[5]) + dX / (tpm * f1) * 100, 0, 100}; break;
        case 7: r = {6, Vb::Val(f[6]) - dY / rh * 100, -100, 100}; break;
        default: r = {-1, 0, 0, 0}; break;
        }
        if (r.field >= 0) {
            // A field 0 or a cycle of 0 divides by zero: the field keeps its value.
            const double v = std::isfinite(r.value) ? std::clamp(r.value, r.low, r.high) : Vb::Val(f[r.field]);
            f[r.field] = Vb::Format(v, QStringLiteral("0.0"));
            SetNoteOption(s.NoteExt[sel], QStringLiteral("VBR"), f.join(u' '));
            w_.DrawBackground();
            w_.DrawNotes();
        }
    }
    PressX = qint32(roundEven(x));
    PressY = qint32(roundEven(y));
}

void RollEditor::movePitchPoint(double x, double y) {
    const Song& s = w_.song;
    const qint32 sel = s.SelStart;
    const int k = PitchPointIndex;
    const auto& pts = w_.Handles.PitchPointPos;
    if (sel < 0 || sel >= s.noteCount() || k < 0 || k >= pts.size()) return;
    const NoteGeometryRecord g = w_.NoteGeometry.value(sel);
    const double rh = w_.RowHeight();
    const double vs = w_.VScroll1.Value;
    const double zoom = w_.Zoom();
    auto rowCentre = [&](qint32 n) { return (84 - s.NoteNums[n] - vs + 0.5) * rh; };
    const double yc = rowCentre(sel);
    const double span = 20 * rh;
    double cx = double(pts[k].X) + (x - PressX);
    double cy = double(pts[k].Y) + (y - PressY);
    const int last = int(pts.size()) - 1;
    if (k > 0) {
        const double lowX = pts[k - 1].X;
        const double highX = k < last ? double(pts[k + 1].X) : double(g.Left) + g.Width;
        cx = std::min(std::max(cx, lowX), highX);
        cy = std::clamp(cy, yc - span, yc + span);
        if (k == last) cy = yc;
    } else {
        const double soundStart = double(g.Left) - double(g.PreUtterMs) * twipsPerMs(sel);
        double lowX;
        if (sel == 0)
            lowX = double(g.Left) - 960 / zoom;
        else
            lowX = std::min(soundStart, double(w_.NoteGeometry.value(sel - 1).Left));
        double highX = double(g.Left) + g.Width - 15;
        if (last >= 1) highX = std::min(highX, double(pts[1].X));
        cx = std::min(std::max(cx, lowX), highX);
        if (sel == 0) {
            cy = yc;
        } else if (IsRestLyric(s.Lyrics[sel - 1])) {
            cy = cx < soundStart ? std::clamp(cy, yc - span, yc + span) : yc;
        } else {
            cy = rowCentre(sel - 1);
        }
    }
    Feedback.shpHandle = {TwipRect{cx - 30, cy - 30, 60, 60}, true};
    showFeedback();
}

// ---------------------------------------------------------------------------------------------------
// Range selection

void RollEditor::UpdateRangeSelection(int shift, bool apply) {
    Song& s = w_.song;
    MainWindowView& v = w_.view();
    RollCanvas& roll = v.picture(kRoll);
    const double zoom = w_.Zoom();
    const double rollWidth = roll.width();
    const qint32 count = std::min<qint32>(s.noteCount(), qint32(w_.NoteGeometry.size()));
    // 1. Scroll by one beat when the pointer's note reaches past an edge; Line1 keeps its song position.
    const double x2 = Feedback.Line2.rect.left;
    for (qint32 i = 0; i < count; ++i) {
        const NoteGeometryRecord& g = w_.NoteGeometry[i];
        if (!(g.Left <= x2 && x2 <= double(g.Left) + g.Width)) continue;
        int step = 0;
        if (g.Left < 0) step = -1;
        else if (double(g.Left) + g.Width > rollWidth) step = 1;
        if (step != 0 && w_.HScroll1.holds(w_.HScroll1.Value + step)) {
            w_.SetHScrollValue(w_.HScroll1.Value + step);
            Feedback.Line1.rect.left -= step * 1920 / zoom;
        }
        break;
    }
    // 2.
    const double from = std::min(Feedback.Line1.rect.left, Feedback.Line2.rect.left);
    const double to = std::max(Feedback.Line1.rect.left, Feedback.Line2.rect.left);
    qint32 first = s.noteCount(), last = s.noteCount();
    qint32 keepLow = 1, keepHigh = 0;
    if (shift == 1) {
        first = s.SelStart;
        last = s.SelEnd;
        keepLow = std::min(s.SelStart, s.SelEnd);
        keepHigh = std::max(s.SelStart, s.SelEnd);
    }
    // 3./4. Lay the notes out from time 0 and redraw the visible ones in their new state. Every left edge
    // moves, so the next note drawing moves every record it does not draw.
    w_.NoteLayer.Drawn.forget();
    const NoteColors colors = NoteColors::fromSettings();
    const bool curves = curveShown();
    const double rh = w_.RowHeight();
    double x = -double(w_.HScroll1.Value) * 1920 / zoom;
    double seconds = 0;
    bool firstFound = false;
    for (qint32 i = 0; i < count; ++i) {
        NoteGeometryRecord& g = w_.NoteGeometry[i];
        const double len = s.Lengths[i];
        double tempo = g.NoteTempo;
        if (tempo == 0) tempo = s.Tempo > 0 ? s.Tempo : 120;
        g.Left = float(x);
        g.Width = float(len / zoom + 15);
        const bool in = (double(g.Left) + g.Width >= from && g.Left <= to) || (i >= keepLow && i <= keepHigh);
        if (in) {
            seconds += len / (tempo * 32);
            if (!firstFound) {
                first = i;
                firstFound = true;
            }
            last = i;
        }
        if (double(g.Left) + g.Width > 0 && g.Left < rollWidth) {
            const bool rest = IsRestLyric(s.Lyrics[i]);
            const bool top = in && i == first;
            const int32_t fill = top ? (rest ? colors.NoteRTop : colors.NoteTop)
                                 : in ? (rest ? colors.NoteRSel : colors.NoteSel)
                                      : (rest ? colors.NoteRNor : colors.NoteNor);
            const int32_t text = top ? colors.NoteTTop : in ? colors.NoteTSel : colors.NoteTNor;
            if (!curves) {
                const double r = double(g.Left) + g.Width - 15, b = double(g.Top) + g.Height - 15;
                roll.fillBox(g.Left, g.Top, r, b, fill);
                roll.box(g.Left, g.Top, r, b, text);
                roll.print(double(g.Left) + 15, double(g.Top) + 15, s.Lyrics[i], text);
            } else if (!rest) {
                roll.fillBox(g.Left, double(g.Top) + rh - 30, double(g.Left) + g.Width - 15, double(g.Top) + rh, fill);
            }
        }
        x += len / zoom;
    }
    // 5.
    if (apply) {
        s.SelStart = first;
        s.SelEnd = last;
    }
    // 6.
    if (s.SelStart >= 0 && s.SelStart < count)
        v.setText(QStringLiteral("txtTempo"), Vb::Format(w_.NoteGeometry[s.SelStart].NoteTempo, QStringLiteral("0.00")));
    v.setStatusText(2, Vb::Format(seconds, QStringLiteral("0.000000")) + QStringLiteral(" sec"));
    v.refreshPictures();
}

}  // namespace tova
