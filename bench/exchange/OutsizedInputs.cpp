// Reads one outsized input the way the program does and prints the time it took and what came of
// it; run under `/usr/bin/time -f "%e s %M KB"` for the peak memory. The inputs are made by
// bench/exchange/make_outsized_inputs.py in a temporary folder.
//   outsized_inputs oto <voice folder>        the note renderer's table (bank chosen in the editor)
//   outsized_inputs otomanager <voice folder> the voice-bank manager's reading
//   outsized_inputs project <file.tvx>        a project file, and the problems box it would show
//   outsized_inputs vsq <file.vsq>            a VSQ import
//   outsized_inputs plugin <reply file>       a plug-in's reply applied to a song of one note
#include "exchange/plugins/PluginCommand.h"
#include "exchange/plugins/PluginRun.h"
#include "exchange/vsq/VsqReader.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "render/OtoIni.h"
#include "song/ProjectFile.h"
#include "song/Song.h"
#include "voicebank/OtoIniFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace tova;

namespace {

class Reply : public PluginWaitPort {
public:
    explicit Reply(QString text) : text_(std::move(text)) {}
    PluginRun go(const QString&, const QString&) override {
        PluginRun run;
        run.outcome = PluginRun::Outcome::Changed;
        run.text = text_;
        return run;
    }

private:
    QString text_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: outsized_inputs oto|otomanager|project|vsq|plugin <path>\n");
        return 2;
    }
    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    QElapsedTimer timer;
    timer.start();
    QString outcome;
    try {
        if (kind == u"oto") {
            LoadOtoIni(path);
            outcome = QStringLiteral("%1 entries").arg(OtoTable().size());
        } else if (kind == u"otomanager") {
            outcome = QStringLiteral("%1 entries").arg(ReadOtoIni(path, QStringLiteral("RELOAD")).entries.size());
        } else if (kind == u"project") {
            ProjectSettings s;
            NoteArrays notes;
            qint32 index = 0;
            QStringList problems;
            ReadProjectFile(path, s, index, notes, &problems);
            qsizetype longest = 0;
            for (const QString& p : problems) longest = qMax(longest, p.size());
            outcome = QStringLiteral("%1 notes, %2 problems, longest %3 characters").arg(index).arg(problems.size()).arg(longest);
        } else if (kind == u"vsq") {
            float tempo = 120;
            NoteArrays notes;
            qint16 track = 2;
            const qint32 n = ReadVsqFile(path, tempo, notes, track);
            outcome = QStringLiteral("%1 elements").arg(n);
        } else if (kind == u"plugin") {
            Song song;
            song.resizeNotes(1);
            song.Lengths[0] = 480;
            song.Lyrics[0] = QStringLiteral("a");
            song.NoteNums[0] = 60;
            Reply reply(Cp932::decodeMarked(FileSystem::readRegularFile(path)));
            PluginCommand command(song, reply);
            command.Run(QStringLiteral("p"), 120);
            outcome = QStringLiteral("%1 notes").arg(song.noteCount());
        }
    } catch (const TovaError& e) {
        outcome = QStringLiteral("stopped: ") + e.description().left(300);
    }
    std::printf("%s %s: %.2f s, %s\n", argv[1], argv[2], double(timer.elapsed()) / 1000.0, outcome.toLocal8Bit().constData());
    return 0;
}
