#include "render/RenderBatch.h"

#include "core/DefaultEnvelope.h"
#include "core/FileHelpers.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/MissingSampleMarks.h"
#include "render/MissingSamples.h"
#include "render/RenderNotePlanner.h"
#include "render/RenderValueCheck.h"
#include "song/ProjectPaths.h"
#include "song/Song.h"
#include "song/SongHost.h"

#include <QFile>


#include <vector>

namespace tova {

namespace {

QString plain(float v) { return Vb::SingleText(v); }
QString ms4(double v) { return Vb::Format(v, QStringLiteral("0.0###")); }

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
    ReplacingFile file(path);
    if (!file.isOpen()) throw FileError(file.errorText(), 75);
    if (!file.write(Cp932::encodeMarked(text)) || !file.commit()) throw IoError(file.errorText());
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

void GetRenderFileNames(Song& song, QString& path, MissingSampleMarks* marks, MissingSamples* missing) {
    if (path.isEmpty()) {
        song.CacheDir = CacheFolderFor(PathText::join(TempFolder, QStringLiteral("temp")));
        path = PathText::join(TempFolder, QStringLiteral("temp.bat"));
    } else {
        const QString extension = PathText::extension(path).toLower();
        if (extension == u".wsq" || extension == u".tvx") {
            song.CacheDir = CacheFolderFor(PathText::withoutExtension(path));
            path = PathText::join(TempFolder, QStringLiteral("temp.bat"));
        } else if (extension == u".bat") {
            song.CacheDir = CacheFolderFor(PathText::withoutExtension(path));
        } else {
            song.CacheDir = CacheFolderFor(path);
            path += QStringLiteral(".bat");
        }
    }
    if (song.ProjectName.isEmpty()) {
        song.ProjectName = PathText::filePart(song.ProjectPath);
        if (song.host()) song.host()->UpdateCaption();
    }
    if (PathText::extension(song.OutFile).compare(QStringLiteral(".wav"), Qt::CaseInsensitive) != 0)
        song.OutFile += QStringLiteral(".wav");
    WriteRenderBatch(song, song.ProjectName, path, 0, song.noteCount() - 1, song.OutFile, marks, missing);
}

void WriteRenderBatch(Song& song, const QString& projectName, const QString& batchPath, int32_t first, int32_t last,
                      QString& outputName, MissingSampleMarks* marks, MissingSamples* missing) {
    if (first == -1 && last == -1) return;
    if (first > song.lastNote()) return;
    // Any other range starting before the first note names notes that do not exist.
    if (first < 0) throw InvalidCallError();
    const Settings& s = settings();

    LoadPrefixMap(song.VoiceDir);

    QString lastEnv = DefaultEnvelope();
    QString lastFlags = song.ProjectFlags;
    float lastStp = 0;

    // File names: the per-note batch beside the render batch.
    const QString folder = PathText::folderPart(batchPath);
    const QString base = PathText::baseName(batchPath);
    const QString helperName = base + QStringLiteral("_helper.bat");
    const QString cacheDir =
        song.CacheDir.isEmpty() ? CacheFolderFor(PathText::join(TempFolder, base)) : song.CacheDir;
    if (outputName.isEmpty()) outputName = base + QStringLiteral(".wav");

    // Every note is worked out and every value checked before a file is touched: a value that would
    // break its batch line refuses the whole render.
    RenderNotePlanner planner(song, first, marks);
    std::vector<RenderNotePlan> plans;
    const qint32 lastIndex = song.lastNote();
    for (qint32 i = first; i <= last && i <= lastIndex; ++i) plans.push_back(planner.Plan(i));
    if (missing) {
        missing->clear();
        for (const RenderNotePlan& plan : plans) missing->add(song, plan);
    }
    CheckRenderValues({projectName, song.VoiceDir, song.Tool1, song.Tool2, outputName, cacheDir, helperName,
                       song.ProjectFlags},
                      plans);

    // The per-note batch's older copies go first.
    for (const QString& name : FileSystem::list(folder, base + QStringLiteral("_helper*.bat"), false)) {
        const QString shortPath = GetShortPath(PathText::join(folder, name));
        if (!shortPath.isEmpty()) QFile::remove(shortPath);
    }

    // Opened first, so a folder that cannot take the file fails before anything else changes.
    // (a new file beside it, dropped at once: a batch that stands is not touched).
    {
        ReplacingFile probe(batchPath);
        if (!probe.isOpen()) throw FileError(probe.errorText(), 75);
    }

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
        b.line(QStringLiteral("@set env=") + DefaultEnvelope());
        b.line(QStringLiteral("@set stp=0"));
        b.line();
        b.line(QStringLiteral("@del \"%output%\""));
        // Parts left by an aborted run would otherwise be appended to.
        b.line(QStringLiteral("@del \"%output%.whd\""));
        b.line(QStringLiteral("@del \"%output%.dat\""));
        if (s.CacheEnable) b.line(QStringLiteral("@mkdir \"%cachedir%\""));
        b.line();

        for (const RenderNotePlan& n : plans) {
            const qint32 i = n.index;
            if (n.rest) {
                if (n.tempo != n.tempoBefore) b.line(QStringLiteral("@set tempo=") + plain(n.tempo));
                const QString lengthText = s.OldTime ? ms4(double(n.length) - double(n.nextPre) + double(n.nextOvl))
                                               : TickLengthSpec(n.ticks, n.tempo, double(n.nextOvl) - double(n.nextPre));
                b.line(QStringLiteral("\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 ") + lengthText + QStringLiteral(" 0 0"));
                continue;
            }

            // Lines before the tool call.
            b.line(QStringLiteral("@set params=") + n.intensity + u' ' + n.modulation + u' ' + n.pitchText);
            if (n.flags != lastFlags) {
                b.line(QStringLiteral("@set flag=\"") + n.flags + u'"');
                lastFlags = n.flags;
            }
            if (n.tempo != n.tempoBefore) b.line(QStringLiteral("@set tempo=") + plain(n.tempo));
            if (!(n.ovl <= 0 && n.env == lastEnv)) b.line(QStringLiteral("@set env=") + n.env);
            lastEnv = n.env;
            if (n.stp != lastStp) {
                b.line(QStringLiteral("@set stp=") + plain(n.stp));
                lastStp = n.stp;
            }
            b.line(QStringLiteral("@set vel=") + plain(n.velocity));
            if (s.CacheEnable) b.line(QStringLiteral("@set temp=\"%cachedir%\\") + n.cacheFileName + u'"');
            if (!n.expression.isEmpty()) b.line(QStringLiteral("@set expression=") + n.expression);
            for (const QString& entry : n.userVariables) b.line(QStringLiteral("@set ") + entry.mid(1));

            // The tool call.
            if (!n.patch.isEmpty()) {
                b.line(QStringLiteral("@\"%tool%\" \"%output%\" \"") + n.patchPath(song.ProjectPath) + QStringLiteral("\" %stp% ") +
                       ms4(n.sounding) + QStringLiteral(" %env%"));
            } else if (n.direct) {
                b.line(QStringLiteral("@\"%tool%\" \"%output%\" \"%oto%\\") + n.name + n.sampleExt +
                       QStringLiteral("\" ") + ms4(double(n.stp) + n.offset) + u' ' + ms4(n.sounding) +
                       QStringLiteral(" %env%"));
            } else {
                const QString lengthText =
                    s.OldTime ? ms4(n.sounding)
                              : TickLengthSpec(n.ticks, n.tempo, double(n.pre) - double(n.nextPre) + double(n.nextOvl));
                b.line(QStringLiteral("call %helper% \"%oto%\\") + n.name + n.sampleExt + QStringLiteral("\" ") +
                       n.noteName + u' ' + lengthText + u' ' + plain(n.pre) + u' ' + ms4(n.offset) + u' ' + plain(n.required) +
                       u' ' + ms4(n.consonant) + u' ' + ms4(n.cutoff) + u' ' + QString::number(i));
            }

            // Lines after the call: the note's own variables are cleared.
            if (!n.expression.isEmpty()) b.line(QStringLiteral("@set expression="));
            for (const QString& entry : n.userVariables)
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
