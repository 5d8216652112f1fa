#include "mainwindow/NoteDrawing.h"

#include "core/DefaultEnvelope.h"
#include "mainwindow/CurveDrawing.h"
#include "mainwindow/NoteDrawingServices.h"
#include "mainwindow/RollCanvas.h"
#include "mainwindow/NoteTimeline.h"
#include "mainwindow/RollCoordinates.h"
#include "platform/Vb.h"
#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {

namespace {

// The ruler's lower lane, cleared on every pass: y 210 .. 360.
constexpr double kLaneTop = 210;
constexpr double kLaneHeight = 150;

// Rounds to the nearest whole number, halves to even.
double roundEven(double v) { return std::nearbyint(v); }

QString tempoText(float tempo) { return Vb::Format(double(tempo), QStringLiteral("0.00")); }

}  // namespace

NoteDrawing::NoteDrawing(const NoteDrawingServices* services) : services_(services) {}

float NoteDrawing::noteWidth(double w) {
    if (w <= 20) return 20;
    return float(Vb::Int(w / 15 + 1.5) * 15);
}

float NoteDrawing::snappedLeft(double x) { return float(Vb::Int(x / 15 + 0.5) * 15); }

QString NoteDrawing::durationText(double seconds) {
    return Vb::Format(seconds, QStringLiteral("0.000000")) + QStringLiteral(" sec");
}

std::array<int16_t, 11> NoteDrawing::envelopeEntries(const QString& env) {
    const QStringList tokens = env.isEmpty() ? DefaultEnvelopeValues() : env.split(u' ');
    std::array<int16_t, 11> e{};
    for (int k = 0; k < 11; ++k) {
        const QString t = k < tokens.size() ? tokens[k] : QString();
        // A number beyond the 16-bit range is held at its end rather than failing the whole drawing.
        const double v = std::clamp(roundEven(Vb::Val(t)), double(std::numeric_limits<int16_t>::min()),
                                    double(std::numeric_limits<int16_t>::max()));
        e[k] = int16_t(v);
    }
    if (tokens.size() < 11 || tokens[10].isEmpty()) e[10] = e[4];
    return e;
}

NoteDrawingResult NoteDrawing::DrawNotes(const NoteArrays& notes, const NoteScene& scene, const NoteColors& colors,
                                         NoteGeometryList& geometry, CurveHandles& handles, RollCanvas& roll,
                                         RollCanvas& ruler, const QString& option, NoteLayerMemory* memory) const {
    NoteLayerMemory fresh;
    NoteLayerMemory& memo = memory ? *memory : fresh;
    NoteDrawingResult result;
    const bool curveView = scene.ShowCurve;
    const int hs = scene.HScrollValue;
    const int vs = scene.VScrollValue;
    const double zoom = double(scene.Zoom);
    const int rh = scene.RowHeight;

    const qint32 count = notes.noteCount();
    NoteTimeline& timeline = memo.Timeline;
    timeline.update(notes, scene.Tempo);
    const double rollWidth = roll.width();
    const double innerWidth = roll.scaleWidth();

    // The notes that can show: from the first one ending after the left edge to the last one starting
    // before the right edge, two twips to spare for the rounding of a note's edges. Every note outside
    // stays out of view. Notes out of order (a negative length) are all walked.
    qint32 first = 0, last = count - 1;
    if (timeline.ordered()) {
        const double leftTick = double(hs) * Roll::TicksPerBeat;
        first = timeline.firstEndingAfter(leftTick - 2 * zoom);
        last = timeline.lastStartingBy(leftTick + (rollWidth + 2) * zoom);
    }

    if (count > 0) {
        DrawnRecords& drawn = memo.Drawn;
        const qint32 had = qint32(geometry.size());
        if (geometry.constData() != drawn.data || had < drawn.size) drawn.forget();
        geometry.resize(count);
        geometry.detach();  // references into the records stay valid for the whole pass
        // A note not drawn has its left edge out of reach: those drawn last time are moved now, and so
        // are records added since; the others were moved by an earlier drawing.
        auto outOfReach = [&](qint32 from, qint32 to) {
            to = std::min(to, count - 1);
            for (qint32 i = std::max<qint32>(from, 0); i <= to; ++i) {
                if (i >= first && i <= last) {
                    i = last;
                    continue;
                }
                geometry[i].Left = -geometry[i].Width - 60;
            }
        };
        if (drawn.known) {
            outOfReach(drawn.first, drawn.last);
            outOfReach(std::min(had, drawn.size), count - 1);
        } else {
            outOfReach(0, count - 1);
        }
        drawn.known = true;
        drawn.first = first;
        drawn.last = last;
        drawn.data = geometry.constData();
        drawn.size = count;
    }
    handles.reset();

    ruler.setFontSize(RulerFontSize);
    ruler.fillBox(0, kLaneTop, ruler.width(), kLaneTop + kLaneHeight, colors.Back);

    const qint32 selLow = std::min(scene.SelStart, scene.SelEnd);
    const qint32 selHigh = std::max(scene.SelStart, scene.SelEnd);
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

    // Play times count from the pre-utterance in the first played note's record. It is read when the
    // walk reaches that note (the note before may just have filled the record); for a first played note
    // before the walked ones it is read now, and for one after them once the walk is done.
    float tempo = timeline.tempoAfter(first - 1);
    float prevTempo = tempo;
    double playBase = 0;
    bool playBaseRead = false;
    auto readPlayBase = [&] {
        playBase = roundEven(double(geometry[playFirst].PreUtterMs));
        playBaseRead = true;
    };
    double playStart = 0;
    // Position 0 stands for "nothing plays": no note sounds then, even when the first played note's
    // pre-utterance is negative and its start lies before the start of the output.
    const bool playing = scene.PlayPosMs != 0;
    if (playFirst < first && playFirst < count) {
        readPlayBase();
        playStart = playBase + (timeline.playMsBefore(first) - timeline.playMsBefore(playFirst));
    }

    for (qint32 i = first; i <= last; ++i) {
        const qint32 length = notes.Lengths.value(i);
        const QString& ext = notes.NoteExt.value(i);
        const QString& lyric = notes.Lyrics[i];
        const double s = double(timeline.startTick(i));
        const double x = roundEven((s - double(hs) * Roll::TicksPerBeat) / zoom);
        const double w = roundEven(double(length) / zoom);
        const bool visible = x <= rollWidth && x + w > 0;
        const bool selected = i >= selLow && i <= selHigh;
        bool ownTempo = false;
        ParseTempoField(ext, tempo, ownTempo);
        const double twipsPerMs = 0.032 * double(tempo) / zoom;
        const double lenMs = roundEven(double(length) * 31.25 / double(tempo));
        bool sounding = false;
        if (i >= playFirst) {
            if (i == playFirst) {
                readPlayBase();
                playStart = playBase;
            }
            sounding = playing && playStart < scene.PlayPosMs && scene.PlayPosMs < playStart + lenMs;
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
            if (i == scene.SelStart && services_) {
                const QString region = services_->FindSelectionRegion(notes, scene.SelStart, scene.SelEnd);
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
                g.Env = envelopeEntries(GetNoteOption(ext, QStringLiteral("env")));
                curves.DrawCurves(prevTempo, tempo, i, qint32(x), qint32(rowTop), selected);
            }

            g.NoteTempo = tempo;
            g.Width = noteWidth(w);
            g.Height = float(rh + 15);
            g.Left = snappedLeft(x);
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
        prevTempo = tempo;
    }

    // A note sounding outside the walked ones is out of view: playback has to scroll to it.
    if (playing && timeline.ordered() && playFirst < count) {
        if (!playBaseRead) readPlayBase();
        const double fromFirst = double(scene.PlayPosMs) - playBase + timeline.playMsBefore(playFirst);
        const qint32 k = timeline.noteAtPlayMs(fromFirst);
        if (k >= playFirst && (k < first || k > last)) {
            const auto& g = geometry[k];
            if (result.PlayScrollNote == -1) result.PlayScrollNote = k;
            if (result.SoundingNote == -1) result.SoundingNote = k;
            const double start = playBase + (timeline.playMsBefore(k) - timeline.playMsBefore(playFirst));
            const double twipsPerMs = 0.032 * double(timeline.tempoAfter(k)) / zoom;
            result.PlayCursorX = double(g.Left) + twipsPerMs * (double(scene.PlayPosMs) - start);
        }
    }

    result.SongLength = timeline.songLength();
    result.StatusText = durationText(count > 0 ? timeline.secondsOf(selLow, selHigh) : 0.0);
    result.HScrollMax = RollCoordinates::hScrollMax(result.SongLength, rollWidth, scene.Zoom);
    return result;
}

}  // namespace tova
