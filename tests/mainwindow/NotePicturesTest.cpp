// Pictures of a small song on the roll, in the normal view and in the curve view, painted into the
// persistent pictures of the roll, the keyboard strip and the ruler.
#include "NoteDrawingFixtures.h"
#include "RollPictures.h"

#include "core/Settings.h"
#include "mainwindow/BackgroundDrawing.h"
#include "mainwindow/NoteDrawing.h"
#include "mainwindow/ui/PictureBox.h"
#include "support/TestSupport.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

struct Pictures : RollPictures {
    QImage window() {
        const QImage& k = keyboard.image();
        const QImage& r = ruler.image();
        const QImage& p = roll.image();
        QImage all(k.width() + p.width(), r.height() + p.height(), QImage::Format_RGB32);
        all.fill(Qt::lightGray);
        QPainter painter(&all);
        painter.drawImage(k.width(), 0, r);
        painter.drawImage(0, r.height(), k);
        painter.drawImage(k.width(), r.height(), p);
        return all;
    }
};

// Saves the picture and, for a closer look, its song area three times enlarged.
void save(const QImage& picture, const QString& name) {
    ASSERT_TRUE(picture.save(outputFolder() + u'/' + name + QStringLiteral(".png")));
    const QImage detail = picture.copy(80, 0, 720, 300).scaled(2160, 900, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_TRUE(detail.save(outputFolder() + u'/' + name + QStringLiteral("-detail.png")));
}

NoteScene fixtureScene(bool curves) {
    NoteScene scene;
    scene.Tempo = 120;
    scene.Zoom = 1.0f;
    scene.RowHeight = 300;
    scene.HScrollValue = 0;
    scene.VScrollValue = 18;  // note 66 at the top
    scene.SelStart = 5;
    scene.SelEnd = 7;
    scene.ShowCurve = curves;
    scene.Mode2 = curves;
    return scene;
}

void paint(Pictures& p, const NoteArrays& notes, const NoteScene& scene) {
    ScriptedServices services;
    services.region = QStringLiteral("サビ");
    BackgroundView view;
    view.RowHeight = scene.RowHeight;
    view.Zoom = scene.Zoom;
    view.SongLength = 0;
    ScrollBarState h{0, 0, scene.HScrollValue, 4, 1}, v{1, 0, scene.VScrollValue, 12, 1};
    h.Max = 100;
    v.Max = 60;
    BackgroundDrawing::draw(view, BackgroundColors::fromSettings(), h, v, p.keyboard, p.roll, p.ruler);
    NoteDrawing drawing(&services);
    p.result = drawing.DrawNotes(notes, scene, NoteColors::fromSettings(), p.geometry, p.handles, p.roll, p.ruler);
}

int toPixel(double twips) { return int(std::floor(twips / 15)); }

QRgb pixelAt(PictureBox& canvas, double x, double y) { return canvas.image().pixel(toPixel(x), toPixel(y)); }

QRgb rgbOf(int32_t c) { return PictureBox::rgb(c).rgb(); }

TEST(NotePictures, NormalView) {
    const NoteArrays notes = pictureSong();
    Pictures p;
    paint(p, notes, fixtureScene(false));
    save(p.window(), QStringLiteral("roll-notes"));

    const Settings& s = settings();
    // Inside the boxes, away from the lyric: the fills by state.
    auto inside = [&](qint32 i) {
        const auto& g = p.geometry[i];
        return pixelAt(p.roll, g.Left + g.Width - 45, g.Top + g.Height - 45);
    };
    EXPECT_EQ(inside(0), rgbOf(s.COLOR_NOTE_RNOR));
    EXPECT_EQ(inside(1), rgbOf(s.COLOR_NOTE_NOR));
    EXPECT_EQ(inside(5), rgbOf(s.COLOR_NOTE_TOP));
    EXPECT_EQ(inside(6), rgbOf(s.COLOR_NOTE_SEL));
    EXPECT_EQ(inside(8), rgbOf(s.COLOR_NOTE_RNOR));
    // The outline of a note in its text colour, on the row's bottom line (over the grid).
    const auto& g1 = p.geometry[1];
    EXPECT_EQ(pixelAt(p.roll, g1.Left + 60, g1.Top + 300), rgbOf(s.COLOR_NOTE_TNOR));
    // The lyric's glyph pixels (dark on the light fill) lie in the box's top-left corner.
    int ink = 0;
    const QImage& img = p.roll.image();
    for (int y = toPixel(g1.Top) + 1; y < toPixel(g1.Top + 300); ++y)
        for (int x = toPixel(g1.Left) + 1; x < toPixel(g1.Left) + 14; ++x)
            if (qGray(img.pixel(x, y)) < 100) ++ink;
    EXPECT_GT(ink, 10);
    // The ruler: the selection bar under notes 5 .. 7 and the lane elsewhere.
    const double x6 = 1920.0 * 3 + 960 * 4;  // start of note 6 (zoom 1)
    EXPECT_EQ(pixelAt(p.ruler, x6 + 100, 285), rgbOf(s.COLOR_SELECTBAR));
    EXPECT_EQ(pixelAt(p.ruler, 1500, 285), rgbOf(s.COLOR_BACK));
    EXPECT_EQ(p.result.StatusText, QStringLiteral("1.071429 sec"));  // 4800 ticks at tempo 140
}

TEST(NotePictures, CurveView) {
    const NoteArrays notes = pictureSong();
    Pictures p;
    paint(p, notes, fixtureScene(true));
    save(p.window(), QStringLiteral("roll-curves"));

    const Settings& s = settings();
    // Bars at the bottom of the rows: two pixels above the row's bottom line (taken past the lyric,
    // whose glyphs may reach down to the bar in some fonts).
    const auto& g1 = p.geometry[1];
    EXPECT_EQ(pixelAt(p.roll, g1.Left + g1.Width - 45, g1.Top + 285), rgbOf(s.COLOR_NOTE_NOR));
    // No box: the middle of the row shows the roll's row colour or a curve, never the note fill.
    EXPECT_NE(pixelAt(p.roll, g1.Left + 150, g1.Top + 60), rgbOf(s.COLOR_NOTE_NOR));
    // The selection start's handles are registered: note 5 has one width, so two pitch points.
    EXPECT_EQ(p.handles.PitchPointPos.size(), 2);
    EXPECT_EQ(p.handles.VibratoHandleRect.size(), 1);  // note 5 has no vibrato
    // Vibrato of note 3 in the pitch colour somewhere on its row's centre band.
    const auto& g3 = p.geometry[3];
    const QImage& img = p.roll.image();
    int pitchInk = 0;
    for (int x = toPixel(g3.Left + g3.Width * 0.5); x < toPixel(g3.Left + g3.Width); ++x)
        for (int y = toPixel(g3.Top - 150); y < toPixel(g3.Top + 450); ++y)
            if (img.pixel(x, y) == rgbOf(s.COLOR_PTCH_NOR)) ++pitchInk;
    EXPECT_GT(pitchInk, 20);
    // The too-long envelope of note 9 raises the red mark.
    const auto& g9 = p.geometry[9];
    const double markTop = g9.Top + 300 - (2 * 300 + 90);
    EXPECT_EQ(pixelAt(p.roll, g9.Left + 30, markTop + 45), rgbOf(NoteColors::WarningFill));
    EXPECT_EQ(pixelAt(p.roll, g9.Left, markTop + 45), rgbOf(NoteColors::WarningRed));
}

}  // namespace
