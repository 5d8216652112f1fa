#include "exchange/RenderBatchReader.h"

#include "exchange/ReadProblemsMessage.h"

#include "core/DefaultEnvelope.h"
#include "core/MessageTable.h"
#include "core/NoteNames.h"
#include "exchange/ProjectWindow.h"
#include "exchange/VoiceBankAccess.h"
#include "platform/Cp932Lines.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "song/ReservedNoteVariables.h"
#include "song/Song.h"
#include "song/FreeText.h"

#include <cmath>

namespace tova {
namespace {

// Seven envelope values of which only the second and third are given: the writer's short default.
const QString kShortDefaultEnvelope = QStringLiteral("5 35     ");

bool isCallLine(const QString& line) { return line.startsWith(u"call %helper%"); }

bool isRestLine(const QString& line) { return line.startsWith(u"\"%tool%\" \"%output%\""); }

// The text inside a pair of double quotes around it (a pair alone gives the empty text), else the text.
QString unquoted(const QString& text) {
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) return text.mid(1, text.size() - 2);
    return text;
}

// A millisecond value after the velocity scaling is taken off, kept to the microsecond so that the
// division does not leave noise in the last digit.
float unscaled(double value, double factor) {
    return float(std::round(value / factor * 1000.0) / 1000.0);
}

}  // namespace

// Reader state kept while one file is read.
struct RenderBatchReader::State {
    bool append = false;
    qint32 first = 0;           // index of the first note read in this call
    qint32 index = 0;           // index of the next note to fill
    double tempo = 0;           // tempo in force for millisecond lengths; 0 until a tempo line
    double lastTempo = 0;       // tempo last stored in a note's tempo option
    bool projectTempoRead = false;
    double envOverlap = 0;      // eighth value of the last envelope line
    QString envelope = DefaultEnvelope();  // the last envelope line's envelope, as a note option value
    QString stp = QStringLiteral("0");    // the last start point line's value
    double carried = 0;         // milliseconds of the previous note that belong to the next one
    double previousTempo = 0;   // tempo at which the previous note's milliseconds were converted
    QString noteFlags;          // flags of the notes until the next flag line
    qsizetype pitchBudget = MaxPitchValuesPerFile;  // pitch values the rest of the file may still decode
};

namespace {
// What the reading left out, said in one message naming the file.
QStringList refusedProblems(const QStringList& refused) {
    QStringList problems;
    for (const QString& key : refused) problems << RefusedNoteVariableProblem(key);
    return problems;
}
}  // namespace

RenderBatchReader::RenderBatchReader(ProjectWindow& window, VoiceBankAccess& voices)
    : window_(window), voices_(voices) {}

QStringList RenderBatchReader::splitWords(const QString& line, int minWords) {
    QStringList words;
    QString word;
    bool quoted = false;
    for (QChar c : line) {
        if (c == u'"') quoted = !quoted;
        if (c == u' ' && !quoted) {
            words << word;
            word.clear();
        } else {
            word += c;
        }
    }
    words << word;
    while (words.size() < minWords) words << QString();
    return words;
}

QString RenderBatchReader::sampleName(const QString& word, const QString& voiceDir) {
    QString name = unquoted(word);
    const QString var = QStringLiteral("%oto%");
    if (name.startsWith(var, Qt::CaseInsensitive) && name.size() > var.size() &&
        PathText::isSeparator(name.at(var.size()))) {
        name.remove(0, var.size() + 1);
    } else if (!voiceDir.isEmpty()) {
        QString folder = voiceDir;
        while (!folder.isEmpty() && PathText::isSeparator(folder.back())) folder.chop(1);
        if (name.size() > folder.size() + 1 && name.startsWith(folder) && PathText::isSeparator(name.at(folder.size())))
            name.remove(0, folder.size() + 1);
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > PathText::lastSeparator(name)) name.truncate(dot);
    return name;
}


qint32 RenderBatchReader::msToTicks(double ms, double tempo) {
    if (!(tempo > 0)) return 0;
    const double beats48 = Vb::Int(ms * 0.001 / (60.0 / tempo) * 48.0 + 0.5);
    const qint32 ticks = Vb::CLng(beats48 * 40.0);
    return ticks < 0 ? 0 : ticks;
}

double RenderBatchReader::tempoFor(const State& st) const {
    return st.tempo > 0 ? st.tempo : double(window_.song().Tempo);
}

void RenderBatchReader::ReadBatchNotes(const QString& path) {
    readLines(ReadCp932Lines(path), false);
    ShowReadProblems(path, refusedProblems(refused_));
}

bool RenderBatchReader::AppendBatchNotes(const QString& path) {
    try {
        readLines(ReadCp932Lines(path), true);
        ShowReadProblems(path, refusedProblems(refused_));
        return true;
    } catch (const TovaError& e) {
        Ports::msgBox(e.description(), MsgButtons::OK, MsgIcon::None, GetMessage(QStringLiteral("予期せぬエラー")));
    } catch (const std::exception& e) {
        Ports::msgBox(QString::fromLocal8Bit(e.what()), MsgButtons::OK, MsgIcon::None,
                      GetMessage(QStringLiteral("予期せぬエラー")));
    }
    return false;
}

QString RenderBatchReader::readFlags(const QString& text) const {
    QString flags = unquoted(text);
    flags.replace(QStringLiteral("/E"), QStringLiteral("E"));
    flags.replace(QStringLiteral("/e"), QStringLiteral("e"));
    // The writer appends the project flags to every note's own.
    const QString& project = window_.song().ProjectFlags;
    if (!project.isEmpty() && flags.endsWith(project)) flags.chop(project.size());
    return flags;
}

void RenderBatchReader::readLines(const QStringList& lines, bool append) {
    refused_.clear();
    Song& song = window_.song();
    State st;
    st.append = append;
    st.index = append ? song.noteCount() : 0;
    st.first = st.index;

    voices_.LoadPrefixMap(song.VoiceDir);
    if (!append) voices_.ClearOtoTable();

    const qsizetype n = lines.size();
    qsizetype i = 0;
    while (i < n) {
        const QString& line = lines[i];
        if (!append && line.startsWith(u"@rem project=")) {
            song.ProjectName = line.mid(13, ProjectValueLimit);
        } else if (line.startsWith(u"@set tempo=")) {
            st.tempo = ImportedTempo(Vb::Val(line.mid(11)), 120.0f);
            // The header's tempo is the project's; a later line before a rest changes the tempo there.
            if (!append && st.index == st.first && !st.projectTempoRead) {
                st.projectTempoRead = true;
                song.Tempo = float(st.tempo);
                st.lastTempo = st.tempo;
                window_.SetTempoText(Vb::SingleText(float(st.tempo)));
            }
        } else if (line.startsWith(u"@rem tempo=")) {
            st.tempo = ImportedTempo(Vb::Val(line.mid(11)), 120.0f);
            window_.SetTempoText(Vb::SingleText(float(st.tempo)));
            song.Tempo = float(st.tempo);
            st.lastTempo = st.tempo;
        } else if (!append && line.startsWith(u"@set oto=")) {
            song.VoiceDir = line.mid(9, ProjectValueLimit);
            if (!song.VoiceDir.isEmpty()) {
                voices_.LoadOtoIni(song.VoiceDir);
                voices_.LoadPrefixMap(song.VoiceDir);
            }
        } else if (!append && line.startsWith(u"@set tool=")) {
            song.Tool1 = line.mid(10, ProjectValueLimit);
        } else if (!append && line.startsWith(u"@set vorsa=")) {
            song.Tool2 = line.mid(11, ProjectValueLimit);
        } else if (!append && line.startsWith(u"@set resamp=")) {
            song.Tool2 = line.mid(12, ProjectValueLimit);
        } else if (!append && line.startsWith(u"@set output=")) {
            song.OutFile = line.mid(12, ProjectValueLimit);
        } else if (!append && line.startsWith(u"@set flag=")) {
            song.ProjectFlags = unquoted(line.mid(10, ProjectValueLimit));
            st.noteFlags.clear();
        } else if (line.startsWith(u"@set params=")) {
            i = readNoteGroup(lines, i, st);
            continue;
        } else if (line.startsWith(u"@set pitches=")) {
            i = readOlderNoteGroup(lines, i, st);
            continue;
        } else if (isRestLine(line)) {
            readRest(line, st);
        }
        ++i;
    }
    if (!append) song.resizeNotes(st.index);
}

qsizetype RenderBatchReader::readNoteGroup(const QStringList& lines, qsizetype i, State& st) {
    Song& song = window_.song();
    const qsizetype n = lines.size();

    // Intensity, modulation and pitch text: the first two blanks separate the three fields.
    QString params = lines[i].mid(12);
    const qsizetype b1 = params.indexOf(u' ');
    const qsizetype b2 = b1 < 0 ? -1 : params.indexOf(u' ', b1 + 1);
    QStringList paramFields;
    if (b2 >= 0) {
        // Pitch text is decoded once the note's length is known (below).
        paramFields << params.left(b1) << params.mid(b1 + 1, b2 - b1 - 1) << params.mid(b2 + 1);
    } else {
        paramFields << QString() << QString() << QString();
    }

    if (++i >= n) return n;
    if (lines[i].startsWith(u"@set flag=")) {
        st.noteFlags = readFlags(lines[i].mid(10));
        if (++i >= n) return n;
    }

    QString tempoEntry;
    QString velocity;
    QStringList variables;
    for (; i < n && lines[i].startsWith(u"@set "); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(u"@set tempo=")) {
            st.tempo = ImportedTempo(Vb::Val(line.mid(11)), 120.0f);
            st.lastTempo = st.tempo;
            tempoEntry = QStringLiteral("tempo=") + Vb::Format(st.tempo, QStringLiteral("0.00"));
        } else if (line.startsWith(u"@set env=")) {
            QStringList values = line.mid(9).split(u' ');
            st.envOverlap = values.size() >= 8 ? Vb::Val(values[7]) : 0.0;
            QStringList seven = values.mid(0, 7);
            while (seven.size() < 7) seven << QString();
            QString envelope = seven.join(u' ');
            // The long form: the eighth value stands for the overlap, the three after it are kept.
            if (values.size() > 8) envelope += QStringLiteral(" % ") + values.mid(8, 3).join(u' ');
            st.envelope = envelope;
        } else if (line.startsWith(u"@set stp=")) {
            st.stp = line.mid(9);
        } else if (line.startsWith(u"@set vel=")) {
            velocity = line.mid(9);
        } else if (line.startsWith(u"@set temp=") || line.startsWith(u"@set expression=")) {
            // Render plumbing of the note (its cache file, its encoded expression), not note options.
        } else if (NoteVariableEntryFault(QString(u'@' + line.mid(5))) != NoteVariableFault::None) {
            // A note may not set a variable naming the render's programs or paths, nor one without a
            // plain name: said at the end.
            const QString key = u'@' + line.mid(5).section(u'=', 0, 0);
            if (!refused_.contains(key)) refused_ << key;
        } else {
            // A batch variable set for this note only: the note's "@" option of that name.
            variables << u'@' + line.mid(5);
        }
    }

    // The group is a note only when the per-note batch is called for it.
    if (i >= n || !isCallLine(lines[i])) return i;

    const QStringList words = splitWords(lines[i], 11);
    const qint32 noteNum = NoteNameToNum(words[3]);
    const QString lyric = voices_.StripPrefixMap(noteNum, voices_.GetSampleAlias(sampleName(words[2], song.VoiceDir)));

    qint32 length;
    const QString& w5 = words[4];
    const double w6 = Vb::Val(words[5]);
    if (!w5.contains(u'@')) {
        // Milliseconds: what the writer took off the end of the previous note for this note's
        // pre-utterance (less its overlap) comes back to that note.
        if (w6 - st.envOverlap != 0 && st.index > st.first)
            song.Lengths[st.index - 1] = msToTicks(st.carried + w6 - st.envOverlap, st.previousTempo);
        st.carried = Vb::Val(w5) - w6;
        length = msToTicks(st.carried, tempoFor(st));
    } else {
        length = Vb::CLng(Vb::Val(w5) * 4.0);
        if (length == 0) length = 20;
        if (length < 0) length = 0;
    }

    // Pitch text expands to no more values than the note can use, and the file to no more than its
    // budget: a few bytes of run counts must not claim gigabytes.
    if (paramFields[2].startsWith(u'!')) {
        const qsizetype limit = qMin(PitchValuesForLength(length), st.pitchBudget);
        paramFields[2] = DecodePitchText(paramFields[2], limit);
        st.pitchBudget -= qMin(limit, paramFields[2].count(u' ') + 1);
    }

    // The writer scaled pre-utterance, overlap and start point by the velocity factor.
    const double vel = velocity.isEmpty() ? 100.0 : Vb::Val(velocity);
    QString timing;
    QString stp = st.stp;
    if (vel != 100.0) {
        const double k = std::pow(2.0, 1.0 - vel / 100.0);
        timing = Vb::SingleText(unscaled(w6, k)) + u':' + Vb::SingleText(unscaled(st.envOverlap, k)) + u':' +
                 Vb::SingleText(float(vel));
        stp = Vb::SingleText(unscaled(Vb::Val(stp), k));
    } else {
        timing = words[5] + u':' + Vb::SingleText(float(st.envOverlap));
    }

    QStringList options;
    if (!tempoEntry.isEmpty()) options << tempoEntry;
    if (st.envelope != DefaultEnvelope() && st.envelope != kShortDefaultEnvelope)
        options << QStringLiteral("env=") + st.envelope;
    if (Vb::Val(stp) != 0) options << QStringLiteral("stp=") + stp;
    options << variables;

    if (st.index >= song.noteCount()) song.resizeNotes(st.index + 1);
    song.NoteNums[st.index] = noteNum;
    song.Lyrics[st.index] = SafeFreeText(lyric, FreeTextUse::Lyric);
    song.Lengths[st.index] = length;
    song.NoteExt[st.index] =
        JoinNoteExt({timing, paramFields[0], paramFields[1], paramFields[2], st.noteFlags, options.join(OptionSeparator())});
    st.previousTempo = tempoFor(st);
    ++st.index;
    return i + 1;
}

qsizetype RenderBatchReader::readOlderNoteGroup(const QStringList& lines, qsizetype i, State& st) {
    Song& song = window_.song();
    const QString pitches = lines[i].mid(13);
    if (++i >= lines.size()) return i;
    if (!isCallLine(lines[i])) return i;
    const QStringList words = splitWords(lines[i], 11);
    if (st.index >= song.noteCount()) song.resizeNotes(st.index + 1);
    song.Lyrics[st.index] = SafeFreeText(voices_.GetSampleAlias(sampleName(words[2], song.VoiceDir)), FreeTextUse::Lyric);
    song.NoteNums[st.index] = NoteNameToNum(words[3]);
    song.Lengths[st.index] = msToTicks(Vb::Val(words[4]), tempoFor(st));
    song.NoteExt[st.index] = JoinNoteExt({words[5], words[9], words[10], pitches});
    st.previousTempo = tempoFor(st);
    ++st.index;
    return i + 1;
}

void RenderBatchReader::readRest(const QString& line, State& st) {
    Song& song = window_.song();
    const QStringList words = splitWords(line, 11);
    const double w5 = Vb::Val(words[4]);
    if (!(w5 > 0)) return;
    if (st.index >= song.noteCount()) song.resizeNotes(st.index + 1);
    song.NoteNums[st.index] = 36;
    song.Lengths[st.index] = words[4].contains(u'@') ? Vb::CLng(w5 * 4.0) : msToTicks(w5, tempoFor(st));
    song.Lyrics[st.index] = QStringLiteral("R");
    if (st.tempo != st.lastTempo) {
        song.NoteExt[st.index] = QStringLiteral("\t\t\t\t\ttempo=") + Vb::Format(st.tempo, QStringLiteral("0.00"));
        st.lastTempo = st.tempo;
    } else {
        song.NoteExt[st.index] = QString();
    }
    st.carried = w5;
    st.previousTempo = tempoFor(st);
    ++st.index;
}

}  // namespace tova
