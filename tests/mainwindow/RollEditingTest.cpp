// Direct editing on the roll, driven through the pointer handlers in twips: what a press starts, what a
// move shows, and what the release commits as one undo step.
#include "RollEditingFixture.h"

#include "core/Midi.h"
#include "core/MidiHost.h"
#include "platform/Cp932.h"
#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

const QString R = QStringLiteral("R");
const QString A = QStringLiteral("あ");
const QString I = QStringLiteral("い");
const QString U = QStringLiteral("う");
const QString E = QStringLiteral("え");

TEST(RollEditing, HitTestsOnTheDrawnGeometry) {
    RollRig rig;
    RollEditor& r = rig.roll();
    const double top = RollRig::rowTop(40);
    double left = 0, t = 0;
    qint32 hit = 0;
    // Note 0's record reaches 15 twips into note 1 (its box is drawn 15 twips narrower).
    r.HitTestNoteRect(960 + 10, top + 10, left, t, hit);
    EXPECT_EQ(hit, 0);
    r.HitTestNoteRect(960 + 20, top + 10, left, t, hit);
    EXPECT_EQ(hit, 1);
    EXPECT_EQ(left, 960);
    // Note 1's record is 975 twips wide: its right and bottom edges miss it.
    r.HitTestNoteRect(960 + 975, top + 10, left, t, hit);
    EXPECT_EQ(hit, 2);
    r.HitTestNoteRect(100, top + 255, left, t, hit);
    EXPECT_EQ(hit, -1);
    // Insertion boundaries: the last 15 twips of a note count for the next one.
    EXPECT_EQ(r.FindNoteAtX(-10), 0);
    EXPECT_EQ(r.FindNoteAtX(500), 0);
    EXPECT_EQ(r.FindNoteAtX(950), 0);
    EXPECT_EQ(r.FindNoteAtX(965), 1);
    EXPECT_EQ(r.BoundaryXAt(965), 960);
    EXPECT_EQ(r.FindNoteAtX(5000), 4);
    EXPECT_EQ(r.BoundaryXAt(5000), 2880 + 975);

    rig.setSong({});
    r.HitTestNoteRect(10, 10, left, t, hit);
    EXPECT_EQ(hit, -1);
    EXPECT_EQ(r.FindNoteAtX(10), 0);
    EXPECT_EQ(r.BoundaryXAt(10), 0);
}

// Dragging a note body to another place: the order of the notes after the release, and undo.
TEST(RollEditing, MovingNotesInTheSequence) {
    const struct {
        const char* name;
        int from;           // pressed note
        double toX;         // pointer x at the release (the press is 100 twips into the note)
        int rowsUp;
        int shift;          // at the release
        QStringList lyrics;
        QList<qint32> notes;
    } cases[] = {
        {"onto a note to the right: after it", 0, 2880 + 100, 0, 0, {I, U, E, A}, {40, 40, 40, 40}},
        {"onto a note to the left: before it", 3, 960 + 100, 0, 0, {A, E, I, U}, {40, 40, 40, 40}},
        {"with Shift the note is copied", 0, 2880 + 100, 0, 1, {A, I, U, E, A}, {40, 40, 40, 40, 40}},
        {"a row up in place: transposed", 1, 960 + 100, 1, 0, {A, I, U, E}, {40, 41, 40, 40}},
        {"moved and transposed", 3, 1920 + 100, 2, 0, {A, I, E, U}, {40, 40, 42, 40}},
        {"dropped at the song's left edge: only transposed", 3, 100, 1, 0, {A, I, U, E}, {40, 40, 40, 41}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RollRig rig;
        const double top = RollRig::rowTop(40);
        const double x0 = rig.g(c.from).Left + 100;
        rig.drag(x0, top + 200, c.toX, top + 200 - c.rowsUp * RollRig::RowHeight, 0, c.shift);
        EXPECT_EQ(rig.lyrics(), c.lyrics);
        EXPECT_EQ(rig.song().NoteNums, c.notes);
        EXPECT_EQ(rig.lastUndoCaption(), QStringLiteral("ノートの変更"));
        EXPECT_FALSE(rig.roll().Feedback.Shape1.visible);
        EXPECT_EQ(rig.roll().NoteDragActive, 0);
        rig.undo();
        EXPECT_EQ(rig.lyrics(), (QStringList{A, I, U, E}));
        EXPECT_EQ(rig.song().NoteNums, (QList<qint32>{40, 40, 40, 40}));
    }
}

TEST(RollEditing, MultiMoveTransposesTheSelectionAndHoldsTheTopNote) {
    RollRig rig;
    settings().MultiMove = true;
    rig.song().NoteNums[2] = 83;
    rig.song().SelStart = 0;
    rig.song().SelEnd = 2;
    rig.redraw();
    const double top = RollRig::rowTop(40);
    rig.roll().Picture2_MouseDown(1, 0, 1000, top + 100);
    EXPECT_EQ(rig.roll().MultiMoveActive, -1);
    EXPECT_TRUE(rig.roll().Feedback.Shape2.visible);
    const double shape2Top = rig.roll().Feedback.Shape2.rect.top;
    rig.roll().Picture2_MouseMove(1, 0, 1000, top + 100 - RollRig::RowHeight);
    EXPECT_EQ(rig.roll().Feedback.Shape2.rect.top, shape2Top - RollRig::RowHeight);
    rig.roll().Picture2_MouseUp(1, 0, 1000, top + 100 - RollRig::RowHeight);
    EXPECT_EQ(rig.song().NoteNums, (QList<qint32>{41, 41, 83, 40}));
    EXPECT_EQ(rig.lyrics(), (QStringList{A, I, U, E}));
}

// A resize from the last 60 twips of a note: its new length and what happens to the note after it.
TEST(RollEditing, ResizingAndTheFollowingNote) {
    const struct {
        const char* name;
        QString next;      // lyric of note 1
        double width;      // Shape1 width at the release (the pointer's offset in the note)
        int shift;
        QList<qint32> lengths;
        QStringList lyrics;
    } cases[] = {
        {"shortened before a rest: the rest grows", R, 615, 0, {1200, 2640, 1920}, {A, R, U}},
        {"lengthened near the rest's end: the rest goes", R, 1900, 0, {3840, 1920}, {A, U}},
        {"shortened before a sung note: a rest is inserted", I, 615, 0, {1200, 720, 1920, 1920}, {A, R, I, U}},
        {"cut of 80 ticks or less before a sung note: unchanged", I, 935, 0, {1920, 1920, 1920}, {A, I, U}},
        {"lengthened before a sung note: unchanged", I, 1200, 0, {1920, 1920, 1920}, {A, I, U}},
        {"Ctrl shares the two notes' total", I, 615, 2, {1200, 2640, 1920}, {A, I, U}},
        {"Shift+Ctrl splits the note", I, 615, 3, {1200, 720, 1920, 1920}, {A, A, I, U}},
        {"Shift alone leaves the next note alone", R, 615, 1, {1200, 1920, 1920}, {A, R, U}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RollRig rig;
        rig.setSong({{1920, A, 40, RollRig::Fields}, {1920, c.next, 40, RollRig::Fields}, {1920, U, 40, RollRig::Fields}});
        const double top = RollRig::rowTop(40);
        rig.drag(945, top + 100, c.width, top + 100, c.shift);
        EXPECT_EQ(rig.lengths(), c.lengths);
        EXPECT_EQ(rig.lyrics(), c.lyrics);
        if (rig.lengths() != QList<qint32>{1920, 1920, 1920}) {
            EXPECT_EQ(rig.lastUndoCaption(), QStringLiteral("ノートの変更"));
            rig.undo();
            EXPECT_EQ(rig.lengths(), (QList<qint32>{1920, 1920, 1920}));
            EXPECT_EQ(rig.lyrics(), (QStringList{A, c.next, U}));
        } else {
            EXPECT_EQ(rig.song().UndoPos, 0);
        }
    }
}

// A press and release at one point on a note (no drag) never changes the song, whatever the zoom rounds
// the drawn width to.
TEST(RollEditing, AClickOnANoteChangesNothing) {
    for (const qint32 length : {180, 420, 1860, 1920}) {
        for (const double zoom : {8.0, 2.0}) {
            SCOPED_TRACE(std::to_string(length) + " ticks at zoom " + std::to_string(zoom));
            RollRig rig;
            rig.form->setValue(QStringLiteral("cmbQuntize"), 2);  // 240 ticks
            rig.setSong({{length, A, 40, RollRig::Fields}, {120, R, 40, RollRig::Fields}, {1920, U, 40, RollRig::Fields}});
            rig.w().Scale.Zoom = float(zoom);
            rig.redraw();
            const NoteGeometryRecord g = rig.g(0);
            for (const double at : {0.5, 0.95}) {
                rig.click(1, 0, g.Left + g.Width * at, g.Top + 100);
                EXPECT_EQ(rig.lengths(), (QList<qint32>{length, 120, 1920}));
                EXPECT_EQ(rig.lyrics(), (QStringList{A, R, U}));
                EXPECT_EQ(rig.song().UndoPos, 0);
            }
        }
    }
}

TEST(RollEditing, DrawingANoteTakesTheQueueAndTheQuantiseStep) {
    const struct {
        int quantizeEntry;  // of cmbQuntize
        double width;       // pointer offset from the preview's left edge
        qint32 length;
    } cases[] = {
        {9, 500, 1000},  // no step: the width in whole ticks, cut
        {2, 500, 960},   // 240 ticks: cut to 4 steps
        {9, 10, 120},    // the preview stays 60 twips wide
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        RollRig rig;
        rig.form->setValue(QStringLiteral("cmbQuntize"), c.quantizeEntry);
        rig.form->setValue(QStringLiteral("optMode"), 1, 1);
        rig.form->setText(QStringLiteral("Text2"), QStringLiteral(" か き "));
        const double y = RollRig::rowTop(50) + 100;
        rig.roll().Picture2_MouseDown(1, 0, 1000, y);
        // The preview starts at the boundary of note 1 with the chosen length (a quarter note).
        EXPECT_TRUE(rig.roll().Feedback.Shape1.visible);
        EXPECT_EQ(rig.roll().Feedback.Shape1.rect.left, 960);
        EXPECT_EQ(rig.roll().Feedback.Shape1.rect.width, 960);
        rig.roll().Picture2_MouseMove(1, 0, 960 + c.width, y);
        EXPECT_EQ(rig.roll().Feedback.Shape1.rect.width, std::max(60.0, c.width));
        rig.roll().Picture2_MouseUp(1, 0, 960 + c.width, y);
        ASSERT_EQ(rig.song().noteCount(), 5);
        EXPECT_EQ(rig.song().Lyrics[1], QStringLiteral("か"));
        EXPECT_EQ(rig.song().NoteNums[1], 50);
        EXPECT_EQ(rig.song().Lengths[1], c.length);
        EXPECT_EQ(rig.song().SelStart, 1);
        EXPECT_EQ(rig.w().CurNote, 1);
        EXPECT_EQ(rig.form->text(QStringLiteral("Text2")), QStringLiteral("き"));
        EXPECT_EQ(rig.lastUndoCaption(), QStringLiteral("ノートの挿入"));
        // One step takes the note and the queue back.
        rig.undo();
        EXPECT_EQ(rig.lyrics(), (QStringList{A, I, U, E}));
        EXPECT_EQ(rig.form->text(QStringLiteral("Text2")), QStringLiteral(" か き "));
    }
}

TEST(RollEditing, RangeSelectionBetweenTheLines) {
    RollRig rig;
    const double y = RollRig::rowTop(50) + 100;
    rig.roll().Picture2_MouseDown(1, 0, 100, y);
    EXPECT_TRUE(rig.roll().Feedback.Line1.visible);
    EXPECT_TRUE(rig.roll().Feedback.Line2.visible);
    rig.roll().Picture2_MouseMove(1, 0, 2000, y);
    EXPECT_EQ(rig.roll().Feedback.Line2.rect.left, 2000);
    // The live update shows the range's duration but keeps the selection.
    EXPECT_EQ(rig.form->statusText(2), QStringLiteral("1.500000 sec"));
    EXPECT_EQ(rig.song().SelEnd, 0);
    rig.roll().Picture2_MouseUp(1, 0, 2000, y);
    EXPECT_EQ(rig.song().SelStart, 0);
    EXPECT_EQ(rig.song().SelEnd, 2);
    EXPECT_FALSE(rig.roll().Feedback.Line1.visible);
    EXPECT_EQ(rig.song().UndoPos, 0);
    // With Shift the range adds to the selection.
    rig.song().SelStart = rig.song().SelEnd = 3;
    rig.roll().Picture2_MouseDown(1, 1, 100, y);
    rig.roll().Picture2_MouseMove(1, 1, 500, y);
    rig.roll().Picture2_MouseUp(1, 1, 500, y);
    EXPECT_EQ(rig.song().SelStart, 0);
    EXPECT_EQ(rig.song().SelEnd, 3);
    // A press at the top edge starts nothing.
    rig.roll().Picture2_MouseDown(1, 0, 100, 0);
    EXPECT_EQ(rig.roll().EmptyDragActive, 0);
}

TEST(RollEditing, IntensityDragInTheCurveView) {
    RollRig rig;
    rig.form->setValue(QStringLiteral("mnShowCurve"), 1);
    rig.redraw();
    const double top = rig.g(1).Top;
    rig.roll().Picture2_MouseDown(1, 0, 1060, top + 100);
    EXPECT_TRUE(rig.roll().Feedback.lbNumber.visible);
    EXPECT_EQ(rig.roll().Feedback.lbNumberCaption, QStringLiteral("　100"));
    // One unit per 15 twips upwards.
    rig.roll().Picture2_MouseMove(1, 0, 1060, top + 100 - 150);
    EXPECT_EQ(rig.roll().Feedback.lbNumberCaption, QStringLiteral("　110"));
    rig.roll().Picture2_MouseUp(1, 0, 1060, top + 100 - 150);
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[1], 1), QStringLiteral("110"));
    EXPECT_EQ(rig.lengths(), (QList<qint32>{1920, 1920, 1920, 1920}));
    EXPECT_EQ(rig.song().UndoPos, 1);
    // Far down it stops at 0; back to the own value it records nothing.
    rig.drag(1060, top + 100, 1060, top + 100 + 5000);
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[1], 1), QStringLiteral("0"));
    rig.drag(1060, top + 100, 1060, top + 100);
    EXPECT_EQ(rig.song().UndoPos, 2);
    rig.undo();
    rig.undo();
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[1], 1), QString());

    // A selection moved as a whole changes every note by the same amount, held within 0..200.
    settings().MultiMove = true;
    rig.roll().SetNoteIntensity(0, 195);
    rig.song().SelStart = 0;
    rig.song().SelEnd = 2;
    rig.redraw();
    rig.drag(1060, top + 100, 1060, top + 100 - 150);
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[0], 1), QStringLiteral("200"));
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[1], 1), QStringLiteral("110"));
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[2], 1), QStringLiteral("110"));
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[3], 1), QString());
    EXPECT_EQ(rig.song().UndoPos, 1);
}

TEST(RollEditing, VibratoHandlesChangeTheirFieldWithinLimits) {
    // Note 0: 975 twips wide, 1.92 twips a millisecond (tempo 120, zoom 2), rows of 240 twips.
    // The list is padded to eight fields when written back.
    const QString start = QStringLiteral("65 180 35 20 20 0 0");
    const struct {
        int handle;
        double dx, dy;
        QString vbr;
    } cases[] = {
        {0, 97.5, 0, QStringLiteral("55.0 180 35 20 20 0 0 ")},
        {0, 2000, 0, QStringLiteral("20.0 180 35 20 20 0 0 ")},
        {1, 192, 0, QStringLiteral("65 280.0 35 20 20 0 0 ")},
        {1, 5000, 0, QStringLiteral("65 512.0 35 20 20 0 0 ")},
        {2, 0, -24, QStringLiteral("65 180 45.0 20 20 0 0 ")},
        {3, 0, 24, QStringLiteral("65 180 45.0 20 20 0 0 ")},
        {3, 0, -2400, QStringLiteral("65 180 5.0 20 20 0 0 ")},
        {4, 63.375, 0, QStringLiteral("65 180 35 30.0 20 0 0 ")},
        {5, -63.375, 0, QStringLiteral("65 180 35 20 30.0 0 0 ")},
        {6, -10, 0, QStringLiteral("65 180 35 20 20 0.0 0 ")},
        {7, 0, 24000, QStringLiteral("65 180 35 20 20 0 -100.0 ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handle);
        RollRig rig;
        SetNoteOption(rig.song().NoteExt[0], QStringLiteral("VBR"), start);
        RollEditor& r = rig.roll();
        r.VibratoDrag = -1;
        r.VibratoHandleIndex = int16_t(c.handle);
        r.PressX = 1000;
        r.PressY = 1000;
        r.DragUndoBefore = rig.song().SerializeNote(QStringLiteral("PROP"), 0);
        r.Picture2_MouseMove(1, 0, 1000 + c.dx, 1000 + c.dy);
        EXPECT_EQ(GetNoteOption(rig.song().NoteExt[0], QStringLiteral("VBR")), c.vbr);
        EXPECT_EQ(r.PressX, qint32(std::nearbyint(1000 + c.dx)));
    }
    // Five fields are never changed; a release without a move still records the step.
    RollRig rig;
    SetNoteOption(rig.song().NoteExt[0], QStringLiteral("VBR"), QStringLiteral("65 180 35 20 20"));
    RollEditor& r = rig.roll();
    r.VibratoDrag = -1;
    r.VibratoHandleIndex = 1;
    r.DragUndoBefore = rig.song().SerializeNote(QStringLiteral("PROP"), 0);
    r.Picture2_MouseMove(1, 0, 3000, 100);
    EXPECT_EQ(GetNoteOption(rig.song().NoteExt[0], QStringLiteral("VBR")), QStringLiteral("65 180 35 20 20"));
    r.Picture2_MouseUp(1, 0, 3000, 100);
    EXPECT_EQ(rig.lastUndoCaption(), QStringLiteral("ビブラートの変更"));
    EXPECT_EQ(r.VibratoDrag, 0);
}

TEST(RollEditing, PitchPointReleaseWritesThePoints) {
    // Note 1 (left 960, note 40, row centre 3480) at 1.92 twips a millisecond; points PBS -30, widths 80 40.
    const double centre = (84 - 40 - 30 + 0.5) * RollRig::RowHeight;
    const struct {
        int point;
        double px, py;  // handle centre relative to the note's left edge, and absolute y
        QString pbs, pbw, pby;
    } cases[] = {
        // The start point 95 twips before the note (49.5 ms, cut to -50) and a tenth of a row up; the
        // first width keeps the second point in place.
        {0, -95, centre - 24, QStringLiteral("-50;1"), QStringLiteral("100 40"), QStringLiteral("5")},
        // A middle point: its width, the next width that keeps the point after it, and its height.
        // (The heights are kept as many as the widths.)
        {1, 100, centre - 130, QStringLiteral("-30"), QStringLiteral("82 38"), QStringLiteral("5.4 ")},
        // The last point keeps its height.
        {2, 200, centre, QStringLiteral("-30"), QStringLiteral("80 54"), QStringLiteral("5")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.point);
        RollRig rig;
        QString& ext = rig.song().NoteExt[1];
        SetNoteOption(ext, QStringLiteral("PBS"), QStringLiteral("-30"));
        SetNoteOption(ext, QStringLiteral("PBW"), QStringLiteral("80 40"));
        SetNoteOption(ext, QStringLiteral("PBY"), QStringLiteral("5"));
        rig.song().SelStart = rig.song().SelEnd = 1;
        rig.redraw();
        RollEditor& r = rig.roll();
        r.PitchPointDrag = -1;
        r.PitchPointIndex = int16_t(c.point);
        r.DragUndoBefore = rig.song().SerializeNote(QStringLiteral("PROP"), 1);
        r.Feedback.shpHandle = {TwipRect{960 + c.px - 30, c.py - 30, 60, 60}, true};
        r.Picture2_MouseUp(1, 0, 0, 0);
        EXPECT_EQ(GetNoteOption(rig.song().NoteExt[1], QStringLiteral("PBS")), c.pbs);
        EXPECT_EQ(GetNoteOption(rig.song().NoteExt[1], QStringLiteral("PBW")), c.pbw);
        EXPECT_EQ(GetNoteOption(rig.song().NoteExt[1], QStringLiteral("PBY")), c.pby);
        EXPECT_EQ(rig.lastUndoCaption(), QStringLiteral("ピッチベンドの変更"));
        EXPECT_FALSE(r.Feedback.shpHandle.visible);
        rig.undo();
        EXPECT_EQ(GetNoteOption(rig.song().NoteExt[1], QStringLiteral("PBW")), QStringLiteral("80 40"));
    }
}

TEST(RollEditing, PitchPointPressAndDragOnTheDrawnHandles) {
    RollRig rig;
    rig.form->setValue(QStringLiteral("mnShowCurve"), 1);
    rig.form->setValue(QStringLiteral("chkAutoPitchMode2"), 1);
    QString& ext = rig.song().NoteExt[0];
    SetNoteOption(ext, QStringLiteral("PBS"), QStringLiteral("-30"));
    SetNoteOption(ext, QStringLiteral("PBW"), QStringLiteral("80 40"));
    rig.redraw();
    const auto& points = rig.w().Handles.PitchPointPos;
    ASSERT_EQ(points.size(), 3);
    // The first point of the first note stops half a beat (960 ticks, 480 twips) before the note.
    rig.roll().Picture2_MouseDown(1, 0, points[0].X, points[0].Y);
    EXPECT_EQ(rig.roll().PitchPointIndex, 0);
    EXPECT_TRUE(rig.roll().Feedback.shpHandle.visible);
    rig.roll().Picture2_MouseMove(1, 0, points[0].X - 5000, points[0].Y - 5000);
    EXPECT_EQ(rig.roll().Feedback.shpHandle.rect.left + 30, -480);
    // On the first note its height stays on the note's row.
    EXPECT_EQ(rig.roll().Feedback.shpHandle.rect.top + 30, (84 - 40 - 30 + 0.5) * RollRig::RowHeight);
    rig.roll().Picture2_MouseUp(1, 0, 0, 0);
    EXPECT_NEAR(Vb::Val(GetNoteOption(rig.song().NoteExt[0], QStringLiteral("PBS"))), -250, 1);

    // A right press on the first point shows the pop-up without the shape items.
    rig.redraw();
    rig.roll().Picture2_MouseDown(2, 0, points[0].X, points[0].Y);
    EXPECT_FALSE(rig.form->visible(QStringLiteral("mnCurve0")));
    EXPECT_TRUE(rig.form->visible(QStringLiteral("mnPBPDec")));
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 1);
    // On the second point they show, with the segment's shape checked.
    rig.roll().Picture2_MouseDown(2, 0, points[1].X, points[1].Y);
    EXPECT_TRUE(rig.form->visible(QStringLiteral("mnCurve0")));
    EXPECT_EQ(rig.form->value(QStringLiteral("mnCurve0")), 1);
    EXPECT_EQ(rig.form->value(QStringLiteral("mnCurve1")), 0);
}

// The note pop-up's items by the selection and the note under the pointer.
TEST(RollEditing, RightClickOnANote) {
    const struct {
        const char* name;
        int selEnd;     // selection 0..selEnd, the click on note 0 (a rest) or note 1
        int note;
        bool toneGen, envelope, tonePitch, length, tempo, separator, prop;
        QString caption;
    } cases[] = {
        {"one rest", 0, 0, false, false, false, true, true, false, false, QStringLiteral("プロパティ")},
        {"one sung note", 1, 1, true, true, true, true, true, true, true, QStringLiteral("プロパティ")},
        {"several notes", 2, 1, true, false, false, false, false, false, true, QStringLiteral("複数選択のプロパティ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RollRig rig;
        rig.setSong({{1920, R, 40, RollRig::Fields}, {1920, I, 40, RollRig::Fields}, {1920, U, 40, RollRig::Fields}});
        rig.song().SelStart = c.note == 0 ? 0 : 1;
        rig.song().SelEnd = c.selEnd;
        rig.redraw();
        const double x = rig.g(c.note).Left + 100, y = RollRig::rowTop(40) + 100;
        rig.click(2, 0, x, y);
        EXPECT_EQ(rig.roll().RulerNote, c.note);
        EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 1);
        Form1& f = *rig.form;
        EXPECT_EQ(f.visible(QStringLiteral("mnToneGen")), c.toneGen);
        EXPECT_EQ(f.visible(QStringLiteral("mnEnvelope")), c.envelope);
        EXPECT_EQ(f.visible(QStringLiteral("mnTonePitch")), c.tonePitch);
        EXPECT_EQ(f.visible(QStringLiteral("mnNoteLength")), c.length);
        EXPECT_EQ(f.visible(QStringLiteral("mnSetTempo")), c.tempo);
        EXPECT_EQ(f.visible(QStringLiteral("mnSeparator25")), c.separator);
        EXPECT_EQ(f.visible(QStringLiteral("mnToneProp")), c.prop);
        if (c.prop) EXPECT_EQ(f.text(QStringLiteral("mnToneProp")), c.caption);
    }
    // A right click on the top row of empty roll opens nothing; lower down the roll's pop-up.
    RollRig rig;
    rig.click(2, 0, 100, 100);
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 0);
    rig.roll().Picture2_MouseUp(2, 0, 100, 1000);
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 1);
}

TEST(RollEditing, NotePressSelection) {
    RollRig rig;
    const double y = RollRig::rowTop(40) + 100;
    rig.song().SelStart = 2;
    rig.song().SelEnd = 3;
    // Shift+press before the selection moves its start and keeps its end.
    rig.click(1, 1, 100, y);
    EXPECT_EQ(rig.song().SelStart, 0);
    EXPECT_EQ(rig.song().SelEnd, 3);
    // A right press inside the selection keeps it; outside it selects the note.
    rig.roll().Picture2_MouseDown(2, 0, 1000, y);
    EXPECT_EQ(rig.song().SelEnd, 3);
    rig.song().SelStart = rig.song().SelEnd = 0;
    rig.roll().Picture2_MouseDown(2, 0, 2000, y);
    EXPECT_EQ(rig.song().SelStart, 2);
    EXPECT_EQ(rig.song().SelEnd, 2);
    // A press inside a selection of one note never moves the selection as a whole.
    rig.roll().Picture2_MouseDown(1, 0, 2000, y);
    EXPECT_EQ(rig.roll().MultiMoveActive, 0);
    rig.roll().Picture2_MouseUp(1, 0, 2000, y);
    // A plain click selects the pressed note and records nothing.
    rig.song().SelStart = 0;
    rig.song().SelEnd = 3;
    rig.click(1, 0, 2000, y);
    EXPECT_EQ(rig.song().SelStart, 2);
    EXPECT_EQ(rig.song().SelEnd, 2);
    EXPECT_EQ(rig.song().UndoPos, 0);
    // A release with no drag does nothing.
    rig.roll().Picture2_MouseUp(1, 0, 2000, y);
    EXPECT_EQ(rig.song().UndoPos, 0);
}

// The key-preview tone of a keyboard without a MIDI output.
class PreviewTones : public MidiHost {
public:
    QList<int> tones;
    void PlayToneSample(int16_t noteNum) override { tones << noteNum; }
    void InsertLyricsFromList(QString&, int32_t&, int32_t&, bool) override {}
    void UpdatePlayCursor(int32_t&) override {}
    void LocateTimeInNotes(int32_t&, int32_t&, int32_t&) override {}
};

TEST(RollEditing, KeyboardStripSoundsTheKeyUnderThePointer) {
    RollRig rig;
    PreviewTones host;
    SetMidiHost(&host);
    RulerInput& k = rig.w().Ruler;
    k.Picture3_MouseDown(1, 0, 100, RollRig::rowTop(45) + 10);
    EXPECT_EQ(host.tones, (QList<int>{45}));
    EXPECT_EQ(rig.roll().PreviewNoteOn, -1);
    k.Picture3_MouseMove(1, 0, 100, RollRig::rowTop(47) + 10);
    EXPECT_EQ(host.tones, (QList<int>{45, 47}));
    EXPECT_EQ(rig.w().CursorNoteNum, 47);
    k.Picture3_MouseUp(1, 0, 100, RollRig::rowTop(47) + 10);
    EXPECT_EQ(rig.roll().PreviewNoteOn, 0);
    // Without a button the move only moves the highlight.
    k.Picture3_MouseMove(0, 0, 100, RollRig::rowTop(50) + 10);
    EXPECT_EQ(host.tones.size(), 2);
    EXPECT_EQ(rig.w().CursorNoteNum, 50);
    // Alt+right on empty roll sounds the row; the release ends it.
    rig.roll().Picture2_MouseDown(2, 4, 100, RollRig::rowTop(60) + 10);
    EXPECT_EQ(host.tones.last(), 60);
    rig.roll().Picture2_MouseUp(2, 4, 100, RollRig::rowTop(60) + 10);
    EXPECT_EQ(rig.roll().PreviewNoteOn, 0);
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 0);
    SetMidiHost(nullptr);
}

TEST(RollEditing, SelectionRegionName) {
    const struct {
        const char* name;
        QString startRegions, endRegions;
        QString found;
    } cases[] = {
        {"one region", QStringLiteral("サビ"), QStringLiteral("サビ"), QStringLiteral("サビ")},
        {"the first start name that ends there", QStringLiteral("A|B"), QStringLiteral("B|A"), QStringLiteral("A")},
        {"ends elsewhere", QStringLiteral("A"), QStringLiteral("AB"), QString()},
        {"none", QString(), QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NoteArrays n = makeSong({{480, A, 40, RollRig::Fields}, {480, I, 40, RollRig::Fields}, {480, U, 40, RollRig::Fields}});
        SetNoteOption(n.NoteExt[0], QStringLiteral("$region"), c.startRegions);
        SetNoteOption(n.NoteExt[2], QStringLiteral("$region_end"), c.endRegions);
        EXPECT_EQ(RulerInput::FindSelectionRegion(n, 0, 2), c.found);
        EXPECT_EQ(RulerInput::FindSelectionRegion(n, 0, 3), QString());
    }
}

TEST(RollEditing, RulerPopUp) {
    RollRig rig;
    SetNoteOption(rig.song().NoteExt[1], QStringLiteral("label"), QStringLiteral("A"));
    SetNoteOption(rig.song().NoteExt[1], QStringLiteral("tempo"), QStringLiteral("140"));
    rig.redraw();
    RulerInput& ruler = rig.w().Ruler;
    Form1& f = *rig.form;
    // A note's edge is not inside it.
    ruler.Picture4_MouseDown(1, 0, 0, 100);
    EXPECT_EQ(rig.roll().RulerNote, -1);
    ruler.Picture4_MouseDown(2, 0, rig.g(1).Left + 100, 100);
    EXPECT_EQ(rig.roll().RulerNote, 1);
    EXPECT_TRUE(rig.roll().Feedback.Shape3.visible);
    ruler.Picture4_MouseUp(2, 0, rig.g(1).Left + 100, 100);
    EXPECT_FALSE(rig.roll().Feedback.Shape3.visible);
    EXPECT_TRUE(f.visible(QStringLiteral("mnLabelName")));
    EXPECT_FALSE(f.visible(QStringLiteral("mnLabelAdd")));
    EXPECT_TRUE(f.visible(QStringLiteral("mnTempoDel")));
    EXPECT_TRUE(f.visible(QStringLiteral("mnSetTempo2")));
    EXPECT_TRUE(f.visible(QStringLiteral("mnSelectRegionAdd")));
    ruler.Picture4_MouseDown(2, 0, rig.g(2).Left + 100, 100);
    ruler.Picture4_MouseUp(2, 0, rig.g(2).Left + 100, 100);
    EXPECT_FALSE(f.visible(QStringLiteral("mnTempoDel")));
    EXPECT_TRUE(f.visible(QStringLiteral("mnLabelAdd")));
    // An empty song shows the jump list alone.
    rig.setSong({});
    ruler.Picture4_MouseDown(2, 0, 100, 100);
    ruler.Picture4_MouseUp(2, 0, 100, 100);
    for (const char* item : {"mnSetTempo2", "mnLabelAdd", "mnTempoDel", "mnNoteSelectTop2", "mnSelectRegionAdd",
                             "mnSelectRegionDel", "mnSelectRegionSel"})
        EXPECT_FALSE(f.visible(QString::fromLatin1(item))) << item;
    EXPECT_TRUE(f.visible(QStringLiteral("mnJumper")));
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 3);
}

TEST(RollEditing, KeysOnTheRoll) {
    RollRig rig;
    RollKeys& keys = rig.w().Keys;
    // Ctrl+L extends the selection to the last note.
    keys.Picture2_KeyDown('L', 2);
    EXPECT_EQ(rig.song().SelEnd, 3);
    // Enter opens the lyric box only with EnterLyric on; Shift+Enter only with it off.
    settings().EnterLyric = false;
    keys.Picture2_KeyDown(13, 0);
    EXPECT_FALSE(rig.w().Boxes.lyricBoxOpen());
    keys.Picture2_KeyDown(13, 1);
    EXPECT_TRUE(rig.w().Boxes.lyricBoxOpen());
    EXPECT_EQ(rig.w().CurNote, 0);
    int esc = 27;
    rig.w().Boxes.Text1_KeyPress(esc);
    EXPECT_EQ(esc, 0);
    // Right moves to the next note; Alt or two modifiers do nothing.
    rig.song().SelStart = rig.song().SelEnd = 0;
    keys.Picture2_KeyDown(39, 0);
    EXPECT_EQ(rig.song().SelStart, 1);
    keys.Picture2_KeyDown(39, 4);
    keys.Picture2_KeyDown(39, 3);
    EXPECT_EQ(rig.song().SelStart, 1);
    // H chooses the drawing tool while it is enabled.
    rig.form->setEnabled(QStringLiteral("optMode"), false, 1);
    keys.Picture2_KeyDown('H', 0);
    EXPECT_FALSE(rig.w().IsToolMode(0));
    rig.form->setEnabled(QStringLiteral("optMode"), true, 1);
    keys.Picture2_KeyDown('H', 0);
    EXPECT_TRUE(rig.w().IsToolMode(0));
    // V without a current note does nothing; Ctrl+L on an empty song changes nothing.
    rig.w().CurNote = -1;
    keys.Picture2_KeyDown('V', 0);
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 0);
    rig.setSong({});
    rig.song().SelStart = rig.song().SelEnd = 0;
    keys.Picture2_KeyDown('L', 2);
    EXPECT_EQ(rig.song().SelEnd, 0);
}

TEST(RollEditing, DoubleClickInTheBandUnderANote) {
    RollRig rig;
    const double y = RollRig::rowTop(40) + RollRig::RowHeight + 100;  // a row under note 1
    rig.roll().Picture2_MouseDown(1, 0, 1000, y);
    EXPECT_EQ(rig.w().CurNote, 1);
    EXPECT_EQ(rig.roll().CurNoteBelow, -1);
    rig.roll().Picture2_MouseUp(1, 0, 1000, y);
    rig.w().Keys.Picture2_DblClick();
    EXPECT_FALSE(rig.w().Boxes.lyricBoxOpen());
    EXPECT_EQ(rig.roll().CurNoteBelow, 0);
}

TEST(RollEditing, LyricAssignmentSettings) {
    RollRig rig;
    rig.song().NoteExt[0] = QStringLiteral("10:5:80\t100");
    // With NoCopyVoiceParam on, only the lyric changes.
    settings().NoCopyVoiceParam = true;
    rig.w().ApplyLyricText(0, QStringLiteral("か"));
    EXPECT_EQ(rig.song().Lyrics[0], QStringLiteral("か"));
    EXPECT_EQ(rig.song().NoteExt[0], QStringLiteral("10:5:80\t100"));
    EXPECT_TRUE(rig.song().IsModified);
    // A vowel excluded from the copy keeps the note's timing as well.
    settings().NoCopyVoiceParam = false;
    settings().ExcludeVowelOnSetParam = true;
    rig.w().ApplyLyricText(0, QStringLiteral("あ"));
    EXPECT_EQ(rig.song().NoteExt[0], QStringLiteral("10:5:80\t100"));
    // An index outside the notes does nothing.
    rig.w().ApplyLyricText(7, QStringLiteral("x"));
    EXPECT_EQ(rig.song().noteCount(), 4);

    // With a voice bank: the sample's pre-utterance and overlap, the note's velocity.
    QTemporaryDir bank;
    writeFile(bank.path() + QStringLiteral("/oto.ini"),
              Cp932::encode(QStringLiteral("a.wav=あ,10,20,30,40,50\r\nka.wav=か,1,2,3,4,5\r\n")));
    settings().NoOtoReport = true;  // the samples themselves are not there
    LoadOtoIni(bank.path());
    ResetPrefixMap();
    rig.w().ApplyLyricText(0, QStringLiteral("あ"));
    EXPECT_EQ(rig.song().NoteExt[0], QStringLiteral("10:5:80\t100"));
    settings().ExcludeVowelOnSetParam = false;
    rig.w().ApplyLyricText(0, QStringLiteral("あ"));
    EXPECT_EQ(rig.song().NoteExt[0], QStringLiteral("40:50:80\t100\t\t\t\t"));
    rig.w().ApplyLyricText(1, QStringLiteral("か"));
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[1], 0), QStringLiteral("4:5:"));
    // A lyric without a sample keeps the note's timing.
    rig.w().ApplyLyricText(1, QStringLiteral("ぬ"));
    EXPECT_EQ(NoteExtField(rig.song().NoteExt[1], 0), QStringLiteral("4:5:"));
    EXPECT_EQ(rig.song().Lyrics[1], QStringLiteral("ぬ"));
    ClearOtoTable();
    ForgetPrefixMap();
}

TEST(RollEditing, ToneLabelStepsOneKeyPerMove) {
    RollRig rig;
    PreviewTones host;
    SetMidiHost(&host);
    RulerInput& k = rig.w().Ruler;
    rig.w().CursorNoteNum = 84;
    // Without a sounding preview a move changes nothing.
    k.lblTone_MouseMove(0, 0, 10, -5, 240);
    EXPECT_EQ(rig.w().CursorNoteNum, 84);
    k.lblTone_MouseDown(1, 0, 10, 10);
    EXPECT_EQ(host.tones, (QList<int>{84}));
    k.lblTone_MouseMove(1, 0, 10, -5, 240);  // above: at most 84
    EXPECT_EQ(rig.w().CursorNoteNum, 84);
    k.lblTone_MouseMove(1, 0, 10, 300, 240);  // below: one down
    k.lblTone_MouseMove(1, 0, 10, 300, 240);
    k.lblTone_MouseMove(1, 0, 10, 100, 240);  // inside: nothing
    EXPECT_EQ(rig.w().CursorNoteNum, 82);
    EXPECT_EQ(host.tones, (QList<int>{84, 83, 82}));
    k.lblTone_MouseUp(1, 0, 10, 100);
    EXPECT_EQ(rig.roll().PreviewNoteOn, 0);
    SetMidiHost(nullptr);
}

TEST(RollEditing, LyricQueueEditorLines) {
    EXPECT_EQ(RollTextBoxes::queueToLines(QStringLiteral("か き く")), QStringLiteral("か\r\nき\r\nく"));
    EXPECT_EQ(RollTextBoxes::linesToQueue(QStringLiteral("か\r\nき\r\nく")), QStringLiteral("か き く"));
}

TEST(RollEditing, TempoBox) {
    const struct {
        QString typed;
        float tempo;
    } cases[] = {
        {QStringLiteral("9.99"), 120}, {QStringLiteral("512.01"), 120}, {QStringLiteral("abc"), 120},
        {QStringLiteral("120"), 120},  {QStringLiteral("10"), 10},      {QStringLiteral("512"), 512},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        RollRig rig;
        rig.modal.inputBox.answers.enqueue({true, c.typed});
        rig.w().Boxes.txtTempo_Click();
        EXPECT_EQ(rig.song().Tempo, c.tempo);
        EXPECT_EQ(rig.song().IsModified, c.tempo != 120);
        if (c.tempo != 120) {
            EXPECT_EQ(rig.form->text(QStringLiteral("txtTempo")), Vb::Format(c.tempo, QStringLiteral("0.00")));
            rig.undo();
            EXPECT_EQ(rig.song().Tempo, 120);
        }
    }
    RollRig rig;
    rig.w().UpdateTempoStatus(0);
    EXPECT_EQ(rig.form->statusText(1), QStringLiteral("0.500000 sec"));
}

TEST(RollEditing, LabelBox) {
    RollRig rig;
    RollTextBoxes& boxes = rig.w().Boxes;
    boxes.PlaceLabelEditor(1);
    EXPECT_EQ(boxes.labelTag(), QStringLiteral("1"));
    EXPECT_TRUE(rig.form->visible(QStringLiteral("txtLabel")));
    // Unchanged: no step.
    boxes.txtLabel_LostFocus();
    EXPECT_EQ(rig.song().UndoPos, 0);
    EXPECT_FALSE(rig.form->visible(QStringLiteral("txtLabel")));
    boxes.PlaceLabelEditor(1);
    rig.form->setText(QStringLiteral("txtLabel"), QStringLiteral("  サビ "));
    boxes.txtLabel_LostFocus();
    EXPECT_EQ(GetNoteOption(rig.song().NoteExt[1], QStringLiteral("label")), QStringLiteral("サビ"));
    EXPECT_EQ(rig.lastUndoCaption(), QStringLiteral("ラベルの変更"));
    // A second LostFocus with the tag emptied does nothing.
    boxes.txtLabel_LostFocus();
    EXPECT_EQ(rig.song().UndoPos, 1);
}

}  // namespace
