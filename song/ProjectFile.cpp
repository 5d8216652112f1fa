#include "song/ProjectFile.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/Vb.h"
#include "song/FreeText.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"
#include "song/OptionList.h"
#include "song/PitchText.h"
#include "song/ReservedNoteVariables.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <cmath>
#include <limits>

namespace tova {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The longest length (file units, exclusive) and lyric and flags texts that the reader accepts.
constexpr double LengthLimit = 3456000;
constexpr qsizetype LyricLimit = LyricTextLimit;
constexpr qsizetype FlagsLimit = FlagsTextLimit;
constexpr qsizetype LabelLimit = LabelTextLimit;
// The most keys a note section and a whole file report as left out.
constexpr qsizetype MaxLossesShown = 20;
constexpr qsizetype HeaderValueLimit = ProjectValueLimit;
// A stored pitch value above this magnitude is damaged and is replaced on reading.
constexpr double PitchLimit = 10800;
// The most portamento points (`PBW`, `PBY`, `PBM` entries) a note keeps: far beyond what is drawn by
// hand or made by the tuning tools.
constexpr qsizetype Mode2PointLimit = 1024;

double roundHalfEven(double v) { return std::nearbyint(v); }

// A number as the file format wants it: the whole value is a decimal number (sign, digits, point,
// fraction, exponent), nothing around it.
bool fileNumber(const QString& text, double& value) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace() || text.front() == u'&') return false;
    return Vb::TryParse(text, value) && std::isfinite(value);
}

// At most three decimals and no trailing decimal point: 12.3456 gives 12.346, 5 gives 5. A text that
// already has that form (no leading zero, at most three decimals, no trailing zero) is its own result.
bool hasThreeDecimalForm(QStringView t) {
    qsizetype i = 0;
    if (i < t.size() && t.at(i) == u'-') ++i;
    const qsizetype intStart = i;
    while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128) ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || intDigits > 9 || (intDigits > 1 && t.at(intStart) == u'0')) return false;
    bool nonZero = false;
    for (qsizetype k = intStart; k < i; ++k) nonZero = nonZero || t.at(k) != u'0';
    if (i == t.size()) return nonZero || intStart == 0;  // "-0" is written "0"
    if (t.at(i) != u'.') return false;
    const qsizetype fracStart = ++i;
    while (i < t.size() && t.at(i).isDigit() && t.at(i).unicode() < 128) ++i;
    const qsizetype fracDigits = i - fracStart;
    return i == t.size() && fracDigits >= 1 && fracDigits <= 3 && t.at(i - 1) != u'0';
}

QString threeDecimals(const QString& text, double v) {
    if (hasThreeDecimalForm(text)) return text;
    QString s = Vb::Format(v, QStringLiteral("0.###"));
    if (s.endsWith(u'.')) s.chop(1);
    return s;
}

// Key and value of a "key=value" line: the key is the text before the first "=", the value the text
// between the first and a second "=". `hasEquals` tells whether there was any "=".
void splitKeyValue(QStringView line, QStringView& key, QStringView& value, bool& hasEquals) {
    const qsizetype eq = line.indexOf(u'=');
    hasEquals = eq >= 0;
    if (!hasEquals) {
        key = line;
        value = QStringView();
        return;
    }
    key = line.left(eq);
    const qsizetype eq2 = line.indexOf(u'=', eq + 1);
    value = line.mid(eq + 1, eq2 < 0 ? -1 : eq2 - eq - 1);
}

// The option keys whose names differ on disk.
QString keyOnDisk(const QString& key) {
    if (key == u"tempo") return QStringLiteral("Tempo");
    if (key == u"label") return QStringLiteral("Label");
    if (key == u"env") return QStringLiteral("Envelope");
    if (key == u"stp") return QStringLiteral("StartPoint");
    return key;
}

bool isKeptOpaqueKey(QStringView key) {
    static const QStringList keys = {QStringLiteral("PBW"),  QStringLiteral("PBS"),  QStringLiteral("PBY"),
                                     QStringLiteral("PBM"),  QStringLiteral("VBR"),  QStringLiteral("EQZ"),
                                     QStringLiteral("EXPS"), QStringLiteral("EQLS"), QStringLiteral("BRES"),
                                     QStringLiteral("GEFS"), QStringLiteral("EHS"),  QStringLiteral("EHV")};
    if (key.startsWith(u'@') || key.startsWith(u'$')) return true;
    for (const QString& k : keys)
        if (key == k) return true;
    return false;
}

bool isSettingsKey(QStringView key) {
    for (const char16_t* k : {u"Tempo", u"ProjectName", u"VoiceDir", u"OutFile", u"CacheDir", u"Tool1", u"Tool2", u"Flags",
                              u"Mode2"})
        if (key == QStringView(k)) return true;
    return false;
}

// Pitch values as stored in field 3: damaged values are replaced (the first and the last by 0, others by
// the mean of the next value as written and the previous value as already replaced), then "Q" follows
// the first value.
bool isDamagedPitch(const QString& part) {
    // Short plain numbers cannot exceed the limit; only longer or other texts need reading.
    if (part.size() <= 4) {
        bool plain = true;
        for (QChar c : part) plain = plain && ((c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u'.');
        if (plain) return false;
    }
    return std::fabs(Vb::Val(part)) > PitchLimit;
}

// At most `maxValues` values are taken (those after are dropped). Data of the old form (its note says
// "PBType=OldData": points at a fixed spacing) stays without the "Q" that marks the current form, so it
// keeps its meaning and is written back as it was.
QString readPitches(QStringView value, qsizetype maxValues, bool oldData) {
    qsizetype cut = 0;
    for (qsizetype n = 0; n < maxValues && cut >= 0; ++n) cut = value.indexOf(u',', n == 0 ? 0 : cut + 1);
    if (cut >= 0) value = value.left(cut);
    QStringList parts = value.toString().split(u',');
    // The fields of a pitch list are blank-separated in memory: a blank inside a value would make two
    // values of it on the next save. The value reads the same without it.
    for (QString& part : parts) part.remove(u' ');
    const qsizetype last = parts.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        if (!isDamagedPitch(parts.at(i))) continue;
        if (i == 0 || i == last)
            parts[i] = QStringLiteral("0");
        else {
            // The mean of a damaged neighbour is damaged too: 0 then, or the next reading would
            // replace it again and the second save would differ from the first.
            const double mean = (Vb::Val(parts.at(i + 1)) + Vb::Val(parts.at(i - 1))) / 2;
            parts[i] = std::fabs(mean) > PitchLimit ? QStringLiteral("0") : Vb::DoubleText(mean);
        }
    }
    if (!oldData) parts[0] += u'Q';
    return parts.join(u' ');
}

// What reading a note section left out or changed, by key, for the load message.
struct SectionLosses {
    QStringList unknown;  // keys the reader does not know: not read
    QStringList refused;  // known keys whose value is not a number or out of range: not read
    QStringList cut;      // known keys whose value was cut or held to its range
};

void parseNoteSection(const QString& text, qint32& length, QString& lyric, qint32& noteNum, QString& ext,
                      qsizetype& pitchBudget, QStringList* refused, SectionLosses* losses = nullptr);

// Takes in one note section; the keys of the options refused there come back in `refused`, what else
// was left out or changed in `losses`.
void commitSection(const QString& section, qint32& current, NoteArrays& notes, qsizetype& pitchBudget,
                   QStringList& refused, SectionLosses& losses) {
    notes.resizeNotes(current + 1);
    parseNoteSection(section, notes.Lengths[current], notes.Lyrics[current], notes.NoteNums[current],
                     notes.NoteExt[current], pitchBudget, &refused, &losses);
    if (notes.Lengths[current] < 1) notes.Lengths[current] = 60;
    ++current;
}

}  // namespace

namespace {

void appendLine(QString& out, QLatin1StringView key, QStringView value) {
    out += key;
    out += value;
    out += CrLf;
}

// The leading number of the first pitch token as the writer puts it on disk (the "Q" and the tempo
// after it are not written). A plain integer is written as it stands.
QString leadingPitchNumber(const QString& token) {
    qsizetype i = token.startsWith(u'-') ? 1 : 0;
    const qsizetype digitsStart = i;
    while (i < token.size() && token.at(i) >= u'0' && token.at(i) <= u'9') ++i;
    const qsizetype digits = i - digitsStart;
    const bool leadingZero = digits > 1 && token.at(digitsStart) == u'0';
    const bool negativeZero = digitsStart == 1 && digits == 1 && token.at(1) == u'0';
    if (digits >= 1 && digits <= 9 && !leadingZero && !negativeZero && (i == token.size() || token.at(i) == u'Q'))
        return token.left(i);
    return Vb::DoubleText(Vb::Val(token));
}

void appendNoteSection(QString& out, QStringView header, qint32 length, const QString& lyric, qint32 noteNum,
                       const QString& ext) {
    out += u"[#";
    out += header;
    out += u']';
    out += CrLf;
    appendLine(out, QLatin1StringView("Length="), QString::number(length / 4));
    appendLine(out, QLatin1StringView("Lyric="), lyric);
    appendLine(out, QLatin1StringView("NoteNum="), QString::number(qint64(noteNum) + 24));

    const QStringList f = SplitNoteExt(ext);
    if (!f[ExtTiming].isEmpty()) {
        QStringList sub = f[ExtTiming].split(u':');
        sub.resize(3);
        appendLine(out, QLatin1StringView("PreUtterance="), sub[0]);
        if (!sub[1].isEmpty()) appendLine(out, QLatin1StringView("VoiceOverlap="), sub[1]);
        if (!sub[2].isEmpty()) appendLine(out, QLatin1StringView("Velocity="), sub[2]);
    }
    if (!f[ExtIntensity].isEmpty()) appendLine(out, QLatin1StringView("Intensity="), f[ExtIntensity]);
    if (!f[ExtModulation].isEmpty()) appendLine(out, QLatin1StringView("Moduration="), f[ExtModulation]);
    if (!f[ExtPitches].isEmpty()) {
        const QString& pitches = f[ExtPitches];
        const qsizetype blank = pitches.indexOf(u' ');
        const QString first = pitches.left(blank);
        out += first.contains(u'Q') ? QLatin1StringView("PBType=5") : QLatin1StringView("PBType=OldData");
        out += CrLf;
        out += QLatin1StringView("Piches=");
        out += leadingPitchNumber(first);
        if (blank >= 0) {
            const qsizetype from = out.size();
            out += QStringView(pitches).mid(blank);
            for (qsizetype k = from; k < out.size(); ++k)
                if (out.at(k) == u' ') out[k] = u',';
        }
        out += CrLf;
    }
    if (!f[ExtFlags].isEmpty()) appendLine(out, QLatin1StringView("Flags="), f[ExtFlags]);
    if (!f[ExtOptions].isEmpty()) {
        // One line per option entry; only the keys are renamed, values are written as they are, with
        // their blanks as commas.
        for (const QString& entry : f[ExtOptions].split(OptionSeparator())) {
            const qsizetype eq = entry.indexOf(u'=');
            const qsizetype from = out.size();
            out += keyOnDisk(eq < 0 ? entry : entry.left(eq));
            if (eq >= 0) out += QStringView(entry).mid(eq);
            for (qsizetype k = from; k < out.size(); ++k)
                if (out.at(k) == u' ') out[k] = u',';
            out += CrLf;
        }
    }
}

}  // namespace

QString FormatNoteSection(const QString& header, qint32 length, const QString& lyric, qint32 noteNum,
                          const QString& ext) {
    QString out;
    out.reserve(160 + ext.size());
    appendNoteSection(out, header, length, lyric, noteNum, ext);
    return out;
}

QString ProjectFileText(const ProjectSettings& s, const NoteArrays& notes) {
    QString out;
    out.reserve(256 + qsizetype(notes.noteCount()) * 160);
    out += QStringLiteral("[#SETTING]") + CrLf;
    out += QStringLiteral("Tempo=") + Vb::Format(double(s.Tempo), QStringLiteral("0.00")) + CrLf;
    out += QStringLiteral("Tracks=1") + CrLf;
    out += QStringLiteral("ProjectName=") + s.ProjectName + CrLf;
    out += QStringLiteral("VoiceDir=") + s.VoiceDir + CrLf;
    out += QStringLiteral("OutFile=") + s.OutFile + CrLf;
    out += QStringLiteral("CacheDir=") + s.CacheDir + CrLf;
    out += QStringLiteral("Tool1=") + s.Tool1 + CrLf;
    out += QStringLiteral("Tool2=") + s.Tool2 + CrLf;
    if (s.Mode2) out += QStringLiteral("Mode2=True") + CrLf;
    if (!s.Flags.isEmpty()) out += QStringLiteral("Flags=") + s.Flags + CrLf;
    for (qint32 i = 0; i < notes.noteCount(); ++i) {
        appendNoteSection(out, QStringLiteral("%1").arg(i, 4, 10, QChar(u'0')), notes.Lengths.value(i),
                          notes.Lyrics.at(i), notes.NoteNums.value(i), notes.NoteExt.value(i));
    }
    out += QStringLiteral("[#TRACKEND]") + CrLf;
    return out;
}

void WriteProjectFile(const QString& path, const ProjectSettings& settings, const NoteArrays& notes) {
    const QByteArray bytes = Cp932::encodeMarked(ProjectFileText(settings, notes));
    // Written whole under a temporary name beside the file, then put in its place; a failure says why
    // in words (a full disk, no right to write, ...), never as an unknown error.
    // What saves killed before left beside it goes first.
    ReplacingFile file(path);
    if (!file.isOpen()) throw FileError(file.errorText(), 75);
    if (!file.write(bytes) || !file.commit()) throw IoError(file.errorText());
}

namespace {

// ParseNoteSection with a budget of pitch values that the note's list may take from (and uses up).
void parseNoteSection(const QString& text, qint32& length, QString& lyric, qint32& noteNum, QString& ext,
                      qsizetype& pitchBudget, QStringList* refused, SectionLosses* losses) {
    // At most a screenful of keys a section: a damaged file with many thousands of keys in one note
    // must not make the reading slow (the message shows no more than that anyway).
    const auto lost = [losses](QStringList SectionLosses::*list, QStringView key) {
        if (!losses) return;
        QStringList& keys = losses->*list;
        if (keys.size() < MaxLossesShown && !keys.contains(key)) keys << key.toString();
    };
    QStringList f = SplitNoteExt(ext);
    QString pitchValue;  // the last pitch list, taken in once the note's length is known
    bool oldData = false;  // "PBType=OldData": the pitch list is of the old form
    QStringList sub = f[ExtTiming].split(u':');
    sub.resize(3);
    // A note without timing lines keeps its empty timing field, so that the writer (which writes the
    // lines for any timing field that is not empty) gives the section back as it was read.
    bool timingRead = !f[ExtTiming].isEmpty();
    // Every option line goes through one list held apart, so that many lines read in linear time.
    OptionList options(f[ExtOptions]);

    // Lines end at CR LF, LF, CR or the two characters backslash and "n".
    const QStringView all(text);
    const qsizetype size = all.size();
    qsizetype pos = 0;
    double v = 0;
    while (pos <= size) {
        qsizetype end = pos;
        qsizetype next = size + 1;
        while (end < size) {
            const QChar c = all.at(end);
            if (c == u'\r') {
                next = end + 1 < size && all.at(end + 1) == u'\n' ? end + 2 : end + 1;
                break;
            }
            if (c == u'\n') {
                next = end + 1;
                break;
            }
            if (c == u'\\' && end + 1 < size && all.at(end + 1) == u'n') {
                next = end + 2;
                break;
            }
            ++end;
        }
        QStringView line = all.mid(pos, end - pos);
        pos = next;
        // A TAB separates the fields of the extension string and of the undo line: inside a value it
        // would split the note's data. Values have their TABs as blanks.
        QString untabbed;
        if (line.contains(u'\t')) {
            untabbed = line.toString();
            untabbed.replace(u'\t', u' ');
            line = untabbed;
        }

        const qsizetype eq = line.indexOf(u'=');
        const QStringView key = eq < 0 ? line : line.left(eq);
        QStringView valueView;
        if (eq >= 0) {
            const qsizetype eq2 = line.indexOf(u'=', eq + 1);
            valueView = line.mid(eq + 1, eq2 < 0 ? -1 : eq2 - eq - 1);
        }
        if (key.isEmpty()) continue;
        const QString value = valueView.toString();
        // A second "=" ends the value: what follows it is not read.
        if (eq >= 0 && line.indexOf(u'=', eq + 1) >= 0) lost(&SectionLosses::cut, key);

        const auto refuse = [&] { lost(&SectionLosses::refused, key); };
        if (key == u"Length") {
            const double r = fileNumber(value, v) ? roundHalfEven(v) : 0;
            if (r >= 1 && r < LengthLimit) length = qint32(r) * 4;
            else refuse();
        } else if (key == u"Lyric") {
            if (value.size() > LyricLimit) lost(&SectionLosses::cut, key);
            if (!value.isEmpty()) lyric = SafeFreeText(value, FreeTextUse::Lyric);
        } else if (key == u"NoteNum") {
            if (fileNumber(value, v) && v >= 12 && v <= 180) noteNum = qint32(roundHalfEven(v - 24));
            else refuse();
        } else if (key == u"PreUtterance" || key == u"VoiceOverlap") {
            timingRead = true;
            QString& part = sub[key == u"PreUtterance" ? 0 : 1];
            if (value.isEmpty())
                part.clear();
            else if (fileNumber(value, v) && v > -60000 && v < 60000)
                part = threeDecimals(value, v);
            else
                refuse();
        } else if (key == u"Velocity") {
            timingRead = true;
            if (value.isEmpty())
                sub[2].clear();
            else if (fileNumber(value, v) && v >= 0 && v <= 200)
                sub[2] = threeDecimals(value, v);
            else
                refuse();
        } else if (key == u"Intensity" || key == u"Moduration") {
            const bool intensity = key == u"Intensity";
            if (fileNumber(value, v)) {
                const double r = roundHalfEven(v), low = intensity ? 0.0 : -100.0;
                if (r < low || r > 200.0) lost(&SectionLosses::cut, key);
                f[intensity ? ExtIntensity : ExtModulation] = QString::number(qint32(std::clamp(r, low, 200.0)));
            } else if (!value.isEmpty()) {
                refuse();
            }
        } else if (key == u"Piches" || key == u"Pitches") {
            if (!valueView.isEmpty()) pitchValue = valueView.toString();
        } else if (key == u"Flags") {
            if (value.size() > FlagsLimit) lost(&SectionLosses::cut, key);
            f[ExtFlags] = value.left(FlagsLimit);
        } else if (key == u"Tempo") {
            if (fileNumber(value, v) && ReadableTempo(v)) options.set(QStringLiteral("tempo"), value);
            else refuse();
        } else if (key == u"Label") {
            const QString label = TrimBlanks(value);
            if (label.size() > LabelLimit) lost(&SectionLosses::cut, key);
            if (!label.isEmpty()) options.set(QStringLiteral("label"), label.left(LabelLimit));
        } else if (key == u"Envelope") {
            const QStringList parts = value.split(u',');
            int numbers = 0;
            for (const QString& p : parts)
                if (fileNumber(p, v)) ++numbers;
            if (parts.size() >= 7 && numbers >= 7) options.set(QStringLiteral("env"), value);
            else refuse();
        } else if (key == u"StartPoint" || key == u"PitchStart") {
            if (fileNumber(value, v) && v >= -60000 && v <= 60000)
                options.set(key == u"StartPoint" ? QStringLiteral("stp") : QStringLiteral("PitchStart"),
                             threeDecimals(value, v));
            else
                refuse();
        } else if (NoteVariableKeyFault(key, eq >= 0) != NoteVariableFault::None) {
            // A note may not name the render's programs, batches or paths, nor set a variable without a
            // plain name and an "=".
            if (refused) *refused << key.toString();
        } else if (key == u"PBW" || key == u"PBY" || key == u"PBM") {
            // A note's portamento points: kept up to Mode2PointLimit, each point read and drawn on
            // every redraw (a million would hold the program for seconds).
            qsizetype cut = -1;
            for (qsizetype n = 0, at = -1; n < Mode2PointLimit; ++n) {
                at = value.indexOf(u',', at + 1);
                if (at < 0) break;
                if (n == Mode2PointLimit - 1) cut = at;
            }
            if (cut >= 0) lost(&SectionLosses::cut, key);
            if (!value.isEmpty()) options.set(key.toString(), cut >= 0 ? value.left(cut) : value);
        } else if (isKeptOpaqueKey(key)) {
            if (!value.isEmpty()) options.set(key.toString(), value);
        } else if (key == u"PBType") {
            oldData = value == u"OldData";
        } else if (!key.startsWith(u"[#")) {
            lost(&SectionLosses::unknown, key);
        }
    }
    if (!pitchValue.isEmpty()) {
        // No more values than the note can use, and no more than the file has left.
        const qsizetype limit = qMin(PitchValuesForLength(length < 1 ? 60 : length), pitchBudget);
        f[ExtPitches] = readPitches(pitchValue, qMax<qsizetype>(limit, 1), oldData);
        pitchBudget -= qMin(limit, f[ExtPitches].count(u' ') + 1);
    }
    if (timingRead) f[ExtTiming] = sub.join(u':');
    f[ExtOptions] = options.text();
    ext = f.join(u'\t');
}

}  // namespace

void ParseNoteSection(const QString& text, qint32& length, QString& lyric, qint32& noteNum, QString& ext,
                      QStringList* refused) {
    qsizetype budget = MaxPitchValuesPerFile;
    parseNoteSection(text, length, lyric, noteNum, ext, budget, refused);
}

qint32 ReadProjectText(const QString& text, ProjectSettings& s, qint32& index, NoteArrays& notes,
                       QStringList* problems) {
    if (index < 0) throw InvalidCallError();
    s.Mode2 = false;
    qint32 current = index;
    qsizetype pitchBudget = MaxPitchValuesPerFile;
    bool inSettings = true;
    bool pending = false;  // a note section has been started and not taken in yet
    QString section;
    QStringView key, value;
    bool hasEquals = false;
    const auto tell = [&](qint64 line, const QString& what) {
        if (problems) *problems << QStringLiteral("%1行目: %2").arg(line).arg(what);
    };
    qint64 sectionLine = 0;  // the line of the pending note section's header
    // What the notes' sections left out or changed, said once a key and kind: at the first note's line,
    // with the number of notes when there are more.
    struct Loss {
        qint64 line = 0;
        int notes = 0;
    };
    QHash<QString, Loss> losses;
    QStringList lossOrder;
    const auto noteLoss = [&](const QString& what) {
        auto known = losses.find(what);
        if (known == losses.end()) {
            if (lossOrder.size() >= MaxLossesShown) return;
            known = losses.insert(what, Loss{sectionLine, 0});
            lossOrder << what;
        }
        ++known->notes;
    };
    const auto commit = [&] {
        QStringList refused;
        SectionLosses lost;
        commitSection(section, current, notes, pitchBudget, refused, lost);
        for (const QString& key : refused) tell(sectionLine, RefusedNoteVariableProblem(key));
        if (!problems) return;
        const auto shown = [](const QString& key) { return key.size() > 40 ? key.left(40) + u'…' : key; };
        for (const QString& key : lost.unknown)
            noteLoss(QStringLiteral("「%1」は読み込めない項目のため、読み込みませんでした。").arg(shown(key)));
        for (const QString& key : lost.refused)
            noteLoss(QStringLiteral("%1の値が読めないか範囲外のため、読み込みませんでした。").arg(key));
        for (const QString& key : lost.cut)
            noteLoss(QStringLiteral("%1の値が長すぎるか範囲外のため、変えて読み込みました。").arg(key));
    };
    // A header value is kept up to its limit; a longer one is cut, and said so.
    const auto kept = [&](qint64 line, qsizetype limit) {
        if (value.size() > limit)
            tell(line, QStringLiteral("%1の値が長すぎるため、先頭の%2文字だけを読み込みました。").arg(key.toString()).arg(limit));
        return value.left(limit).toString();
    };

    qsizetype pos = 0;
    qint64 lineNumber = 0;
    const qsizetype size = text.size();
    bool ended = false;
    while (pos < size && !ended) {
        ++lineNumber;
        // A line ends at CR LF, CR or LF.
        qsizetype end = pos;
        while (end < size && text.at(end) != u'\r' && text.at(end) != u'\n') ++end;
        const QStringView line = QStringView(text).mid(pos, end - pos);
        pos = end;
        if (end < size) {
            pos = end + 1;
            if (text.at(end) == u'\r' && pos < size && text.at(pos) == u'\n') ++pos;
        }

        if (!line.startsWith(u"[#")) {
            if (!inSettings) {
                section += line;
                section += OptionSeparator();
                continue;
            }
            if (line.isEmpty()) continue;
            splitKeyValue(line, key, value, hasEquals);
            if (!isSettingsKey(key)) continue;
            if (!hasEquals)
                throw TovaError(9, QStringLiteral("インデックスが有効範囲にありません。 (%1)").arg(line.toString()));
            // A settings value (a name, a path, the flags) is the rest of its line: a folder or output
            // name may hold "=" and is written as it is.
            value = line.mid(key.size() + 1);
            if (key == u"Tempo") {
                // A tempo outside what the file carries (none, a negative one, one below what its two
                // decimals keep, or beyond any song) keeps the value in force; the rest of the file
                // still loads. 0 stands for no tempo (120 then).
                const double tempo = Vb::Val(value.toString());
                if (tempo == 0 || ReadableTempo(tempo))
                    s.Tempo = float(tempo);
                else
                    tell(lineNumber, QStringLiteral("Tempoの値が範囲外のため、読み込みませんでした。"));
            } else if (key == u"ProjectName")
                s.ProjectName = kept(lineNumber, HeaderValueLimit);
            else if (key == u"VoiceDir")
                s.VoiceDir = kept(lineNumber, HeaderValueLimit);
            else if (key == u"OutFile")
                s.OutFile = kept(lineNumber, HeaderValueLimit);
            else if (key == u"CacheDir")
                s.CacheDir = kept(lineNumber, HeaderValueLimit);
            else if (key == u"Tool1")
                s.Tool1 = kept(lineNumber, HeaderValueLimit);
            else if (key == u"Tool2")
                s.Tool2 = kept(lineNumber, HeaderValueLimit);
            else if (key == u"Flags")
                s.Flags = kept(lineNumber, FlagsLimit);
            else if (key == u"Mode2")
                s.Mode2 = value == u"True";
        } else if (line == u"[#SETTING]") {
            // A settings section between notes ends the note before it, which is kept.
            if (pending && !inSettings) commit();
            pending = false;
            inSettings = true;
        } else if (line == u"[#TRACKEND]") {
            if (pending) commit();
            pending = false;
            ended = true;
        } else {
            // A note header: the note before it is complete.
            if (pending && !inSettings) commit();
            inSettings = false;
            sectionLine = lineNumber;
            section = line.toString() + OptionSeparator();
            pending = true;
        }
    }
    // A file that ends without "[#TRACKEND]" still keeps its last note.
    if (pending && !ended) commit();

    for (const QString& what : lossOrder) {
        const Loss& l = losses.value(what);
        tell(l.line, l.notes > 1 ? what + QStringLiteral("（%1個のノート）").arg(l.notes) : what);
    }

    if (s.Tempo == 0) s.Tempo = 120.0f;
    index = current;
    return current;
}

qint32 ReadProjectFile(const QString& path, ProjectSettings& settings, qint32& index, NoteArrays& notes,
                       QStringList* problems) {
    bool clean = true;
    const QString text = Cp932::decodeMarked(FileSystem::readRegularFile(path), &clean);
    if (!clean && problems)
        *problems << QStringLiteral("文字コード（シフトJIS）として読めない部分があります。");
    return ReadProjectText(text, settings, index, notes, problems);
}

}  // namespace tova
