#include "core/NoteNames.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Vb.h"
#include "platform/lean/Failure.h"

#include <cmath>
#include <limits>

namespace tova {
namespace {

// Pitch-class tables: two characters per class from C upwards, a natural written as its letter and a
// blank.
const QString& sharpTable() {
    static const QString t = QStringLiteral("C C#D D#E F F#G G#A A#B ");
    return t;
}
const QString& flatTable() {
    static const QString t = QStringLiteral("C DbD EbE F GbG AbA BbB ");
    return t;
}
const QString& sharpSignTable() {
    static const QString t = QStringLiteral("C C♯D D♯E F F♯G G♯A A♯B ");
    return t;
}
const QString& flatSignTable() {
    static const QString t = QStringLiteral("C D♭D E♭E F G♭G A♭A B♭B ");
    return t;
}
const QString& writingTable() {
    const QString& style = settings().SharpFlat;
    if (style == u"♭") return flatSignTable();
    if (style == u"♯") return sharpSignTable();
    if (style == u"b") return flatTable();
    return sharpTable();
}

int64_t floorDiv12(int64_t n) { return n >= 0 ? n / 12 : -((-n + 11) / 12); }

int32_t toLong(double v) {
    if (!(v >= double(std::numeric_limits<int32_t>::min()) && v <= double(std::numeric_limits<int32_t>::max())))
        throw OverflowError();
    return int32_t(v);
}

}  // namespace

QString NoteNumToName(int32_t n) {
    if (n < -12) return QString();
    const QString& table = writingTable();
    const int64_t cls = (int64_t(n) + 12) % 12;
    const QString pitch = table.mid(qsizetype(2 * cls), 2).trimmed();
    return pitch + QString::number(floorDiv12(n) + 1);
}

int16_t NoteNameToNum(const QString& name) {
    try {
        return lean::noteNameToNum(name.toStdU16String());
    } catch (const lean::Failure& e) {
        if (e.number() == lean::Failure::Overflow) throw OverflowError();
        throw;
    }
}

double NoteNumToFreq(double n) { return lean::noteNumToFreq(n); }

double FreqToNoteValue(double f) {
    const double ratio = f / kNoteRefFreq;
    if (!(ratio > 0)) return kNoNote;  // also a frequency so small that the ratio is no longer above 0
    return std::log(ratio) / kSemitoneLn + 12.0;
}

int32_t FreqToNoteNum(double f) {
    const double ratio = f / kNoteRefFreq;
    if (!(ratio > 0)) return kNoNote;
    const double nearest = std::floor(std::log(ratio) / kSemitoneLn + 0.5) + 12.0;
    return toLong(nearest);
}

QString FreqToNoteName(double f) {
    if (!(f > 0)) return NoteNumToName(kNoNote);
    const double nearest = std::floor(12.0 * (std::log(f) / std::log(2.0)) + 0.123683437704 - 60.0);
    return NoteNumToName(toLong(nearest));
}

}  // namespace tova
