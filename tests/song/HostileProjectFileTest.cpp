// Project files made to hurt: every one loads what it can, within bounds, and says what it refused;
// and whatever a file holds, saving it twice gives the bytes of saving it once.
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "song/ProjectFile.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Loaded {
    ProjectSettings settings;
    NoteArrays notes;
    QStringList problems;
};

Loaded load(const QString& text) {
    Loaded l;
    qint32 index = 0;
    ReadProjectText(text, l.settings, index, l.notes, &l.problems);
    l.notes.resizeNotes(index);
    return l;
}

// The text of a save, and of a save of what that save reads back as.
QString saved(const QString& text) {
    const Loaded l = load(text);
    return ProjectFileText(l.settings, l.notes);
}

QString pitchField(const Loaded& l, qint32 note) { return SplitNoteExt(l.notes.NoteExt.value(note))[ExtPitches]; }

TEST(HostileProjectFile, AnOutOfRangeTempoKeepsItsValueAndTheRestLoads) {
    // Below what the file's two decimals keep (saved "0.00", it would read back as none), and beyond
    // any song: a render at such a tempo gives notes of no length or of days.
    for (const QString& tempo : {u"1e39"_s, u"-5"_s, u"1e400"_s, u"0.001"_s, u"0.004"_s, u"3.4"_s, u"601"_s, u"1e30"_s}) {
        SCOPED_TRACE(tempo.toStdString());
        const Loaded l = load(u"[#SETTING]\r\nTempo="_s + tempo +
                              u"\r\nProjectName=p\r\n[#0000]\r\nLength=480\r\nLyric=あ\r\nNoteNum=60\r\n[#TRACKEND]\r\n"_s);
        EXPECT_EQ(l.settings.Tempo, 120.0f);
        EXPECT_EQ(l.settings.ProjectName, u"p"_s);
        ASSERT_EQ(l.notes.noteCount(), 1);
        EXPECT_EQ(l.notes.Lyrics[0], u"あ"_s);
        ASSERT_EQ(l.problems.size(), 1);
        EXPECT_TRUE(l.problems[0].startsWith(u"2行目"_s)) << l.problems[0].toStdString();
    }
    // In range: taken, nothing said; what the tempo boxes take and what older files carry (4..600).
    for (const auto& [text, tempo] : {std::pair{u"3.5e2"_s, 350.0f}, {u"10"_s, 10.0f}, {u"512"_s, 512.0f}, {u"4"_s, 4.0f},
                                      {u"600"_s, 600.0f}, {u"0"_s, 120.0f}}) {
        const Loaded fine = load(u"Tempo="_s + text + u"\r\n[#TRACKEND]\r\n"_s);
        EXPECT_EQ(fine.settings.Tempo, tempo) << text.toStdString();
        EXPECT_TRUE(fine.problems.isEmpty());
    }
    // A note's tempo change likewise: outside 4..600 it is not taken, and said.
    const Loaded notes = load(u"[#SETTING]\r\n[#0000]\r\nLength=480\r\nLyric=a\r\nTempo=0.001\r\n"
                              u"[#0001]\r\nLength=480\r\nLyric=a\r\nTempo=150\r\n[#TRACKEND]\r\n"_s);
    ASSERT_EQ(notes.notes.noteCount(), 2);
    EXPECT_EQ(GetNoteOption(notes.notes.NoteExt[0], u"tempo"_s), QString());
    EXPECT_EQ(GetNoteOption(notes.notes.NoteExt[1], u"tempo"_s), u"150"_s);
    ASSERT_EQ(notes.problems.size(), 1);
    EXPECT_TRUE(notes.problems[0].contains(u"Tempo"_s));
}

// A note option "@name" sets the batch variable "name" when the note renders. Not taken, and said with
// the note's line and the option's key: one that names the render's programs, batches or paths (or what
// a started program's loader reads), and one whose name is not made of ASCII letters, digits and "_" (a
// dotless "ı" that another reader would take for "I", a blank, a full-width letter), is empty, or has no
// "=". Only a difference in ASCII case makes a name that of a render variable. Every other option of the
// note stays, in order.
TEST(HostileProjectFile, NoteVariablesARenderCannotTakeAreRefusedAndSaid) {
    QStringList entries;
    for (const QString& key : {u"@tool"_s, u"@vorsa"_s, u"@helper"_s, u"@output"_s, u"@oto"_s, u"@cachedir"_s, u"@temp"_s,
                               u"@TOOL"_s, u"@ Output "_s, u"@Path"_s, u"@LD_PRELOAD"_s, u"@ld_audit"_s, u"@GCONV_PATH"_s,
                               u"@TMPDIR"_s, u"@HOME"_s})
        entries << key + u"=/bin/rm"_s;
    entries << u"@cachedır=/tmp/x"_s << u"@TMPDıR=/tmp/x"_s << u"@TZDıR=/tmp/x"_s << u"@=x"_s << u"@own"_s << u"@na me=1"_s
            << u"@ｍine=1"_s << u"@TOOL\u0130=x"_s << u"@Cachedir=/tmp/x"_s;
    for (const QString& entry : entries) {
        SCOPED_TRACE(entry.toStdString());
        const Loaded l = load(u"[#SETTING]\r\nTempo=120\r\n[#0000]\r\nLength=480\r\nLyric=あ\r\nNoteNum=60\r\n@mine=1\r\n"_s +
                              entry + u"\r\n@flag=g-5\r\n$direct=1\r\n[#TRACKEND]\r\n"_s);
        ASSERT_EQ(l.notes.noteCount(), 1);
        EXPECT_EQ(SplitNoteExt(l.notes.NoteExt[0])[ExtOptions], u"@mine=1\\n@flag=g-5\\n$direct=1"_s);
        ASSERT_EQ(l.problems.size(), 1);
        EXPECT_TRUE(l.problems[0].startsWith(u"3行目"_s)) << l.problems[0].toStdString();
        EXPECT_TRUE(l.problems[0].contains(u"「"_s + entry.section(u'=', 0, 0) + u"」"_s)) << l.problems[0].toStdString();
    }
    // Names near the refused ones are the note's own.
    const Loaded own = load(u"[#0000]\r\nLyric=あ\r\n@tools=1\r\n@outputs=2\r\n@LD=3\r\n@mypath=4\r\n@Flag_2=5\r\n"_s);
    EXPECT_EQ(SplitNoteExt(own.notes.NoteExt[0])[ExtOptions], u"@tools=1\\n@outputs=2\\n@LD=3\\n@mypath=4\\n@Flag_2=5"_s);
    EXPECT_TRUE(own.problems.isEmpty());
    // An entry whose value is empty is no variable: left out without a word, as always.
    const Loaded empty = load(u"[#0000]\r\nLyric=あ\r\n@own=\r\n@mine=1\r\n[#TRACKEND]\r\n"_s);
    EXPECT_EQ(SplitNoteExt(empty.notes.NoteExt[0])[ExtOptions], u"@mine=1"_s);
    EXPECT_TRUE(empty.problems.isEmpty());
}

TEST(HostileProjectFile, HeaderValuesAreCut) {
    const QString huge(1024 * 1024, u'x');
    const Loaded l = load(u"[#SETTING]\r\nProjectName="_s + huge + u"\r\nTool1="_s + huge + u"\r\nFlags="_s + huge +
                          u"\r\n[#TRACKEND]\r\n"_s);
    EXPECT_EQ(l.settings.ProjectName.size(), 4096);
    EXPECT_EQ(l.settings.Tool1.size(), 4096);
    EXPECT_EQ(l.settings.Flags.size(), 1024);
    ASSERT_EQ(l.problems.size(), 3);
    EXPECT_TRUE(l.problems[0].startsWith(u"2行目"_s));
    EXPECT_TRUE(l.problems[2].startsWith(u"4行目"_s));
}

// Each text once caused a second save to differ from the first.
TEST(HostileProjectFile, SavingTwiceGivesTheBytesOfSavingOnce) {
    const QString head = u"[#SETTING]\r\nTempo=120.00\r\n[#0000]\r\nLength=480\r\nLyric=あ\r\nNoteNum=60\r\n"_s;
    const QString bodies[] = {
        u"Flags=B50\tTempo=300\r\n"_s,           // a TAB inside a value
        u"@x=a\tb\r\n$y\tz=1\r\nLabel=a\tb\r\n"_s,  // in option values and keys
        u"PBType=OldData\r\nPiches=1 2,3\r\n"_s,  // a blank inside the first pitch value
        u"Piches=5, 6 ,7\r\n"_s,
        u"Piches=,\r\n"_s,
        u"Piches=1Q5,2Q\r\n"_s,
        u"Piches=-5,10,20000,3520000,20\r\n"_s,  // a replacement whose neighbour is damaged too (found by fuzzing)
    };
    for (const QString& body : bodies) {
        SCOPED_TRACE(body.toStdString());
        const QString once = saved(head + body + u"[#TRACKEND]\r\n"_s);
        EXPECT_EQ(saved(once), once);
        // A TAB never reaches the extension string's fields.
        EXPECT_EQ(SplitNoteExt(load(once).notes.NoteExt[0]).size(), 6);
    }
    // The blank is dropped, not turned into a second value.
    const QString pitches = saved(head + u"PBType=OldData\r\nPiches=1 2,3\r\n[#TRACKEND]\r\n"_s);
    EXPECT_TRUE(pitches.contains(u"PBType=OldData\r\nPiches=12,3\r\n"_s)) << pitches.toStdString();
}

TEST(HostileProjectFile, PitchListsAreBoundedByTheirNoteAndTheFile) {
    // A note of 480 file units (1920 ticks, one beat) uses 96 values and its lead-in.
    QString list = u"0"_s;
    list += (u",1"_s).repeated(100000);
    const Loaded l = load(u"[#0000]\r\nLength=480\r\nPiches="_s + list + u"\r\n[#TRACKEND]\r\n"_s);
    EXPECT_EQ(pitchField(l, 0).count(u' ') + 1, 96 + PitchLeadValues);
    EXPECT_EQ(PitchValuesForLength(1920), 96 + PitchLeadValues);

    // Notes of the longest length (3455999 file units): each takes what its length allows, until the
    // file's budget ends.
    const qsizetype perNote = PitchValuesForLength(3455999LL * 4);
    const QString longList = u"0"_s + (u",1"_s).repeated(perNote + 10);
    QString text;
    for (int i = 0; i < 4; ++i) text += u"[#000"_s + QString::number(i) + u"]\r\nLength=3455999\r\nPiches="_s + longList + u"\r\n"_s;
    text += u"[#TRACKEND]\r\n"_s;
    const Loaded big = load(text);
    ASSERT_EQ(big.notes.noteCount(), 4);
    qsizetype total = 0;
    for (qint32 i = 0; i < 4; ++i) total += pitchField(big, i).count(u' ') + 1;
    EXPECT_EQ(pitchField(big, 0).count(u' ') + 1, perNote);
    EXPECT_LT(pitchField(big, 3).count(u' ') + 1, perNote);
    EXPECT_EQ(total, MaxPitchValuesPerFile);
}

// A note's portamento points beyond what any note is drawn with (each is read again on every redraw)
// are cut, and said so; a note at the bound keeps every point without a word.
TEST(HostileProjectFile, PortamentoPointsAreBounded) {
    const auto points = [](int count) {
        QStringList p;
        for (int i = 0; i < count; ++i) p << QString::number(i % 50);
        return p.join(u',');
    };
    const Loaded many = load(u"[#SETTING]\r\n[#0000]\r\nLength=1920\r\nLyric=a\r\nNoteNum=60\r\nPBS=-40;0\r\nPBW="_s +
                             points(1000000) + u"\r\nPBY="_s + points(5000) + u"\r\n[#TRACKEND]\r\n"_s);
    ASSERT_EQ(many.notes.noteCount(), 1);
    EXPECT_EQ(GetNoteOption(many.notes.NoteExt[0], u"PBW"_s).count(u' ') + 1, 1024);
    EXPECT_EQ(GetNoteOption(many.notes.NoteExt[0], u"PBY"_s).count(u' ') + 1, 1024);
    ASSERT_EQ(many.problems.size(), 2);
    EXPECT_TRUE(many.problems[0].contains(u"PBWの値が長すぎる"_s)) << many.problems[0].toStdString();

    const Loaded bound = load(u"[#SETTING]\r\n[#0000]\r\nLength=1920\r\nLyric=a\r\nNoteNum=60\r\nPBW="_s + points(1024) +
                              u"\r\n[#TRACKEND]\r\n"_s);
    EXPECT_EQ(GetNoteOption(bound.notes.NoteExt[0], u"PBW"_s).count(u' ') + 1, 1024);
    EXPECT_TRUE(bound.problems.isEmpty());
}

TEST(HostileProjectFile, OnlyRegularFilesAreRead) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"x.tvx"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ProjectSettings s;
    NoteArrays notes;
    qint32 index = 0;
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(ReadProjectFile(fifo, s, index, notes), FileError);
    EXPECT_THROW(ReadProjectFile(dir.path(), s, index, notes), FileError);
    EXPECT_LT(timer.elapsed(), 5000);

    // Bytes that do not decode are said.
    const QString bad = dir.filePath(u"bad.tvx"_s);
    writeFile(bad, "[#SETTING]\r\nProjectName=\x82\r\n[#TRACKEND]\r\n");
    QStringList problems;
    ReadProjectFile(bad, s, index, notes, &problems);
    EXPECT_EQ(problems.size(), 1);
}

// Many thousands of keys the reader does not know, in one note and over many notes: the load says so
// in a bounded number of lines (one a key, at most twenty), and reading stays linear.
TEST(HostileProjectFile, ManyUnknownKeysGiveABoundedMessage) {
    QString one = u"[#0000]\r\nLength=480\r\nLyric=a\r\n"_s;
    for (int k = 0; k < 100000; ++k) one += u"Key%1=v\r\n"_s.arg(k);
    QString many;
    for (int n = 0; n < 2000; ++n) many += u"[#%1]\r\nLyric=a\r\nOwn%2=x\r\n"_s.arg(n, 4, 10, QChar(u'0')).arg(n);
    for (const QString& body : {one, many}) {
        const Loaded l = load(u"[#SETTING]\r\n"_s + body + u"[#TRACKEND]\r\n"_s);
        EXPECT_GE(l.notes.noteCount(), 1);
        EXPECT_EQ(l.problems.size(), 20);
        EXPECT_TRUE(l.problems.first().contains(u"読み込めない項目"_s)) << l.problems.first().toStdString();
    }
}

}  // namespace
}  // namespace tova::test
