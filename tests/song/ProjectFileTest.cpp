#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "platform/lean/Files.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

// A project in code page 932 as the writer lays it out: kana and kanji (with 5C trail bytes) in names and
// lyrics, a label, regions, pitch data, both envelope forms, flags and opaque keys.
const char kFixture[] =
    "[#SETTING]\r\n"
    "Tempo=125.50\r\n"
    "Tracks=1\r\n"
    "ProjectName=\x83" "e\x83X\x83g\x8b\xc8\r\n"
    "VoiceDir=%VOICE%uta\x5c\x83\x5c\r\n"
    "OutFile=\x95\x5c.wav\r\n"
    "CacheDir=\x95\x5c.cache\r\n"
    "Tool1=tools\x5ct1\r\n"
    "Tool2=tools\x5ct2\r\n"
    "Mode2=True\r\n"
    "Flags=g-5B40\r\n"
    "[#0000]\r\n"
    "Length=480\r\n"
    "Lyric=R\r\n"
    "NoteNum=60\r\n"
    "PreUtterance=\r\n"
    "Intensity=100\r\n"
    "Moduration=0\r\n"
    "$region=\x83T\x83r|\x83" "C\x83\x93\x83g\x83\x8d\r\n"
    "[#0001]\r\n"
    "Length=240\r\n"
    "Lyric=\x82\xab\x82\xe1\r\n"
    "NoteNum=62\r\n"
    "PreUtterance=12.5\r\n"
    "VoiceOverlap=3\r\n"
    "Velocity=120\r\n"
    "Intensity=90\r\n"
    "Moduration=-20\r\n"
    "PBType=5\r\n"
    "Piches=-50,0,0,12,24\r\n"
    "Flags=B50g-10\r\n"
    "Tempo=140\r\n"
    "Label=\x83T\x83r,\x8en\x82\xdf\r\n"
    "Envelope=0,5,35,0,100,100,0\r\n"
    "StartPoint=10.25\r\n"
    "PBS=-40;5\r\n"
    "PBW=80,120\r\n"
    "PBY=0,-10\r\n"
    "PBM=s,r\r\n"
    "VBR=65,180,35,20,20,0,0,0\r\n"
    "@custom=1,2\r\n"
    "[#0002]\r\n"
    "Length=960\r\n"
    "Lyric=\x83\x5c\r\n"
    "NoteNum=64\r\n"
    "PreUtterance=\r\n"
    "Envelope=0,5,35,0,100,100,0,%,10,10,80\r\n"
    "$region_end=\x83T\x83r\r\n"
    "[#TRACKEND]\r\n";

NoteArrays emptySong() {
    NoteArrays a;
    a.makeEmpty();
    return a;
}

TEST(ProjectFile, FixtureReadsAndWritesBackByteIdentical) {
    QTemporaryDir dir;
    const QString in = dir.filePath(u"in.tvx"_s), out = dir.filePath(u"out.tvx"_s);
    const QByteArray bytes(kFixture);
    test::writeFile(in, bytes);

    ProjectSettings s;
    NoteArrays notes = emptySong();
    qint32 index = 0;
    EXPECT_EQ(ReadProjectFile(in, s, index, notes), 3);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(s.ProjectName, u"テスト曲"_s);
    EXPECT_EQ(s.VoiceDir, u"%VOICE%uta\\ソ"_s);
    EXPECT_EQ(s.OutFile, u"表.wav"_s);
    EXPECT_FLOAT_EQ(s.Tempo, 125.5f);
    EXPECT_TRUE(s.Mode2);
    EXPECT_EQ(s.Flags, u"g-5B40"_s);
    EXPECT_EQ(notes.Lyrics, QStringList({u"R"_s, u"きゃ"_s, u"ソ"_s}));
    EXPECT_EQ(notes.Lengths, QList<qint32>({1920, 960, 3840}));
    EXPECT_EQ(notes.NoteNums, QList<qint32>({36, 38, 40}));
    const QString& ext = notes.NoteExt[1];
    EXPECT_EQ(NoteExtField(ext, ExtTiming), u"12.5:3:120"_s);
    EXPECT_EQ(NoteExtField(ext, ExtPitches), u"-50Q 0 0 12 24"_s);
    EXPECT_EQ(GetNoteOption(ext, u"label"_s), u"サビ 始め"_s);
    EXPECT_EQ(GetNoteOption(ext, u"env"_s), u"0 5 35 0 100 100 0"_s);
    EXPECT_EQ(GetNoteOption(ext, u"stp"_s), u"10.25"_s);
    EXPECT_EQ(GetNoteOption(notes.NoteExt[0], u"$region"_s), u"サビ|イントロ"_s);

    WriteProjectFile(out, s, notes);
    EXPECT_EQ(test::readFile(out), bytes);
}

// What a note section leaves out or changes is said in the load message, once a key and kind, at the
// first note's line with the number of notes; a file as the writer makes it gives no message.
TEST(ProjectFile, WhatReadingLeavesOutIsSaid) {
    const struct {
        const char* name;
        const char* lines;  // after "[#0000]\r\nLength=480\r\nLyric=a\r\nNoteNum=60\r\n"
        const char* said;   // the problem line, or nullptr for none
    } cases[] = {
        {"unknown key", "FooBar=baz\r\n", "2行目: 「FooBar」は読み込めない項目のため、読み込みませんでした。"},
        {"line without =", "junk\r\n", "2行目: 「junk」は読み込めない項目のため、読み込みませんでした。"},
        {"envelope with a blank part", "Envelope=0,x,35,0,100,100,0\r\n",
         "2行目: Envelopeの値が読めないか範囲外のため、読み込みませんでした。"},
        {"length not a number", "Length=long\r\n", "2行目: Lengthの値が読めないか範囲外のため、読み込みませんでした。"},
        {"note number out of range", "NoteNum=200\r\n", "2行目: NoteNumの値が読めないか範囲外のため、読み込みませんでした。"},
        {"velocity out of range", "Velocity=300\r\n", "2行目: Velocityの値が読めないか範囲外のため、読み込みませんでした。"},
        {"tempo out of range", "Tempo=9999\r\n", "2行目: Tempoの値が読めないか範囲外のため、読み込みませんでした。"},
        {"intensity held to 200", "Intensity=250\r\n", "2行目: Intensityの値が長すぎるか範囲外のため、変えて読み込みました。"},
        {"long label", "Label=123456789012345678901\r\n", "2行目: Labelの値が長すぎるか範囲外のため、変えて読み込みました。"},
        {"a second =", "@bar=x=y\r\n", "2行目: @barの値が長すぎるか範囲外のため、変えて読み込みました。"},
        {"known keys and empty values", "PBType=5\r\nPreUtterance=\r\nIntensity=\r\n@x=\r\n\r\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The section twice: the second note adds its count rather than a second line.
        const QString section = u"Length=480\r\nLyric=a\r\nNoteNum=60\r\n"_s + QString::fromUtf8(c.lines);
        const QString text = u"[#SETTING]\r\n[#0000]\r\n"_s + section + u"[#0001]\r\n"_s + section + u"[#TRACKEND]\r\n"_s;
        ProjectSettings s;
        NoteArrays notes = emptySong();
        qint32 index = 0;
        QStringList problems;
        ReadProjectText(text, s, index, notes, &problems);
        EXPECT_EQ(index, 2);
        if (!c.said) {
            EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
            continue;
        }
        ASSERT_EQ(problems.size(), 1) << problems.join(u'\n').toStdString();
        EXPECT_EQ(problems[0], QString::fromUtf8(c.said) + u"（2個のノート）"_s);
    }
    // The writer's own files.
    ProjectSettings s;
    NoteArrays notes = emptySong();
    qint32 index = 0;
    QStringList problems;
    ReadProjectText(Cp932::decode(QByteArray(kFixture)), s, index, notes, &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    index = 0;
    notes = emptySong();
    ReadProjectFile(test::sourceFolder() + u"/demo/demo.tvx"_s, s, index, notes, &problems);
    EXPECT_GT(index, 10);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
}

struct SectionCase {
    const char16_t* lines;  // lines of one note section, separated by LF
    qint32 length;          // expected values; the note starts as 100, "あ", 30, ""
    const char16_t* lyric;
    qint32 noteNum;
    const char16_t* ext;
};

TEST(ProjectFile, NoteSectionValuesAreCheckedOneByOne) {
    const SectionCase cases[] = {
        {u"Length=480", 1920, u"あ", 30, u"\t\t\t\t\t"},
        {u"Length=0\nLength=3456000\nLength= 480\nLength=abc", 100, u"あ", 30, u"\t\t\t\t\t"},
        {u"Length=3455999", 13823996, u"あ", 30, u"\t\t\t\t\t"},
        {u"Length=2.5", 8, u"あ", 30, u"\t\t\t\t\t"},  // halves go to even
        {u"NoteNum=60", 100, u"あ", 36, u"\t\t\t\t\t"},
        {u"NoteNum=11\nNoteNum=181", 100, u"あ", 30, u"\t\t\t\t\t"},
        {u"Length =480\nLyric\nLyric=\nLyric= a ", 100, u" a ", 30, u"\t\t\t\t\t"},
        {u"PreUtterance=-60000\nVoiceOverlap=12.3456\nVelocity=201", 100, u"あ", 30, u":12.346:\t\t\t\t\t"},
        {u"PreUtterance=5.\nVelocity=0", 100, u"あ", 30, u"5::0\t\t\t\t\t"},
        {u"Intensity=250\nModuration=-150", 100, u"あ", 30, u"\t200\t-100\t\t\t"},
        {u"Intensity=x\nModuration=", 100, u"あ", 30, u"\t\t\t\t\t"},
        {u"Piches=20000,10,20", 100, u"あ", 30, u"\t\t\t0Q 10 20\t\t"},
        {u"Piches=10,20000,30", 100, u"あ", 30, u"\t\t\t10Q 20 30\t\t"},
        {u"Pitches=5,20000,20000,1", 100, u"あ", 30, u"\t\t\t5Q 10002.5 5001.75 1\t\t"},
        {u"Tempo=3\nStartPoint=-60000", 100, u"あ", 30, u"\t\t\t\t\tstp=-60000"},
        {u"Tempo=3.6\nPitchStart=1.23456", 100, u"あ", 30, u"\t\t\t\t\ttempo=3.6\\nPitchStart=1.235"},
        {u"Label=  0123456789012345678901  \nLabel=   ", 100, u"あ", 30, u"\t\t\t\t\tlabel=01234567890123456789"},
        {u"Envelope=0,5,35,0,100,100\nEnvelope=a,1,2,3,4,5,6,7", 100, u"あ", 30, u"\t\t\t\t\tenv=a 1 2 3 4 5 6 7"},
        {u"Flags=B5\nFlags=", 100, u"あ", 30, u"\t\t\t\t\t"},
        {u"pitches=1\nexpression=2\nOther=3\nEHV=x,y\n@a=1\n$r=A|B\nPBM=", 100, u"あ", 30,
         u"\t\t\t\t\tEHV=x y\\n@a=1\\n$r=A|B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.lines).toStdString());
        qint32 length = 100, noteNum = 30;
        QString lyric = u"あ"_s, ext;
        ParseNoteSection(u"[#0001]\n"_s + QString::fromUtf16(c.lines), length, lyric, noteNum, ext);
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(lyric, QString::fromUtf16(c.lyric));
        EXPECT_EQ(noteNum, c.noteNum);
        EXPECT_EQ(ext, QString::fromUtf16(c.ext));
    }
}

struct FileCase {
    const char* name;
    const char16_t* text;        // lines separated by LF; written with CR LF unless the name says otherwise
    float tempoIn;
    float tempo;                 // expected
    QStringList lyrics;          // expected
    QList<qint32> lengths;
};

TEST(ProjectFile, FileLevelReading) {
    const FileCase cases[] = {
        {"no settings header", u"Tempo=150\n[#0]\nLength=480\nLyric=a\n[#TRACKEND]", 120, 150, {u"a"_s}, {1920}},
        {"tempo not a number", u"[#SETTING]\nTempo=abc\n[#TRACKEND]", 97, 120, {}, {}},
        {"tempo missing keeps the caller's", u"[#SETTING]\n[#TRACKEND]", 97, 97, {}, {}},
        {"tempo missing and caller's zero", u"[#SETTING]\n[#TRACKEND]", 0, 120, {}, {}},
        {"no length gives 60", u"[#0000]\nLyric=a\n[#0001]\nLength=0\n[#TRACKEND]", 120, 120, {u"a"_s, u""_s}, {60, 60}},
        {"no track end keeps the last note", u"[#0000]\nLyric=a\n[#0001]\nLyric=b", 120, 120, {u"a"_s, u"b"_s},
         {60, 60}},
        {"lines after the track end are ignored", u"[#0]\nLyric=a\n[#TRACKEND]\n[#1]\nLyric=b", 120, 120, {u"a"_s},
         {60}},
        {"a settings header between notes keeps the note before it",
         u"[#0]\nLyric=a\n[#SETTING]\nTempo=90\n[#1]\nLyric=b\n[#SETTING]\n[#TRACKEND]", 120, 90, {u"a"_s, u"b"_s},
         {60, 60}},
        {"other settings lines are ignored", u"Tracks\nfoo=1\n\nTempo=130=x\n[#TRACKEND]", 120, 130, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString text = QString::fromUtf16(c.text);
        text.replace(u"\n"_s, u"\r\n"_s);
        ProjectSettings s;
        s.Tempo = c.tempoIn;
        NoteArrays notes = emptySong();
        qint32 index = 0;
        EXPECT_EQ(ReadProjectText(text, s, index, notes), c.lyrics.size());
        EXPECT_FLOAT_EQ(s.Tempo, c.tempo);
        EXPECT_EQ(notes.Lyrics, c.lyrics);
        if (!c.lengths.isEmpty()) EXPECT_EQ(notes.Lengths, c.lengths);
        else EXPECT_EQ(notes.Lengths, QList<qint32>{0});  // the empty song keeps its spare element
    }
}

TEST(ProjectFile, LineEndsAndSettingsErrors) {
    // CR alone and LF alone end lines too.
    ProjectSettings s;
    NoteArrays notes = emptySong();
    qint32 index = 0;
    ReadProjectText(u"[#SETTING]\rTempo=99\n[#0]\rLyric=a\nLength=10\r\n[#TRACKEND]"_s, s, index, notes);
    EXPECT_FLOAT_EQ(s.Tempo, 99);
    EXPECT_EQ(notes.Lyrics, QStringList{u"a"_s});
    EXPECT_EQ(notes.Lengths, QList<qint32>{40});

    s = ProjectSettings();
    notes = emptySong();
    index = 0;
    EXPECT_THROW(ReadProjectText(u"[#SETTING]\r\nTempo\r\n[#TRACKEND]\r\n"_s, s, index, notes), TovaError);
    index = 0;
    EXPECT_THROW(ReadProjectFile(u"/nonexistent/none.tvx"_s, s, index, notes), FileError);
    index = -1;
    EXPECT_THROW(ReadProjectText(u"[#0]\r\n[#TRACKEND]\r\n"_s, s, index, notes), InvalidCallError);
}

// A save the disk cannot take says why in words and leaves the old file as it was. The device's limit
// is the process's file-size limit here (a write beyond it fails as a full disk's does), so the test
// needs no full file system.
// Settings of a project saved empty at `path`.
ProjectSettings savedProject(const QString& path) {
    ProjectSettings s;
    s.ProjectName = u"p"_s;
    WriteProjectFile(path, s, emptySong());
    return s;
}

TEST(ProjectFile, AFailedSaveSaysWhyAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"full.tvx"_s);
    const ProjectSettings s = savedProject(path);
    const QByteArray before = test::readFile(path);
    NoteArrays big = emptySong();
    big.resizeNotes(2000);
    for (qint32 i = 0; i < 2000; ++i) big.Lyrics[i] = u"あ"_s;

    QString shown;
    {
        test::FileSizeLimit limit(4096);
        try {
            WriteProjectFile(path, s, big);
        } catch (const IoError& e) {
            shown = e.description();
        }
    }

    EXPECT_EQ(shown, path + u": ファイルが大きすぎます。"_s);
    EXPECT_EQ(test::readFile(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"full.tvx"_s});  // no temporary file left

    // A folder that does not exist is named with its reason too.
    try {
        WriteProjectFile(dir.filePath(u"gone/x.tvx"_s), s, big);
        ADD_FAILURE() << "no failure";
    } catch (const FileError& e) {
        EXPECT_EQ(e.description(), dir.filePath(u"gone/x.tvx"_s) + u": パスが見つかりません。"_s);
    }
}

TEST(ProjectFile, EmptySongStaysEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"empty.tvx"_s);
    ProjectSettings s;
    s.ProjectName = u"p"_s;
    WriteProjectFile(path, s, emptySong());
    EXPECT_EQ(test::readFile(path),
              QByteArray("[#SETTING]\r\nTempo=120.00\r\nTracks=1\r\nProjectName=p\r\nVoiceDir=\r\nOutFile=\r\n"
                         "CacheDir=\r\nTool1=\r\nTool2=\r\n[#TRACKEND]\r\n"));
    NoteArrays notes = emptySong();
    qint32 index = 0;
    EXPECT_EQ(ReadProjectFile(path, s, index, notes), 0);
    EXPECT_EQ(notes.noteCount(), 0);
}

TEST(ProjectFile, WriterRenamesOptionKeysOnly) {
    QString ext = u"::\t\t\t10 20 30\t\t"_s;
    SetNoteOption(ext, u"tempo"_s, u"140"_s);
    SetNoteOption(ext, u"label"_s, u"env stp tempo label"_s);
    SetNoteOption(ext, u"@tempo"_s, u"env"_s);
    SetNoteOption(ext, u"env"_s, u"0 5 35 0 100 100 0"_s);
    SetNoteOption(ext, u"stp"_s, u"5"_s);
    const QString section = FormatNoteSection(u"0007"_s, 1922, u"か"_s, 40, ext);
    EXPECT_EQ(section, u"[#0007]\r\nLength=480\r\nLyric=か\r\nNoteNum=64\r\nPreUtterance=\r\n"
                       "PBType=OldData\r\nPiches=10,20,30\r\nTempo=140\r\nLabel=env,stp,tempo,label\r\n"
                       "@tempo=env\r\nEnvelope=0,5,35,0,100,100,0\r\nStartPoint=5\r\n"_s);

    qint32 length = 0, noteNum = 0;
    QString lyric, back;
    ParseNoteSection(section, length, lyric, noteNum, back);
    EXPECT_EQ(GetNoteOption(back, u"label"_s), u"env stp tempo label"_s);
    EXPECT_EQ(GetNoteOption(back, u"@tempo"_s), u"env"_s);
    EXPECT_EQ(NoteExtField(back, ExtPitches), u"10 20 30"_s);  // old-kind pitch data stays old-kind

    // Current-kind pitch data loses its tempo on disk.
    const QString q = FormatNoteSection(u"0"_s, 4, u"a"_s, 0, u"\t\t\t-50Q120 0 0\t\t"_s);
    EXPECT_TRUE(q.contains(u"PBType=5\r\nPiches=-50,0,0\r\n"_s));
    back.clear();
    ParseNoteSection(q, length, lyric, noteNum, back);
    EXPECT_EQ(NoteExtField(back, ExtPitches), u"-50Q 0 0"_s);
}

TEST(ProjectFile, PitchFieldOnDisk) {
    const struct { const char16_t* field; const char16_t* lines; } cases[] = {
        {u"-50Q120 0 0", u"PBType=5\r\nPiches=-50,0,0\r\n"},
        {u"-0Q120 1", u"PBType=5\r\nPiches=0,1\r\n"},
        {u"007Q 1", u"PBType=5\r\nPiches=7,1\r\n"},
        {u"1.50Q97.5", u"PBType=5\r\nPiches=1.5\r\n"},
        {u"Q 1", u"PBType=5\r\nPiches=0,1\r\n"},
        {u"12 20000", u"PBType=OldData\r\nPiches=12,20000\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.field).toStdString());
        const QString section = FormatNoteSection(u"0"_s, 4, u"a"_s, 0, u"\t\t\t"_s + QString::fromUtf16(c.field));
        EXPECT_EQ(section, u"[#0]\r\nLength=1\r\nLyric=a\r\nNoteNum=24\r\n"_s + QString::fromUtf16(c.lines));
    }
    // Read back: old-form data stays old-form (no "Q"), so it keeps its meaning and its lines; the
    // current form gets its "Q" back; a list without a PBType line is of the current form.
    const struct { const char16_t* lines; const char16_t* field; } reads[] = {
        {u"PBType=OldData\r\nPiches=12,-30,5\r\n", u"12 -30 5"},
        {u"Piches=12,-30,5\r\nPBType=OldData\r\n", u"12 -30 5"},
        {u"PBType=5\r\nPiches=12,-30\r\n", u"12Q -30"},
        {u"Piches=12,-30\r\n", u"12Q -30"},
    };
    for (const auto& c : reads) {
        SCOPED_TRACE(QString::fromUtf16(c.lines).toStdString());
        qint32 length = 480, noteNum = 36;
        QString lyric = u"a"_s, ext;
        ParseNoteSection(u"[#0]\r\n"_s + QString::fromUtf16(c.lines), length, lyric, noteNum, ext);
        EXPECT_EQ(NoteExtField(ext, ExtPitches), QString::fromUtf16(c.field));
        if (QString::fromUtf16(c.lines).startsWith(u"PBType=OldData"_s))
            EXPECT_TRUE(FormatNoteSection(u"0"_s, length, lyric, noteNum, ext).endsWith(QString::fromUtf16(c.lines)));
    }
}

TEST(ProjectFile, SecondFileAppendsAndOverwritesNamedSettings) {
    QTemporaryDir dir;
    const QString a = dir.filePath(u"a.tvx"_s), b = dir.filePath(u"b.tvx"_s);
    test::writeFile(a, "[#SETTING]\r\nTempo=100\r\nProjectName=A\r\nVoiceDir=va\r\n[#0]\r\nLyric=a\r\n[#TRACKEND]\r\n");
    test::writeFile(b, "[#SETTING]\r\nVoiceDir=vb\r\n[#0]\r\nLyric=b\r\n[#1]\r\nLyric=c\r\n[#TRACKEND]\r\n");
    ProjectSettings s;
    NoteArrays notes = emptySong();
    qint32 index = 0;
    ReadProjectFile(a, s, index, notes);
    EXPECT_EQ(ReadProjectFile(b, s, index, notes), 3);
    EXPECT_EQ(notes.Lyrics, QStringList({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(s.ProjectName, u"A"_s);
    EXPECT_EQ(s.VoiceDir, u"vb"_s);
    EXPECT_FLOAT_EQ(s.Tempo, 100);
}

TEST(ProjectFile, FailedSaveLeavesTheOldFileAndIsReported) {
    QTemporaryDir dir;
    // A name so long that no temporary file can be made beside it.
    const QString path = dir.filePath(QString(250, u'p'));
    test::writeFile(path, "old");
    NoteArrays notes = emptySong();
    EXPECT_THROW(WriteProjectFile(path, ProjectSettings(), notes), TovaError);
    EXPECT_EQ(test::readFile(path), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    EXPECT_THROW(WriteProjectFile(dir.filePath(u"missing/x.tvx"_s), ProjectSettings(), notes), TovaError);
}

}  // namespace

// A save killed while it writes leaves its temporary file beside the project; the next save of the
// project removes it. A temporary file of a writer that still runs (another save of this program, or
// another program's) stays.
TEST(ProjectFile, TheNextSaveRemovesWhatAKilledSaveLeft) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"song.tvx"_s);
    const ProjectSettings s = savedProject(path);
    const QByteArray saved = test::readFile(path);
    QStringList killed;
    for (int i = 0; i < 3; ++i) killed << test::killedWriterLeftover(path);
    ASSERT_EQ(test::temporaryFiles(dir.path()).size(), 3);
    EXPECT_EQ(test::readFile(path), saved);
    // A writer that runs now: this process, holding its file open.
    lean::AtomicFile running(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(running.isOpen());
    const QStringList live = test::temporaryFiles(dir.path()).filter(QString::number(::getpid()) + u'-');
    ASSERT_EQ(live.size(), 1);
    // Another program's file of a name alike is no leftover of the project.
    test::writeFile(dir.filePath(u"other.tvx.1-0.tmp"_s), "not ours");

    WriteProjectFile(path, s, emptySong());
    QStringList left = test::temporaryFiles(dir.path());
    left.sort();
    EXPECT_EQ(left, (QStringList{u"other.tvx.1-0.tmp"_s} + live));
    running.cancel();
}
