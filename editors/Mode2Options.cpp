#include "editors/Mode2Options.h"

#include "platform/Vb.h"

#include <QStringList>

namespace tova {
namespace {

QList<double> numbers(const QString& text) {
    QList<double> out;
    if (text.isEmpty()) return out;
    for (const QString& s : text.split(u' ')) out.append(Vb::Val(s));
    return out;
}

QString joined(const QList<double>& values) {
    QStringList parts;
    for (double v : values) parts.append(Mode2Number(v));
    return parts.join(u' ');
}

}  // namespace

QString Mode2Number(double v) { return v == 0 ? QStringLiteral("0") : Vb::DoubleText(v); }

PortamentoPoints ReadPortamento(const QString& pbs, const QString& pbw, const QString& pby) {
    PortamentoPoints p;
    const qsizetype semi = pbs.indexOf(u';');
    p.start = Vb::Val(semi < 0 ? pbs : pbs.left(semi));
    p.hasStartHeight = semi >= 0;
    if (p.hasStartHeight) p.startHeight = pbs.mid(semi + 1);
    p.widths = numbers(pbw);
    p.heights = numbers(pby);
    p.heights.resize(qMax<qsizetype>(0, p.widths.size() - 1));
    return p;
}

QString PortamentoPbs(const PortamentoPoints& points) {
    if (!points.present()) return {};
    QString s = Mode2Number(points.start);
    if (points.hasStartHeight) s += u';' + points.startHeight;
    return s;
}

QString PortamentoPbw(const PortamentoPoints& points) { return joined(points.widths); }

QString PortamentoPby(const PortamentoPoints& points) {
    QList<double> h = points.heights;
    h.resize(qMax<qsizetype>(0, points.widths.size() - 1));
    return joined(h);
}

std::optional<QList<double>> ReadVibrato(const QString& vbr) {
    QList<double> f = numbers(vbr);
    if (f.size() < 7) return std::nullopt;
    f.resize(8);
    return f;
}

QString VibratoText(const QList<double>& fields) { return joined(fields); }

}  // namespace tova
