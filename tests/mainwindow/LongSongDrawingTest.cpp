// Redrawing the roll of a long song draws only what is on screen: the pictures of the roll and the
// ruler, every geometry record and the values left for the window are those of a drawing that walks every
// note of the song, kept here as the reference. One memory of the drawing follows the view through
// scrolling, the curve view, playback and edits of the song between drawings.
#include "NoteDrawingFixtures.h"
#include "RollPictures.h"

#include "core/Settings.h"
#include "mainwindow/BackgroundDrawing.h"
#include "mainwindow/CurveDrawing.h"
#include "mainwindow/NoteDrawing.h"
#include "mainwindow/RollCoordinates.h"
#include "mainwindow/ui/PictureBox.h"
#include "platform/Vb.h"
#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"
#include "support/TestSupport.h"

#include <QWidget>

#include <cmath>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

constexpr double kLaneTop = 210;
constexpr double kLaneHeight = 150;
double roundEven(double v) { return std::nearbyint(v); }
QString tempoText(float tempo) { return Vb::Format(double(tempo), QStringLiteral("0.00")); }

// The drawing as it walks every note of the song, start times summed from the first note.
NoteDrawingResult walkEveryNote(const NoteDrawingServices* services, const NoteArrays& notes, const NoteScene& scene,
                                const NoteColors& colors, NoteGeometryList& geometry, CurveHandles& handles,
                                RollCanvas& roll, RollCanvas& ruler, const QString& option) {
    NoteDrawingResult result;
    const bool curveView = scene.ShowCurve;
    float tempo = scene.Tempo;
    float prevTempo = scene.Tempo;
    const int hs = scene.HScrollValue;
    const int vs = scene.VScrollValue;
    const double zoom = double(scene.Zoom);
    const int rh = scene.RowHeight;

    const qint32 count = notes.noteCount();
    qint64 songLength = 0;
    double selectedSeconds = 0;
    if (count > 0) {
        geometry.resize(count);
        geometry.detach();  // references into the records stay valid for the whole pass
    }
    handles.reset();

    ruler.setFontSize(NoteDrawing::RulerFontSize);
    ruler.fillBox(0, kLaneTop, ruler.width(), kLaneTop + kLaneHeight, colors.Back);

    const qint32 selLow = std::min(scene.SelStart, scene.SelEnd);
    const qint32 selHigh = std::max(scene.SelStart, scene.SelEnd);
    const double rollWidth = roll.width();
    const double innerWidth = roll.scaleWidth();
    const qint32 playFirst = std::max<qint32>(scene.PlayFirstNote, 0);

    CurveView curveSettings;
    curveSettings.Zoom = scene.Zoom;
    curveSettings.RowHeight = rh;
    curveSettings.SelStart = scene.SelStart;
    curveSettings.Mode2 = scene.Mode2;
    curveSettings.Trace = scene.Trace;
    curveSettings.ParamView = scene.ParamView;
    curveSettings.HandlesWanted = option.isEmpty();
    CurveDrawing curves(curveSettings, colors, notes, geometry, handles, roll);

    // The timing values of a record are filled once per pass: the note before fills the next one's.
    qint32 timingFilled = -1;
    auto fillTiming = [&](qint32 k, float atTempo) {
        float pre = 0, ovl = 0, stp = 0, factor = 1;
        GetNoteStartTime(atTempo, notes, k, pre, ovl, stp, &factor);
        auto& g = geometry[k];
        g.PreUtterMs = pre;
        g.OverlapMs = ovl;
        g.StartPointMs = stp;
        g.VelocityFactor = factor;
        timingFilled = k;
    };

    double playStart = 0;
    for (qint32 i = 0; i < count; ++i) {
        const qint32 length = notes.Lengths.value(i);
        const QString& ext = notes.NoteExt.value(i);
        const QString& lyric = notes.Lyrics[i];
        const double s = double(songLength);
        const double x = roundEven((s - double(hs) * Roll::TicksPerBeat) / zoom);
        const double w = roundEven(double(length) / zoom);
        const bool visible = x <= rollWidth && x + w > 0;
        const bool selected = i >= selLow && i <= selHigh;
        bool ownTempo = false;
        ParseTempoField(ext, tempo, ownTempo);
        if (selected) selectedSeconds += double(length) / double(tempo) / 32;
        const double twipsPerMs = 0.032 * double(tempo) / zoom;
        const double lenMs = roundEven(double(length) * 31.25 / double(tempo));
        bool sounding = false;
        if (i >= playFirst) {
            if (i == playFirst) playStart = roundEven(double(geometry[i].PreUtterMs));
            sounding = playStart < scene.PlayPosMs && scene.PlayPosMs < playStart + lenMs;
        }
        const qint32 noteNum = notes.NoteNums.value(i);
        const double rowTop = double(Roll::TopNote - noteNum) * rh - double(vs) * rh;
        auto& g = geometry[i];

        if (visible) {
            const QString label = GetNoteOption(ext, QStringLiteral("label"));
            if (!label.isEmpty()) {
                const double tw = ruler.textWidth(label);
                ruler.fillBox(x, 15, x + tw, 15 + 180, colors.Back);
                ruler.box(x, 15, x + tw, 15 + 180, colors.Fore);
                ruler.print(x + 15, 30, label, colors.Fore);
            }
            if (selected) ruler.fillBox(x - 30, 240, x - 30 + (w - 15), 240 + 90, colors.SelectBar);
            if (ownTempo) ruler.print(std::max(0.0, x), 180, tempoText(tempo), colors.TempoNor);
            if (i == scene.SelStart && services) {
                const QString region = services->FindSelectionRegion(notes, scene.SelStart, scene.SelEnd);
                if (!region.isEmpty()) {
                    const double tw = ruler.textWidth(region);
                    ruler.fillBox(x + 30, 45, x + 30 + tw, 45 + 180, colors.Back);
                    ruler.box(x + 30, 45, x + 30 + tw, 45 + 180, colors.Fore);
                    ruler.print(x + 45, 60, region, colors.TempoAll);
                }
            }

            int32_t fill, text;
            if (!IsRestLyric(lyric)) {
                if (sounding) {
                    fill = colors.Hilight;
                    text = colors.NoteTNor;
                } else if (i == scene.SelStart) {
                    fill = colors.NoteTop;
                    text = colors.NoteTTop;
                } else if (!selected) {
                    fill = colors.NoteNor;
                    text = colors.NoteTNor;
                } else {
                    fill = colors.NoteSel;
                    text = colors.NoteTSel;
                }
            } else if (i == scene.SelStart) {
                fill = colors.NoteRTop;
                text = colors.NoteTTop;
            } else if (!selected) {
                fill = colors.NoteRNor;
                text = colors.NoteTNor;
            } else {
                fill = colors.NoteRSel;
                text = colors.NoteTSel;
            }

            // The tempo in force at the left edge: the first note's when the song starts inside the view,
            // else the one of the note crossing the edge.
            if (x <= 0 || i == 0) ruler.print(0, 180, tempoText(tempo), colors.TempoAll);

            if (curveView) {
                roll.fillBox(x, rowTop + rh - 30, x + (w - 15), rowTop + rh, fill);
                // The first visible note takes the tempo in force at the note before it, as every later
                // note gets it from its predecessor.
                if (timingFilled != i) fillTiming(i, prevTempo);
                if (i < count - 1) fillTiming(i + 1, tempo);
                g.Env = NoteDrawing::envelopeEntries(GetNoteOption(ext, QStringLiteral("env")));
                curves.DrawCurves(prevTempo, tempo, i, qint32(x), qint32(rowTop), selected);
            }

            g.NoteTempo = tempo;
            g.Width = NoteDrawing::noteWidth(qint32(w));
            g.Height = float(rh + 15);
            g.Left = NoteDrawing::snappedLeft(qint32(x));
            g.Top = float(rowTop);

            if (!curveView) {
                const double right = double(g.Left) + g.Width - 15;
                const double bottom = double(g.Top) + g.Height - 15;
                roll.fillBox(g.Left, g.Top, right, bottom, fill);
                roll.box(g.Left, g.Top, right, bottom, text);
            }
            roll.print(double(g.Left) + 15, double(g.Top) + 15, lyric, text);
        } else {
            if (sounding && result.PlayScrollNote == -1) result.PlayScrollNote = i;
            g.Left = -g.Width - 60;
        }

        if (sounding) {
            if (result.SoundingNote == -1) result.SoundingNote = i;
            result.PlayCursorX = double(g.Left) + twipsPerMs * (double(scene.PlayPosMs) - playStart);
            if (result.PlayScrollNote == -1 && double(g.Left) + double(g.Width) > innerWidth)
                result.PlayScrollNote = i;
        }

        if (i >= playFirst) playStart += lenMs;
        songLength += length;
        prevTempo = tempo;
    }

    result.SongLength = songLength;
    result.StatusText = NoteDrawing::durationText(selectedSeconds);
    result.HScrollMax = RollCoordinates::hScrollMax(songLength, rollWidth, scene.Zoom);
    return result;
}

// A long song with what makes the walk hard to shorten besides what real projects carry: long notes
// reaching over several screens, notes of no length, lengths off the beat grid and many tempo changes.
NoteArrays longSong(int count) {
    NoteArrays n = realisticSong(count);
    for (int i = 0; i < count; ++i) {
        if (i % 41 == 7) n.Lengths[i] = 0;
        else if (i % 37 == 5) n.Lengths[i] = 1920 * 30;
        else if (i % 11 == 3) n.Lengths[i] += 7;
        if (i % 97 == 0) SetNoteOption(n.NoteExt[i], QStringLiteral("tempo"), QString::number(100 + i % 60));
    }
    return n;
}

// The pictures of the main window, painted over a background of the scene.
struct Pictures : RollPictures {
    void background(const NoteScene& scene, qint64 songLength) {
        BackgroundView view;
        view.RowHeight = scene.RowHeight;
        view.Zoom = scene.Zoom;
        view.SongLength = songLength;
        ScrollBarState h{0, 1 << 30, scene.HScrollValue, 4, 1}, v{1, 60, scene.VScrollValue, 12, 1};
        BackgroundDrawing::draw(view, BackgroundColors::fromSettings(), h, v, keyboard, roll, ruler);
    }
};

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Field by field, bit for bit; the first record that differs is named.
void expectSameGeometry(const NoteGeometryList& ref, const NoteGeometryList& now) {
    ASSERT_EQ(ref.size(), now.size());
    for (qsizetype i = 0; i < ref.size(); ++i) {
        const NoteGeometryRecord& a = ref[i];
        const NoteGeometryRecord& b = now[i];
        const bool same = sameFloat(a.Left, b.Left) && sameFloat(a.Top, b.Top) && sameFloat(a.Width, b.Width) &&
                          sameFloat(a.Height, b.Height) && sameFloat(a.NoteTempo, b.NoteTempo) &&
                          sameFloat(a.PreUtterMs, b.PreUtterMs) && sameFloat(a.OverlapMs, b.OverlapMs) &&
                          sameFloat(a.VelocityFactor, b.VelocityFactor) && sameFloat(a.StartPointMs, b.StartPointMs) &&
                          a.Env == b.Env && a.MissingSample == b.MissingSample;
        ASSERT_TRUE(same) << "record " << i << ": left " << a.Left << " / " << b.Left << ", width " << a.Width
                          << " / " << b.Width << ", tempo " << a.NoteTempo << " / " << b.NoteTempo << ", pre "
                          << a.PreUtterMs << " / " << b.PreUtterMs;
    }
}

void expectSameHandles(const CurveHandles& a, const CurveHandles& b) {
    ASSERT_EQ(a.PitchPointPos.size(), b.PitchPointPos.size());
    for (qsizetype k = 0; k < a.PitchPointPos.size(); ++k) {
        EXPECT_EQ(a.PitchPointPos[k].X, b.PitchPointPos[k].X);
        EXPECT_EQ(a.PitchPointPos[k].Y, b.PitchPointPos[k].Y);
    }
    ASSERT_EQ(a.VibratoHandleRect.size(), b.VibratoHandleRect.size());
    for (qsizetype k = 0; k < a.VibratoHandleRect.size(); ++k) {
        EXPECT_EQ(a.VibratoHandleRect[k].Left, b.VibratoHandleRect[k].Left);
        EXPECT_EQ(a.VibratoHandleRect[k].Top, b.VibratoHandleRect[k].Top);
    }
    EXPECT_EQ(a.PitchPointsShown, b.PitchPointsShown);
    EXPECT_EQ(a.VibratoHandlesShown, b.VibratoHandlesShown);
}

// The play time in ms of a point `into` ms after the start of note j, counted as the player does from
// note `first` whose record holds `pre` ms of pre-utterance.
qint32 playMsInto(const NoteArrays& notes, float projectTempo, qint32 first, float pre, qint32 j, double into) {
    double ms = std::nearbyint(double(pre));
    float tempo = projectTempo;
    for (qint32 i = 0; i < j; ++i) {
        bool own = false;
        ParseTempoField(notes.NoteExt[i], tempo, own);
        if (i >= first) ms += std::nearbyint(double(notes.Lengths[i]) * 31.25 / double(tempo));
    }
    return qint32(ms + into);
}

struct LongSongDrawing {
    NoteArrays notes = longSong(3000);
    NoteScene scene;
    ScriptedServices services;
    NoteColors colors = NoteColors::fromSettings();
    Pictures ref, now;
    NoteLayerMemory memory;
    QString option;

    LongSongDrawing() {
        services.region = QStringLiteral("サビ");
        scene.Tempo = 120;
        scene.Zoom = 2.0f;
        scene.RowHeight = 240;
        scene.VScrollValue = 28;
        scene.HScrollValue = beatOf(1500);
        scene.SelStart = 1510;
        scene.SelEnd = 1514;
    }
    static qint64 startOf(const NoteArrays& n, qint32 i) { return RollCoordinates::startTick(n.Lengths, i); }
    int beatOf(qint32 note) const { return int(startOf(notes, note) / Roll::TicksPerBeat); }
    // The note at the middle of the screen.
    qint32 noteOnScreen() const {
        const qint64 mid = qint64(scene.HScrollValue) * Roll::TicksPerBeat + qint64(10000 * scene.Zoom);
        qint32 i = 0;
        while (i + 1 < notes.noteCount() && startOf(notes, i + 1) <= mid) ++i;
        return i;
    }

    // Both drawings over the same background; pictures, records and results compared.
    void drawAndCompare(const char* step) {
        SCOPED_TRACE(step);
        const qint64 length = startOf(notes, notes.noteCount());
        ref.background(scene, length);
        now.background(scene, length);
        ASSERT_TRUE(ref.roll.image() == now.roll.image());
        ref.result = walkEveryNote(&services, notes, scene, colors, ref.geometry, ref.handles, ref.roll, ref.ruler, option);
        NoteDrawing drawing(&services);
        now.result = drawing.DrawNotes(notes, scene, colors, now.geometry, now.handles, now.roll, now.ruler, option, &memory);

        EXPECT_EQ(ref.result.SongLength, now.result.SongLength);
        EXPECT_EQ(ref.result.PlayScrollNote, now.result.PlayScrollNote);
        EXPECT_EQ(ref.result.SoundingNote, now.result.SoundingNote);
        EXPECT_EQ(ref.result.PlayCursorX, now.result.PlayCursorX);
        EXPECT_EQ(ref.result.StatusText, now.result.StatusText);
        EXPECT_EQ(ref.result.HScrollMax, now.result.HScrollMax);
        expectSameGeometry(ref.geometry, now.geometry);
        expectSameHandles(ref.handles, now.handles);
        const bool rollSame = ref.roll.image() == now.roll.image();
        const bool rulerSame = ref.ruler.image() == now.ruler.image();
        if (!rollSame || !rulerSame) {
            const QString name = QStringLiteral("long-song-") + QString::fromLatin1(step).replace(u' ', u'-');
            ref.roll.image().save(outputFolder() + u'/' + name + QStringLiteral("-every-note.png"));
            now.roll.image().save(outputFolder() + u'/' + name + QStringLiteral("-on-screen.png"));
        }
        EXPECT_TRUE(rollSame);
        EXPECT_TRUE(rulerSame);
    }
    // Both records changed alike, as a writer outside the drawing would.
    void bothGeometries(const std::function<void(NoteGeometryList&)>& change) {
        change(ref.geometry);
        change(now.geometry);
    }
};

TEST(LongSongDrawing, ScrollingAndEditingDrawWhatAWalkOverEveryNoteDraws) {
    LongSongDrawing d;
    const int screen = int(21600 * double(d.scene.Zoom) / Roll::TicksPerBeat);
    d.drawAndCompare("middle of the song");
    d.scene.HScrollValue += screen;
    d.drawAndCompare("one screen on");
    d.scene.HScrollValue -= screen / 2;
    d.drawAndCompare("half a screen back");

    // A selection from near the start to past the screen: its duration covers notes never drawn.
    d.scene.SelStart = d.noteOnScreen() + 40;
    d.scene.SelEnd = 3;
    d.drawAndCompare("selection reaching far off screen");
    d.scene.SelStart = d.noteOnScreen();
    d.scene.SelEnd = d.scene.SelStart + 2;

    // Edits between drawings, each before the screen so that every note on it moves or changes tempo.
    qint32 tempoNote = d.noteOnScreen() - 30;
    while (!d.notes.NoteExt[tempoNote].contains(QStringLiteral("tempo="))) --tempoNote;
    SetNoteOption(d.notes.NoteExt[tempoNote], QStringLiteral("tempo"), QStringLiteral("90"));
    d.drawAndCompare("tempo of a note before the screen");
    for (int k = 0; k < 3; ++k) {
        InsertNoteAt(300, d.notes);
        d.notes.Lengths[300] = 1440;
        d.notes.Lyrics[300] = QStringLiteral("ら");
    }
    d.drawAndCompare("notes inserted before the screen");
    for (int k = 0; k < 5; ++k) DeleteNoteAt(100, d.notes);
    d.drawAndCompare("notes removed before the screen");
    d.notes.Lengths[50] += 960;
    d.drawAndCompare("length of a note before the screen");
    d.scene.Tempo = 150;
    d.drawAndCompare("project tempo");
    d.notes.Lyrics.append(QStringLiteral("お"));
    d.notes.Lengths.append(1920);
    d.notes.NoteNums.append(50);
    d.notes.NoteExt.append(QString());
    d.drawAndCompare("a note added at the end");

    // The curve view with mode-2 curves and the selection start's handles; then without handles.
    d.scene.ShowCurve = true;
    d.scene.Mode2 = true;
    d.drawAndCompare("curve view");
    d.option = QStringLiteral("nobomb");
    d.drawAndCompare("curve view without handles");
    d.option.clear();

    // Playback counted from a note before the screen: the sounding note on screen, then past its right
    // edge, then before its left edge.
    const qint32 on = d.noteOnScreen();
    d.scene.PlayFirstNote = on - 30;
    const float pre = d.ref.geometry[on - 30].PreUtterMs;
    d.scene.PlayPosMs = playMsInto(d.notes, d.scene.Tempo, on - 30, pre, on, 5);
    d.drawAndCompare("playing on screen");
    EXPECT_EQ(d.ref.result.SoundingNote, on);
    const qint32 after = on + 80;
    d.scene.PlayPosMs = playMsInto(d.notes, d.scene.Tempo, on - 30, pre, after, 5);
    d.drawAndCompare("playing after the screen");
    EXPECT_EQ(d.ref.result.PlayScrollNote, after);
    d.scene.HScrollValue += 3 * screen;
    d.drawAndCompare("playing before the screen");
    EXPECT_EQ(d.ref.result.PlayScrollNote, after);
    // The first played note on screen: its start is read after the note before it filled its record.
    d.scene.HScrollValue -= 3 * screen;
    d.scene.PlayFirstNote = on;
    d.scene.PlayPosMs = 30000;
    d.drawAndCompare("playing from a note on screen");
    d.scene.PlayFirstNote = 0;
    d.scene.PlayPosMs = 0;
    d.scene.ShowCurve = d.scene.Mode2 = false;

    // The left edge exactly at the start of a note of no length: the note before ends at the edge.
    const qint32 zero = on + 5;
    d.notes.Lengths[zero - 1] += qint32((1920 - LongSongDrawing::startOf(d.notes, zero) % 1920) % 1920);
    d.notes.Lengths[zero] = 0;
    d.scene.HScrollValue = int(LongSongDrawing::startOf(d.notes, zero) / 1920);
    ASSERT_EQ(qint64(d.scene.HScrollValue) * 1920, LongSongDrawing::startOf(d.notes, zero));
    d.drawAndCompare("a note of no length at the left edge");
    // The note before reaching half a twip, a twip and more into the screen: a sliver of it shows.
    for (const char* step : {"half a twip into the screen", "one twip into the screen", "1.5 twips into the screen"}) {
        d.notes.Lengths[zero - 1] += 1;
        d.drawAndCompare(step);
    }
    d.scene.Zoom = 0.5f;
    d.drawAndCompare("zoomed in");
    d.scene.Zoom = 8.0f;
    d.drawAndCompare("zoomed out");
    d.scene.Zoom = 2.0f;

    // Records rewritten outside the drawing (the range read-out moves every left edge), and cut.
    d.bothGeometries([](NoteGeometryList& g) {
        for (NoteGeometryRecord& r : g) r.Left = 100;
    });
    d.memory.Drawn.forget();
    d.drawAndCompare("records rewritten by the range read-out");
    d.bothGeometries([](NoteGeometryList& g) { g.resize(10); });
    d.memory.Drawn.cut(10);
    d.drawAndCompare("records cut");

    // A note of negative length puts the notes out of order: every note is walked.
    d.notes.Lengths[20] = -4000;
    d.drawAndCompare("a negative length");
    d.notes.Lengths[20] = 480;

    d.scene.HScrollValue = d.beatOf(d.notes.noteCount() - 1);
    d.drawAndCompare("end of the song");
    d.scene.HScrollValue = 0;
    d.drawAndCompare("start of the song");
}

}  // namespace
