#include "editors/PitchEditor.h"

#include "core/MessageTable.h"
#include "core/WaveFiles.h"
#include "platform/ClipboardPort.h"
#include "platform/MessageBoxPort.h"
#include "platform/Vb.h"

#include <algorithm>
#include <cmath>

namespace tova {
namespace {

constexpr double kPi = 3.14159265358979;

}  // namespace

const QStringList PitchEditor::VibratoAmplitudes{
    QStringLiteral("-7"), QStringLiteral("-6"), QStringLiteral("-5"), QStringLiteral("-4"), QStringLiteral("-3"),
    QStringLiteral("-2"), QStringLiteral("-1"), QStringLiteral("1"),  QStringLiteral("2"),  QStringLiteral("3"),
    QStringLiteral("4"),  QStringLiteral("5"),  QStringLiteral("6"),  QStringLiteral("7")};

QString PitchEditor::PointCaption(float value) { return Vb::Format(value, QStringLiteral("+00.0;-00.0")); }

PitchWave ReadPitchWave(const QString& path) {
    PitchWave w;
    if (path.isEmpty()) return w;
    WaveHeader h;
    QVector<qint16> samples;
    if (ReadWaveFile(h, samples, path) <= 0 || h.samplesPerSec <= 0 || h.blockAlign <= 0) return w;
    w.read = true;
    w.sampleRate = h.samplesPerSec;
    w.channels = h.channels;
    w.dataSize = h.dataSize;
    w.blockAlign = h.blockAlign;
    w.samples = std::move(samples);
    return w;
}

// ---- model ----

void PitchEditor::load(const PitchCurveArgs& args, const PitchWave& sample, qint32 frqFrames, const PitchWave* cache) {
    Points.clear();
    BeyondTokens.clear();
    HZoom = 2;
    VZoom = 45;
    HScrollValue = 0;
    VScrollValue = 0;
    ScrollX = 0;
    Tempo = args.tempo;
    WaveX = 0;
    WavePath = args.wavePath;

    SampleRate = sample.sampleRate;
    Channels = sample.channels;
    Samples = sample.samples;
    WaveRead = sample.read;
    if (!sample.read) frqFrames = 0;

    LastPoint = frqFrames - 1;
    SampleCount = Vb::CLng(double(sample.dataSize) / sample.blockAlign);
    if (args.cutoff > 0) SampleCount -= qint32(std::floor(args.cutoff / 1000.0 * SampleRate));

    const QStringList tokens = args.pitchText.isEmpty() ? QStringList() : args.pitchText.split(u' ');
    OldData = !tokens.isEmpty() && !tokens[0].contains(u'P') && !tokens[0].contains(u'Q');
    // A tempo of 0 or less has no beat to space the points by; the editor then spaces them at 120.
    const double tempo = Tempo > 0 ? Tempo : 120.0;
    SamplesPerPoint = OldData ? 256.0f : float(std::floor(60.0 / 96.0 / tempo * SampleRate + 0.5));

    TwipsPerSecond = float(SampleRate * 300.0 / 256.0);
    const auto x = [this](double ms) { return float(ms / 1000.0 * TwipsPerSecond); };
    PreX = x(args.preutterance);
    OffsetX = x(args.offset);
    ConsonantX = x(args.consonant);
    LengthX = x(args.lengthMs);
    TailX = x(args.tail);
    StartPointX = x(args.startPoint);
    TotalX = std::floor((double(args.preutterance) + args.lengthMs + args.tail) / 50.0 + 1.5) / 20.0 * TwipsPerSecond;

    if (cache) {
        Samples = cache->samples;
        WaveRead = cache->read;
        WaveX = OffsetX;
    }

    if (!OldData)
        LastPoint = Vb::CLng((double(LengthX) + PreX + TailX + StartPointX) / 300.0 * 256.0 / SamplesPerPoint + 1);
    else if (LastPoint <= 0)
        LastPoint = Vb::CLng(SampleCount / 256.0 + 1);
    if (LastPoint < 0) LastPoint = 0;

    Points = QVector<float>(LastPoint + 1, 0.0f);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const qint32 v = qint32(std::clamp(Vb::Val(tokens[i]), -2048.0, 2047.0));
        if (i <= LastPoint)
            Points[i] = float(v) / 10.0f;
        else
            BeyondTokens.append(v);
    }
    HandleLeft.clear();
    HandleTop.clear();
    HandleVisible.clear();
    Segment.clear();
    SegmentVisible.clear();
    SelStart = SelEnd = 0;
}

QString PitchEditor::pitchText() const {
    if (Points.isEmpty()) return {};
    QVector<qint32> values;
    values.reserve(Points.size() + BeyondTokens.size());
    // Held within what the note's pitch field reads back; a value no number gives is 0.
    for (float p : Points) {
        const double v = std::floor(double(p) * 10 + 0.5);
        values.append(std::isnan(v) ? 0 : qint32(std::clamp(v, -2048.0, 2047.0)));
    }
    values += BeyondTokens;
    qsizetype last = values.size() - 1;
    while (last >= 0 && values[last] == 0) --last;
    if (last < 0) return {};
    QString text = QString::number(values[0]);
    if (!OldData) text += u'Q' + Vb::SingleText(Tempo);
    for (qsizetype j = 1; j <= last; ++j) {
        text += u' ';
        text += QString::number(values[j]);
    }
    return text;
}

QString PitchEditor::caption() const {
    const qsizetype cut = std::max(WavePath.lastIndexOf(u'\\'), WavePath.lastIndexOf(u'/'));
    return QStringLiteral("ピッチエディタ ") + WavePath.mid(cut + 1);
}

// ---- view ----

void PitchEditor::ensureHandles(int count) {
    if (Points.size() < count) {
        // Points that come into view again take back the values the text held there, so the tokens kept
        // beyond the edited range stay at their places.
        const qsizetype from = Points.size();
        Points.resize(count, 0.0f);
        for (qsizetype i = from; i < count && !BeyondTokens.isEmpty(); ++i) Points[i] = float(BeyondTokens.takeFirst()) / 10.0f;
    }
    if (HandleLeft.size() >= count) return;
    HandleLeft.resize(count, 0.0);
    HandleTop.resize(count, 0.0);
    HandleVisible.resize(count, true);
    Segment.resize(count);
    SegmentVisible.resize(count, false);
}

void PitchEditor::Form_Load() {
    ensureHandles(LastPoint + 1);
    for (int i = 0; i <= LastPoint; ++i) {
        HandleVisible[i] = true;
        SegmentVisible[i] = i < LastPoint;
    }
    SelStart = SelEnd = 0;
    cboVibrato = 12;
    Loading = true;
    Check1Visible = OldData;
    Check1 = OldData;
    Loading = false;
}

void PitchEditor::Form_Resize(double scaleWidth, double scaleHeight) {
    ScaleWidth = scaleWidth;
    ScaleHeight = scaleHeight;
    OriginY = (ScaleHeight - 255) / 2 - VScrollValue * 240;
    ApplyZoom();
}

void PitchEditor::ApplyZoom() {
    const double total = (TotalX + StartPointX + OffsetX) / HZoom;
    if (ScaleWidth < total) {
        HScrollMax = Vb::CInt((total - ScaleWidth) / 300);
        HScrollLargeChange = std::max<int>(1, Vb::CInt(ScaleWidth / 600));
    } else {
        HScrollMax = 0;
    }
    HScrollValue = std::clamp(HScrollValue, 0, HScrollMax);
    ScrollX = HScrollValue * 300.0;
    Redraw(OldData);
}

void PitchEditor::Redraw(bool oldMode) {
    ensureHandles(LastPoint + 1);
    const double outer = HandleOuterSize(), inner = HandleInnerSize();
    const bool small = HZoom < 6;
    double anchor = 0, stretch = 1;
    if (oldMode) {
        anchor = OffsetX + ConsonantX;
        const double room = SampleCount * 1.171875 - OffsetX - ConsonantX;
        stretch = room > 0 ? (TotalX - ConsonantX) / room : 1;
        if (stretch < 1) stretch = 1;
    }
    for (int i = 0; i <= LastPoint; ++i) {
        double x = modelX(i);
        if (oldMode && x > anchor) x = (300.0 * i - anchor) * stretch + anchor;
        double left = x / HZoom - ScrollX - inner + 0.5;
        if (!oldMode) left += OffsetX / HZoom;
        const double top = OriginY - VZoom * double(Points[i]) - inner + 0.5;
        const bool onScreen = left + outer > 0 && left < ScaleWidth;
        if (onScreen || !small) {
            HandleLeft[i] = left;
            HandleTop[i] = top;
            HandleVisible[i] = small;
            Segment[i].setP1(QPointF(left + inner, top + inner));
            SegmentVisible[i] = i < LastPoint;
            if (i > 0) {
                if (HandleVisible[i - 1] || !small) {
                    Segment[i - 1].setP2(QPointF(left + inner, top + inner));
                    SegmentVisible[i - 1] = true;
                } else {
                    SegmentVisible[i - 1] = false;
                }
            }
        } else {
            HandleVisible[i] = false;
            SegmentVisible[i] = false;
            if (i > 0) SegmentVisible[i - 1] = false;
        }
    }
}

void PitchEditor::HScroll1_Change(int value) {
    HScrollValue = value;
    ScrollX = value * 300.0;
    Redraw(OldData);
}

void PitchEditor::VScroll1_Change(int value) {
    VScrollValue = value;
    OriginY = (ScaleHeight - 255) / 2 - VScrollValue * 240;
    Redraw(OldData);
}

void PitchEditor::cmdZoomIn_Click() {
    if (HZoom > 1) --HZoom;
    ApplyZoom();
}
void PitchEditor::cmdZoomOut_Click() {
    if (HZoom < 12) ++HZoom;
    ApplyZoom();
}
void PitchEditor::cmdVZoomIn_Click() {
    if (VZoom < 150) VZoom += 15;
    ApplyZoom();
}
void PitchEditor::cmdVZoomOut_Click() {
    if (VZoom > 15) VZoom -= 15;
    ApplyZoom();
}

void PitchEditor::Check1_Click(bool checked) {
    Check1 = checked;
    if (Loading) return;
    OldData = checked;
    LastPoint = OldData ? Vb::CLng(SampleCount / 256.0) : Vb::CLng(LengthX / 300.0 + 0.5);
    if (LastPoint < 0) LastPoint = 0;
    ApplyZoom();
}

bool PitchEditor::IsPointSelected(int index) const {
    return std::min(SelStart, SelEnd) <= index && index <= std::max(SelStart, SelEnd);
}

QList<PitchBand> PitchEditor::ScaleBands() const {
    const auto sx = [this](double mx) { return mx / HZoom - ScrollX; };
    const double noteEnd = OffsetX + PreX + LengthX + StartPointX;
    const double spanEnd = OffsetX + TotalX + StartPointX;
    return {
        {sx(0), sx(OffsetX), 192, 192, 192},
        {sx(OffsetX), sx(OffsetX + ConsonantX), 255, 192, 255},
        {sx(OffsetX + ConsonantX), sx(noteEnd), 255, 255, 255},
        {sx(OffsetX), sx(OffsetX + StartPointX), 160, 192, 160},
        {sx(noteEnd), sx(spanEnd), 208, 208, 208},
        {sx(spanEnd), ScaleWidth, 204, 204, 204},
    };
}

double PitchEditor::NoteStartMarkX() const { return (OffsetX + PreX + StartPointX) / HZoom - ScrollX; }
double PitchEditor::NoteEndMarkX() const { return (OffsetX + PreX + LengthX + StartPointX + TailX) / HZoom - ScrollX; }

QList<std::pair<double, QString>> PitchEditor::TimeLabels() const {
    QList<std::pair<double, QString>> labels;
    const double step = SampleRate * 30.0 / 256.0;
    if (step <= 0) return labels;
    const qint32 count = Vb::CLng(TotalX / step * HZoom);
    for (qint32 i = 0; i <= count; ++i) {
        const double x = (OffsetX + PreX + StartPointX + i * step) / HZoom - 75 - ScrollX;
        labels.append({x, Vb::Format(i / 10.0, QStringLiteral("0.0"))});
    }
    return labels;
}

QVector<QPointF> PitchEditor::WaveformLine() const {
    QVector<QPointF> line{QPointF(0, OriginY)};
    const double yScale = ScaleHeight / 65536.0;
    const qsizetype stride = Channels <= 0 ? 4 : qsizetype(Channels) * 4;
    qint64 prevCx = 0, prevCy = 0;
    for (qsizetype i = 0; i < Samples.size(); i += stride) {
        const double x = (i * 300.0 / 255.0 + WaveX) / HZoom - ScrollX;
        const double y = -Samples[i] * yScale + OriginY;
        const qint64 cx = qint64(std::nearbyint(x)) / 15, cy = qint64(std::nearbyint(y)) / 15;
        if (cx == prevCx && cy == prevCy) continue;
        if (x > 0 && x < ScaleWidth) line.append(QPointF(x, y));
        prevCx = cx;
        prevCy = cy;
    }
    return line;
}

// ---- editing ----

void PitchEditor::placePoint(int i) {
    const double inner = HandleInnerSize();
    ensureHandles(i + 1);
    HandleTop[i] = OriginY - VZoom * double(Points[i]) - inner + 0.5;
    Segment[i].setP1(QPointF(Segment[i].x1(), HandleTop[i] + inner));
    if (i > 0) Segment[i - 1].setP2(QPointF(Segment[i - 1].x2(), HandleTop[i] + inner));
}

void PitchEditor::SelectBetweenLines() {
    const bool big = HZoom >= 6;
    SelStart = SelEnd = -1;
    InsertIndex = 0;
    bool insertFound = false;
    const double left = std::min(Line1X, Line2X), right = std::max(Line1X, Line2X);
    for (int i = 0; i < Points.size() && i < HandleLeft.size(); ++i) {
        if (!HandleVisible[i] && !big) continue;
        const double l = HandleLeft[i];
        if (!insertFound && l > Line1X) {
            InsertIndex = i;
            insertFound = true;
        }
        if (l + 75 >= left && l <= right) {
            if (SelStart < 0) SelStart = i;
            SelEnd = i;
        }
    }
}

void PitchEditor::SetPointsAtX(double x, double y) {
    for (int i = 0; i < Points.size() && i < HandleLeft.size(); ++i) {
        if (!HandleVisible[i]) continue;
        const double l = HandleLeft[i];
        if (l <= x && x <= l + 75) {
            Points[i] = float((OriginY - y) / VZoom);
            placePoint(i);
        }
    }
}

void PitchEditor::Form_MouseDown(int button, double x, double y) {
    if (button != 1) return;
    Line1X = Line2X = x;
    Line1Visible = Line2Visible = true;
    Line1Black = false;
    if (ToolIndex == 6) SetPointsAtX(x, y);
    SelectBetweenLines();
    Dragging = true;
}

void PitchEditor::Form_MouseMove(double x, double y) {
    if (!Dragging) return;
    Line2X = x;
    if (ToolIndex == 6) SetPointsAtX(x, y);
    SelectBetweenLines();
}

void PitchEditor::Form_MouseUp(double x) {
    if (!Dragging) return;
    Line2X = x;
    if (SelStart >= 0 || InsertIndex == 0)
        Line1Visible = false;
    else
        Line1Black = true;
    Line2Visible = false;
    Dragging = false;
}

void PitchEditor::lbTone_MouseDown(int index, int button, double x, double y) {
    if (button != 1 || index < 0 || index >= Points.size()) return;
    PressX = x;
    PressY = y;
    GrabbedHandle = index;
    HandleDrag = true;
}

void PitchEditor::lbTone_MouseMove(int index, double, double y) {
    if (!HandleDrag || index < 0 || index >= Points.size() || index >= HandleTop.size()) return;
    const bool sel = IsPointSelected(index);
    const double inner = HandleInnerSize();
    const double newTop = HandleTop[index] + y - PressY;
    if (!(sel && (ToolIndex == 1 || ToolIndex == 6))) {
        HandleTop[index] = newTop;
        Segment[index].setP1(QPointF(Segment[index].x1(), newTop + inner));
        if (index > 0) Segment[index - 1].setP2(QPointF(Segment[index - 1].x2(), newTop + inner));
    }
    Points[index] = float((OriginY - inner - newTop) / VZoom);
    if (!sel || SelEnd == SelStart) return;
    switch (ToolIndex) {
        case 1: {
            const int step = SelEnd > SelStart ? 1 : -1;
            for (int j = SelStart;; j += step) {
                if (j < 0 || j >= HandleTop.size() || j >= Points.size()) break;
                const double t = HandleTop[j] + y - PressY;
                Points[j] = float((OriginY - inner - t) / VZoom);
                HandleTop[j] = t;
                Segment[j].setP1(QPointF(Segment[j].x1(), t + inner));
                if (j > 0) Segment[j - 1].setP2(QPointF(Segment[j - 1].x2(), t + inner));
                if (j == SelEnd) break;
            }
            break;
        }
        case 2:
            MakeStraight(SelStart, index);
            MakeStraight(SelEnd, index);
            break;
        case 3:
            MakeCurveAlt(SelStart, index, 2);
            MakeCurveAlt(SelEnd, index, 2);
            break;
        case 4:
            MakeCurve(SelStart, index);
            MakeCurve(SelEnd, index);
            break;
        case 5:
            MakeCurveAlt(SelStart, index, 1);
            MakeCurveAlt(SelEnd, index, 1);
            break;
        default:
            break;
    }
}

void PitchEditor::lbTone_MouseUp() {
    HandleDrag = false;
    GrabbedHandle = -1;
}

// kind 0 straight, 1 S-curve, 2 quarter sine (fast start), 3 quarter cosine (slow start).
void PitchEditor::shape(int a, int b, int kind) {
    if (a == b || a < 0 || b < 0 || a >= HandleLeft.size() || b >= HandleLeft.size()) return;
    const double la = HandleLeft[a], dx = HandleLeft[b] - la;
    const double va = Points[a], dv = double(Points[b]) - va;
    const double pi = 4 * std::atan(1.0);
    const int step = b > a ? 1 : -1;
    for (int i = a;; i += step) {
        // Two handles at the same x (points packed closer than a twip) are spread by their indexes.
        const double t = dx != 0 ? (HandleLeft[i] - la) / dx : double(i - a) / (b - a);
        double f = t;
        if (kind == 1) f = 0.5 - 0.5 * std::cos(pi * t);
        else if (kind == 2) f = std::sin(pi / 2 * t);
        else if (kind == 3) f = 1 - std::cos(pi / 2 * t);
        Points[i] = float(va + f * dv);
        placePoint(i);
        if (i == b) break;
    }
}

void PitchEditor::MakeStraight(int a, int b) { shape(a, b, 0); }
void PitchEditor::MakeCurve(int a, int b) { shape(a, b, 1); }
void PitchEditor::MakeCurveAlt(int a, int b, int mode) { shape(a, b, mode == 1 ? 2 : 3); }

void PitchEditor::cmdSetZero_Click() {
    if (SelStart == SelEnd || SelStart < 0 || SelEnd < 0) return;
    for (int i = std::min(SelStart, SelEnd); i <= std::max(SelStart, SelEnd) && i < Points.size(); ++i) {
        Points[i] = 0;
        placePoint(i);
    }
}

void PitchEditor::cmdReset_Click() {
    for (int i = 0; i < Points.size(); ++i) {
        Points[i] = 0;
        placePoint(i);
    }
}

void PitchEditor::cmdVibrato_Click() {
    ++VibratoCycles;
    UpdateVibrato();
}

void PitchEditor::cmdVibrato2_Click() {
    --VibratoCycles;
    UpdateVibrato();
}

void PitchEditor::cboVibrato_Click(int index) {
    cboVibrato = index;
    UpdateVibrato();
}

void PitchEditor::UpdateVibrato() {
    if (SelStart == SelEnd || SelStart < 0 || SelEnd < 0) return;
    if (SelEnd < SelStart) std::swap(SelStart, SelEnd);
    const int span = SelEnd - SelStart;
    if (VibratoCycles > span) VibratoCycles = 0;
    if (VibratoCycles < 0) VibratoCycles = span;
    if (SelEnd < HandleLeft.size() && HandleLeft[SelStart] == HandleLeft[SelEnd]) return;
    const double amp = Vb::Val(VibratoAmplitudes.value(cboVibrato));
    for (int i = SelStart; i <= SelEnd && i < Points.size(); ++i) {
        // The phase counts from the selection's first point, so the wave has the same shape wherever
        // the selection lies.
        const double a = (i - SelStart) * VibratoCycles * kPi / span;
        Points[i] = float(VibratoCycles == span ? amp * std::cos(a) : amp * std::sin(a));
    }
    Redraw(OldData);
}

void PitchEditor::DeleteSelection() {
    const int n = int(Points.size()) - 1;
    const int from = std::min(SelStart, SelEnd), to = std::min(std::max(SelStart, SelEnd), n);
    const int count = to - from + 1;
    if (from < 0 || count <= 0) return;
    for (int j = to + 1; j <= n; ++j) Points[j - count] = Points[j];
    for (int k = 0; k < count; ++k) Points[n - k] = 0;
    SelStart = SelEnd = -1;
    Redraw(OldData);
}

QString PitchEditor::CopyText() const {
    QString text;
    const int from = std::min(SelStart, SelEnd), to = std::max(SelStart, SelEnd);
    for (int i = 0; i < Points.size(); ++i) {
        if (SelStart >= 0 && (i < from || i > to)) continue;
        text += Vb::Format(Points[i], QStringLiteral("0.00"));
        text += u' ';
    }
    return text;
}

void PitchEditor::Paste(const QString& text) {
    if (text.isEmpty()) return;
    QStringList tokens = text.split(u' ');
    // The copied text ends with a blank: that blank closes the last value and is no value of its own.
    if (tokens.size() > 1 && tokens.last().isEmpty()) tokens.removeLast();
    const int n = int(Points.size()) - 1;
    if (SelStart == -1) {
        SelStart = InsertIndex;
        SelEnd = InsertIndex - 1;
    }
    const int d = (SelEnd - SelStart) - (int(tokens.size()) - 1);
    if (d > 0) {
        for (int j = SelEnd + 1; j <= n; ++j) Points[j - d] = Points[j];
    } else if (d < 0) {
        for (int j = n; j >= SelEnd + 1; --j)
            if (j + d >= 0) Points[j] = Points[j + d];
    }
    SelEnd = std::min(SelEnd - d, n);
    for (int j = SelStart; j <= SelEnd; ++j) Points[j] = float(Vb::Val(tokens.value(j - SelStart)));
    Redraw(OldData);
}

void PitchEditor::Form_KeyDown(int keyCode, bool ctrlOnly, ClipboardPort& clipboard) {
    if (keyCode == 46 && !ctrlOnly) {
        if (SelStart >= 0) DeleteSelection();
        return;
    }
    if (!ctrlOnly) return;
    switch (keyCode) {
        case 65:
            SelStart = 0;
            SelEnd = int(Points.size()) - 1;
            break;
        case 67:
            clipboard.setText(CopyText());
            break;
        case 88:
            if (SelStart >= 0) {
                clipboard.setText(CopyText());
                DeleteSelection();
            }
            break;
        case 86:
            Paste(clipboard.text());
            break;
        default:
            break;
    }
}

void PitchEditor::Form_KeyPress(QChar c) {
    if (c == u'+' && VZoom < 150) VZoom += 15;
    if (c == u'-' && VZoom > 15) VZoom -= 15;
    Redraw(OldData);
}

QString PitchEditor::AllValuesText() const {
    QString text;
    for (float p : Points) {
        text += Vb::Format(p, QStringLiteral("0.00"));
        text += u' ';
    }
    return text;
}

bool PitchEditor::ApplyValuesText(const QString& before, const QString& after, MessageBoxPort& messages) {
    if (after == before || after.isEmpty()) return false;
    MessageRequest q;
    q.text = GetMessage(QStringLiteral("データが変更されています。変更を適用しますか？"));
    q.title = caption();
    q.buttons = MsgButtons::OKCancel;
    q.icon = MsgIcon::Question;
    if (messages.show(q) != MsgResult::OK) return false;
    const QStringList tokens = after.split(u' ');
    for (int j = 0; j < tokens.size() && j < Points.size(); ++j)
        if (Vb::IsNumeric(tokens[j])) Points[j] = float(Vb::Val(tokens[j]));
    Redraw(OldData);
    return true;
}

}  // namespace tova

#include "core/FileHelpers.h"
#include "platform/PathText.h"
#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "render/NoteTiming.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

namespace tova {

PitchCurveArgs PitchCurveArgsOfNote(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index,
                                    const NoteArrays& notes, QString& cacheWave) {
    PitchCurveArgs a;
    const QString& ext = notes.NoteExt.value(index);
    float noteTempo = tempo;
    const double own = Vb::Val(GetNoteOption(ext, QStringLiteral("tempo")));
    if (own > 0) noteTempo = float(own);
    float pre = 0, ovl = 0, stp = 0;
    if (index < notes.lastNote()) {
        GetNoteStartTime(noteTempo, notes, index + 1, pre, ovl, stp);
        a.tail = Vb::CLng(ovl - pre);
    }
    GetNoteStartTime(tempo, notes, index, pre, ovl, stp);
    a.tempo = noteTempo;
    a.lengthMs = Vb::CLng(notes.Lengths.value(index) * 31.25 / noteTempo);
    a.preutterance = Vb::CInt(std::clamp(double(pre), -32768.0, 32767.0));
    a.startPoint = stp;

    const QString lyric = notes.Lyrics.value(index);
    QString name = ApplyPrefixMap(notes.NoteNums.value(index), lyric);
    QStringList entry = FindOtoAlias(name);
    if (entry.value(0).isEmpty() || SafeDir(PathText::join(voiceDir, entry.value(0))).isEmpty()) {
        name = lyric;
        entry = FindOtoAlias(name);
    }
    a.wavePath = entry.value(0).isEmpty() ? QString() : PathText::join(voiceDir, entry.value(0));
    a.offset = Vb::CLng(Vb::Val(entry.value(2)));
    a.consonant = Vb::CLng(Vb::Val(entry.value(3)));
    a.cutoff = Vb::CLng(Vb::Val(entry.value(4)));
    cacheWave = FindNoteCacheFile(cacheDir, index, lyric, notes.NoteNums.value(index));
    a.pitchText = NoteExtField(ext, ExtPitches);
    return a;
}

void SetPitchText(QString& ext, const QString& text) {
    QStringList f = ext.split(u'\t');
    while (f.size() < 6) f.append(QString());
    f[ExtPitches] = text;
    ext = f.join(u'\t');
}

}  // namespace tova
