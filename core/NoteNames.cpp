#include "core/NoteNames.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Vb.h"

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
// For reading: the naturals alone, each letter at its semitone's place.
const QString& naturalTable() {
    static const QString t = QStringLiteral("C   D   E F   G   A   B ");
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
    if (name.isEmpty()) return -1;
    const QChar second = name.size() > 1 ? name[1] : QChar();
    const QString* table = &naturalTable();
    qsizetype keyLength = 1;
    if (second == u'b') table = &flatTable();
    else if (second == u'♭') table = &flatSignTable();
    else if (second == u'#') table = &sharpTable();
    else if (second == u'♯') table = &sharpSignTable();
    if (table != &naturalTable()) keyLength = 2;

    const qsizetype found = table->indexOf(name.left(keyLength));  // case-sensitive
    // A key that its table does not hold counts as C (position 0 and 1 both give class 0).
    const int64_t cls = found < 0 ? 0 : found / 2;
    const int64_t octave = Vb::CInt(Vb::Val(name.mid(keyLength)));
    const int64_t result = cls + 12 * octave - 12;
    if (result < std::numeric_limits<int16_t>::min() || result > std::numeric_limits<int16_t>::max())
        throw OverflowError();
    return int16_t(result);
}

double NoteNumToFreq(double n) { return std::pow(2.0, (n - 12.0) / 12.0) * kNoteRefFreq; }

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
