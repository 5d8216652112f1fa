#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tova {

// The texts of a note's mode-2 pitch options and of the settings that hold their defaults.
//   `PBS`  start x of point 1 in ms, optionally ";" and its height (tenths of a semitone)
//   `PBW`  the widths of the segments in ms, blank-separated; absent or empty: no points
//   `PBY`  the end heights of the segments; missing entries are 0, the last point's is left out
//   `VBR`  the vibrato: length %, cycle ms, depth cents, fade-in %, fade-out %, phase %, height %
//          and an optional intensity; fewer than seven fields is no vibrato
// Numbers are read leniently (the leading number, 0 when none) and written in their shortest form.
struct PortamentoPoints {
    double start = 0;          // x of point 1
    QString startHeight;       // the part of `PBS` after ";" (kept as it is when the start changes)
    bool hasStartHeight = false;
    QList<double> widths;      // one per segment
    QList<double> heights;     // end height of every segment but the last

    bool present() const { return !widths.isEmpty(); }
};

// Reads `PBS`, `PBW` and `PBY` from their texts.
PortamentoPoints ReadPortamento(const QString& pbs, const QString& pbw, const QString& pby);
// The three texts: `PBS` start (and ";" height when there was one), the widths, and one height fewer
// than widths (empty for a single segment). No points gives three empty texts.
QString PortamentoPbs(const PortamentoPoints& points);
QString PortamentoPbw(const PortamentoPoints& points);
QString PortamentoPby(const PortamentoPoints& points);

// The vibrato fields of a `VBR` text: seven or eight numbers (an eighth, the intensity, is 0 when
// absent; fields beyond eight are ignored); nothing when the text has fewer than seven fields.
std::optional<QList<double>> ReadVibrato(const QString& vbr);
// A `VBR` text of the fields, blank-separated, in their shortest form.
QString VibratoText(const QList<double>& fields);

// A number in the shortest form of the pitch option texts ("-40", "12.5").
QString Mode2Number(double v);

}  // namespace tova
