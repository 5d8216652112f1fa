#include "exchange/midi/ImportPortamento.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <cmath>
#include <cstdlib>

namespace tova {

namespace {

QString wholeText(double v) {
    if (!std::isfinite(v)) throw OverflowError();
    return Vb::DoubleText(Vb::Int(v));
}

}  // namespace

void SetImportPortamento(QString& options, qint32 prevNoteNum, qint32 noteNum, qint32 prevLength, qint32 length,
                         double prevTempo, double tempo) {
    const Settings& s = settings();
    const double leap = double(std::llabs(qint64(prevNoteNum) - qint64(noteNum)));
    const double factor = std::pow(2.0, leap / 12.0);
    double start = Vb::Val(s.Mode2PBS) * factor;
    double width = Vb::Val(s.Mode2PBW) * factor;
    const double halfPrev = double(prevLength) * 31.25 / prevTempo * 0.5;
    const double halfThis = double(length) * 31.25 / tempo * 0.5;
    if (-start > halfPrev) start = -halfPrev;
    if (width + start > halfThis) width = halfThis - start;
    SetListValue(options, QStringLiteral("PBS"), wholeText(start));
    SetListValue(options, QStringLiteral("PBW"), wholeText(width));
}

}  // namespace tova
