// The in-process renderer's own behaviour: stopping, failures, the cache switched off, the progress
// window and the library road given up when there is no note renderer library.
#include "RenderRoadFixture.h"

#include "platform/Errors.h"
#include "render/FreqTableCallback.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <thread>

namespace tova::test {
namespace {

class DirectRendererTest : public RenderRoadFixture {
protected:
    void SetUp() override {
        RenderRoadFixture::SetUp();
        useRoad(Road::Library);
        output = dir.filePath(QStringLiteral("direct.wav"));
    }
    bool partsLeft() const {
        return QFile::exists(output + QStringLiteral(".whd")) || QFile::exists(output + QStringLiteral(".dat"));
    }
    QString output;
};

// Stopped by the user after the second note: the notes done are joined, no part stays behind, and the
// generate command says the render was stopped rather than made.
TEST_F(DirectRendererTest, StopKeepsTheNotesDoneAndSaysSo) {
    window.progress.onStatus = [](int value) {
        if (value == 2) StopRequested = -1;
    };
    EXPECT_EQ(generate(output), QStringLiteral("wavファイルの生成を中断しました。"));
    EXPECT_EQ(takeRendered(), (QStringList{"A3", "G3"}));
    // Notes 0 and 1: the pre-utterance 60, 500 and 250 (a rest follows: nothing overlaps).
    EXPECT_NEAR(WaveDurationMs(readFile(output)), 810, 1.0);
    EXPECT_FALSE(partsLeft());
    EXPECT_FALSE(window.progress.visible);
    EXPECT_TRUE(window.windowEnabled);
}

// The window's events are handled before the first note and then at least every 10 ms: a stop link
// pressed (an event) while a note takes longer than that is seen before the next note, and one
// pressed as the render begins stops it before any note.
TEST_F(DirectRendererTest, AStopLinkPressedDuringTheRenderIsSeenBeforeTheNextNote) {
    direct.SetWorkers(1);  // one note after the other: the notes done are known exactly
    const struct {
        int pressedAt;      // during this append (0: before the render)
        double durationMs;  // of the notes joined (-1: no output)
    } rows[] = {{0, -1}, {2, 810}, {4, 1515.034}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.pressedAt);
        auto pressStop = [] {
            QMetaObject::invokeMethod(QCoreApplication::instance(), [] { StopRequested = -1; }, Qt::QueuedConnection);
        };
        int appends = 0;
        direct.onAppend = [&](int n) {
            appends = n;
            if (n == r.pressedAt) pressStop();
            std::this_thread::sleep_for(std::chrono::milliseconds(12));
        };
        QFile::remove(output);
        if (r.pressedAt == 0) pressStop();
        EXPECT_EQ(generate(output), QStringLiteral("wavファイルの生成を中断しました。"));
        EXPECT_EQ(appends, r.pressedAt);
        EXPECT_NEAR(WaveDurationMs(readFile(output)), r.durationMs, 1.0);
        EXPECT_FALSE(partsLeft());
    }
    direct.onAppend = nullptr;
}

// A note's cache file is found by one listing of the cache folder, and otherwise as any file is: one
// whose name differs in letter case still counts as the note's rendering; one that has become a
// folder does not, and the note is rendered again as before.
TEST_F(DirectRendererTest, CacheFilesInAnotherLetterCaseOrReplacedByAFolder) {
    const QString cache = dir.filePath(QStringLiteral("my songs/song.cache"));
    ASSERT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
    const QByteArray first = readFile(output);
    ASSERT_EQ(takeRendered().size(), 4);
    auto cacheFile = [&](int note) {
        const QStringList found = QDir(cache).entryList({QStringLiteral("%1_*").arg(note)}, QDir::Files | QDir::Dirs);
        return found.size() == 1 ? found.front() : QString();
    };

    const QString name = cacheFile(1);
    ASSERT_FALSE(name.isEmpty());
    ASSERT_TRUE(QFile::rename(cache + u'/' + name, cache + u'/' + name.toUpper()));
    EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
    EXPECT_EQ(takeRendered(), QStringList());
    EXPECT_EQ(readFile(output), first);
    EXPECT_EQ(cacheFile(1), name.toUpper());

    const QString other = cacheFile(3);
    ASSERT_FALSE(other.isEmpty());
    ASSERT_TRUE(QFile::remove(cache + u'/' + other));
    ASSERT_TRUE(QDir(cache).mkdir(other));
    EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
    EXPECT_EQ(takeRendered(), QStringList{"B3"});
    EXPECT_TRUE(QFileInfo(cache + u'/' + other).isDir());
    EXPECT_NEAR(WaveDurationMs(readFile(output)), WaveDurationMs(first), 1.0);
}

// A failure part way: nothing is joined, the parts written so far are deleted, the window comes back;
// with DebugMode on the failure reaches the caller after the same clean-up.
TEST_F(DirectRendererTest, FailureLeavesNoOutputAndNoParts) {
    for (bool debug : {false, true}) {
        SCOPED_TRACE(debug ? "DebugMode" : "trapped");
        settings().DebugMode = debug;
        direct.failAt = 3;
        QString out = output;
        if (debug)
            EXPECT_THROW(direct.RenderDirect(song.ProjectName, project, 0, 4, out), FileError);
        else
            EXPECT_EQ(direct.RenderDirect(song.ProjectName, project, 0, 4, out), RenderEnd::Finished);
        EXPECT_FALSE(QFile::exists(output));
        EXPECT_FALSE(partsLeft());
        EXPECT_TRUE(window.windowEnabled);
        EXPECT_EQ(window.progress.calls.back(), QStringLiteral("Finish"));
    }
    settings().DebugMode = false;
    direct.failAt = 0;
    EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
}

// Without the cache every sung note goes through one temporary note file, every time, and the file is
// gone afterwards. A stale output and stale parts are replaced.
TEST_F(DirectRendererTest, WithoutTheCacheEveryNoteIsRenderedAgain) {
    settings().CacheEnable = false;
    writeFile(output, "stale");
    writeFile(output + QStringLiteral(".dat"), "stale part");
    QString out = output;
    direct.RenderDirect(song.ProjectName, project, 0, 4, out);
    const QByteArray once = readFile(output);
    EXPECT_NEAR(WaveDurationMs(once), 1810, 1.0);
    direct.RenderDirect(song.ProjectName, project, 0, 4, out);
    EXPECT_EQ(takeRendered().size(), 8);
    EXPECT_EQ(readFile(output), once);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("my songs/temp$$$.wav"))));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("my songs/song.cache"))).exists());
    EXPECT_FALSE(partsLeft());
}

TEST_F(DirectRendererTest, NamesAndRanges) {
    // Nothing at all for -1..-1: not even the old output goes.
    writeFile(output, "kept");
    QString out = output;
    EXPECT_EQ(direct.RenderDirect(song.ProjectName, project, -1, -1, out), RenderEnd::Finished);
    EXPECT_EQ(readFile(output), QByteArray("kept"));
    EXPECT_TRUE(window.progress.calls.isEmpty());
    // A range that starts before the first note is refused: no output (the old one is gone too, so
    // it cannot pass for this render's), the window usable.
    EXPECT_EQ(direct.RenderDirect(song.ProjectName, project, -2, 3, out), RenderEnd::Finished);
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_TRUE(window.windowEnabled);

    // An empty output name becomes the path's base name with ".wav" in the path's folder, as does a
    // name without folder; a relative cache folder lies in the path's folder.
    song.CacheDir = QStringLiteral("rel.cache");
    QString unnamed;
    direct.RenderDirect(song.ProjectName, project, 1, 1, unnamed);
    EXPECT_EQ(unnamed, dir.filePath(QStringLiteral("my songs/song.wav")));
    EXPECT_EQ(takeRendered(), QStringList{"G3"});
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("my songs/rel.cache"))).entryList({"1_*.wav"}, QDir::Files).size(), 1);
    EXPECT_NEAR(WaveDurationMs(readFile(unnamed)), 250 + 75, 1.0);  // か's pre-utterance and length
    QString bare = QStringLiteral("bare");  // used without ".wav"
    direct.RenderDirect(song.ProjectName, project, 1, 1, bare);
    EXPECT_EQ(bare, dir.filePath(QStringLiteral("my songs/bare")));
    EXPECT_EQ(readFile(bare), readFile(unnamed));
}

// Tool 1's lengths: the tick form with its correction, or with OldTime milliseconds with three to six
// decimals (a rest: its length less the next pre-utterance plus the next overlap).
TEST_F(DirectRendererTest, LengthTexts) {
    const struct {
        bool oldTime;
        QStringList lengths;
    } cases[] = {
        // あ: 60 - 75 + 20; か before the rest: its pre-utterance 75; the rest: い's overlap less its
        // pre-utterance (12 and 55 at velocity 80); い: 63.178 - 60 + 15; the last note: its 60.
        {false, {"note 480@120.00+5.0", "note 240@120.00+75.0", "rest 240@120.00-49.394", "note 480@120.00+18.178",
                 "note 240@120.00+60.0"}},
        {true, {"note 505.000", "note 325.000", "rest 200.60597", "note 518.17841", "note 310.000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oldTime ? "OldTime" : "ticks");
        settings().OldTime = c.oldTime;
        direct.lengths.clear();
        QString out = output;
        direct.RenderDirect(song.ProjectName, project, 0, 4, out);
        EXPECT_EQ(direct.lengths, c.lengths);
    }
}

// One note: no progress window, unless the note renderer makes a frequency table, which shows it and
// keeps the main window disabled until the render ends.
TEST_F(DirectRendererTest, ProgressWindowForOneNoteAndForFrequencyTables) {
    QString out = output;
    direct.RenderDirect(song.ProjectName, project, 3, 3, out);  // the bank's tables do not exist yet
    ASSERT_FALSE(window.progress.calls.isEmpty());
    EXPECT_EQ(window.progress.calls.front(), QStringLiteral("Start 0 1 200 0"));
    EXPECT_TRUE(window.progress.calls.contains(QStringLiteral("Restart")));
    EXPECT_TRUE(window.progress.calls.contains(QStringLiteral("SlideIn")));
    EXPECT_TRUE(window.calls.contains(QStringLiteral("disable window")));
    EXPECT_EQ(window.calls.back(), QStringLiteral("enable window"));
    EXPECT_TRUE(window.windowEnabled);

    // The table exists now: the same note shows nothing.
    window.progress.calls.clear();
    window.calls.clear();
    QDir(dir.filePath(QStringLiteral("my songs/song.cache"))).removeRecursively();
    direct.RenderDirect(song.ProjectName, project, 3, 3, out);
    EXPECT_EQ(window.progress.calls, (QStringList{"Start 0 1 200 0", "Finish"}));
    EXPECT_FALSE(window.calls.contains(QStringLiteral("disable window")));

    // Several notes: the window shows from the start.
    window.progress.calls.clear();
    window.calls.clear();
    direct.RenderDirect(song.ProjectName, project, 0, 4, out);
    EXPECT_EQ(window.progress.calls.front(), QStringLiteral("Start 0 5 200 1"));
    EXPECT_EQ(window.calls.front(), QStringLiteral("disable window"));
    EXPECT_EQ(window.progress.status, QStringLiteral("あ"));
    EXPECT_EQ(window.progress.value, 5);
}

TEST_F(DirectRendererTest, FrequencyTableProgressText) {
    SetFreqTableWindow(&window);
    StopRequested = 0;
    EXPECT_EQ(FreqTableCallback(1, 400), 0);
    EXPECT_EQ(window.progress.maximum, 400);
    EXPECT_EQ(window.progress.status, QStringLiteral("周波数表(0%)"));
    EXPECT_EQ(FreqTableCallback(0, 100), 0);
    EXPECT_EQ(window.progress.value, 100);
    EXPECT_EQ(window.progress.status, QStringLiteral("周波数表(25%)"));
    StopRequested = -1;  // the stop link: the note renderer is told to stop
    EXPECT_EQ(FreqTableCallback(0, 200), -1);
    EXPECT_EQ(window.progress.calls, (QStringList{"Restart", "SlideIn"}));  // shown once
    SetFreqTableWindow(nullptr);
    EXPECT_EQ(FreqTableCallback(0, 300), -1);  // no render: events and the flag only
}

// No note renderer library in the program folder: the programs render this time and from now on.
TEST_F(DirectRendererTest, WithoutTheNoteRendererLibraryTheProgramsRender) {
    const QString folder = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(folder);
    for (const char* name : {"catena", "vorsa", "catena2.so", "batrun"})
        ASSERT_TRUE(QFile::link(programFolder() + u'/' + QString::fromLatin1(name), folder + u'/' + QString::fromLatin1(name)));
    SystemPaths::setProgramFolder(folder);
    EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
    EXPECT_FALSE(settings().UseDLL);
    EXPECT_EQ(direct.libraryRoads, QList<bool>{false});
    EXPECT_EQ(takeRendered().size(), 4);  // through the logging tool 2 program
}

// Forty notes rendered side by side on the library road, with the cache and without, give the bytes
// of the programs one note after the other; no temporary note file stays. A stop part way leaves a
// whole wave of the notes done and nothing else.
TEST_F(DirectRendererTest, NotesSideBySideGiveTheBytesOfOneAfterTheOther) {
    const qint32 fixtureNotes = song.noteCount();
    song.resizeNotes(fixtureNotes * 8);
    for (qint32 i = fixtureNotes; i < song.noteCount(); ++i) {
        const qint32 from = i % fixtureNotes;
        song.Lyrics[i] = song.Lyrics[from];
        song.Lengths[i] = song.Lengths[from];
        song.NoteNums[i] = song.NoteNums[from] + (i / fixtureNotes) % 3;
        song.NoteExt[i] = song.NoteExt[from];
    }
    song.SelStart = song.SelEnd = song.noteCount();
    const QString songFolder = dir.filePath(QStringLiteral("my songs"));
    auto tempFiles = [&] {
        QStringList found = QDir(songFolder).entryList({QStringLiteral("temp$$$*")}, QDir::Files);
        found += QDir(songFolder + QStringLiteral("/song.cache")).entryList({QStringLiteral("temp$$$*")}, QDir::Files);
        return found;
    };

    useRoad(Road::Program);
    settings().CacheEnable = false;
    ASSERT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
    const QByteArray oneAfterTheOther = readFile(output);
    ASSERT_GT(WaveDurationMs(oneAfterTheOther), 8 * 1750.0);

    useRoad(Road::Library);
    for (bool cache : {false, true, true}) {
        SCOPED_TRACE(cache ? "cache" : "no cache");
        settings().CacheEnable = cache;
        takeRendered();
        ASSERT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
        EXPECT_TRUE(readFile(output) == oneAfterTheOther);
        EXPECT_EQ(tempFiles(), QStringList());
        EXPECT_FALSE(partsLeft());
    }
    EXPECT_EQ(takeRendered(), QStringList()) << "the second render with the cache renders nothing";

    settings().CacheEnable = false;
    window.progress.onStatus = [](int value) {
        if (value == 12) StopRequested = -1;
    };
    EXPECT_EQ(generate(output), QStringLiteral("wavファイルの生成を中断しました。"));
    const QByteArray stopped = readFile(output);
    EXPECT_GT(WaveDurationMs(stopped), 0.0);
    EXPECT_LT(stopped.size(), oneAfterTheOther.size());
    // The last note done has no next note's overlap mixed into its end (200 ms left out of the check).
    EXPECT_TRUE(oneAfterTheOther.mid(44).startsWith(stopped.mid(44, stopped.size() - 44 - 2 * 8820)))
        << "the notes done are those at the start of the song";
    EXPECT_EQ(tempFiles(), QStringList());
    EXPECT_FALSE(partsLeft());
}

}  // namespace
}  // namespace tova::test
