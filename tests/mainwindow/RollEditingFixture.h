#pragma once

// A started main window on the program's note drawing (so that the geometry the pointer input hits is the
// drawn one), with a small song laid out on whole pixels: zoom 2 (a beat of 1920 ticks is 960 twips,
// 64 pixels), rows of 240 twips (16 pixels), the top row 30, so that note 40 has its row at 3360 twips.
#include "MainWindowFakes.h"
#include "NoteDrawingFixtures.h"

#include "core/Settings.h"
#include "mainwindow/MainWindowCommands.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/RulerInput.h"
#include "mainwindow/ui/Form1.h"
#include "platform/FakePorts.h"

#include <QApplication>

#include <memory>

namespace tova::test {

struct RollRig {
    ScopedProgramFolder program;
    ScopedFakePorts modal;
    FakeCoreServices core;
    IdlePlayback playback;
    SelectionRegionNames regions;
    ProgramNoteDrawing drawing{&regions};
    std::unique_ptr<Form1> form;

    static constexpr double RowHeight = 240;
    static constexpr double Zoom = 2;
    // The six empty fields of a note's extension string.
    inline static const QString Fields = QStringLiteral("\t\t\t\t\t");

    RollRig() {
        settings() = Settings();
        core.temp = program.path() + QStringLiteral("/tmp");
        MainWindowPorts p;
        p.core = &core;
        p.noteDrawing = &drawing;
        p.playback = &playback;
        form = std::make_unique<Form1>(p);
        form->start(QString());
        form->resize(1100, 620);
        form->show();
        QApplication::processEvents();
        setSong({{1920, QStringLiteral("あ"), 40, Fields},
                 {1920, QStringLiteral("い"), 40, Fields},
                 {1920, QStringLiteral("う"), 40, Fields},
                 {1920, QStringLiteral("え"), 40, Fields}});
        // No quantise: lengths are rounded to 4 ticks.
        form->setValue(QStringLiteral("cmbQuntize"), 9);
    }
    MainWindow& w() { return form->logic(); }
    RollEditor& roll() { return w().Roll; }
    Song& song() { return w().song; }

    void setSong(const QList<NoteRow>& rows) {
        static_cast<NoteArrays&>(w().song) = makeSong(rows);
        w().song.SelStart = w().song.SelEnd = 0;
        w().Scale.Zoom = float(Zoom);
        w().Scale.RowHeight = int16_t(RowHeight);
        w().VScroll1.Value = 30;
        w().HScroll1.Value = 0;
        redraw();
    }
    void redraw() {
        w().DrawBackground();
        w().DrawNotes();
        QApplication::processEvents();
    }
    // The top of the row of a note number, in twips.
    static double rowTop(int noteNum) { return (84 - noteNum - 30) * RowHeight; }
    const NoteGeometryRecord& g(int note) { return w().NoteGeometry[note]; }

    // A left drag on the roll in twips: press, one move, release.
    void drag(double x0, double y0, double x1, double y1, int shift = 0, int releaseShift = -1) {
        roll().Picture2_MouseDown(1, shift, x0, y0);
        roll().Picture2_MouseMove(1, shift, x1, y1);
        roll().Picture2_MouseUp(1, releaseShift < 0 ? shift : releaseShift, x1, y1);
    }
    // A press and a release at the same point.
    void click(int button, int shift, double x, double y) {
        roll().Picture2_MouseDown(button, shift, x, y);
        roll().Picture2_MouseUp(button, shift, x, y);
    }
    QStringList lyrics() const { return form->logic().song.Lyrics; }
    QList<qint32> lengths() const { return form->logic().song.Lengths; }
    QString lastUndoCaption() const {
        const Song& s = form->logic().song;
        return s.UndoPos > 0 ? s.UndoCaptions[s.UndoPos - 1] : QString();
    }
    void undo() { mnUndo_Click(w()); }
};

}  // namespace tova::test
