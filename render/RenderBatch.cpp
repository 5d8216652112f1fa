#include "render/RenderBatch.h"

#include "core/FileHelpers.h"
#include "core/NoteNames.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "render/MissingSampleMarks.h"
#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"
#include "render/RenderNoteTiming.h"
#include "song/NoteExtension.h"
#include "song/PitchCurves.h"
#include "song/PitchText.h"
#include "song/Song.h"
#include "song/SongHost.h"

#include <QFile>

#include <cmath>

namespace tova {

namespace {

const QString kDefaultEnvelope = QStringLiteral("0 5 35 0 100 100 0");

// The text without leading and trailing blanks (tabs and line breaks stay).
QString trimBlanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == u' ') ++b;
    while (e > b && text.at(e - 1) == u' ') --e;
    return text.mid(b, e - b);
}

QString plain(float v) { return Vb::SingleText(v); }
QString ms4(double v) { return Vb::Format(v, QStringLiteral("0.0###")); }

// A note's length in ms at a tempo, rounded to the microsecond (1920 internal ticks a beat).
float noteLengthMs(qint32 ticks, float tempo) {
    return float(Vb::Int(double(ticks) / double(tempo) * 31250.0 + 0.5) * 0.001);
}

// The option entries of a note whose key begins with "@", in list order.
QStringList atEntries(const QString& ext) {
    QStringList out;
    const QString options = NoteExtField(ext, ExtOptions);
    if (options.isEmpty()) return out;
    for (const QString& entry : options.split(OptionSeparator())) {
        if (entry.startsWith(u'@')) out << entry;
    }
    return out;
}

// The batch text in the making: lines joined with CR LF.
class BatchText {
public:
    void line(const QString& text = QString()) {
        text_ += text;
        text_ += QStringLiteral("\r\n");
    }
    const QString& text() const { return text_; }

private:
    QString text_;
};

void writeFile(const QString& path, const QString& text) {
    QFile file(FileSystem::resolve(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(path + QStringLiteral(": ") + file.errorString(), 75);
    const QByteArray bytes = Cp932::encode(text);
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw IoError(path + QStringLiteral(": ") + file.errorString());
}

// Existence of a sample file of the voice folder (the name may hold a sub-folder written with "\").
bool sampleExists(const QString& voiceDir, const QString& name, const QString& extension) {
    return FileSystem::isFile(PathText::join(voiceDir, name + extension));
}

// The three variants of the per-note batch.
QString helperText() {
    BatchText h;
    const Settings& s = settings();
    const QString vorsa = QStringLiteral("@\"%vorsa%\" %1 %temp% %2 %vel% %flag% %5 %6 %7 %8 %params%");
    const QString tool = QStringLiteral("@\"%tool%\" \"%output%\" %temp% %stp% %3 %env%");
    if (s.OnlyConcat) {
        h.line(QStringLiteral("@\"%tool%\" \"%output%\" %1 %5 %3 %env%"));
    } else if (s.CacheEnable) {
        h.line(QStringLiteral("@if exist %temp% goto A"));
        h.line(QStringLiteral("@if exist \"%cachedir%\\%9_*.wav\" del \"%cachedir%\\%9_*.wav\""));
        h.line(vorsa);
        h.line(QStringLiteral(":A"));
        h.line(tool);
    } else {
        h.line(QStringLiteral("@set temp=\"temp$$$.wav\""));
        h.line(vorsa);
        h.line(tool);
    }
    return h.text();
}

}  // namespace

QString TickLengthSpec(int32_t internalTicks, float tempo, double correction) {
    return QString::number(internalTicks / 4) + u'@' + Vb::Format(double(tempo), QStringLiteral("0.00#")) +
           Vb::Format(correction, QStringLiteral("+.0##;-.0##"));
}

void GetRenderFileNames(Song& song, QString& path, MissingSampleMarks* marks) {
    if (path.isEmpty()) {
        song.CacheDir = PathText::join(TempFolder, QStringLiteral("temp.cache"));
        path = PathText::join(TempFolder, QStringLiteral("temp.bat"));
    } else {
        const QString extension = PathText::extension(path).toLower();
        if (extension == u".wsq" || extension == u".tvx") {
            song.CacheDir = PathText::withoutExtension(path) + QStringLiteral(".cache");
            path = PathText::join(TempFolder, QStringLiteral("temp.bat"));
        } else if (extension == u".bat") {
            song.CacheDir = PathText::withoutExtension(path) + QStringLiteral(".cache");
        } else {
            song.CacheDir = path + QStringLiteral(".cache");
            path += QStringLiteral(".bat");
        }
    }
    if (song.ProjectName.isEmpty()) {
        song.ProjectName = PathText::filePart(song.ProjectPath);
        if (song.host()) song.host()->UpdateCaption();
    }
    if (PathText::extension(song.OutFile).compare(QStringLiteral(".wav"), Qt::CaseInsensitive) != 0)
        song.OutFile += QStringLiteral(".wav");
    WriteRenderBatch(song, song.ProjectName, path, 0, song.noteCount() - 1, song.OutFile, marks);
}

void WriteRenderBatch(Song& song, const QString& projectName, const QString& batchPath, int32_t first, int32_t last,
                      QString& outputName, MissingSampleMarks* marks) {
    if (first == -1 && last == -1) return;
    if (first > song.lastNote()) return;
    // Any other range starting before the first note names notes that do not exist.
    if (first < 0) throw InvalidCallError();
    const Settings& s = settings();

    LoadPrefixMap(song.VoiceDir);

    // The tempo in force before the first note, and the tracker of the next note's tempo.
    float tempo = song.Tempo;
    FindTempoAt(song, song.Tempo, first - 1, tempo);
    float nextTempo = tempo;
    GetNoteTempo(song, first, nextTempo);

    QString lastEnv = kDefaultEnvelope;
    QString lastFlags = song.ProjectFlags;
    float lastStp = 0;

    // File names: the per-note batch beside the render batch; its older copies go first.
    const QString folder = PathText::folderPart(batchPath);
    const QString base = PathText::baseName(batchPath);
    const QString helperName = base + QStringLiteral("_helper.bat");
    for (const QString& name : FileSystem::list(folder, base + QStringLiteral("_helper*.bat"), false)) {
        const QString shortPath = GetShortPath(PathText::join(folder, name));
        if (!shortPath.isEmpty()) QFile::remove(shortPath);
    }
    const QString cacheDir =
        song.CacheDir.isEmpty() ? PathText::join(TempFolder, base + QStringLiteral(".cache")) : song.CacheDir;
    if (outputName.isEmpty()) outputName = base + QStringLiteral(".wav");

    float prevLength = first == 0 ? 0.0f : noteLengthMs(song.Lengths.at(first - 1), tempo);

    // Opened first, so a folder that cannot take the file fails before anything else changes.
    QFile probe(FileSystem::resolve(batchPath));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(batchPath + QStringLiteral(": ") + probe.errorString(), 75);
    probe.close();

    BatchText b;
    try {
        b.line(QStringLiteral("@rem project=") + projectName);
        b.line(QStringLiteral("@set tempo=") + plain(song.Tempo));
        b.line(QStringLiteral("@set samples=44100"));
        b.line(QStringLiteral("@set oto=") + song.VoiceDir);
        b.line(QStringLiteral("@set tool=") + song.Tool1);
        b.line(QStringLiteral("@set vorsa=") + song.Tool2);
        b.line(QStringLiteral("@set output=") + outputName);
        b.line(QStringLiteral("@set helper=") + helperName);
        b.line(QStringLiteral("@set cachedir=") + cacheDir);
        b.line(QStringLiteral("@set flag=\"") + song.ProjectFlags + u'"');
        b.line(QStringLiteral("@set env=") + kDefaultEnvelope);
        b.line(QStringLiteral("@set stp=0"));
        b.line();
        b.line(QStringLiteral("@del \"%output%\""));
        // Parts left by an aborted run would otherwise be appended to.
        b.line(QStringLiteral("@del \"%output%.whd\""));
        b.line(QStringLiteral("@del \"%output%.dat\""));
        if (s.CacheEnable) b.line(QStringLiteral("@mkdir \"%cachedir%\""));
        b.line();

        const RenderNoteTiming timing(song.Tempo);
        const qint32 lastIndex = song.lastNote();
        for (qint32 i = first; i <= last && i <= lastIndex; ++i) {
            // Running tempo, start point and envelope of the note.
            QString env = kDefaultEnvelope;
            float stp = 0;
            const float tempoBefore = tempo;
            ParseNoteParamFields(song.NoteExt.at(i), tempo, stp, env);
            GetNoteTempo(song, i + 1, nextTempo);

            const float length = noteLengthMs(song.Lengths.at(i), tempo);
            float nextPre = 0, nextOvl = 0;
            if (i + 1 <= lastIndex) {
                float nextStp = 0;
                GetNoteStartTime(tempo, song, i + 1, nextPre, nextOvl, nextStp);
                float nextLength = noteLengthMs(song.Lengths.at(i + 1), nextTempo);
                if (i + 2 <= lastIndex) {
                    float pre2 = 0, ovl2 = 0, stp2 = 0;
                    GetNoteStartTime(tempo, song, i + 2, pre2, ovl2, stp2);
                    if (ovl2 < pre2) nextLength -= pre2 - ovl2;
                }
                if (nextOvl - nextPre > nextLength) nextOvl = nextPre + nextLength;
            }

            const QString lyric = trimBlanks(song.Lyrics.at(i));
            if (IsRestLyric(lyric)) {
                if (tempo != tempoBefore) b.line(QStringLiteral("@set tempo=") + plain(tempo));
                const QString spec = s.OldTime ? ms4(double(length) - double(nextPre) + double(nextOvl))
                                               : TickLengthSpec(song.Lengths.at(i), tempo,
                                                                double(nextOvl) - double(nextPre));
                b.line(QStringLiteral("\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 ") + spec + QStringLiteral(" 0 0"));
                prevLength = length;
                continue;
            }

            // Sample and oto entry.
            QString name = lyric;
            name.remove(u'\r');
            name.remove(u'\n');
            const qint32 noteNum = song.NoteNums.at(i);
            name = ApplyPrefixMap(noteNum, name);
            QStringList oto = FindOtoAlias(name);
            if (s.CheckVoiceFile) {
                if (marks) marks->SetMissingSampleMark(i, false);
                if (!sampleExists(song.VoiceDir, name, QStringLiteral(".wav")) &&
                    !sampleExists(song.VoiceDir, name, QStringLiteral(".aiff"))) {
                    name = song.Lyrics.at(i);
                    oto = FindOtoAlias(name);
                    if (!sampleExists(song.VoiceDir, name, QStringLiteral(".wav")) &&
                        !sampleExists(song.VoiceDir, name, QStringLiteral(".aiff")) && marks)
                        marks->SetMissingSampleMark(i, true);
                }
            }
            QString sampleExt = QStringLiteral(".wav");
            if (!sampleExists(song.VoiceDir, name, sampleExt) && sampleExists(song.VoiceDir, name, QStringLiteral(".aiff")))
                sampleExt = QStringLiteral(".aiff");

            const QString offset = ms4(Vb::Val(oto.value(2)));
            const QString consonant = ms4(Vb::Val(oto.value(3)));
            const QString cutoff = ms4(Vb::Val(oto.value(4)));
            const QStringList fields = SplitNoteExt(song.NoteExt.at(i));
            const QString intensity = fields.at(ExtIntensity).isEmpty() ? QStringLiteral("100") : fields.at(ExtIntensity);
            const QString modulation =
                fields.at(ExtModulation).isEmpty() ? QStringLiteral("100") : fields.at(ExtModulation);
            const QStringList timingParts = fields.at(ExtTiming).split(u':');
            const QString preText = timingParts.value(0), ovlText = timingParts.value(1), velText = timingParts.value(2);
            const float velocity = velText.isEmpty() ? 100.0f : float(Vb::Val(velText));
            float pre = float(Vb::Val(preText.isEmpty() ? oto.value(5) : preText));
            float ovl = float(Vb::Val(ovlText.isEmpty() ? oto.value(6) : ovlText));
            stp = float(Vb::Val(GetNoteOption(song.NoteExt.at(i), QStringLiteral("stp"))));

            const float factor = float(std::pow(2.0, 1.0 - double(velocity) / 100.0));
            pre *= factor;
            ovl *= factor;
            stp *= factor;
            if (prevLength > 0 && i > 0)
                AdjustPreutterance(prevLength, pre, ovl, stp, IsRestLyric(song.Lyrics.at(i - 1)));

            const float effective = nextOvl < nextPre ? length - nextPre + nextOvl : length;
            if (ovl - pre > effective) ovl = pre + effective;
            prevLength = length;

            const float required =
                float(Vb::Int((double(pre) + length + stp - nextPre + nextOvl) / 50.0 + 1.5) * 50.0);
            const double sounding = double(pre) + double(length) - double(nextPre) + double(nextOvl);
            NormalizeEnvelope(env, int32_t(std::nearbyint(sounding)));
            QString pitchField = fields.at(ExtPitches);
            if (pitchField.contains(u'Q')) ParseLengthQ(pitchField, tempo);

            // Pitch curve and expression.
            if (song.Mode2) ComputeNotePitch(i, song, timing);
            QString expression;
            const QString expressionOption = GetNoteOption(song.NoteExt.at(i), QStringLiteral("expression"));
            if (!expressionOption.isEmpty()) {
                expression = EncodePitchRun(EncodePitchList(expressionOption));
                SetNoteOption(song.NoteExt[i], QStringLiteral("expression"), QString());
            }
            QString pitchText;
            if (s.Mode2) {
                const QString pitches = GetNoteOption(song.NoteExt.at(i), QStringLiteral("pitches"));
                if (!pitches.isEmpty()) pitchText = EncodePitchText(pitches);
                SetNoteOption(song.NoteExt[i], QStringLiteral("pitches"), QString());
            } else {
                pitchText = EncodePitchText(pitchField);
            }

            // Lines before the tool call.
            b.line(QStringLiteral("@set params=") + intensity + u' ' + modulation + u' ' + pitchText);
            QString flags = QString(fields.at(ExtFlags)).remove(u' ') + song.ProjectFlags;
            flags.replace(u'E', QStringLiteral("/E"));
            flags.replace(u'e', QStringLiteral("/e"));
            if (flags != lastFlags) {
                b.line(QStringLiteral("@set flag=\"") + flags + u'"');
                lastFlags = flags;
            }
            if (tempo != tempoBefore) b.line(QStringLiteral("@set tempo=") + plain(tempo));
            if (ovl != 0) {
                QStringList values = env.split(u' ');
                values.resize(11);
                values[7] = plain(ovl);
                while (!values.isEmpty() && values.back().isEmpty()) values.removeLast();
                env = values.join(u' ');
            } else {
                env.replace(u'%', u'0');
            }
            if (!(ovl <= 0 && env == lastEnv)) b.line(QStringLiteral("@set env=") + env);
            lastEnv = env;
            if (stp != lastStp) {
                b.line(QStringLiteral("@set stp=") + plain(stp));
                lastStp = stp;
            }
            const QString vel = plain(velocity);
            b.line(QStringLiteral("@set vel=") + vel);
            const QString noteName = NoteNumToName(noteNum);
            if (s.CacheEnable) {
                // The digest ties the cache file to everything tool 2 is given.
                const QString digest = CacheArgsDigest({song.VoiceDir + u'\\' + name + sampleExt, noteName, vel,
                                                        u'"' + flags + u'"', offset, plain(required), consonant,
                                                        cutoff, intensity, modulation, pitchText});
                b.line(QStringLiteral("@set temp=\"%cachedir%\\") +
                       CacheFileName(i, name, noteName, required, digest) + u'"');
            }
            if (!expression.isEmpty()) b.line(QStringLiteral("@set expression=") + expression);
            const QStringList userVariables = atEntries(song.NoteExt.at(i));
            for (const QString& entry : userVariables) b.line(QStringLiteral("@set ") + entry.mid(1));

            // The tool call.
            const QString patch = GetNoteOption(song.NoteExt.at(i), QStringLiteral("$patch"));
            if (!patch.isEmpty()) {
                QString sample = PathText::join(PathText::folderPart(song.ProjectPath), patch);
                if (!FileExists(sample)) sample = QStringLiteral("R.wav");
                b.line(QStringLiteral("@\"%tool%\" \"%output%\" \"") + sample + QStringLiteral("\" %stp% ") +
                       ms4(sounding) + QStringLiteral(" %env%"));
            } else if (!GetNoteOption(song.NoteExt.at(i), QStringLiteral("$direct")).isEmpty()) {
                b.line(QStringLiteral("@\"%tool%\" \"%output%\" \"%oto%\\") + name + sampleExt + QStringLiteral("\" ") +
                       ms4(double(stp) + Vb::Val(oto.value(2))) + u' ' + ms4(sounding) + QStringLiteral(" %env%"));
            } else {
                const QString spec = s.OldTime ? ms4(sounding)
                                               : TickLengthSpec(song.Lengths.at(i), tempo,
                                                                double(pre) - double(nextPre) + double(nextOvl));
                b.line(QStringLiteral("call %helper% \"%oto%\\") + name + sampleExt + QStringLiteral("\" ") + noteName +
                       u' ' + spec + u' ' + plain(pre) + u' ' + offset + u' ' + plain(required) + u' ' + consonant +
                       u' ' + cutoff + u' ' + QString::number(i));
            }

            // Lines after the call: the note's own variables are cleared.
            if (!expression.isEmpty()) b.line(QStringLiteral("@set expression="));
            for (const QString& entry : userVariables)
                b.line(QStringLiteral("@set ") + entry.mid(1).section(u'=', 0, 0) + u'=');
        }

        b.line();
        if (!s.CacheEnable) {
            b.line(QStringLiteral("@del temp$$$.wav"));
            b.line();
        }
        b.line(QStringLiteral("@if not exist \"%output%.whd\" goto E"));
        b.line(QStringLiteral("@if not exist \"%output%.dat\" goto E"));
        b.line(QStringLiteral("copy /Y \"%output%.whd\" /B + \"%output%.dat\" /B \"%output%\""));
        b.line(QStringLiteral("del \"%output%.whd\""));
        b.line(QStringLiteral("del \"%output%.dat\""));
        b.line(QStringLiteral(":E"));
    } catch (...) {
        // What was written so far stays on disk; the failure goes on to the caller.
        try {
            writeFile(batchPath, b.text());
        } catch (...) {
        }
        throw;
    }
    writeFile(batchPath, b.text());
    writeFile(PathText::join(folder, helperName), helperText());

    if (SongHost* host = song.host()) {
        host->DrawBackground();
        host->DrawNotes();
    }
}

}  // namespace tova
