// The note layer on the main window: drawing into the roll and the ruler of the form, the play-position
// line, the status panel, and the navigation commands run from the menus.
#include "MainWindowFakes.h"
#include "NoteDrawingFixtures.h"

#include "core/Settings.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ui/PictureBox.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

struct Window {
    ScopedProgramFolder program;
    ScopedFakePorts modal;
    FakeCoreServices core;
    ScriptedServices regions;
    IdlePlayback playback;  // the test sets the play position itself
    ProgramNoteDrawing drawing{&regions};
    std::unique_ptr<Form1> form;

    Window() {
        settings() = Settings();
        core.temp = program.path() + QStringLiteral("/tmp");
        MainWindowPorts p;
        p.core = &core;
        p.noteDrawing = &drawing;
        p.playback = &playback;
        form = std::make_unique<Form1>(p);
        EXPECT_TRUE(form->start(QString()));
        form->resize(1100, 620);
        form->show();
        QApplication::processEvents();
        MainWindow& w = logic();
        static_cast<NoteArrays&>(w.song) = pictureSong();
        w.VScroll1.Value = 18;
        w.Scale.RowHeight = 300;
        w.Scale.Zoom = 1.0f;
        w.song.SelStart = 5;
        w.song.SelEnd = 7;
        regions.region = QStringLiteral("サビ");
        redraw();
    }
    MainWindow& logic() { return form->logic(); }
    void redraw() {
        logic().DrawBackground();
        logic().DrawNotes();
        QApplication::processEvents();
    }
    void menu(const char* name) {
        QAction* a = form->controlAs<QAction>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
        QApplication::processEvents();
    }
};

TEST(NoteLayerWindow, DrawsTheSongIntoTheForm) {
    Window win;
    MainWindow& w = win.logic();
    ASSERT_EQ(w.NoteGeometry.size(), 11);
    EXPECT_EQ(w.SongLength, 15360);
    EXPECT_EQ(win.form->statusText(2), QStringLiteral("1.071429 sec"));
    EXPECT_FLOAT_EQ(w.NoteGeometry[1].Left, 1920);
    EXPECT_FLOAT_EQ(w.NoteGeometry[1].Top, (84 - 55 - 18) * 300);
    // The roll's picture holds the selection start's fill inside its box.
    const QImage& roll = win.form->pictureBox(QStringLiteral("Picture2"))->image();
    const auto& g5 = w.NoteGeometry[5];
    EXPECT_EQ(roll.pixel(int((g5.Left + g5.Width - 45) / 15), int((g5.Top + 255) / 15)),
              PictureBox::rgb(settings().COLOR_NOTE_TOP).rgb());
    savePng(win.form.get(), QStringLiteral("form1_notes"));

    // The curve view with mode-2 curves: bars, curves and the selection start's handles.
    win.form->setValue(QStringLiteral("mnShowCurve"), 1);
    win.form->setValue(QStringLiteral("chkAutoPitchMode2"), 1);
    win.redraw();
    EXPECT_EQ(w.Handles.PitchPointPos.size(), 2);
    EXPECT_FLOAT_EQ(w.NoteGeometry[1].PreUtterMs, 40);
    savePng(win.form.get(), QStringLiteral("form1_curves"));

    // A selection change alone ("nobomb") draws no handles.
    w.DrawNotes(QStringLiteral("nobomb"));
    EXPECT_EQ(w.Handles.PitchPointPos.size(), 1);
}

TEST(NoteLayerWindow, PlayPositionLine) {
    Window win;
    MainWindow& w = win.logic();
    QWidget* line = win.form->controlAs<QWidget>(QStringLiteral("Line3"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isHidden());
    // Note 2 ("く") sounds from 500 + 250 ms; 100 ms into it the line stands 384 twips right of its start.
    w.PlayStartNote = 0;
    w.PlayPosition = 850;
    win.redraw();
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(line->x(), int((2880 + 3.84 * 100) / 15));
    EXPECT_EQ(w.PlayingNote, 2);
    EXPECT_EQ(w.PlayScrollNote, -1);
    // Scrolled away from it, playback is told to follow.
    w.HScroll1.Value = 4;
    win.redraw();
    EXPECT_EQ(w.PlayScrollNote, 2);
}

TEST(NoteLayerWindow, NavigationFromTheMenus) {
    Window win;
    MainWindow& w = win.logic();
    w.song.SelStart = w.song.SelEnd = 3;
    win.menu("mnNoteNext");  // the rest after note 3 is skipped
    EXPECT_EQ(w.song.SelStart, 5);
    EXPECT_EQ(w.CurNote, 5);
    win.menu("mnNoteBack");
    EXPECT_EQ(w.song.SelStart, 3);
    win.menu("mnSelectNotes");
    EXPECT_EQ(w.song.SelStart, 1);
    EXPECT_EQ(w.song.SelEnd, 10);
    win.menu("mnSelectAll");
    EXPECT_EQ(w.song.SelStart, 0);
    EXPECT_EQ(w.song.SelEnd, 10);
    EXPECT_EQ(win.form->statusText(2), QStringLiteral("3.935714 sec"));

    // The search takes the lyric entry box's text.
    auto* text2 = win.form->controlAs<QLineEdit>(QStringLiteral("Text2"));
    ASSERT_NE(text2, nullptr);
    text2->setText(QStringLiteral("ゆ"));
    w.song.SelStart = w.song.SelEnd = 2;
    win.menu("mnSearch");
    EXPECT_EQ(w.song.SelStart, 9);
    text2->setText(QStringLiteral("ゃ"));
    win.menu("mnSearchRev");
    EXPECT_EQ(w.song.SelStart, 7);
    text2->setText(QStringLiteral("ん"));
    win.menu("mnSearch");
    EXPECT_EQ(win.modal.messageBox.lastText(), QStringLiteral("見つかりませんでした。"));
    EXPECT_EQ(w.song.SelStart, 7);

    // With the lyric box focused, select-all selects its text and leaves the notes.
    win.form->activateWindow();
    text2->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(text2->hasFocus());
    {
        win.menu("mnSelectAll");
        EXPECT_EQ(text2->selectedText(), QStringLiteral("ん"));
        EXPECT_EQ(w.song.SelStart, 7);
        EXPECT_EQ(w.song.SelEnd, 7);
    }
}

}  // namespace
