#include "exchange/plugins/PluginExchange.h"

#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/ProjectFile.h"

#include <deque>
#include <vector>

namespace tova {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct Note {
    qint32 length = 0;
    QString lyric;
    qint32 noteNum = 0;
    QString ext;
};

Note noteAt(const NoteArrays& notes, qint32 i) {
    return Note{notes.Lengths.value(i), notes.Lyrics.value(i), notes.NoteNums.value(i), notes.NoteExt.value(i)};
}

void parseInto(const QString& piece, Note& n, QStringList* refused) {
    ParseNoteSection(piece, n.length, n.lyric, n.noteNum, n.ext, refused);
    if (n.length < 1) n.length = 60;
}

bool isNumberedPiece(const QString& piece) {
    if (piece.size() < 4) return false;
    double v = 0;
    return Vb::TryParse(piece.left(4), v);
}

// The reply cut into its sections: the text before the first header, then the text after each "[#"
// that begins a line. A "[#" inside a value (a lyric, a label, an option) begins nothing, so a note's
// text can never split the reply.
QStringList replySections(const QString& reply) {
    QStringList pieces;
    qsizetype from = 0;
    for (qsizetype i = 0; i + 1 < reply.size(); ++i) {
        if (reply.at(i) != u'[' || reply.at(i + 1) != u'#') continue;
        if (i > 0 && reply.at(i - 1) != u'\n' && reply.at(i - 1) != u'\r') continue;
        pieces << reply.mid(from, i - from);
        from = i + 2;
        ++i;
    }
    pieces << reply.mid(from);
    return pieces;
}

}  // namespace

QString BuildPluginExchangeText(const NoteArrays& notes, qint32 first, qint32 last, float tempo,
                                const QString& voiceDir, const QString& cacheDir) {
    const qint32 count = notes.noteCount();
    QString text = QStringLiteral("[#SETTING]") + kCrLf;
    text += QStringLiteral("Tempo=") + Vb::Format(double(tempo), QStringLiteral("0.00")) + kCrLf;
    text += QStringLiteral("VoiceDir=") + voiceDir + kCrLf;
    text += QStringLiteral("CacheDir=") + cacheDir + kCrLf;
    if (first > 0 && first - 1 < count)
        text += FormatNoteSection(QStringLiteral("PREV"), notes.Lengths.value(first - 1), notes.Lyrics.value(first - 1),
                                  notes.NoteNums.value(first - 1), notes.NoteExt.value(first - 1));
    for (qint32 i = std::max(first, 0); i <= last && i < count; ++i)
        text += FormatNoteSection(QStringLiteral("%1").arg(i, 4, 10, QChar(u'0')), notes.Lengths.value(i),
                                  notes.Lyrics.value(i), notes.NoteNums.value(i), notes.NoteExt.value(i));
    if (last + 1 < count && last + 1 >= 0)
        text += FormatNoteSection(QStringLiteral("NEXT"), notes.Lengths.value(last + 1), notes.Lyrics.value(last + 1),
                                  notes.NoteNums.value(last + 1), notes.NoteExt.value(last + 1));
    return text;
}

QString SanitizePluginReply(const QString& reply) {
    QString out;
    out.reserve(reply.size());
    for (QChar c : reply) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\r' && u != u'\n') || u == 0x7F) continue;
        out += c;
    }
    return out;
}

void ApplyPluginReply(const QString& reply, qint32 first, qint32& last, NoteArrays& notes, QStringList* refused) {
    // The song is split at the cursor: `done` holds the notes from `first` up to the cursor, `rest` the
    // notes from the cursor on. Every rule works at the cursor or at the note after the selection,
    // which is never before it, so one pass with a deque keeps each step cheap.
    const qint32 count = notes.noteCount();
    first = std::clamp(first, 0, count);
    std::vector<Note> done;
    std::deque<Note> rest;
    for (qint32 i = first; i < count; ++i) rest.push_back(noteAt(notes, i));
    Note prev = first > 0 ? noteAt(notes, first - 1) : Note();
    bool prevChanged = false;
    qint64 lastNote = last;  // 64-bit: many sections cannot overflow it
    auto cursor = [&] { return qint64(first) + qint64(done.size()); };
    auto lastIndex = [&] { return cursor() + qint64(rest.size()) - 1; };

    const QStringList pieces = replySections(reply);
    for (const QString& piece : pieces) {
        if (piece.startsWith(QStringLiteral("DELETE"))) {
            if (cursor() <= lastIndex() && cursor() <= lastNote) {
                rest.pop_front();
                --lastNote;
            }
        } else if (piece.startsWith(QStringLiteral("PREV"))) {
            if (first >= 1 && first <= lastIndex()) {
                parseInto(piece, prev, refused);
                prevChanged = true;
            }
        } else if (piece.startsWith(QStringLiteral("NEXT"))) {
            if (lastNote + 1 <= lastIndex()) parseInto(piece, rest[size_t(lastNote + 1 - cursor())], refused);
        } else if (piece.startsWith(QStringLiteral("SETTING"))) {
            // nothing
        } else if (piece.startsWith(QStringLiteral("INSERT"))) {
            if (cursor() <= lastIndex() + 1) {
                Note n = rest.empty() ? Note() : rest.front();
                n.ext.clear();
                ++lastNote;
                parseInto(piece, n, refused);
                done.push_back(n);
            }
        } else if (isNumberedPiece(piece)) {
            if (cursor() <= lastIndex()) {
                Note n = rest.front();
                if (cursor() == lastNote + 1)
                    ++lastNote;  // a new note after the selection, starting as a copy of the one there
                else
                    rest.pop_front();
                parseInto(piece, n, refused);
                done.push_back(n);
            }
        }
    }

    NoteArrays out;
    const qint64 total = qint64(first) + qint64(done.size()) + qint64(rest.size());
    out.resizeNotes(qint32(total));
    for (qint32 i = 0; i < first; ++i) {
        const Note n = i == first - 1 && prevChanged ? prev : noteAt(notes, i);
        out.Lengths[i] = n.length;
        out.Lyrics[i] = n.lyric;
        out.NoteNums[i] = n.noteNum;
        out.NoteExt[i] = n.ext;
    }
    qint32 k = first;
    auto put = [&](const Note& n) {
        out.Lengths[k] = n.length;
        out.Lyrics[k] = n.lyric;
        out.NoteNums[k] = n.noteNum;
        out.NoteExt[k] = n.ext;
        ++k;
    };
    for (const Note& n : done) put(n);
    for (const Note& n : rest) put(n);
    notes = out;
    last = qint32(lastNote);
}

}  // namespace tova
