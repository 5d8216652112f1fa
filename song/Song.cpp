#include "song/Song.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "platform/EventGuard.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "song/NoteCache.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "song/RecoveryWriter.h"
#include "song/SongHost.h"

#include <QObject>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tova {

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr qint32 HighestNoteNum = 83;
constexpr int RecordFieldCount = 11;  // kind and fields 1 to 10

// A record field as a number: its leading number, rounded to the nearest integer (halves to even).
// False when the field does not start with a number (a field that slid into a number's place) or the
// result does not fit a 32-bit integer.
bool recordNumber(const QString& text, qint32& out) {
    qsizetype k = 0;
    while (k < text.size() && text.at(k) == u' ') ++k;
    if (k == text.size()) return false;
    const QChar c = text.at(k);
    if (!(c.isDigit() || c == u'-' || c == u'+' || c == u'.' || c == u'&')) return false;
    const double r = std::nearbyint(Vb::Val(text));
    if (!(r >= double(std::numeric_limits<qint32>::min()) && r <= double(std::numeric_limits<qint32>::max())))
        return false;
    out = qint32(r);
    return true;
}

qint32 recordNumber(const QString& text) {
    qint32 v = 0;
    recordNumber(text, v);
    return v;
}

QStringList recordFields(const QString& line) {
    QStringList f = line.split(u'\t');
    f.resize(RecordFieldCount);
    return f;
}

// The most fields a line of each kind has; a line with more was split by a TAB inside a text, and its
// numbers would come from the wrong fields.
bool fieldsFit(const QString& line, const QString& kind) {
    const qsizetype fields = line.count(u'\t') + 1;
    if (kind == u"INS" || kind == u"PROP") return fields <= RecordFieldCount;
    if (kind == u"DEL") return fields <= 3;
    if (kind == u"KEY") return fields <= 4;
    if (kind == u"TEMPO" || kind == u"LYRIC") return fields <= 2;
    return true;
}

QString extFromRecord(const QStringList& f) { return f.mid(5, ExtFieldCount).join(u'\t'); }

}  // namespace

ProjectSettings Song::projectSettings() const {
    ProjectSettings s;
    s.ProjectName = ProjectName;
    s.VoiceDir = VoiceDir;
    s.OutFile = OutFile;
    s.CacheDir = CacheDir;
    s.Tool1 = Tool1;
    s.Tool2 = Tool2;
    s.Flags = ProjectFlags;
    s.Tempo = Tempo;
    s.Mode2 = Mode2;
    return s;
}

void Song::setProjectSettings(const ProjectSettings& s) {
    ProjectName = s.ProjectName;
    VoiceDir = s.VoiceDir;
    OutFile = s.OutFile;
    CacheDir = s.CacheDir;
    Tool1 = s.Tool1;
    Tool2 = s.Tool2;
    ProjectFlags = s.Flags;
    Tempo = s.Tempo;
    Mode2 = s.Mode2;
}

void Song::redraw() {
    if (!host_) return;
    host_->DrawBackground();
    host_->DrawNotes();
}

// ---- note editing primitives ----

void Song::RemoveNotes(qint32 first, qint32 last, bool redrawAfter) {
    const qint32 count = noteCount();
    if (first >= count || first > last) return;
    if (first < 0) throw InvalidCallError();
    const qint32 end = std::min<qint64>(qint64(last) + 1, count);
    const qint32 removed = end - first;
    const qint32 newCount = count - removed;

    if (newCount < 1) {
        makeEmpty();
    } else {
        Lengths.remove(first, removed);
        Lyrics.remove(first, removed);
        NoteNums.remove(first, removed);
        NoteExt.remove(first, removed);
    }
    if (host_) host_->TrimNoteGeometry(newCount);

    if (SelEnd >= end)
        SelEnd -= removed;
    else if (SelEnd >= first)
        SelEnd = first - 1;
    if (SelStart >= end)
        SelStart -= removed;
    else if (SelStart >= first)
        SelStart = first;
    if (SelStart > SelEnd || SelStart < 0 || SelEnd < 0) SelStart = SelEnd = newCount + 1;

    SetModified(true);
    if (redrawAfter) redraw();
}

qint32 Song::InsertNotes(qint32& position, qint32 length, const QString& lyric, qint32 noteNum, bool redrawAfter) {
    if (noteNum < 0) noteNum = 0;
    if (position > noteCount()) position = noteCount();
    if (position < 0) throw InvalidCallError();
    const qint32 p = position;

    InsertNoteAt(p, *this);
    NoteNums[p] = noteNum;
    Lengths[p] = length;
    NoteExt[p].clear();
    Lyrics[p] = lyric;
    if (host_) host_->ApplyLyricText(p, lyric);

    if (!IsRestLyric(lyric)) {
        const Settings& set = settings();
        QString ext = NoteExt[p];
        if (set.Mode2) {
            if (!set.Mode2PBS.isEmpty() && !set.Mode2PBW.isEmpty() && p >= 1 && !IsRestLyric(Lyrics[p - 1])) {
                // Portamento points scale with the interval to the previous note: twice as wide an octave away.
                const double d = std::abs(double(NoteNums[p - 1]) - double(noteNum));
                const double factor = std::pow(2.0, d / 12.0);
                SetNoteOption(ext, QStringLiteral("PBS"), Vb::DoubleText(Vb::Int(Vb::Val(set.Mode2PBS) * factor)));
                SetNoteOption(ext, QStringLiteral("PBW"), Vb::DoubleText(Vb::Int(Vb::Val(set.Mode2PBW) * factor)));
            }
            if (length > set.Mode2VBRExclude) SetNoteOption(ext, QStringLiteral("VBR"), set.Mode2VBR);
        }
        QStringList f = SplitNoteExt(ext);
        f[ExtIntensity] = QString::number(set.DefaultVolume);
        f[ExtModulation] = QString::number(set.DefaultModulation);
        f[ExtFlags] = set.DefaultFlags;
        ext = JoinNoteExt(f);
        if (!set.DefaultEnv.isEmpty()) SetNoteOption(ext, QStringLiteral("env"), set.DefaultEnv);
        NoteExt[p] = ext;
    }

    if (redrawAfter) redraw();
    SetModified(true);
    return noteNum;
}

void Song::ChangeNoteKeys(qint32 offset, bool suppressUndo) {
    const qint32 count = noteCount();
    if (SelStart >= count && SelEnd >= count) return;
    const qint32 first = std::max(0, std::min(SelStart, SelEnd));
    const qint32 last = std::min(std::max(SelStart, SelEnd), count - 1);

    // Notes that hit the ends of the range are recorded as they were, so that undo restores them exactly.
    QString clamped;
    for (qint32 i = first; i <= last; ++i) {
        const qint64 wanted = qint64(NoteNums[i]) + offset;
        const qint32 held = qint32(std::clamp<qint64>(wanted, 0, HighestNoteNum));
        if (held != wanted && !suppressUndo) clamped += CrLf + SerializeNote(QStringLiteral("PROP"), i);
        NoteNums[i] = held;
    }
    if (!suppressUndo) {
        SetModified(true);
        const QString range = u'\t' + QString::number(first) + u'\t' + QString::number(last);
        PushUndoRecord(QStringLiteral("KEY\t") + QString::number(-qint64(offset)) + range + clamped,
                       QStringLiteral("KEY\t") + QString::number(offset) + range, GetMessage(QStringLiteral("キーの変更")));
    }
    redraw();
}

// ---- modified flag and undo history ----

void Song::SetModified(bool flag) {
    WasModified = IsModified;
    IsModified = flag;
    if (!flag) SavedUndoPos = UndoPos;
    if (host_) host_->UpdateCaption();
}

void Song::PushUndoRecord(const QString& undoText, const QString& redoText, const QString& caption) {
    if (UndoPos < UndoCapacity) {
        UndoTexts.resize(UndoPos);
        RedoTexts.resize(UndoPos);
        UndoCaptions.resize(UndoPos);
        UndoTexts.append(undoText);
        RedoTexts.append(redoText);
        UndoCaptions.append(caption);
        ++UndoPos;
    } else {
        UndoTexts.removeFirst();
        RedoTexts.removeFirst();
        UndoCaptions.removeFirst();
        UndoTexts.append(undoText);
        RedoTexts.append(redoText);
        UndoCaptions.append(caption);
        // The saved state moves down with the records; the state before the dropped one is gone.
        if (SavedUndoPos >= 1)
            --SavedUndoPos;
        else if (SavedUndoPos == 0)
            SavedUndoPos = -1;
    }
    if (UndoPos <= SavedUndoPos) SavedUndoPos = -1;
    if (host_) {
        host_->SetUndoMenuCaption(GetMessage(QStringLiteral("{1}を元に戻す(&U)"), caption));
        host_->SetUndoMenuEnabled(true);
        host_->SetRedoMenuEnabled(false);
    }
    SaveRecoveryFile();
}

QString Song::UpdateUndoMenuAfterUndo() {
    --UndoPos;
    const QString text = UndoTexts.at(UndoPos);
    if (host_) {
        if (UndoPos > 0) {
            host_->SetUndoMenuCaption(GetMessage(QStringLiteral("{1}を元に戻す(&U)"), UndoCaptions.at(UndoPos - 1)));
        } else {
            host_->SetUndoMenuCaption(GetMessage(QStringLiteral("元に戻す(&U)")));
            host_->SetUndoMenuEnabled(false);
        }
        host_->SetRedoMenuCaption(GetMessage(QStringLiteral("{1}をやり直す(&Y)"), UndoCaptions.at(UndoPos)));
        host_->SetRedoMenuEnabled(true);
    }
    return text;
}

QString Song::UpdateUndoMenuAfterRedo() {
    const QString text = RedoTexts.at(UndoPos);
    ++UndoPos;
    if (host_) {
        if (UndoPos <= RedoTexts.size() - 1) {
            host_->SetRedoMenuCaption(GetMessage(QStringLiteral("{1}をやり直す(&Y)"), UndoCaptions.at(UndoPos)));
        } else {
            host_->SetRedoMenuCaption(GetMessage(QStringLiteral("やり直す(&Y)")));
            host_->SetRedoMenuEnabled(false);
        }
        host_->SetUndoMenuCaption(GetMessage(QStringLiteral("{1}を元に戻す(&U)"), UndoCaptions.at(UndoPos - 1)));
        host_->SetUndoMenuEnabled(true);
    }
    return text;
}

bool Song::Undo() {
    if (UndoPos <= 0) return false;
    if (!CheckUndoRecord(UndoTexts.at(UndoPos - 1))) {
        if (EventGuard::debugMode()) throw InvalidCallError();
        return false;
    }
    applyCheckedRecord(UpdateUndoMenuAfterUndo());
    redraw();
    SaveRecoveryFile();  // a crash now brings back the song as it stands, not as it was before the undo
    return true;
}

bool Song::Redo() {
    if (UndoPos > RedoTexts.size() - 1) return false;
    if (!CheckUndoRecord(RedoTexts.at(UndoPos))) {
        if (EventGuard::debugMode()) throw InvalidCallError();
        return false;
    }
    applyCheckedRecord(UpdateUndoMenuAfterRedo());
    redraw();
    SaveRecoveryFile();
    return true;
}

bool Song::CheckUndoRecord(const QString& text) const {
    qint64 count = noteCount();
    for (const QString& line : text.split(CrLf)) {
        const QStringList f = recordFields(line);
        const QString& kind = f[0];
        if (!fieldsFit(line, kind)) return false;
        qint32 a = 0, b = 0, c = 0;
        if (kind == u"DEL") {
            if (!recordNumber(f[1], a) || !recordNumber(f[2], b)) return false;
            if (a >= count || a > b) continue;  // removes nothing
            if (a < 0) return false;
            count -= std::min<qint64>(qint64(b) + 1, count) - a;
        } else if (kind == u"INS") {
            if (!recordNumber(f[1], a) || !recordNumber(f[2], b) || !recordNumber(f[4], c)) return false;
            if (a < 0 || a > count) return false;
            ++count;
        } else if (kind == u"PROP") {
            if (!recordNumber(f[1], a) || !recordNumber(f[2], b) || !recordNumber(f[4], c)) return false;
            if (a < 0 || a >= count) return false;
        } else if (kind == u"KEY") {
            if (!recordNumber(f[1], c) || !recordNumber(f[2], a) || !recordNumber(f[3], b)) return false;
            if (a >= count && b >= count) continue;  // transposes nothing
            if (std::min(a, b) < 0) return false;
        } else if (kind == u"TEMPO") {
            const double t = Vb::Val(f[1]);
            if (!(t > 0 && t <= double(std::numeric_limits<float>::max()))) return false;
        }
    }
    return true;
}

void Song::ApplyUndoRecord(const QString& text) {
    if (!CheckUndoRecord(text)) throw InvalidCallError();
    applyCheckedRecord(text);
}

void Song::applyCheckedRecord(const QString& text) {
    const qint32 selStart = SelStart, selEnd = SelEnd;
    bool seenInsert = false;
    for (const QString& line : text.split(CrLf)) {
        const QStringList f = recordFields(line);
        const QString& kind = f[0];
        if (kind == u"DEL") {
            RemoveNotes(recordNumber(f[1]), recordNumber(f[2]), false);
        } else if (kind == u"INS") {
            qint32 index = recordNumber(f[1]);
            const qint32 noteNum = recordNumber(f[4]);
            InsertNotes(index, recordNumber(f[2]), f[3], noteNum, false);
            // The note comes back exactly as recorded (InsertNotes would raise a negative note number to 0).
            NoteNums[index] = noteNum;
            NoteExt[index] = extFromRecord(f);
            if (!seenInsert) SelStart = index;
            seenInsert = true;
            SelEnd = index;
        } else if (kind == u"PROP") {
            const qint32 index = recordNumber(f[1]);
            Lengths[index] = recordNumber(f[2]);
            Lyrics[index] = f[3];
            NoteNums[index] = recordNumber(f[4]);
            NoteExt[index] = extFromRecord(f);
            if (cache_) cache_->DeleteNoteCacheFiles(CacheDir, index);
        } else if (kind == u"KEY") {
            SelStart = recordNumber(f[2]);
            SelEnd = recordNumber(f[3]);
            ChangeNoteKeys(recordNumber(f[1]), true);
            SelStart = selStart;
            SelEnd = selEnd;
        } else if (kind == u"LYRIC") {
            if (host_) host_->SetLyricQueueText(f[1]);
        } else if (kind == u"TEMPO") {
            Tempo = float(Vb::Val(f[1]));
        }
    }
    SetModified(SavedUndoPos != UndoPos);
}

QString Song::SerializeNote(const QString& kind, qint32 index) const {
    QString out;
    AppendNoteLine(out, kind, index, false);
    return out;
}

void Song::AppendNoteLine(QString& out, const QString& kind, qint32 index, bool lineEnd) const {
    if (index < 0 || index >= noteCount()) throw InvalidCallError();
    const auto number = [&out](qint64 v) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
        out.append(QLatin1StringView(digits, end - digits));
    };
    const QString& lyric = Lyrics.at(index);
    const QString ext = NoteExt.value(index);
    const qsizetype needed = out.size() + kind.size() + lyric.size() + ext.size() + 48;
    if (out.capacity() < needed) out.reserve(std::max(needed, out.capacity() * 2));
    out.append(kind).append(u'\t');
    number(index);
    out.append(u'\t');
    number(Lengths.value(index));
    out.append(u'\t').append(lyric).append(u'\t');
    number(NoteNums.value(index));
    out.append(u'\t').append(ext);
    if (lineEnd) out.append(CrLf);
}

QString Song::TempoRecordLine(float tempo) {
    return QStringLiteral("TEMPO\t") + QString::number(double(tempo), 'g', 9);
}

QString Song::SerializeNoteRange(const QString& kind, qint32 from, qint32 to) const {
    QString out;
    for (qint32 i = from; i <= to; ++i) AppendNoteLine(out, kind, i);
    return out;
}

void Song::ResetUndoHistory() {
    UndoPos = 0;
    SavedUndoPos = 0;
    UndoTexts.clear();
    RedoTexts.clear();
    UndoCaptions.clear();
    if (host_) {
        host_->SetUndoMenuCaption(GetMessage(QStringLiteral("元に戻す(&U)")));
        host_->SetUndoMenuEnabled(false);
        host_->SetRedoMenuCaption(GetMessage(QStringLiteral("やり直す(&Y)")));
        host_->SetRedoMenuEnabled(false);
    }
}

void Song::BeginPropUndo(qint32 from, qint32 to, const QString& caption) {
    PropUndoFrom = from;
    PropUndoTo = to;
    PropUndoCaption = caption;
    PropUndoBefore = SerializeNoteRange(QStringLiteral("PROP"), from, to);
}

bool Song::EndPropUndo() {
    const QString after = SerializeNoteRange(QStringLiteral("PROP"), PropUndoFrom, PropUndoTo);
    if (after == PropUndoBefore) return false;
    PushUndoRecord(PropUndoBefore, after, PropUndoCaption);
    SetModified(true);
    return true;
}

QString RecoveryFilePath(const QString& tempFolder) {
    return tempFolder.isEmpty() ? QString() : PathText::join(tempFolder, QStringLiteral("temp$$$.tvx"));
}

QString Song::RecoveryFilePath() const { return tova::RecoveryFilePath(TempFolder); }

// The writer of one song object and the object of this thread through which the writer's thread asks
// for the song once a write has ended.
struct RecoveryLinkState {
    explicit RecoveryLinkState(Song& s) : song(&s) {
        writer.setWhenFree([this] {
            QMetaObject::invokeMethod(&context, [this] { song->handOverRecoveryCopy(); }, Qt::QueuedConnection);
        });
    }
    Song* song;
    QObject context;        // ended after the writer, which may still ask through it
    RecoveryWriter writer;
};

RecoveryLink::RecoveryLink() = default;
RecoveryLink::RecoveryLink(const RecoveryLink&) {}

RecoveryLink::~RecoveryLink() {
    if (!state) return;
    // Nothing held back is lost at the end: the song is still whole while its last member ends.
    state->song->WaitForRecoveryFile();
}

RecoveryWriter* Song::recoveryWriter() const { return recovery_.state ? &recovery_.state->writer : nullptr; }

void Song::SaveRecoveryFile() {
    if (RecoveryFilePath().isEmpty()) return;
    if (!recovery_.state) recovery_.state = std::make_unique<RecoveryLinkState>(*this);
    recovery_.state->song = this;
    // While a write is under way the change waits for it to end; otherwise a snapshot goes now.
    if (!recovery_.state->writer.holdBackWhileBusy()) postRecoveryCopy();
}

void Song::postRecoveryCopy() {
    const QString path = RecoveryFilePath();
    // A snapshot shares the note arrays: no note is copied here.
    if (!path.isEmpty()) recovery_.state->writer.post({path, projectSettings(), static_cast<const NoteArrays&>(*this)});
}

bool Song::handOverRecoveryCopy() {
    if (!recovery_.state || !recovery_.state->writer.takeHeldBack()) return false;
    postRecoveryCopy();
    return true;
}

void Song::WaitForRecoveryFile() {
    if (!recovery_.state) return;
    do {
        recovery_.state->writer.wait();
    } while (handOverRecoveryCopy());
}

}  // namespace tova
