// The batch runner program running a render batch pair as the editor writes it, with the
// concatenator program appending the notes and a stand-in for the note renderer that copies its input.
#include "CatenaFixtures.h"
#include "VorsaFixtures.h"
#include "platform/Cp932.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

namespace tova {
namespace {

using test::catenaReadWave;
using test::catenaSine;
using test::catenaWaveBytes;
using test::readFile;
using test::writeFile;

void writeBatch(const QString& path, const QString& text) {
    QString body = text;
    body.replace("\n", "\r\n");
    writeFile(path, Cp932::encodeMarked(body));
}

struct BatchRun {
    int exitCode = -1;
    QString out;
    QString err;
};

BatchRun runBatch(const QString& batch, const QString& startFolder, const QString& runner = QString()) {
    QProcess p;
    p.setWorkingDirectory(startFolder);  // the runner moves to the batch's own folder
    p.start(runner.isEmpty() ? test::programFolder() + "/batrun" : runner, {batch});
    p.closeWriteChannel();  // "pause" ends at the end of its input
    BatchRun r;
    if (!p.waitForFinished(120000)) return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(BatrunProcessTest, RendersAWaveThroughTheRenderBatchPair) {
    QTemporaryDir dir;
    const QString work = dir.filePath("作業");
    const QString voice = dir.filePath("音源");
    const QString cache = work + "/song.cache";
    const auto sine = catenaSine(44100, 10000, 441);
    writeFile(voice + "/あ.wav", catenaWaveBytes(sine, 1, 44100));
    // The note renderer's stand-in: copies the input sample to the note file (its paths hold "\\").
    writeFile(dir.filePath("bin/render"),
              "#!/bin/sh\ncp \"$(printf %s \"$1\" | tr '\\\\' /)\" \"$(printf %s \"$2\" | tr '\\\\' /)\"\n");
    QFile::setPermissions(dir.filePath("bin/render"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Note 0 is already in the cache; note 1 has only a stale file that the helper replaces.
    writeFile(cache + "/0_あ_C4_550.wav", catenaWaveBytes(sine, 1, 44100));
    writeFile(cache + "/1_あ_D4_400.wav", catenaWaveBytes(std::vector<qint16>(10, 1), 1, 44100));

    writeBatch(work + "/temp.bat",
               "@rem project=うた & song\n"
               "@set tempo=120\n"
               "@set samples=44100\n"
               "@set oto=" + voice + "\n"
               "@set tool=" + test::programFolder() + "/catena.exe\n"
               "@set vorsa=" + dir.filePath("bin/render") + "\n"
               "@set output=song.wav\n"
               "@set helper=temp_helper.bat\n"
               "@set cachedir=" + cache + "\n"
               "@set flag=\"\"\n"
               "@set env=0 5 35 0 100 100 0\n"
               "@set stp=0\n"
               "\n"
               "@del \"%output%\"\n"
               "@mkdir \"%cachedir%\"\n"
               "\n"
               "\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 480@120.00-20.0 0 0\n"
               "@set params=100 0 !120 AA#2#\n"
               "@set env=0 5 35 0 100 100 0 20\n"
               "@set vel=100\n"
               "@set temp=\"%cachedir%\\0_あ_C4_550.wav\"\n"
               "call %helper% \"%oto%\\あ.wav\" C4 480@120.00+30.0 50 0 550 0 0 0\n"
               "@set params=100 0 !120 AA#2#\n"
               "@set flag=\"B50\"\n"
               "@set env=0 5 35 0 100 100 0 10\n"
               "@set vel=100\n"
               "@set temp=\"%cachedir%\\1_あ_D4_300.wav\"\n"
               "call %helper% \"%oto%\\あ.wav\" D4 240@120.00+.0 30 0 300 0 0 1\n"
               "\n"
               "@if not exist \"%output%.whd\" goto E\n"
               "@if not exist \"%output%.dat\" goto E\n"
               "copy /Y \"%output%.whd\" /B + \"%output%.dat\" /B \"%output%\"\n"
               "del \"%output%.whd\"\n"
               "del \"%output%.dat\"\n"
               ":E\n");
    writeBatch(work + "/temp_helper.bat",
               "@if exist %temp% goto A\n"
               "@if exist \"%cachedir%\\%9_*.wav\" del \"%cachedir%\\%9_*.wav\"\n"
               "@\"%vorsa%\" %1 %temp% %2 %vel% %flag% %5 %6 %7 %8 %params%\n"
               ":A\n"
               "@\"%tool%\" \"%output%\" %temp% %stp% %3 %env%\n");

    const BatchRun r = runBatch(work + "/temp.bat", dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(cache + "/1_あ_D4_300.wav"));
    EXPECT_FALSE(QFileInfo::exists(cache + "/1_あ_D4_400.wav"));
    EXPECT_FALSE(QFileInfo::exists(work + "/song.wav.whd"));
    EXPECT_FALSE(QFileInfo::exists(work + "/song.wav.dat"));

    const auto w = catenaReadWave(readFile(work + "/song.wav"));
    ASSERT_TRUE(w.valid) << w.problem.toStdString();
    // Rest 480 ms (missing R.wav: silence), note 0 530 ms overlapping 20, note 1 250 ms overlapping 10.
    ASSERT_EQ(w.samples.size(), std::size_t(21168 + 23373 - 882 + 11025 - 441));
    for (std::size_t i = 0; i < 21168 - 882; ++i) ASSERT_EQ(w.samples[i], 0) << i;
    // Note 0 at full volume 10 ms after its start: the sine from its first sample.
    EXPECT_EQ(w.samples[21168 - 882 + 441 + 50], sine[441 + 50]);
    // Note 1, rendered afresh, starts 10 ms before note 0's end and sounds at full volume 10 ms on.
    const std::size_t note1 = 21168 + 23373 - 882 - 441;
    EXPECT_EQ(w.samples[note1 + 441 + 441], sine[441 + 441]);
}

TEST(BatrunProcessTest, ExitCodesAndMessages) {
    QTemporaryDir dir;
    writeBatch(dir.filePath("ok.bat"), "@echo 周波数表の生成が終了しました。\n@pause>nul\necho a&b");
    writeBatch(dir.filePath("bad.bat"), "echo first\nif errorlevel 1 echo x\necho never");

    const BatchRun ok = runBatch(dir.filePath("ok.bat"), QDir::tempPath());
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out, "周波数表の生成が終了しました。\na&b\n");

    const BatchRun bad = runBatch(dir.filePath("bad.bat"), QDir::tempPath());
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "first\n");
    EXPECT_TRUE(bad.err.contains(dir.filePath("bad.bat") + ", line 2: cannot run: if errorlevel 1 echo x"))
        << bad.err.toStdString();

    EXPECT_EQ(runBatch(dir.filePath("none.bat"), QDir::tempPath()).exitCode, 2);
}

// Started by the editor, the runner leaves its exit code in the status file it is given.
TEST(BatrunProcessTest, TheExitCodeReachesTheStatusFile) {
    QTemporaryDir dir;
    writeBatch(dir.filePath("ok.bat"), "@rem fine\n");
    writeBatch(dir.filePath("bad.bat"), "if errorlevel 1 echo x\n");
    for (const auto& [batch, code] : {std::pair{"ok.bat", "0\n"}, std::pair{"bad.bat", "1\n"}}) {
        SCOPED_TRACE(batch);
        const QString status = dir.filePath("status");
        QProcess p;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TOVA_RUNNER_STATUS", status);
        p.setProcessEnvironment(environment);
        p.start(test::programFolder() + "/batrun", {dir.filePath(batch)});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(readFile(status), QByteArray(code));
        EXPECT_FALSE(QFileInfo::exists(status + ".part"));
        QFile::remove(status);
    }
}

// When the program that started it ends, the runner ends and so does every program it started: no
// orphan keeps writing an output a later render reads.
TEST(BatrunProcessTest, TheRunnerAndWhatItStartsDieWithTheEditor) {
    QTemporaryDir dir;
    writeBatch(dir.filePath("slow.bat"), "sleep 60\n@copy /Y /B nothing.wav late.wav\n");
    QProcess editor;  // stands in for the editor
    editor.start("sleep", {"60"});
    ASSERT_TRUE(editor.waitForStarted());
    QProcess runner;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TOVA_EDITOR_PID", QString::number(editor.processId()));
    runner.setProcessEnvironment(environment);
    runner.start(test::programFolder() + "/batrun", {dir.filePath("slow.bat")});
    ASSERT_TRUE(runner.waitForStarted());
    const pid_t group = pid_t(runner.processId());  // the runner leads a group of its own
    // The batch's program has started once the group holds more than the runner.
    const auto groupSize = [group] {
        int n = 0;
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + entry + "/stat");
            if (!stat.open(QIODevice::ReadOnly)) continue;
            const QByteArray line = stat.readAll();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 2 && fields[0] != "Z" && fields[2].toLongLong() == group) ++n;
        }
        return n;
    };
    QElapsedTimer clock;
    clock.start();
    while (groupSize() < 2 && clock.elapsed() < 20000) QThread::msleep(20);
    ASSERT_EQ(groupSize(), 2);
    editor.kill();
    ASSERT_TRUE(editor.waitForFinished());
    ASSERT_TRUE(runner.waitForFinished(20000));
    EXPECT_EQ(runner.exitStatus(), QProcess::CrashExit);
    clock.restart();
    while (groupSize() > 0 && clock.elapsed() < 20000) QThread::msleep(20);
    EXPECT_EQ(groupSize(), 0);
    EXPECT_LT(clock.elapsed(), 20000);
}

// The program folder's own note renderer and concatenator run inside the runner (notes side by side),
// any other copy of them as processes: the same files, bytes, console texts and exit code either way,
// and every look of the batch at a note sees it written, whatever its letter case.
TEST(BatrunProcessTest, TheFoldersOwnToolsRunInProcessWithTheSameResults) {
    QTemporaryDir dir;
    test::vorsa::writeWave16(dir.filePath("音源/あ.wav"), test::vorsa::voicedSample(220.0, 1.0));
    const QString tools = QDir::toNativeSeparators(test::programFolder()).replace(u'/', u'\\');
    QString text = "@set tools=" + tools + "\n@mkdir cache\n";
    const char* notes[] = {"C4", "E4", "G4", "A4", "C5", "D5"};
    for (int i = 0; i < 6; ++i)
        text += QStringLiteral("\"%tools%\\vorsa.exe\" \"音源\\あ.wav\" \"cache\\n %1.wav\" %2 100 \"\" 0 600 50 0 100 0 !120 AA#5#\n")
                    .arg(i + 1)
                    .arg(notes[i]);
    text += "@if exist \"CACHE\\N 6.WAV\" echo found 6\n";
    for (int i = 1; i <= 6; ++i) text += QStringLiteral("\"%tools%\\catena\" \"song.wav\" \"cache\\n %1.wav\" 0 600\n").arg(i);
    text += "\"%tools%\\vorsa\" \"音源\\missing.wav\" \"cache\\n 7.wav\" C4 100 \"\" 0 600 50 0 100 0 !120 AA#5#\n"
            "\"%tools%\\catena\" \"song.wav\" \"cache\\n 7.wav\" 0 600\n"
            "\"%tools%\\vorsa\"\n"
            "@if exist \"cache\\n *.wav\" echo some notes\n"
            "@if not exist \"cache\\n 7.wav\" echo no note 7\n"
            "del \"cache\\n 1.wav\"\n"
            "@if not exist \"cache\\n 1.wav\" echo note 1 deleted\n"
            "@if exist \"cache\\N 3.wav\" echo note 3 there\n"
            "copy /Y \"song.wav.whd\" /B + \"song.wav.dat\" /B \"song.wav\"\n";

    // The same batch in two folders: run by the program folder's runner, and by a copy of the runner
    // elsewhere, for which the tools are other programs.
    const QString inProcess = dir.filePath("in process"), asProcesses = dir.filePath("as processes");
    const QString otherRunner = dir.filePath("other bin/batrun");
    QDir().mkpath(dir.filePath("other bin"));
    ASSERT_TRUE(QFile::copy(test::programFolder() + "/batrun", otherRunner));
    BatchRun runs[2];
    for (int k = 0; k < 2; ++k) {
        const QString folder = k == 0 ? inProcess : asProcesses;
        QDir().mkpath(folder);
        QDir().mkpath(folder + "/音源");
        QFile::copy(dir.filePath("音源/あ.wav"), folder + "/音源/あ.wav");
        writeBatch(folder + "/run.bat", text);
        runs[k] = runBatch(folder + "/run.bat", dir.path(), k == 0 ? QString() : otherRunner);
    }
    EXPECT_EQ(runs[0].exitCode, 0);
    EXPECT_EQ(runs[0].out, "found 6\nsome notes\nno note 7\nnote 1 deleted\nnote 3 there\n");
    EXPECT_EQ(runs[0].out, runs[1].out);
    EXPECT_EQ(runs[0].err, runs[1].err);
    EXPECT_TRUE(runs[0].err.contains("vorsa: ")) << runs[0].err.toStdString();
    EXPECT_EQ(runs[0].exitCode, runs[1].exitCode);
    const QByteArray song = readFile(inProcess + "/song.wav");
    EXPECT_GT(song.size(), 44 + 6 * 600 * 88);
    EXPECT_EQ(song, readFile(asProcesses + "/song.wav"));
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(readFile(inProcess + QStringLiteral("/cache/n %1.wav").arg(i)),
                  readFile(asProcesses + QStringLiteral("/cache/n %1.wav").arg(i)));
    EXPECT_EQ(QDir(inProcess + "/cache").entryList(QDir::Files), QDir(asProcesses + "/cache").entryList(QDir::Files));
}

// The same batch in two folders: once naming the program folder's own note renderer and concatenator,
// which the runner runs in process, once naming copies of them in another folder, which it starts as
// programs one after the other. `prepare` fills each folder before its run; "%tools%" names the tools'
// folder ("\\" between its parts).
struct TwoRoads {
    QString inProcess, asPrograms;
    BatchRun runs[2];
};

TwoRoads runOnBothRoads(const QTemporaryDir& dir, const QString& text, const std::function<void(const QString&)>& prepare) {
    TwoRoads r;
    r.inProcess = dir.filePath("in process");
    r.asPrograms = dir.filePath("as programs");
    const QString copies = dir.filePath("other bin");
    QDir().mkpath(copies);
    for (const char* tool : {"vorsa", "catena"})
        if (!QFileInfo::exists(copies + "/" + tool)) QFile::copy(test::programFolder() + "/" + tool, copies + "/" + tool);
    for (int k = 0; k < 2; ++k) {
        const QString folder = k == 0 ? r.inProcess : r.asPrograms;
        QDir().mkpath(folder);
        prepare(folder);
        QString tools = QDir::toNativeSeparators(k == 0 ? test::programFolder() : copies).replace(u'/', u'\\');
        writeBatch(folder + "/run.bat", "@set tools=" + tools + "\n" + text);
        r.runs[k] = runBatch(folder + "/run.bat", dir.path());
    }
    return r;
}

// The files below a folder but the batch, by their paths in the folder, for a comparison that names
// what differs.
std::map<QString, QByteArray> filesBelow(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() != "run.bat") files[QDir(folder).relativeFilePath(path)] = readFile(path);
    }
    return files;
}

void expectSameFiles(const QString& a, const QString& b) {
    const auto left = filesBelow(a), right = filesBelow(b);
    for (const auto& [name, bytes] : left)
        EXPECT_TRUE(right.count(name) && right.at(name) == bytes) << name.toStdString() << " differs";
    for (const auto& [name, bytes] : right) EXPECT_TRUE(left.count(name)) << name.toStdString() << " missing";
}

// A line that changes or removes a file waits for the renders and appends given before it that read
// or write that file, however many are still queued: the song, the notes, every file left and every
// message come out as the programs, run one after the other, leave them.
TEST(BatrunProcessTest, ALineThatChangesAFileWaitsForTheToolCallsThatUseIt) {
    const auto sample = test::vorsa::voicedSample(220.0, 1.0);
    auto withSample = [&](const QString& folder) { test::vorsa::writeWave16(folder + "/音源/あ.wav", sample); };
    auto withNotes = [&](const QString& folder) {
        withSample(folder);
        for (int i = 1; i <= 24; ++i) test::vorsa::writeWave16(folder + QStringLiteral("/cache/n %1.wav").arg(i), sample);
    };
    // "声" is another name of the sample's folder.
    auto withLinkedFolder = [&](const QString& folder) {
        withSample(folder);
        QFile::link("音源", folder + "/声");
    };
    // Enough calls that some still wait for a thread when the line after them runs.
    QString renders = "@mkdir cache\n", appends;
    for (int i = 1; i <= 24; ++i) {
        renders += QStringLiteral("\"%tools%\\vorsa\" \"音源\\あ.wav\" \"cache\\n %1.wav\" %2 100 \"\" 0 600 50 0 100 0 !120 AA#5#\n")
                       .arg(i)
                       .arg(i % 2 ? "C4" : "G4");
        appends += QStringLiteral("\"%tools%\\catena\" \"song.wav\" \"cache\\n %1.wav\" 0 600\n").arg(i);
    }
    QString linkedRenders = renders;
    linkedRenders.replace("\"音源\\", "\"声\\");
    const QString join = "copy /Y \"song.wav.whd\" /B + \"song.wav.dat\" /B \"song.wav\"\n";
    struct Case {
        const char* name;
        std::function<void(const QString&)> prepare;
        QString text;
    } cases[] = {
        {"the notes the queued appends read deleted", withNotes, appends + "del \"cache\\N *.wav\"\n" + join},
        {"the sample the queued renders read deleted", withSample, renders + "del \"音源\\あ.wav\"\n" + appends + join},
        {"the sample's frequency table deleted", withSample, renders + "del \"音源\\あ_wav.frq\"\n" + appends + join},
        {"the sample deleted through a linked folder", withLinkedFolder,
         linkedRenders + "del \"音源\\あ.wav\"\n" + appends + join},
        {"the sample replaced by copy", withSample, renders + "copy /Y \"cache\\n 1.wav\" \"音源\\あ.wav\"\n" + appends + join},
        {"a note written again after appends that read it", withNotes,
         appends + "\"%tools%\\vorsa\" \"音源\\あ.wav\" \"cache\\n 1.wav\" A4 100 \"\" 0 600 50 0 100 0 !120 AA#5#\n" +
             "\"%tools%\\catena\" \"song.wav\" \"cache\\n 1.wav\" 0 600\n" + join},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const TwoRoads r = runOnBothRoads(dir, c.text, c.prepare);
        EXPECT_EQ(r.runs[0].exitCode, 0);
        EXPECT_EQ(r.runs[0].exitCode, r.runs[1].exitCode);
        EXPECT_EQ(r.runs[0].err, "");
        EXPECT_EQ(r.runs[0].err, r.runs[1].err);
        const auto song = catenaReadWave(readFile(r.inProcess + "/song.wav"));
        ASSERT_TRUE(song.valid) << song.problem.toStdString();
        // Every note sounds: none was read after it had gone.
        const std::size_t note = 600 * 44100 / 1000;
        for (std::size_t i = 0; i + note <= song.samples.size(); i += note)
            EXPECT_TRUE(std::any_of(song.samples.begin() + long(i), song.samples.begin() + long(i + note),
                                    [](qint16 v) { return v != 0; }))
                << "note " << i / note + 1 << " is silent";
        expectSameFiles(r.inProcess, r.asPrograms);
    }
}

// The tools' complaints come in the order of the lines that made them, however the calls end.
TEST(BatrunProcessTest, ToolMessagesComeInTheBatchsOrder) {
    auto prepare = [](const QString& folder) {
        test::vorsa::writeWave16(folder + "/音源/あ.wav", test::vorsa::voicedSample(220.0, 1.0));
    };
    // The first call makes the sample's frequency table (alone); then renders into a folder that is not
    // there, the longest first, so that the later ones end first, and appends of a piece too long.
    QString text = "@mkdir cache\n"
                   "\"%tools%\\vorsa\" \"音源\\あ.wav\" \"cache\\n 0.wav\" C4 100 \"\" 0 600 50 0 100 0 !120 AA#5#\n";
    for (int i = 1; i <= 8; ++i) {
        text += QStringLiteral("\"%tools%\\vorsa\" \"音源\\あ.wav\" \"nowhere\\n %1.wav\" C4 100 \"\" 0 %2 50 0 100 0 !120 AA#5#\n")
                    .arg(i)
                    .arg(4800 - 500 * i);
        if (i % 3 == 0) text += "\"%tools%\\catena\" \"song.wav\" \"cache\\n 0.wav\" 0 999999999999\n";
    }
    QTemporaryDir dir;
    const TwoRoads r = runOnBothRoads(dir, text, prepare);
    EXPECT_EQ(r.runs[0].exitCode, 0);
    const QStringList lines = r.runs[1].err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 10) << r.runs[1].err.toStdString();
    EXPECT_TRUE(lines[0].startsWith("vorsa: ") && lines[0].contains("nowhere/n 1.wav")) << lines[0].toStdString();
    EXPECT_TRUE(lines[3].startsWith("catena: ")) << lines[3].toStdString();
    EXPECT_EQ(r.runs[0].err, r.runs[1].err);
}

}  // namespace
}  // namespace tova
