#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

#include <cstdint>

namespace tova {

// What the timing editor's drawing consists of, in the window's twips, in drawing order: filled boxes,
// lines, connected point runs and texts. Colours are red + 256 × green + 65536 × blue. The form paints
// the list; tests read it.
struct TimingDrawOp {
    enum Kind { Box, Line, Polyline, Text };
    Kind kind = Box;
    std::uint32_t colour = 0;
    QRectF rect;             // Box: the filled box (normalised)
    QPointF from, to;        // Line; Text: `from` is the text's top-left
    QVector<QPointF> points; // Polyline
    QString text;            // Text
};

using TimingDisplay = QVector<TimingDrawOp>;

constexpr std::uint32_t Rgb(int r, int g, int b) { return std::uint32_t(r) + 256u * std::uint32_t(g) + 65536u * std::uint32_t(b); }

}  // namespace tova
