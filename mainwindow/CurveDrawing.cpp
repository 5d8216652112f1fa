#include "mainwindow/CurveDrawing.h"

#include "mainwindow/RollCanvas.h"
#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kHalfPi = 1.5707963267949;
// Phase percent to radians (2 pi / 100).
constexpr double kPhaseRadians = 0.0628318530717958;
// Curves are sampled once per pixel.
constexpr double kStep = 15;
// Old-kind pitch values are held within this magnitude.
constexpr double kMaxOldPitch = 8192;

// A blank-separated list; the empty text has no entries (a list of one empty entry would count as
// one zero value).
QStringList splitBlanks(const QString& text) {
    if (text.isEmpty()) return {};
    return text.split(u' ');
}

QString entry(const QStringList& list, qsizetype k) { return k < list.size() ? list[k] : QString(); }

// A number as the drawing prints it: a blank in front of values that are not negative, where the sign
// would stand.
QString printedNumber(double v) { return (v >= 0 ? QStringLiteral(" ") : QString()) + Vb::DoubleText(v); }

// Rounds to a whole twip, halves to even.
double roundTwip(double v) { return std::nearbyint(v); }

void centredBox(RollCanvas& canvas, double x, double y, int32_t color) {
    canvas.box(x - 30, y - 30, x + 30, y + 30, color);
}

}  // namespace

CurveDrawing::CurveDrawing(const CurveView& view, const NoteColors& colors, const NoteArrays& notes,
                           const NoteGeometryList& geometry, CurveHandles& handles, RollCanvas& roll)
    : view_(view), colors_(colors), notes_(notes), geometry_(geometry), handles_(handles), roll_(roll) {}

double CurveDrawing::xOfTime(double x, double t, double prevFactor, double thisFactor) const {
    return t < 0 ? x + t * prevFactor : x + t * thisFactor;
}

void CurveDrawing::DrawCurves(float prevTempo, float tempo, qint32 i, qint32 x, qint32 rowTop, bool selected) {
    if (i < 0 || i >= notes_.noteCount() || i >= geometry_.size()) return;
    const double zoom = double(view_.Zoom);
    const double prevFactor = double(prevTempo) * 0.032 / zoom;
    const double thisFactor = double(tempo) * 0.032 / zoom;
    double durMs = double(notes_.Lengths.value(i)) * 31.25 / double(tempo);
    if (i < notes_.noteCount() - 1 && i + 1 < geometry_.size())
        durMs += double(geometry_[i + 1].OverlapMs) - double(geometry_[i + 1].PreUtterMs);

    const int32_t pitchColor = selected ? colors_.PtchSel : colors_.PtchNor;
    const int32_t envColor = selected ? colors_.NoteSel : colors_.NoteNor;
    const int32_t oldColor = view_.Mode2 && view_.Trace ? pitchColor : colors_.PtchGry;

    if (!IsRestLyric(notes_.Lyrics[i])) {
        const QStringList fields = SplitNoteExt(notes_.NoteExt.value(i));
        const QString intensityText = fields[ExtIntensity];
        const double intensity = intensityText.isEmpty() ? 1.0 : Vb::Val(intensityText) / 100.0;
        roll_.print(x, rowTop - 180, printedNumber(intensity * 100), envColor);
        if (view_.ParamView) {
            const QString mod = fields[ExtModulation];
            roll_.print(x, rowTop + 240, QStringLiteral("mod ") + (mod.isEmpty() ? QStringLiteral("-") : mod),
                        pitchColor);
            roll_.print(x, rowTop + 480, GetBreathFlagLabel(fields[ExtFlags]), pitchColor);
            roll_.print(x, rowTop + 720, StripBreathFlag(fields[ExtFlags]), pitchColor);
        }
        drawEnvelope(i, x, rowTop, intensity, prevFactor, thisFactor, durMs, envColor);
    }

    if (!(view_.Mode2 && !view_.Trace)) drawOldPitch(i, x, rowTop, prevFactor, thisFactor, oldColor);

    if (view_.Mode2) {
        DrawMode2Pitch(i, x, rowTop, prevFactor, thisFactor, pitchColor);
        DrawVibrato(i, x, rowTop, thisFactor, pitchColor);
    }
}

EnvelopeOutline CurveDrawing::envelopeOutline(const NoteGeometryList::value_type& g, double x, double base,
                                              int rowHeight, double intensity, double prevFactor, double thisFactor,
                                              double durMs) {
    const auto& e = g.Env;
    auto xOf = [&](double t) { return t < 0 ? x + t * prevFactor : x + t * thisFactor; };
    auto yOf = [&](double v) { return base - double(rowHeight) * v / 100.0 * intensity; };
    EnvelopeOutline out;
    double t = -double(g.PreUtterMs);
    out.points[0] = {xOf(t), base};
    t += e[0];
    out.points[1] = {xOf(t), yOf(e[3])};  // P1: p1, v1
    t += e[1];
    out.points[2] = {xOf(t), yOf(e[4])};  // P2: p2, v2
    t += e[9];
    out.points[3] = {xOf(t), yOf(e[10])};  // P5: p5, v5
    const double t3 = durMs - e[2] - e[8];
    out.points[4] = {xOf(t3), yOf(e[5])};  // P3: end - p3 - p4, v3
    const double t4 = durMs - e[8];
    out.points[5] = {xOf(t4), yOf(e[6])};  // P4: end - p4, v4
    out.points[6] = {xOf(durMs), base - double(rowHeight) * 0.01 * intensity};
    out.warning = out.points[3].x > out.points[4].x;
    return out;
}

void CurveDrawing::drawEnvelope(qint32 i, qint32 x, qint32 rowTop, double intensity, double prevFactor,
                                double thisFactor, double durMs, int32_t color) {
    const int rh = view_.RowHeight;
    const double base = double(rowTop) + rh;
    const EnvelopeOutline env =
        envelopeOutline(geometry_[i], x, base, rh, intensity, prevFactor, thisFactor, durMs);
    const auto& p = env.points;
    roll_.line(p[0].x, p[0].y, p[1].x, p[1].y, color);
    roll_.line(p[1].x, p[1].y, p[2].x, p[2].y, color);
    roll_.line(p[2].x, p[2].y, p[3].x, p[3].y, color);
    if (env.warning) {
        const double top = base - (2.0 * rh + 90);
        roll_.fillBox(x, top, x + 135, top + rh, NoteColors::WarningFill);
        roll_.box(x, top, x + 135, top + rh, NoteColors::WarningRed);
        roll_.print(x + 60, top + 30, QStringLiteral("!"), NoteColors::WarningRed);
    }
    roll_.line(p[3].x, p[3].y, p[4].x, p[4].y, color);
    roll_.line(p[4].x, p[4].y, p[5].x, p[5].y, color);
    roll_.line(p[5].x, p[5].y, p[6].x, p[6].y, color);
}

void CurveDrawing::drawOldPitch(qint32 i, qint32 x, qint32 rowTop, double prevFactor, double thisFactor,
                                int32_t color) {
    if (thisFactor <= 0) return;
    const QStringList values = splitBlanks(NoteExtField(notes_.NoteExt.value(i), ExtPitches));
    if (values.size() < 2) return;
    const auto& g = geometry_[i];
    const double rh = view_.RowHeight;
    const double centre = double(rowTop) + rh / 2;
    const double soundStart = xOfTime(x, -double(g.PreUtterMs), prevFactor, thisFactor);
    const double width = roll_.width();
    double px = 0, py = 0;
    for (qsizetype k = 0; k < values.size(); ++k) {
        const double t = double(k) * 20.0 / double(view_.Zoom) / thisFactor - double(g.PreUtterMs) -
                         double(g.StartPointMs);
        const double xk = xOfTime(x, t, prevFactor, thisFactor);
        const double v = std::clamp(Vb::Val(values[k]), -kMaxOldPitch, kMaxOldPitch);
        const double yk = centre - v / 100.0 * rh;
        if (k > 0 && xk >= soundStart) roll_.line(px, py, xk, yk, color);
        px = xk;
        py = yk;
        // Points further right can no longer touch the roll.
        if (xk > width + kStep) break;
    }
}

QList<PitchPoint> CurveDrawing::mode2Points(const NoteArrays& notes, qint32 i, double x, double rowTop, int rowHeight,
                                            double prevFactor, double thisFactor) {
    QList<PitchPoint> points;
    if (i < 0 || i >= notes.noteCount()) return points;
    const QString& ext = notes.NoteExt.value(i);
    const QStringList widths = splitBlanks(GetNoteOption(ext, QStringLiteral("PBW")));
    if (widths.isEmpty()) return points;
    const QStringList start = GetNoteOption(ext, QStringLiteral("PBS")).split(u';');
    double t = Vb::Val(entry(start, 0));
    const double ys = Vb::Val(entry(start, 1));
    const QStringList heights = splitBlanks(GetNoteOption(ext, QStringLiteral("PBY")));
    const QStringList shapes = splitBlanks(GetNoteOption(ext, QStringLiteral("PBM")));

    auto xOf = [&](double tt) { return tt < 0 ? x + tt * prevFactor : x + tt * thisFactor; };
    const double rh = rowHeight;
    const double centre = rowTop + rh / 2;
    const double d = i > 0 ? double(notes.NoteNums.value(i - 1)) - double(notes.NoteNums.value(i)) : 0.0;
    const double prevY = rowTop - (d - 0.5) * rh;

    double y0 = centre;
    if (i > 0) y0 = IsRestLyric(notes.Lyrics[i - 1]) ? rowTop - (ys / 10 - 0.5) * rh : prevY;
    points.append({xOf(t), y0, QString()});

    const qsizetype last = widths.size() - 1;
    for (qsizetype k = 0; k <= last; ++k) {
        t += Vb::Val(widths[k]);
        const QString h = entry(heights, k);
        double yk;
        if (!h.isEmpty())
            yk = rowTop - (Vb::Val(h) / 10 - 0.5) * rh;
        else
            yk = k != last && t < 0 ? prevY : centre;
        points.append({xOf(t), yk, entry(shapes, k)});
    }
    return points;
}

void CurveDrawing::DrawMode2Pitch(qint32 i, qint32 x, qint32 rowTop, double prevFactor, double thisFactor,
                                  int32_t color) {
    const QList<PitchPoint> points = mode2Points(notes_, i, x, rowTop, view_.RowHeight, prevFactor, thisFactor);
    if (points.isEmpty()) return;
    const bool withHandles = view_.HandlesWanted && i == view_.SelStart;
    if (withHandles) {
        centredBox(roll_, points[0].x, points[0].y, color);
        handles_.PitchPointPos.resize(1);
        handles_.PitchPointPos[0] = {float(points[0].x), float(points[0].y), 0, 0};
        handles_.PitchPointsShown = true;
    }
    for (qsizetype k = 1; k < points.size(); ++k) {
        const PitchPoint& a = points[k - 1];
        const PitchPoint& b = points[k];
        if (b.shape == QStringLiteral("s"))
            roll_.line(a.x, a.y, b.x, b.y, color);
        else
            DrawPortamentoSegment(roll_, a.x, a.y, b.x, b.y, color, b.shape);
        if (withHandles) {
            centredBox(roll_, b.x, b.y, color);
            handles_.PitchPointPos.resize(k + 1);
            handles_.PitchPointPos[k] = {float(b.x), float(b.y), 0, 0};
        }
    }
}

double CurveDrawing::portamentoY(const QString& shape, double x, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    if (shape == QStringLiteral("r")) {
        const double w = std::sin((x - x0) * kHalfPi / dx);
        return (1 - w) * y0 + w * y1;
    }
    if (shape == QStringLiteral("j")) {
        const double w = std::cos((x - x0) * kHalfPi / dx);
        return (1 - w) * y1 + w * y0;
    }
    const double w = 0.5 * std::cos((x - x0) * kPi / dx) + 0.5;
    return (1 - w) * y1 + w * y0;
}

void CurveDrawing::DrawPortamentoSegment(RollCanvas& canvas, double x0, double y0, double x1, double y1,
                                         int32_t color, const QString& shape) {
    if (x1 == x0) return;
    double px = x0, py = y0;
    for (qint64 n = 0;; ++n) {
        const double x = x0 + double(n) * kStep;
        if (x > x1) break;
        const double y = portamentoY(shape, x, x0, y0, x1, y1);
        canvas.line(px, py, x, y, color);
        px = x;
        py = y;
    }
}

VibratoLayout CurveDrawing::vibratoLayout(const QString& vbr, qint32 length, double x, double rowTop, float zoom,
                                          int rowHeight, double thisFactor) {
    VibratoLayout v;
    const double wNote = double(length) / double(zoom);
    const QStringList f = splitBlanks(vbr);
    if (f.size() < 5 || !(wNote > 50)) return v;
    const double len = Vb::Val(f[0]);
    if (!(len > 0 && len <= 100)) return v;
    v.xEnd = x + wNote;
    v.xVib = v.xEnd - len / 100 * wNote;
    v.depth = Vb::Val(f[2]) * rowHeight / 100;
    v.cycle = Vb::Val(f[1]) * thisFactor;
    if (!(v.cycle > 0)) return v;
    const double span = v.xEnd - v.xVib;
    v.fadeIn = std::abs(Vb::Val(f[3]) / 100 * span);
    v.fadeOut = std::abs(Vb::Val(f[4]) / 100 * span);
    v.inEnd = v.xVib + v.fadeIn;
    v.outStart = v.xEnd - v.fadeOut;
    if (v.inEnd > v.outStart) {
        v.inEnd = (2 * v.xVib + v.xEnd) / 3;
        v.outStart = (2 * v.xEnd + v.xVib) / 3;
    }
    const double phasePercent = Vb::Val(entry(f, 5));
    v.phase = phasePercent * kPhaseRadians;
    v.height = Vb::Val(entry(f, 6)) / 100;
    v.shift = v.height * v.depth;
    v.drawn = true;

    const double yH = rowTop + 1.5 * rowHeight;
    v.yHandles = yH;
    const double d = v.depth, s = v.shift;
    auto rect = [](double l, double t, double r, double b) { return HandleRect{float(l), float(t), float(r), float(b)}; };
    v.handles[0] = rect(v.xVib - 15, yH - d - 15, v.xVib + 15, yH + d + 15);
    {
        const double l = v.xVib + v.cycle - 30, t = yH - 30;
        v.handles[1] = rect(l, t, l + 60, t + 60);
    }
    {
        const double t = yH - d - 30 - s;
        v.handles[2] = rect(v.inEnd, t, v.outStart, t + 45);
    }
    {
        const double t = yH + d - s;
        v.handles[3] = rect(v.inEnd, t, v.outStart, t + 45);
    }
    v.handles[4] = rect(v.xVib + v.fadeIn - 15, yH - d - 15 - s, v.xVib + v.fadeIn + 15, yH + d + 15 - s);
    v.handles[5] = rect(v.xEnd - v.fadeOut - 15, yH - d - 15 - s, v.xEnd - v.fadeOut + 15, yH + d + 15 - s);
    {
        const double l = v.cycle * phasePercent / 100 + v.xVib - 30, t = yH + d;
        v.handles[6] = rect(l, t, l + 60, t + 60);
    }
    v.handles[7] = rect(v.inEnd, yH - d - s, v.outStart, yH + d - s);
    return v;
}

double CurveDrawing::vibratoY(const VibratoLayout& v, double x, double yC) {
    double env = v.fadeIn > 0 && x < v.xVib + v.fadeIn ? (x - v.xVib) / v.fadeIn : 1.0;
    if (v.fadeOut > 0 && x > v.xEnd - v.fadeOut) env = env * (v.xEnd - x) / v.fadeOut;
    const double a = (x - v.xVib) * 2 * kPi / v.cycle - v.phase;
    return yC - (std::sin(a) + v.height) * v.depth * env;
}

void CurveDrawing::DrawVibrato(qint32 i, qint32 x, qint32 rowTop, double thisFactor, int32_t color) {
    if (i < 0 || i >= notes_.noteCount()) return;
    const VibratoLayout v = vibratoLayout(GetNoteOption(notes_.NoteExt.value(i), QStringLiteral("VBR")),
                                          notes_.Lengths.value(i), x, rowTop, view_.Zoom, view_.RowHeight, thisFactor);
    if (!v.drawn) return;

    if (view_.HandlesWanted && i == view_.SelStart) {
        handles_.VibratoHandleRect = QList<HandleRect>(v.handles.begin(), v.handles.end());
        handles_.VibratoHandlesShown = true;
        const int32_t grey = NoteColors::HandleGrey;
        const HandleRect& h0 = v.handles[0];
        roll_.line(v.xVib, h0.Top, v.xVib, h0.Bottom, grey);
        const HandleRect& h1 = v.handles[1];
        roll_.box(h1.Left, h1.Top, h1.Right, h1.Bottom, grey);
        const HandleRect& h6 = v.handles[6];
        roll_.box(h6.Left, h6.Top, h6.Right, h6.Bottom, grey);
        const double yH = v.yHandles;
        const double left = v.xVib + v.fadeIn, right = v.xEnd - v.fadeOut;
        const double top = yH - v.depth - 15 - v.shift, bottom = yH + v.depth + 15 - v.shift;
        roll_.box(left, top, right, bottom, grey);
        roll_.line(v.xVib, yH - 15, left, top, grey);
        roll_.line(v.xVib, yH + 15, left, bottom, grey);
        roll_.line(v.xEnd, yH - 15, right, top, grey);
        roll_.line(v.xEnd, yH + 15, right, bottom, grey);
    }

    // The curve on the note's own row, one sample per pixel. Samples left of the roll are skipped (the
    // last one before the edge is kept as the line's start) and the walk stops past the right edge.
    const double yC = rowTop + view_.RowHeight / 2.0;
    const double xs = roundTwip(v.xVib), xe = roundTwip(v.xEnd);
    const double right = roll_.width() + kStep;
    qint64 n = 0;
    double px = xs, py = roundTwip(yC);
    if (xs < -kStep) {
        n = qint64(std::floor((-kStep - xs) / kStep));
        if (n > 0) {
            px = xs + double(n - 1) * kStep;
            py = vibratoY(v, px, yC);
        }
    }
    for (;; ++n) {
        const double cx = xs + double(n) * kStep;
        if (cx > xe) break;
        const double cy = vibratoY(v, cx, yC);
        roll_.line(px, py, cx, cy, color);
        px = cx;
        py = cy;
        if (cx > right) break;
    }
}

QString CurveDrawing::StripBreathFlag(const QString& flags) {
    const qsizetype b = flags.indexOf(u'B');
    if (b < 0) return flags;
    qsizetype e = b + 1;
    while (e < flags.size() && flags[e] >= u'0' && flags[e] <= u'9') ++e;
    return flags.left(b) + flags.mid(e);
}

QString CurveDrawing::GetBreathFlagLabel(const QString& flags) {
    const qsizetype b = flags.indexOf(u'B');
    if (b < 0) return QString();
    // The number right after the letter: an optional sign, digits and a fraction.
    qsizetype e = b + 1;
    if (e < flags.size() && (flags[e] == u'-' || flags[e] == u'+')) ++e;
    const qsizetype digits = e;
    while (e < flags.size() && flags[e].isDigit() && flags[e].unicode() < 128) ++e;
    if (e < flags.size() && flags[e] == u'.') {
        ++e;
        while (e < flags.size() && flags[e].isDigit() && flags[e].unicode() < 128) ++e;
    }
    const QString number = flags.mid(b + 1, e - b - 1);
    const double value = e > digits ? Vb::Val(number) : 0.0;
    return QStringLiteral("bre ") + Vb::DoubleText(value);
}

}  // namespace tova
