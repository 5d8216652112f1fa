#include "editors/EnvelopeEditor.h"

#include "core/DefaultEnvelope.h"
#include "editors/EnvelopeText.h"
#include "platform/Vb.h"

#include <cmath>

namespace tova {
namespace {

constexpr double GraphLeft = 60;
constexpr double GraphTop = 360;
constexpr double LineOffset = 30;

// The nearest whole number, halves up.
double nearest(double z) { return std::floor(z + 0.5); }

QString wholeText(double v) { return Vb::DoubleText(v); }

}  // namespace

double EnvelopeEditor::value(int slot) const { return Vb::Val(EnvParams[size_t(slot)]); }

bool EnvelopeEditor::setUp(EnvelopeDialogArgs& args) {
    if (args.noteLengthMs == 0) return false;
    NoteLengthMs = args.noteLengthMs;
    PrevLengthMs = args.prevIsRest ? args.prevLengthMs : args.prevLengthMs / 2;
    VelocityFactor = args.velocityFactor;
    OtoPre = Vb::CLng(args.otoPre);
    OtoOverlap = Vb::CLng(args.otoOverlap);
    NextPre = Vb::CLng(args.nextPre);
    NextOverlap = Vb::CLng(args.nextOverlap);
    if (args.envelope.isEmpty()) args.envelope = DefaultEnvelope();
    const QStringList f = ReadEnvelopeFields(args.envelope);
    for (int i = 0; i < 7; ++i) EnvParams[size_t(i)] = f[i];
    EnvParams[9] = f[8];
    EnvParams[10] = f[9];
    EnvParams[11] = f[10];
    EnvParams[7] = args.preutterance;
    EnvParams[8] = args.overlap;
    Form_Resize();
    return true;
}

QString EnvelopeEditor::envelopeText() const {
    QStringList main;
    for (int i = 0; i < 7; ++i) main.append(EnvParams[size_t(i)]);
    return WriteEnvelopeText(main, EnvParams[9], EnvParams[10], EnvParams[11]);
}

void EnvelopeEditor::writeBack(EnvelopeDialogArgs& args) {
    for (int i = 0; i < 7; ++i) EnvParams[size_t(i)] = Vb::DoubleText(value(i));
    args.preutterance = EnvParams[7];
    args.overlap = EnvParams[8];
    args.envelope = envelopeText();
}

void EnvelopeEditor::txtParam_Change(int index, const QString& text) {
    if (index < 0 || index >= int(EnvParams.size())) return;
    QString t = text;
    if (!t.isEmpty()) {
        const float v = float(Vb::Val(t));
        // A value no Single holds ("1e40") is refused: the box keeps its value. Pre-utterance and
        // overlap go into the note, which holds them below 60000.
        if (!std::isfinite(v) || ((index == 7 || index == 8) && v >= 60000)) return;
        t = v < 0 ? QStringLiteral("0") : Vb::SingleText(v);
    }
    EnvParams[size_t(index)] = t;
    Form_Resize();
}

void EnvelopeEditor::cmdGen_Click() {
    txtParam_Change(7, wholeText(OtoPre));
    txtParam_Change(8, wholeText(OtoOverlap));
}

void EnvelopeEditor::cmdNormal_Click() {
    const qint32 pre = EnvParams[7].isEmpty() ? OtoPre : Vb::CLng(value(7));
    float available = NoteLengthMs + float(pre) - float(NextPre) + float(NextOverlap);
    if (available < 0) available = 0;
    static constexpr int order[] = {0, 1, 10, 2, 9};
    float sum = 0;
    for (int slot : order) sum += float(value(slot));
    if (!(available < sum)) return;
    QString values[5];
    for (int k = 0; k < 5; ++k) values[k] = wholeText(std::floor(double(float(value(order[k])) * available / sum)));
    for (int k = 0; k < 5; ++k) txtParam_Change(order[k], values[k]);
}

void EnvelopeEditor::cmdP5_Click() {
    txtParam_Change(10, QStringLiteral("10"));
    txtParam_Change(11, QStringLiteral("100"));
}

void EnvelopeEditor::cmdReset_Click() {
    static const char* const defaults[] = {"0", "5", "35", "0", "100", "100", "0"};
    for (int i = 0; i < 7; ++i) txtParam_Change(i, QString::fromLatin1(defaults[i]));
    for (int i = 7; i <= 11; ++i) txtParam_Change(i, QString());
}

void EnvelopeEditor::effectivePreOverlap(double& pre, double& ovl) const {
    float p = EnvParams[7].isEmpty() ? float(OtoPre) : float(value(7));
    float o = EnvParams[8].isEmpty() ? float(OtoOverlap) : float(value(8));
    if (PrevLengthMs > 0 && p - o > PrevLengthMs) {
        const float k = PrevLengthMs / (p - o);
        p *= k;
        o *= k;
    }
    if (VelocityFactor != 0) {
        p /= VelocityFactor;
        o /= VelocityFactor;
    }
    pre = p;
    ovl = o;
}

void EnvelopeEditor::Form_Resize(double clientWidth, double clientHeight) {
    ClientWidth = clientWidth;
    ClientHeight = clientHeight;
    double pre = 0, ovl = 0;
    effectivePreOverlap(pre, ovl);
    GraphRight = clientWidth - 120;
    GraphBottom = clientHeight - 420;
    const double span = pre + NoteLengthMs - NextPre + NextOverlap;
    if (span != 0 && std::isfinite(span)) ScaleX = (GraphRight - GraphLeft) / span;
    ScaleY = (GraphBottom - GraphTop) / 200;

    PreMarkX = GraphLeft + LineOffset + pre * ScaleX;
    OverlapMarkX = GraphLeft + LineOffset + ovl * ScaleX;

    const double p1 = value(0), p2 = value(1), p3 = value(2), p4 = value(9), p5 = value(10);
    HandleLeft[P1] = GraphLeft + p1 * ScaleX;
    HandleLeft[P2] = HandleLeft[P1] + p2 * ScaleX;
    HandleLeft[P5] = HandleLeft[P2] + p5 * ScaleX;
    HandleLeft[P4] = GraphRight - p4 * ScaleX;
    HandleLeft[P3] = HandleLeft[P4] - p3 * ScaleX;
    HandleTop[P1] = GraphBottom - value(3) * ScaleY;
    HandleTop[P2] = GraphBottom - value(4) * ScaleY;
    HandleTop[P3] = GraphBottom - value(5) * ScaleY;
    HandleTop[P4] = GraphBottom - value(6) * ScaleY;
    HandleTop[P5] = GraphBottom - (EnvParams[11].isEmpty() ? value(4) : value(11)) * ScaleY;

    const auto at = [this](int h) { return QPointF(HandleLeft[size_t(h)] + LineOffset, HandleTop[size_t(h)] + LineOffset); };
    const QPointF start(GraphLeft + LineOffset, GraphBottom + LineOffset);
    const QPointF end(GraphRight + LineOffset, GraphBottom + LineOffset);
    // Line1 .. Line6 in the order the sound runs through them: Line1, Line2, Line6, Line3, Line4, Line5.
    LineFrom[0] = start, LineTo[0] = at(P1);
    LineFrom[1] = at(P1), LineTo[1] = at(P2);
    LineFrom[5] = at(P2), LineTo[5] = at(P5);
    LineFrom[2] = at(P5), LineTo[2] = at(P3);
    LineFrom[3] = at(P3), LineTo[3] = at(P4);
    LineFrom[4] = at(P4), LineTo[4] = end;

    BottomRowTop = clientHeight - 375 - 60;
}

void EnvelopeEditor::lbHandle_MouseDown(int, int button, double x, double y) {
    if (button != 1) return;
    DragX0 = x;
    DragY0 = y;
    Dragging = true;
}

void EnvelopeEditor::lbHandle_MouseMove(int index, double x, double y) {
    if (!Dragging || index < 0 || index > 4) return;
    const bool related = chkRelated;
    double left = HandleLeft[size_t(index)] + x - DragX0;
    double top = HandleTop[size_t(index)] + y - DragY0;
    if (top < GraphTop) top = GraphTop;
    if (top > GraphBottom) top = GraphBottom;
    double low = 0, high = 0;
    switch (index) {
        case P1:
            low = GraphLeft;
            high = related ? HandleLeft[P3] - (value(10) + value(1)) * ScaleX : HandleLeft[P2];
            break;
        case P2:
            low = HandleLeft[P1];
            high = related ? HandleLeft[P3] - value(10) * ScaleX : HandleLeft[P5];
            break;
        case P3:
            low = HandleLeft[P5];
            high = HandleLeft[P4];
            break;
        case P4:
            low = related ? HandleLeft[P5] + value(2) * ScaleX : HandleLeft[P3];
            high = GraphRight;
            break;
        case P5:
            low = HandleLeft[P2];
            high = HandleLeft[P3];
            break;
    }
    if (left < low) left = low;
    if (left > high) left = high;
    HandlesToParams(index, left, top);
    HandleLeft[size_t(index)] = left;
    HandleTop[size_t(index)] = top;
}

void EnvelopeEditor::HandlesToParams(int index, double x, double y) {
    if (ScaleX == 0 || ScaleY == 0) return;
    const bool related = chkRelated;
    const auto h = [](double z) { return wholeText(nearest(z)); };
    const QString volume = h((GraphBottom - y) / ScaleY);
    QList<std::pair<int, QString>> writes;
    switch (index) {
        case P1:
            writes.append({0, h((x - GraphLeft) / ScaleX)});
            if (!related) writes.append({1, h((HandleLeft[P2] - x) / ScaleX)});
            writes.append({3, volume});
            break;
        case P2:
            writes.append({1, h((x - HandleLeft[P1]) / ScaleX)});
            if (!related) writes.append({10, h((HandleLeft[P5] - x) / ScaleX)});
            writes.append({4, volume});
            break;
        case P3:
            writes.append({2, h((HandleLeft[P4] - x) / ScaleX)});
            writes.append({5, volume});
            break;
        case P4:
            writes.append({6, volume});
            if (!related) writes.append({2, h((x - HandleLeft[P3]) / ScaleX)});
            writes.append({9, h((GraphRight - x) / ScaleX)});
            break;
        case P5:
            writes.append({10, h((x - HandleLeft[P2]) / ScaleX)});
            writes.append({11, volume});
            break;
        default:
            return;
    }
    for (const auto& [box, text] : writes) txtParam_Change(box, text);
}

}  // namespace tova
