#include "commands/MoveCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "platform/Vb.h"
#include "song/FreeText.h"
#include "song/Song.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {

namespace {

const QString Prop = QStringLiteral("PROP");
const QString Ins = QStringLiteral("INS");

// One record line of a note with its CR LF.
QString line(const Song& s, const QString& kind, qint32 index) {
    QString out;
    s.AppendNoteLine(out, kind, index);
    return out;
}

// Undo lines, written in the order they arise and applied from the last one back. Each line is put
// in front of the ones before it in one buffer filled from its end, so the finished text needs no
// second copy: a step over thousands of notes touches as little fresh memory as it can.
class UndoLines {
public:
    explicit UndoLines(qsizetype size) : text_(std::max<qsizetype>(size, 0), Qt::Uninitialized), start_(text_.size()) {}
    void note(const Song& s, const QString& kind, qint32 index) {
        line_.clear();
        s.AppendNoteLine(line_, kind, index);
        if (line_.size() > start_) grow(line_.size());
        start_ -= line_.size();
        std::copy(line_.cbegin(), line_.cend(), text_.begin() + start_);
        empty_ = false;
    }
    bool isEmpty() const { return empty_; }
    QString reversed() {
        text_.remove(0, start_);
        start_ = 0;
        return std::move(text_);
    }

private:
    // Makes room for `needed` more characters in front, keeping the lines written so far at the end.
    void grow(qsizetype needed) {
        const qsizetype used = text_.size() - start_;
        QString bigger(std::max(text_.size() * 2, used + needed + 4096), Qt::Uninitialized);
        std::copy(text_.cbegin() + start_, text_.cend(), bigger.end() - used);
        start_ = bigger.size() - used;
        text_ = std::move(bigger);
    }

    QString text_;
    qsizetype start_ = 0;
    QString line_;
    bool empty_ = true;
};

// A whole number of ticks from a computed length (halves to even), held within 32 bits.
qint32 wholeTicks(double v) {
    const double r = std::nearbyint(v);
    return qint32(std::clamp(r, double(std::numeric_limits<qint32>::min()), double(std::numeric_limits<qint32>::max())));
}

// About the size of the record lines of notes first..last, to make room for them once.
qsizetype recordSize(const Song& s, qint32 first, qint32 last) {
    qsizetype n = 0;
    for (qint32 i = first; i <= last; ++i) n += s.Lyrics.at(i).size() + s.NoteExt.at(i).size() + 48;
    return n;
}

}  // namespace

void mnMoveUp_Click(EditContext& c) { c.editedSong().ChangeNoteKeys(1, false); }

void mnMoveDown_Click(EditContext& c) { c.editedSong().ChangeNoteKeys(-1, false); }

void mnMoveNote_Click(EditContext& c) {
    double value = 0;
    // The amount is a 16-bit number of semitones; a larger one is asked again.
    if (!AskNumber(c, QStringLiteral("移動量を半音単位で入力"), QStringLiteral("0"), value,
                   [](double v) { return std::abs(v) <= 32767; }))
        return;
    const qint32 offset = Vb::CInt(value);
    if (offset != 0) c.editedSong().ChangeNoteKeys(offset, false);
}

void mnNoteMerge_Click(EditContext& c) {
    Song& s = c.editedSong();
    if (s.SelStart == s.SelEnd) return;
    const qint32 first = std::max(0, std::min(s.SelStart, s.SelEnd));
    qint32 last = std::max(s.SelStart, s.SelEnd);
    if (last >= s.noteCount()) last = s.noteCount() - 1;
    if (first >= last) return;

    QStringList undo{line(s, Prop, first)};
    QString lyric = s.Lyrics.at(first);
    qint64 length = s.Lengths.at(first);
    for (qint32 i = first + 1; i <= last; ++i) {
        length += s.Lengths.at(i);
        if (!IsRestLyric(s.Lyrics.at(i))) lyric += s.Lyrics.at(i);
        undo << line(s, Ins, i);
    }
    if (lyric.startsWith(u'R') && lyric.size() >= 2) lyric.remove(0, 1);
    s.Lengths[first] = qint32(std::clamp<qint64>(length, 0, std::numeric_limits<qint32>::max()));
    // The joined lyrics make one lyric as a typed one is made: a backslash that meets the "n" of the next
    // lyric would split the note's entries in the project file, and the whole is cut at a lyric's length.
    s.Lyrics[first] = SafeFreeText(lyric, FreeTextUse::Lyric);
    const QString redo = line(s, Prop, first) + DeleteLine(first + 1, last);
    s.SelEnd = s.SelStart;
    s.RemoveNotes(first + 1, last, false);
    c.pushUndo(undo.join(QString()), redo, QStringLiteral("ノート結合"));
    c.Redraw();
}

void mnNoteLength_Click(EditContext& c) {
    const qint32 cur = c.curNote();
    Song& s = c.editedSong();
    if (cur < 0 || cur >= s.noteCount()) return;
    double value = 0;
    if (!AskNumber(c, QStringLiteral("長さを変更"), Vb::DoubleText(s.Lengths.at(cur) / 4.0), value,
                   [](double v) { return v >= 15 && v < 768000; }))
        return;
    c.beginPropUndo(cur, cur, QStringLiteral("長さを変更"));
    s.Lengths[cur] = wholeTicks(value * 4);
    if (c.endPropUndo(false)) c.Redraw();
}

void mnQuontize_Click(EditContext& c) {
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    qint32 first = 0, last = count - 1;
    if (!(s.SelStart >= count && s.SelEnd >= count)) {
        first = std::min(s.SelStart, s.SelEnd);
        last = std::max(s.SelStart, s.SelEnd);
    }
    if (last > count - 1 || first > last || first < 0) return;
    double value = 0;
    // A unit of nothing or less has no grid to round to: asked again.
    if (!AskNumber(c, QStringLiteral("クォンタイズ単位の入力"), QStringLiteral("120"), value,
                   [](double v) { return v * 4 > 0; }))
        return;
    const double unit = value * 4;
    const bool modified = s.IsModified;

    UndoLines undo(recordSize(s, first, last));
    QString redo;
    redo.reserve(recordSize(s, first, last));
    qint64 carry = 0;
    for (qint32 i = first; i <= last;) {
        const qint32 length = s.Lengths.at(i);
        const qint32 q = wholeTicks(Vb::Int((double(length) + double(carry)) / unit + 0.5) * unit);
        if (q > 0) {
            if (q != length) {
                undo.note(s, Prop, i);
                carry = qint64(length) - q;
                s.Lengths[i] = q;
                s.AppendNoteLine(redo, Prop, i);
            }
            ++i;
        } else {
            undo.note(s, Ins, i);
            s.RemoveNotes(i, i, false);
            redo += DeleteLine(i, i) + RecordLineEnd();
            --last;
            carry = q;
        }
    }
    if (undo.isEmpty()) return;
    s.IsModified = modified;
    s.SetModified(true);
    c.pushUndo(undo.reversed(), redo, QStringLiteral("クォンタイズ"));
    c.setSelection(first, last);
    c.Redraw();
}

void mnRemoveR_Click(EditContext& c) {
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    qint32 first = 0, last = count - 2;
    if (!(s.SelStart >= count && s.SelEnd >= count)) {
        first = std::min(s.SelStart, s.SelEnd);
        last = std::max(s.SelStart, s.SelEnd) - 1;
    }
    if (last >= count - 1 || first > last || first < 0) return;
    double limit = 0;
    if (!AskNumber(c, QStringLiteral("入力値以下の休符を除去します"), QStringLiteral("20"), limit)) return;
    const bool modified = s.IsModified;

    UndoLines undo(0);
    QString redo;
    for (qint32 i = first; i <= last; ++i) {
        if (!IsRestLyric(s.Lyrics.at(i + 1)) || s.Lengths.at(i + 1) > limit * 4) continue;
        undo.note(s, Prop, i);
        s.Lengths[i] = qint32(std::clamp<qint64>(qint64(s.Lengths.at(i)) + s.Lengths.at(i + 1), 0,
                                                 std::numeric_limits<qint32>::max()));
        s.AppendNoteLine(redo, Prop, i);
        undo.note(s, Ins, i + 1);
        s.RemoveNotes(i + 1, i + 1, false);
        redo += DeleteLine(i + 1, i + 1) + RecordLineEnd();
        --last;
    }
    if (undo.isEmpty()) return;
    s.IsModified = modified;
    s.SetModified(true);
    c.pushUndo(undo.reversed(), redo, QStringLiteral("休符の除去"));
    c.Redraw();
}

void registerMoveCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnMoveUp"), mnMoveUp_Click);
    addEditCommand(registry, QStringLiteral("mnMoveDown"), mnMoveDown_Click);
    addEditCommand(registry, QStringLiteral("mnMoveNote"), mnMoveNote_Click);
    addEditCommand(registry, QStringLiteral("mnNoteMerge"), mnNoteMerge_Click);
    addEditCommand(registry, QStringLiteral("mnNoteLength"), mnNoteLength_Click);
    addEditCommand(registry, QStringLiteral("mnQuontize"), mnQuontize_Click);
    addEditCommand(registry, QStringLiteral("mnRemoveR"), mnRemoveR_Click);
}

}  // namespace tova
