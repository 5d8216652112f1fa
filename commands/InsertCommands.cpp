#include "commands/InsertCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/FileHelpers.h"
#include "core/NoteNames.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "song/FreeText.h"
#include "song/LyricText.h"
#include "song/Song.h"
#include "song/SongHost.h"

#include <algorithm>

namespace tova {

namespace {

constexpr qint32 DefaultNoteNum = 36;  // "C4"

QString insLine(const Song& s, qint32 index) { return s.SerializeNote(QStringLiteral("INS"), index) + RecordLineEnd(); }
QString propLine(const Song& s, qint32 index) { return s.SerializeNote(QStringLiteral("PROP"), index) + RecordLineEnd(); }

// Ticks of a length code of the typed-note language; 0 for a code that sets nothing.
qint32 lengthOfCode(const QString& code) {
    static const QStringList codes{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                   QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("12"), QStringLiteral("16"),
                                   QStringLiteral("24"), QStringLiteral("32")};
    return codes.contains(code) ? 7680 / code.toInt() : 0;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The insertion position of the selection start: never before the first note.
qint32 insertPosition(const Song& s) { return std::max(s.SelStart, 0); }

}  // namespace

QList<TypedNote> ReadTypedNotes(const QString& typed, qint32 length, qint32 noteNum) {
    // TABs and line breaks separate lyrics as blanks do.
    const QString text = TrimBlanks(SafeFreeText(typed, FreeTextUse::Line));
    const qint32 n = qint32(text.size());
    QList<TypedNote> notes;
    qint32 i = 0;  // 0-based here; NextLyricMora counts from 1
    while (i < n) {
        const QChar ch = text.at(i);
        if (ch == u' ') {
            ++i;
            continue;
        }
        if (ch == u'/' && i + 1 < n) {
            const QChar kind = text.at(i + 1);
            if (kind == u'L') {
                QString code = text.mid(i + 2, 1);
                if (i + 3 < n && isDigit(text.at(i + 3))) code = text.mid(i + 2, 2);
                if (const qint32 ticks = lengthOfCode(code)) length = ticks;
                i += 2 + qint32(code.size());
            } else if (kind >= u'A' && kind <= u'G') {
                qint32 j = i + 2;
                QString name(kind);
                if (j < n && (text.at(j) == u'b' || text.at(j) == u'#')) name += text.at(j++);
                if (j < n && isDigit(text.at(j))) noteNum = NoteNameToNum(name + text.at(j));
                i = j + 1;
            } else {
                i += 2;
            }
            continue;
        }
        qint32 position = i + 1;
        const QString lyric = SafeFreeText(NextLyricMora(text, position), FreeTextUse::Lyric);
        if (!lyric.isEmpty()) notes.append({lyric, length, noteNum});
        i = position;  // the 1-based last character of the lyric is the 0-based next one
    }
    return notes;
}

void ApplyLyricText(EditContext& c, qint32 index, const QString& typed) {
    Song& s = c.editedSong();
    const QString text = SafeFreeText(typed, FreeTextUse::Lyric);
    s.Lyrics[index] = text;
    if (SongHost* host = s.host()) host->ApplyLyricText(index, text);
}

void mnInsert_Click(EditContext& c) {
    Song& s = c.editedSong();
    qint32 p = insertPosition(s);
    s.InsertNotes(p, c.newNoteLength(), QStringLiteral("R"), DefaultNoteNum, false);
    c.pushUndo(DeleteLine(p, p), s.SerializeNote(QStringLiteral("INS"), p), QStringLiteral("休符の挿入"));
    s.SelStart += 1;
    s.SelEnd += 1;
    c.Redraw();
}

void mnToneIns_Click(EditContext& c) {
    QString lyric = QStringLiteral("R");
    if (!AskText(c, QStringLiteral("挿入する音を入力"), lyric)) return;
    lyric = SafeFreeText(lyric, FreeTextUse::Lyric);
    Song& s = c.editedSong();
    qint32 p = insertPosition(s);
    s.InsertNotes(p, c.newNoteLength(), lyric, DefaultNoteNum, true);
    c.pushUndo(DeleteLine(p, p), s.SerializeNote(QStringLiteral("INS"), p), QStringLiteral("ノートの挿入"));
}

void InsertNotesFromText(EditContext& c, bool insert) {
    const QString text = TrimBlanks(c.lyricEntryText());
    if (text.isEmpty()) return;
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    const qint32 first = std::min(s.SelStart, s.SelEnd);
    qint32 last = std::max(s.SelStart, s.SelEnd);
    if (last == count) last = 99999;
    qint32 p = s.SelStart >= count ? count : (first < 0 ? 0 : first);
    const qint32 selStart = s.SelStart, selEnd = s.SelEnd;
    s.SelStart = p;
    const bool inserting = insert || count == 0;
    const bool modified = s.IsModified;

    QStringList undo, redo;  // undo lines in the order they arise, applied from the last one back
    for (const TypedNote& note : ReadTypedNotes(text, c.newNoteLength(), DefaultNoteNum)) {
        if (inserting) {
            s.InsertNotes(p, note.length, note.lyric, note.noteNum, false);
            undo << DeleteLine(p, p) + RecordLineEnd();
            redo << insLine(s, p);
            ++p;
            continue;
        }
        if (p >= s.noteCount()) break;
        if (!settings().NoCheckSetLyrics && p > last) break;
        while (p < s.noteCount() && IsRestLyric(s.Lyrics.at(p))) ++p;
        if (p >= s.noteCount()) {
            ++p;
            continue;
        }
        undo << propLine(s, p);
        ApplyLyricText(c, p, note.lyric);
        redo << propLine(s, p);
        ++p;
    }
    if (undo.isEmpty()) {
        // Text that gives no note (a TAB, a line break, a command alone) changes nothing, the
        // selection included: a later command must not act on a range the user never chose.
        s.SelStart = selStart;
        s.SelEnd = selEnd;
        return;
    }
    s.SelEnd = p - 1;
    c.Redraw();
    s.IsModified = modified;
    s.SetModified(true);
    // Insertions undo from the last one back; the replaced lyrics are restored in their own order.
    if (inserting) std::reverse(undo.begin(), undo.end());
    c.pushUndo(undo.join(QString()), redo.join(QString()), insert ? QStringLiteral("挿入") : QStringLiteral("歌詞の置換え"));
}

void TakeQueuedLyric(EditContext& c, QString& undoAfter, QString& undoBefore, QString& lyric) {
    // The queue as the record keeps it: a TAB or line break in it would split the "LYRIC" line.
    const QString box = SafeFreeText(c.lyricEntryText(), FreeTextUse::Line);
    const QString text = TrimBlanks(box);
    if (text.isEmpty()) {
        lyric = QStringLiteral("あ");
        return;
    }
    qint32 position = 1;
    lyric = SafeFreeText(NextLyricMora(text, position), FreeTextUse::Lyric);
    const QString rest = TrimBlanks(text.mid(position));
    c.setLyricEntryText(rest);
    undoBefore = QStringLiteral("LYRIC\t") + box;
    undoAfter = QStringLiteral("LYRIC\t") + rest;
}

void InsertTonePub(EditContext& c, QString& lyric, qint32 noteNum, qint32 length, bool replace) {
    Song& s = c.editedSong();
    // Replacing needs a note at the selection start.
    if (replace && (s.SelStart < 0 || s.SelStart >= s.noteCount())) return;
    QString lyricUndo, lyricRedo;
    if (lyric.isEmpty()) {
        QString after, before;
        TakeQueuedLyric(c, after, before, lyric);
        if (!before.isEmpty()) lyricUndo = before + RecordLineEnd();
        if (!after.isEmpty()) lyricRedo = after + RecordLineEnd();
    }
    if (length >= 1)
        length = qint32(Vb::Int(length / 120.0 + 0.5)) * 120;
    else
        length = c.newNoteLength();

    QString undo, redo, caption;
    if (replace) {
        undo = propLine(s, s.SelStart);
        ApplyLyricText(c, s.SelStart, lyric);
        redo = propLine(s, s.SelStart);
        caption = QStringLiteral("歌詞");
    } else {
        qint32 p = insertPosition(s);
        s.InsertNotes(p, length, lyric, noteNum, false);
        redo = insLine(s, p);
        undo = DeleteLine(p, p) + RecordLineEnd();
        caption = QStringLiteral("挿入");
    }
    c.pushUndo(undo + lyricUndo, redo + lyricRedo, caption);
    s.SelStart += 1;
    s.SelEnd += 1;
    c.Redraw();
}

void SpeakScale(EditContext& c, qint32 noteNum) {
    const QString path = PathText::join(PathText::join(PathText::join(c.editedSong().VoiceDir, QStringLiteral("system")),
                                                       QStringLiteral("tones")),
                                        NoteNumToName(noteNum) + QStringLiteral(".wav"));
    if (!SafeDir(path).isEmpty()) c.playSoundAsync(GetShortPath(path));
}

void registerInsertCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnInsert"), mnInsert_Click);
    addEditCommand(registry, QStringLiteral("mnToneIns"), mnToneIns_Click);
    registry.add(QStringLiteral("cmdLyricIns"), [](EditContext& c) {
        RunEditCommand(c, [&] { InsertNotesFromText(c, true); });
        c.focusRoll();
    });
    registry.add(QStringLiteral("cmdLyricRepl"), [](EditContext& c) {
        if (c.editedSong().noteCount() > 0) RunEditCommand(c, [&] { InsertNotesFromText(c, false); });
        c.focusRoll();
    });
}

}  // namespace tova
