// A re-render with the render cache on appends only the pieces that changed and takes the rest from
// the previous output: the placement arithmetic and its restart points, the render record, and real
// renders compared byte for byte with renders from scratch.
#include "RenderRoadFixture.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "render/RenderReuse.h"

#include <QFile>
#include <QtEndian>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace tova::test {
namespace {

using namespace RenderReuse;

// A piece of `ms` milliseconds starting `overlapMs` before the end (a key as the renderer makes it).
QString piece(const char* name, double ms, double overlapMs = 0) {
    const QString envelope = overlapMs == 0 ? QString() : QStringLiteral("0 5 35 0 100 100 0 ") + QString::number(overlapMs);
    return pieceKey(QStringLiteral("library"), QStringLiteral("note"), QString::number(ms), envelope,
                    QString::fromLatin1(name), QStringLiteral("0 0"));
}

// 100 ms = 4410 frames.
TEST(RenderReuseSimulation, PlacementsAndRestartPoints) {
    const struct {
        const char* what;
        QStringList keys;
        std::vector<std::int64_t> ends;  // E after each piece
        std::vector<bool> restarts;      // 0..n
    } cases[] = {
        {"no pieces", {}, {}, {true}},
        {"back to back", {piece("a", 100), piece("b", 100)}, {4410, 8820}, {true, true, true}},
        {"an overlap ties a piece to the one before",
         {piece("a", 100), piece("b", 100, 10)},
         {4410, 8379},
         {true, false, true}},
        {"the first piece's overlap reaches nothing", {piece("a", 100, 50), piece("b", 100)}, {4410, 8820}, {true, true, true}},
        {"a rest is a restart point when the next overlap stays within it",
         {piece("a", 100), piece("b", 100, 10), piece("R", 50), piece("c", 100, 20), piece("d", 100, 10)},
         {4410, 8379, 10584, 14112, 18081},
         {true, false, true, false, false, true}},
        {"an overlap reaching past a short rest",
         {piece("a", 100), piece("R", 10), piece("c", 100, 20)},
         {4410, 4851, 8379},
         {true, false, false, true}},
        {"a piece ending inside the one before leaves the end",
         {piece("a", 100), piece("b", 10, 50), piece("c", 100)},
         {4410, 4410, 8820},
         {true, false, true, true}},
        {"a gap (negative overlap) is a restart point", {piece("a", 100), piece("b", 100, -10)}, {4410, 9261}, {true, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Placement> placed = simulate(c.keys);
        ASSERT_EQ(placed.size(), c.ends.size());
        for (std::size_t i = 0; i < placed.size(); ++i) EXPECT_EQ(placed[i].endAfter, c.ends[i]) << i;
        EXPECT_EQ(restartPoints(placed), c.restarts);
    }
}

TEST(RenderReuseSimulation, FindReuseTable) {
    const QString a = piece("a", 100), b = piece("b", 100, 10), r1 = piece("R1", 50), c = piece("c", 100, 20),
                  d = piece("d", 100, 10), r2 = piece("R2", 80), e = piece("e", 100, 10), f = piece("f", 100, 10);
    const QString c2 = piece("c2", 100, 20), e2 = piece("e2", 120, 10), shortRest = piece("R1", 10);
    const QStringList before{a, b, r1, c, d, r2, e, f};
    const struct {
        const char* what;
        QStringList after;
        std::optional<std::array<int, 3>> expected;  // first, newEnd, oldEnd
    } cases[] = {
        {"no change appends nothing", before, std::array<int, 3>{8, 8, 8}},
        {"a note between two rests", {a, b, r1, c2, d, r2, e, f}, std::array<int, 3>{2, 5, 5}},
        {"the first note", {piece("a2", 100), b, r1, c, d, r2, e, f}, std::array<int, 3>{0, 2, 2}},
        {"the last note", {a, b, r1, c, d, r2, e, piece("f2", 100, 10)}, std::array<int, 3>{5, 8, 8}},
        {"a longer note near the end", {a, b, r1, c, d, r2, e2, f}, std::array<int, 3>{5, 8, 8}},
        {"a rest's length", {a, b, piece("R1", 70), c, d, r2, e, f}, std::array<int, 3>{2, 5, 5}},
        {"a rest too short for the next overlap", {a, b, shortRest, c, d, r2, e, f}, std::array<int, 3>{0, 5, 5}},
        {"a note inserted", {a, b, r1, c, c2, d, r2, e, f}, std::array<int, 3>{2, 6, 5}},
        {"a note deleted", {a, b, r1, d, r2, e, f}, std::array<int, 3>{2, 4, 5}},
        {"an overlap changed", {a, b, r1, piece("c", 100, 30), d, r2, e, f}, std::array<int, 3>{2, 5, 5}},
        {"pieces added at the end", {a, b, r1, c, d, r2, e, f, r1, c}, std::array<int, 3>{8, 10, 8}},
        {"every piece changed", {c2, e2}, std::nullopt},
        {"no rests at all", {piece("x", 100), b, d, e}, std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const std::optional<Reuse> reuse = findReuse(before, k.after);
        ASSERT_EQ(reuse.has_value(), k.expected.has_value());
        if (!reuse) continue;
        EXPECT_EQ(reuse->first, (*k.expected)[0]);
        EXPECT_EQ(reuse->newEnd, (*k.expected)[1]);
        EXPECT_EQ(reuse->oldEnd, (*k.expected)[2]);
        const std::vector<Placement> po = simulate(before), pn = simulate(k.after);
        auto endAt = [](const std::vector<Placement>& p, int i) { return i < int(p.size()) ? p[std::size_t(i)].endBefore : p.back().endAfter; };
        EXPECT_EQ(reuse->headFrames, endAt(pn, reuse->first));
        EXPECT_EQ(reuse->headFrames, endAt(po, reuse->first));
        EXPECT_EQ(reuse->middleFrames, endAt(pn, reuse->newEnd) - reuse->headFrames);
        EXPECT_EQ(reuse->oldTailFrom, endAt(po, reuse->oldEnd));
        EXPECT_EQ(reuse->newTotal - endAt(pn, reuse->newEnd), reuse->oldTotal - reuse->oldTailFrom);
    }
    EXPECT_FALSE(findReuse({}, {a}).has_value());
    EXPECT_FALSE(findReuse(before, {}).has_value());
}

TEST(RenderReuseRecord, RoundTripAndDamage) {
    Record record;
    record.output = QStringLiteral("/home/zoë/歌\\n\nline.wav");
    record.size = 123456789012;
    record.mtimeNs = 1700000000123456789;
    record.keys = {piece("a", 100), piece("ü\nb", 12.5, 3), QString()};
    const QByteArray bytes = formatRecord(record);
    EXPECT_TRUE(Cp932::isMarked(bytes.constData(), bytes.size()));  // "ë" and "ü" are not in code page 932
    const std::optional<Record> back = parseRecord(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->output, record.output);
    EXPECT_EQ(back->size, record.size);
    EXPECT_EQ(back->mtimeNs, record.mtimeNs);
    EXPECT_EQ(back->keys, record.keys);
    // Plain text is code page 932.
    record.output = QStringLiteral("歌.wav");
    record.keys = {piece("a", 100)};
    EXPECT_FALSE(Cp932::isMarked(formatRecord(record).constData(), formatRecord(record).size()));

    const QByteArray good = formatRecord(record);
    for (const QByteArray& damaged : {QByteArray(), good.left(good.size() - 1), good.left(good.size() / 2),
                                      QByteArray(good).replace("tova render record 1", "tova render record 9"),
                                      QByteArray(good).replace("\n1\n", "\n2\n"), good + "extra\n",
                                      QByteArray(good).replace("\t0 0\t", "\t0 0\\q\t")}) {
        SCOPED_TRACE(damaged.toStdString());
        EXPECT_FALSE(parseRecord(damaged).has_value());
    }
}

// Real renders on the library road: each edit rendered incrementally over the previous output gives
// the bytes of a render from scratch.
class RenderReuseTest : public RenderRoadFixture {
protected:
    struct Note {
        const char* lyric;
        qint32 ticks;
        qint32 pitch;
        const char* ext;
    };
    void SetUp() override {
        RenderRoadFixture::SetUp();
        useRoad(Road::Library);
        cache = dir.filePath(QStringLiteral("my songs/song.cache"));
        output = dir.filePath(QStringLiteral("incremental.wav"));
    }
    void setNotes(const std::vector<Note>& notes) {
        song.resizeNotes(0);
        for (const Note& n : notes) addNote(n.lyric, n.ticks, n.pitch, n.ext);
        song.SelStart = song.SelEnd = song.noteCount();
    }
    // Renders the whole song into `out`; answers the pieces appended.
    int render(const QString& out) {
        direct.lengths.clear();
        EXPECT_EQ(generate(out), out + QStringLiteral("を作成しました。"));
        takeRendered();
        return int(direct.lengths.size());
    }
    QString record(const QString& out) const { return cache + u'/' + QFileInfo(out).completeBaseName() + QStringLiteral(".render"); }
    bool temporaryPartsLeft() const {
        return !QDir(cache).entryList({QStringLiteral("*.reuse.*")}, QDir::Files).isEmpty();
    }

    // Rests of several lengths, overlapping notes, a note whose overlap reaches back past the rest
    // before it (100 ms at the changed tempo), a tempo change, and a stretch of notes without rests.
    const std::vector<Note> base{
        {"あ", 480, 33, ""},
        {"か", 480, 31, ""},
        {"R", 480, 31, ""},
        {"い", 480, 35, ""},
        {"あ", 480, 36, ""},
        {"R", 960, 31, ""},
        {"か", 480, 31, "\t\t\t\t\ttempo=150"},
        {"あ", 480, 33, ""},
        {"か", 240, 34, ""},
        {"あ", 480, 36, ""},
        {"R", 480, 31, ""},
        {"い", 480, 35, "150:140"},
        {"あ", 480, 33, ""},
        {"R", 480, 31, ""},
        {"か", 480, 31, ""},
        {"あ", 960, 33, ""},
    };
    QString cache;
    QString output;
};

TEST_F(RenderReuseTest, EditsRenderedOverThePreviousOutputGiveTheBytesOfAWholeRender) {
    using Notes = std::vector<Note>;
    const struct {
        const char* what;
        std::function<void(Notes&)> edit;
        bool fewer;  // fewer pieces appended than the song has
    } cases[] = {
        {"no change at all", [](Notes&) {}, true},
        {"pitch of a note in the middle", [](Notes& n) { n[3].pitch += 1; }, true},
        {"the first note", [](Notes& n) { n[0].pitch += 2; }, true},
        {"the last note", [](Notes& n) { n[15].pitch -= 1; }, true},
        {"a rest's length", [](Notes& n) { n[5].ticks = 720; }, true},
        {"a note inserted", [](Notes& n) { n.insert(n.begin() + 4, Note{"か", 240, 30, ""}); }, true},
        {"a note deleted", [](Notes& n) { n.erase(n.begin() + 12); }, true},
        {"an envelope's overlap", [](Notes& n) { n[4].ext = "80:40"; }, true},
        {"a note in a stretch without rests", [](Notes& n) { n[8].pitch += 1; }, true},
        {"the note overlapping back past a rest", [](Notes& n) { n[11].pitch += 1; }, true},
        {"the tempo", [](Notes& n) { n[6].ext = "\t\t\t\t\ttempo=140"; }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setNotes(base);
        clearCache();
        ASSERT_EQ(render(output), int(base.size()));
        ASSERT_TRUE(QFile::exists(record(output)));
        Notes edited = base;
        c.edit(edited);
        setNotes(edited);
        const int appended = render(output);
        const QString whole = dir.filePath(QStringLiteral("whole.wav"));
        QFile::remove(whole);
        QFile::remove(record(whole));
        ASSERT_EQ(render(whole), int(edited.size()));
        EXPECT_TRUE(readFile(output) == readFile(whole)) << "the incremental render differs";
        if (c.fewer) EXPECT_LT(appended, int(edited.size()));
        EXPECT_FALSE(temporaryPartsLeft());
        // And once more over the incremental output, unchanged: nothing appended, the same bytes.
        EXPECT_EQ(render(output), 0);
        EXPECT_TRUE(readFile(output) == readFile(whole));
    }
}

// Note 11 starts its sound 150 ms before its time, overlapping 140 ms: past the 100 ms rest before it
// into the notes before the rest. An edit of it appends again from the rest before those notes (note
// 5); with the sample's own timing it fits the rest, and the render appends from that rest on.
TEST_F(RenderReuseTest, AnOverlapPastARestAppendsFromTheRestBefore) {
    const struct {
        const char* timing;
        int appended;  // pieces 5..12, or 10..12
    } cases[] = {{"150:140", 8}, {"", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timing);
        std::vector<Note> notes = base;
        notes[11].ext = c.timing;
        setNotes(notes);
        render(output);
        notes[11].pitch += 1;
        setNotes(notes);
        EXPECT_EQ(render(output), c.appended);
        const QString whole = dir.filePath(QStringLiteral("whole.wav"));
        QFile::remove(whole);
        render(whole);
        EXPECT_TRUE(readFile(output) == readFile(whole));
    }
}

// A record that no longer describes the output on disk, or cannot be read, is not used: the whole
// song is appended and the bytes are right.
TEST_F(RenderReuseTest, AnOutputChangedOnDiskOrADamagedRecordRendersEverything) {
    const QString whole = dir.filePath(QStringLiteral("whole.wav"));
    const struct {
        const char* what;
        std::function<void()> spoil;
    } cases[] = {
        {"output's time", [&] {
             QFile f(output);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             ASSERT_TRUE(f.setFileTime(QFileInfo(output).lastModified().addSecs(-5), QFileDevice::FileModificationTime));
         }},
        {"output's size", [&] {
             QFile f(output);
             ASSERT_TRUE(f.open(QIODevice::Append));
             f.write("\0\0", 2);
         }},
        {"output's header", [&] {
             // Two channels, with the size and the time (to the nanosecond) as recorded.
             const QByteArray path = QFile::encodeName(output);
             struct stat st {};
             ASSERT_EQ(::stat(path.constData(), &st), 0);
             const int fd = ::open(path.constData(), O_WRONLY);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::pwrite(fd, "\2", 1, 22), 1);
             ::close(fd);
             const struct timespec times[2] = {st.st_atim, st.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
         }},
        {"output gone", [&] { QFile::remove(output); }},
        {"record damaged", [&] {
             QByteArray bytes = readFile(record(output));
             writeFile(record(output), bytes.left(bytes.size() - 3));
         }},
        {"record of another output", [&] {
             QByteArray bytes = readFile(record(output));
             writeFile(record(output), bytes.replace("incremental.wav", "elsewhere.wav"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setNotes(base);
        render(output);
        c.spoil();
        std::vector<Note> edited = base;
        edited[3].pitch += 1;
        setNotes(edited);
        EXPECT_EQ(render(output), int(base.size()));
        QFile::remove(whole);
        render(whole);
        EXPECT_TRUE(readFile(output) == readFile(whole));
    }
}

// Fresh pieces that come out at another length than worked out are not spliced in: the whole song is
// rendered instead.
TEST_F(RenderReuseTest, FreshPiecesOfAnotherLengthFallBackToTheWholeRender) {
    setNotes(base);
    render(output);
    std::vector<Note> edited = base;
    edited[3].pitch += 1;
    setNotes(edited);
    const QString fresh = cache + QStringLiteral("/incremental.wav.reuse.dat");
    bool spoiled = false;
    direct.onAppend = [&](int count) {
        if (count != 2 || spoiled || !QFile::exists(fresh)) return;
        QFile f(fresh);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\0\0", 2);
        spoiled = true;
    };
    direct.lengths.clear();
    EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
    direct.onAppend = {};
    EXPECT_TRUE(spoiled);
    EXPECT_EQ(direct.lengths.size(), 3 + edited.size());  // pieces 2..4, then every piece
    EXPECT_FALSE(temporaryPartsLeft());
    const QString whole = dir.filePath(QStringLiteral("whole.wav"));
    render(whole);
    EXPECT_TRUE(readFile(output) == readFile(whole));
    EXPECT_EQ(render(output), 0);
}

TEST_F(RenderReuseTest, WithoutTheCacheNoRecord) {
    setNotes(base);
    render(output);
    ASSERT_TRUE(QFile::exists(record(output)));
    settings().CacheEnable = false;
    EXPECT_EQ(render(output), int(base.size()));
    EXPECT_FALSE(QFile::exists(record(output)));
    EXPECT_EQ(render(output), int(base.size()));
    EXPECT_FALSE(QFile::exists(record(output)));
}

// A failure while the changed pieces are appended leaves no output and no record; a stop leaves the
// notes done (the reused ones before the change and the pieces appended since) as a whole wave, and
// no record. The next render is whole again.
TEST_F(RenderReuseTest, AFailureOrAStopPartWayLeavesNoRecord) {
    for (bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "stop" : "failure");
        setNotes(base);
        render(output);
        std::vector<Note> edited = base;
        edited[3].pitch += 1;
        edited[8].pitch += 1;
        setNotes(edited);
        if (stop)
            direct.onAppend = [](int count) {
                if (count == 2) StopRequested = -1;
            };
        else
            direct.failAt = 2;
        const QString message = generate(output);
        if (stop) EXPECT_EQ(message, QStringLiteral("wavファイルの生成を中断しました。"));
        direct.failAt = 0;
        direct.onAppend = {};
        StopRequested = 0;
        const QByteArray stopped = readFile(output);
        EXPECT_EQ(QFile::exists(output), stop);
        EXPECT_FALSE(QFile::exists(record(output)));
        EXPECT_FALSE(temporaryPartsLeft());
        EXPECT_EQ(render(output), int(edited.size()));
        const QString whole = dir.filePath(QStringLiteral("whole.wav"));
        QFile::remove(whole);
        render(whole);
        const QByteArray full = readFile(whole);
        EXPECT_TRUE(readFile(output) == full);
        if (stop) {
            // A wave whose header tells its size, shorter than the whole one, with the same samples up to
            // the last second (the last piece's end is mixed with the next piece's start in the whole).
            ASSERT_GT(stopped.size(), 44);
            EXPECT_EQ(qFromLittleEndian<quint32>(stopped.constData() + 4), quint32(stopped.size() - 8));
            EXPECT_EQ(qFromLittleEndian<quint32>(stopped.constData() + 40), quint32(stopped.size() - 44));
            EXPECT_LT(stopped.size(), full.size());
            const qsizetype same = stopped.size() - 44100 * 2;
            if (same > 44) EXPECT_TRUE(stopped.mid(44, same - 44) == full.mid(44, same - 44));
        }
    }
}

}  // namespace
}  // namespace tova::test
