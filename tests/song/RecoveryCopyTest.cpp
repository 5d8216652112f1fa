// The recovery copy written off the window's thread: what it holds after a burst of edits, after undo
// and redo, when the song goes away, and after the program is killed in the middle of a burst.
#include "SongFakes.h"

#include "platform/Cp932.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "song/RecoveryWriter.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int BurstNotes = 3000;

// The bytes the recovery copy of this song must hold.
QByteArray copyBytes(const Song& song) {
    return Cp932::encodeMarked(ProjectFileText(song.projectSettings(), song));
}

// Step k (from 1) of a burst of edits as the commands record them: mostly a property edit of one note
// (some with a lyric the code page lacks, which turns the file into UTF-8), a transpose of a range, an
// undo and a redo. The same k always makes the same song.
void burstStep(Song& song, int k) {
    const qint32 count = song.noteCount();
    switch (k % 10) {
    case 3:
        song.SelStart = (k * 31) % (count - 40);
        song.SelEnd = song.SelStart + 39;
        song.ChangeNoteKeys(k % 20 < 10 ? 1 : -1, false);
        break;
    case 5:
        song.Undo();
        break;
    case 6:
        song.Redo();
        break;
    default: {
        const qint32 i = (k * 7919) % count;
        song.BeginPropUndo(i, i, u"プロパティ"_s);
        SetNoteOption(song.NoteExt[i], u"VBR"_s, u"65 180 %1 20 20 0 0 0"_s.arg(k));
        song.Lyrics[i] = k % 7 == 0 ? u"ré%1"_s.arg(k) : u"か%1"_s.arg(k);
        song.EndPropUndo();
    }
    }
}

void makeBurstSong(Song& song) {
    fillSong(song, BurstNotes);
    for (qint32 i = 0; i < BurstNotes; ++i) {  // lengths and pitches a project can hold
        song.Lengths[i] = 480 * (1 + i % 4);
        song.NoteNums[i] = 20 + i % 40;
    }
    song.ProjectName = u"回復の試験"_s;
    song.ResetUndoHistory();
}

// A write function that holds every write until it is let go, and lists the snapshots it wrote by
// the VBR option of note 0.
struct GatedWrites {
    std::mutex lock;
    std::condition_variable changed;
    bool open = false;
    int entered = 0;
    QStringList written;

    RecoveryWriter::WriteFunction function() {
        return [this](const RecoveryWriter::Snapshot& s) {
            std::unique_lock<std::mutex> guard(lock);
            ++entered;
            changed.notify_all();
            changed.wait(guard, [this] { return open; });
            written << s.notes.Lyrics.value(0);
        };
    }
    void waitEntered(int n) {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return entered >= n; });
    }
    void letGo() {
        std::unique_lock<std::mutex> guard(lock);
        open = true;
        changed.notify_all();
    }
};

RecoveryWriter::Snapshot snapshotWithLyric(const QString& lyric) {
    RecoveryWriter::Snapshot s;
    s.notes.resizeNotes(1);
    s.notes.Lyrics[0] = lyric;
    return s;
}

// Handing over never waits for a write under way; of the snapshots that arrive meanwhile only the
// newest is written, and wait() returns once it is.
TEST(RecoveryWriter, HandsOverWithoutWaitingAndWritesOnlyTheNewest) {
    GatedWrites gate;
    RecoveryWriter writer(gate.function());
    writer.post(snapshotWithLyric(u"1"_s));
    gate.waitEntered(1);  // the first write is under way and held
    for (const char* lyric : {"2", "3", "4"}) writer.post(snapshotWithLyric(QString::fromLatin1(lyric)));
    EXPECT_EQ(writer.posted(), 4u);
    EXPECT_EQ(writer.written(), 0u);
    gate.letGo();
    writer.wait();
    EXPECT_EQ(gate.written, (QStringList{u"1"_s, u"4"_s}));
    EXPECT_EQ(writer.written(), 4u);
}

// A writer that goes away (the song of an ending program) writes the snapshot still waiting.
TEST(RecoveryWriter, EndingWritesTheSnapshotWaiting) {
    GatedWrites gate;
    {
        RecoveryWriter writer(gate.function());
        writer.post(snapshotWithLyric(u"1"_s));
        gate.waitEntered(1);
        writer.post(snapshotWithLyric(u"2"_s));
        gate.letGo();
    }
    EXPECT_EQ(gate.written, (QStringList{u"1"_s, u"2"_s}));
}

class RecoveryCopy : public ::testing::Test {
protected:
    RecoveryCopy() {
        makeBurstSong(song);
        song.TempFolder = dir.path();
        path = dir.filePath(u"temp$$$.tvx"_s);
    }
    QTemporaryDir dir;
    Song song;
    QString path;
};

// After a burst of edits (faster than the disk) the copy catches up with the song as it stands, and
// a later edit is followed as well; the copy opens as the project it stands for.
TEST_F(RecoveryCopy, HoldsTheSongAfterABurstOfEdits) {
    for (int k = 1; k <= 400; ++k) burstStep(song, k);
    song.WaitForRecoveryFile();
    EXPECT_EQ(readFile(path), copyBytes(song));
    EXPECT_TRUE(readFile(path).startsWith(Cp932::utf8Mark()));  // a lyric the code page lacks

    burstStep(song, 401);
    song.WaitForRecoveryFile();
    EXPECT_EQ(readFile(path), copyBytes(song));

    Song opened;
    opened.makeEmpty();
    ProjectSettings settings;
    qint32 index = 0;
    ReadProjectFile(path, settings, index, opened);
    EXPECT_EQ(opened.Lyrics, song.Lyrics);
    EXPECT_EQ(opened.NoteNums, song.NoteNums);
    EXPECT_EQ(settings.ProjectName, song.ProjectName);
}

// Nothing waits for the writer here: after a burst of edits the window's event loop alone brings the
// copy up to the last step (the change held back while a write was under way is handed over when it
// ends), and the writer then has nothing more to do.
TEST_F(RecoveryCopy, CatchesUpThroughTheEventLoopAlone) {
    for (int k = 1; k <= 100; ++k) burstStep(song, k);
    const RecoveryWriter* writer = song.recoveryWriter();
    ASSERT_NE(writer, nullptr);
    const QByteArray expected = copyBytes(song);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000 && !(writer->written() == writer->posted() && readFile(path) == expected)) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_EQ(readFile(path), expected) << "the last step of the burst was never written";
    EXPECT_EQ(writer->written(), writer->posted());
}

// Undo and redo are steps of their own: the copy follows each, also at the end of a burst.
TEST_F(RecoveryCopy, FollowsUndoAndRedo) {
    for (int k = 1; k <= 30; ++k) burstStep(song, k);
    song.WaitForRecoveryFile();
    const QByteArray before = copyBytes(song);
    for (int n = 0; n < 12; ++n) ASSERT_TRUE(song.Undo());
    song.WaitForRecoveryFile();
    EXPECT_NE(copyBytes(song), before);
    EXPECT_EQ(readFile(path), copyBytes(song));
    for (int n = 0; n < 12; ++n) ASSERT_TRUE(song.Redo());
    song.WaitForRecoveryFile();
    EXPECT_EQ(readFile(path), before);
}

// A song that goes away right after a burst (the orderly end of the program) leaves the copy of its
// last step: nothing handed over is lost.
TEST_F(RecoveryCopy, HoldsTheLastStepWhenTheSongGoesAway) {
    QByteArray last;
    {
        Song doomed;
        makeBurstSong(doomed);
        doomed.TempFolder = dir.path();
        for (int k = 1; k <= 200; ++k) burstStep(doomed, k);
        last = copyBytes(doomed);
    }
    EXPECT_EQ(readFile(path), last);
}

// Holds the address space of this process to what it uses now and a little more: a new thread (which
// needs room for its stack) can no longer be started, while small allocations still succeed.
void leaveNoRoomForAThread() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    statm >> pages;
    const rlim_t size = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (4u << 20);
    const rlimit limit{size, size};
    setrlimit(RLIMIT_AS, &limit);
}

// A system that cannot start the writer's thread (out of threads or memory) neither fails the edit
// nor hangs the program where it waits for the copy (opening a song, quitting): the copy is written
// as the edit is recorded.
TEST(RecoveryCopyWithoutAThread, EditsGoOnAndTheWaitEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QTemporaryDir dir;
            Song song;
            fillSong(song, 8);
            song.TempFolder = dir.path();
            leaveNoRoomForAThread();
            try {
                song.PushUndoRecord(u"LYRIC\t0"_s, u"LYRIC\t1"_s, u"c"_s);
            } catch (...) {
                std::fputs("the edit failed\n", stderr);
                std::_Exit(1);
            }
            alarm(10);  // a wait that never ends is killed
            song.WaitForRecoveryFile();
            if (readFile(dir.filePath(u"temp$$$.tvx"_s)) != copyBytes(song)) {
                std::fputs("the copy is not the song\n", stderr);
                std::_Exit(2);
            }
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The child of the crash test: a burst of edits that never ends, reporting after each step its number
// and the number of the step whose copy was last written ("k w"), until it is killed.
TEST(RecoveryCopyCrash, DISABLED_Child) {
    const QString folder = qEnvironmentVariable("TOVA_RECOVERY_CHILD");
    if (folder.isEmpty()) GTEST_SKIP() << "run by RecoveryCopyCrash.KilledDuringABurst";
    Song song;
    makeBurstSong(song);
    song.TempFolder = folder;
    for (int k = 1; k <= 200000; ++k) {
        burstStep(song, k);
        const RecoveryWriter* writer = song.recoveryWriter();
        std::printf("%d %llu\n", k, static_cast<unsigned long long>(writer ? writer->written() : 0));
        std::fflush(stdout);
    }
}

// Killed (SIGKILL) in the middle of a burst of edits, the program leaves a copy that opens as a valid
// project equal to the song after one of its steps: never a torn file, and never older than the copy
// the program had seen written before its last report.
TEST(RecoveryCopyCrash, KilledDuringABurst) {
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TOVA_RECOVERY_CHILD"_s, dir.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(u"/proc/self/exe"_s, {u"--gtest_filter=RecoveryCopyCrash.DISABLED_Child"_s,
                                      u"--gtest_also_run_disabled_tests"_s});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray output;
    // Killed once several copies have been written, while the burst goes on.
    const auto reported = [&output](qulonglong& step, qulonglong& written) {
        const qsizetype end = output.lastIndexOf('\n');
        if (end < 0) return false;
        const qsizetype begin = output.lastIndexOf('\n', end - 1) + 1;
        const QList<QByteArray> f = output.mid(begin, end - begin).split(' ');
        if (f.size() != 2) return false;
        step = f[0].toULongLong();
        written = f[1].toULongLong();
        return true;
    };
    qulonglong step = 0, written = 0;
    while (!(reported(step, written) && written >= 5)) {
        ASSERT_TRUE(child.waitForReadyRead(30000)) << "the child stopped: " << output.right(300).toStdString();
        output += child.readAllStandardOutput();
    }
    child.kill();
    child.waitForFinished();
    output += child.readAllStandardOutput();
    ASSERT_TRUE(reported(step, written));
    ASSERT_GE(step, written);

    const QString path = dir.filePath(u"temp$$$.tvx"_s);
    const QByteArray copy = readFile(path);
    ASSERT_FALSE(copy.isEmpty());
    Song opened;
    opened.makeEmpty();
    ProjectSettings settings;
    qint32 index = 0;
    QStringList problems;
    ReadProjectFile(path, settings, index, opened, &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    EXPECT_EQ(opened.noteCount(), BurstNotes);

    // The song after each step from the one last reported written to the one after the last report.
    Song replay;
    makeBurstSong(replay);
    qulonglong found = 0;
    for (qulonglong k = 1; k <= step + 1 && !found; ++k) {
        burstStep(replay, int(k));
        if (k >= written && replay.Lyrics == opened.Lyrics && copyBytes(replay) == copy)
            found = k;
    }
    EXPECT_NE(found, 0u) << "the copy is none of the steps " << written << " to " << step + 1;
    ::testing::Test::RecordProperty("steps", QString::number(step).toStdString());
    ::testing::Test::RecordProperty("copy", QString::number(found).toStdString());
}

}  // namespace
