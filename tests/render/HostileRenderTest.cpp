// Hostile projects on the three render roads: values that would break a batch line or a command line
// are refused before anything is written or deleted, and what may pass renders without touching any
// other file.
#include "RenderRoadFixture.h"

#include "render/AliasLookup.h"
#include "render/RenderNotePlan.h"
#include "render/ToolTrust.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace tova::test {
namespace {

using namespace Qt::Literals::StringLiterals;

class HostileRenderTest : public RenderRoadFixture {
protected:
    void SetUp() override {
        RenderRoadFixture::SetUp();
        canary = dir.filePath(u"canary"_s);
        writeFile(canary + u"/victim.txt"_s, "keep me");
        writeFile(canary + u"/sub/victim2.txt"_s, "keep me too");
        writeFile(canary + u"/x.wav"_s, "not a wave");
        before = treeHash(canary);
    }

    // Names, sizes and contents of every file and folder under a folder.
    static QByteArray treeHash(const QString& folder) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QStringList entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) entries << it.next();
        entries.sort();
        for (const QString& entry : entries) {
            hash.addData(entry.toUtf8());
            hash.addData(readFile(entry));
        }
        return hash.result().toHex();
    }

    // A program that only leaves a line in `mark` when it runs.
    static void writeMarkingProgram(const QString& path, const QString& mark) {
        writeFile(path, (u"#!/bin/sh\necho ran >> '"_s + mark + u"'\n"_s).toUtf8());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QString canary;
    QByteArray before;
};

struct HostileCase {
    const char* what;
    std::function<void(Song&, QString& output, const QString& canary)> apply;
};

TEST_F(HostileRenderTest, ValuesThatWouldBreakALineAreRefusedBeforeAnythingIsTouched) {
    const HostileCase cases[] = {
        {"quotes in the output name",
         [](Song&, QString& out, const QString& c) {
             out = out + u"\" \""_s + c + u"/victim.txt\" \""_s + c + u"/sub/victim2.txt\" \""_s + c + u"/x.wav"_s;
         }},
        {"a variable in the output name", [](Song&, QString& out, const QString&) { out.replace(u"out"_s, u"%tool%"_s); }},
        {"a line break in the output name",
         [](Song&, QString& out, const QString& c) { out += u"\r\n@del \""_s + c + u"/victim.txt\""_s; }},
        {"a line break in the project name",
         [](Song& s, QString&, const QString& c) { s.ProjectName = u"x\n@del \""_s + c + u"/victim.txt\""_s; }},
        {"quotes in tool 1", [](Song& s, QString&, const QString& c) { s.Tool1 += u"\" \""_s + c + u"/x.wav"_s; }},
        {"quotes in the project flags", [](Song& s, QString&, const QString&) { s.ProjectFlags = u"B50\" \"x"_s; }},
        {"a variable in the project's cache folder",
         [](Song& s, QString&, const QString&) {
             s.ProjectPath.replace(u"song.tvx"_s, u"s%output%.tvx"_s);
             s.CacheDir = s.ProjectPath.chopped(4) + u".cache"_s;
         }},
        {"quotes in a note's flags", [](Song& s, QString&, const QString&) { s.NoteExt[1] = u"\t\t\t\tg\"x\t"_s; }},
        {"a control character in a note's flags", [](Song& s, QString&, const QString&) { s.NoteExt[3] = u"\t\t\t\tg\x1b\t"_s; }},
        {"a variable of the note that expands another",
         [](Song& s, QString&, const QString&) { s.NoteExt[0] = u"\t\t\t\t\t@x=%output%"_s; }},
        {"a line break in a note's envelope",
         [](Song& s, QString&, const QString&) { s.NoteExt[4] = u"\t\t\t\t\tenv=0 5 35 0 100 100 0\r\ndel x"_s; }},
    };
    // A stale output of the same name must survive a refused render too.
    const QString stale = dir.filePath(u"out.wav"_s);
    const QString name = song.ProjectName, tool1 = song.Tool1, flags = song.ProjectFlags, cacheDir = song.CacheDir,
                  path = song.ProjectPath;
    const QStringList ext = song.NoteExt;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        for (const HostileCase& c : cases) {
            SCOPED_TRACE(std::string(roadName(road)) + ": " + c.what);
            song.ProjectName = name;
            song.Tool1 = tool1;
            song.ProjectFlags = flags;
            song.CacheDir = cacheDir;
            song.ProjectPath = path;
            song.NoteExt = ext;
            useRoad(road);
            writeFile(stale, "an older output");
            QString output = stale;
            c.apply(song, output, canary);
            const QString shown = generate(output);
            EXPECT_TRUE(shown.contains(u"使えない文字"_s)) << shown.toStdString();
            EXPECT_EQ(treeHash(canary), before);
            EXPECT_EQ(readFile(stale), QByteArray("an older output"));
            EXPECT_FALSE(QFile::exists(TempFolder + u"/temp.bat"_s));
            EXPECT_FALSE(QFile::exists(TempFolder + u"/temp_helper.bat"_s));
            EXPECT_TRUE(takeRendered().isEmpty());
        }
    }
}

// Characters that a command processor would take as operators stay plain text for the batch runner:
// the batch is written, run, and touches nothing but its output and cache. ("|", "<" and ">" cannot
// stand in a file name of the program; they stand in the batch's comment and a batch variable.)
TEST_F(HostileRenderTest, OperatorCharactersRenderWithoutTouchingAnythingElse) {
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        clearCache();
        song.ProjectName = u"a & b | c > d"_s;
        song.NoteExt[0] = u"\t\t\t\t\t@x=&del ..\\canary\\victim.txt | x > y < z"_s;
        const QString output = dir.filePath(u"o & u ^ ! ; ' (1).wav"_s);
        EXPECT_EQ(generate(output), output + u"を作成しました。"_s);
        EXPECT_GT(WaveDurationMs(readFile(output)), 1000);
        EXPECT_EQ(treeHash(canary), before);
    }
}

// A project naming a program of its own: asked about once per path, the answer kept in the settings.
TEST_F(HostileRenderTest, AProjectsOwnProgramRunsOnlyWhenTheUserAllowsIt) {
    const QString evil = dir.filePath(u"downloads/evil.sh"_s);
    const QString mark = dir.filePath(u"ran"_s);
    writeMarkingProgram(evil, mark);
    // Another spelling of the same path is the same program.
    const QString spelt = dir.filePath(u"downloads/../downloads/./evil.sh"_s);
    for (Road road : {Road::Batch, Road::Program}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        settings().AcceptedTools.clear();
        settings().RefusedTools.clear();
        song.Tool2 = evil;
        const QString output = dir.filePath(u"evil.wav"_s);
        QFile::remove(output);

        // Refused: nothing runs, and the render says it was stopped.
        ports.messageBox.answers.enqueue(MsgResult::No);
        EXPECT_EQ(generate(output), u"wavファイルの生成を中断しました。"_s);
        ASSERT_EQ(ports.messageBox.shown.size(), 2);
        EXPECT_TRUE(ports.messageBox.shown[0].text.contains(QFileInfo(evil).canonicalFilePath()));
        EXPECT_EQ(ports.messageBox.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_FALSE(QFile::exists(mark));
        EXPECT_FALSE(QFile::exists(output));

        // The refusal is kept: no question again, the user is told why nothing runs.
        song.Tool2 = spelt;
        generate(output);
        EXPECT_NE(ports.messageBox.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_TRUE(ports.messageBox.shown[0].text.contains(u"実行しない"_s));
        EXPECT_FALSE(QFile::exists(mark));

        // Chosen in the project settings, it runs without a question from then on.
        AcceptTool(evil);
        generate(output);
        EXPECT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_TRUE(QFile::exists(mark));
        QFile::remove(mark);
    }
    // The program folder's own tools and the settings' tool paths never ask.
    settings().AcceptedTools.clear();
    EXPECT_TRUE(IsTrustedTool(programFolder() + u"/vorsa"_s));
    EXPECT_TRUE(IsTrustedTool(programFolder() + u"/catena"_s));
    EXPECT_FALSE(IsTrustedTool(evil));
    settings().Tool2Path = spelt;
    EXPECT_TRUE(IsTrustedTool(evil));
}

// A note option "@name=value" sets a batch variable for that note: never one the render runs a program,
// batch or path from, nor one a started program's loader reads. Refused before anything is written, on
// every road, with the note and the option named; a variable of the note's own still renders.
TEST_F(HostileRenderTest, NoteOptionsCannotSetTheRendersProgramsOrPaths) {
    const QString victim = canary + u"/victim.txt"_s;
    const QString evil = u"/bin/rm"_s;
    const QString reserved[] = {
        u"@tool="_s + evil,        u"@vorsa="_s + evil,       u"@helper=../canary/x.bat"_s,
        u"@output="_s + victim,    u"@oto="_s + canary,       u"@cachedir="_s + canary,
        u"@temp="_s + victim,      u"@TOOL="_s + evil,        u"@ Vorsa ="_s + evil,
        u"@Output="_s + victim,    u"@PATH="_s + canary,      u"@LD_PRELOAD="_s + victim,
        u"@ld_library_path="_s + canary, u"@GCONV_PATH="_s + canary, u"@TMPDIR="_s + canary,
        u"@HOME="_s + canary,      u"@GLIBC_TUNABLES=x"_s,    u"@MALLOC_CHECK_=3"_s,
    };
    const QString stale = dir.filePath(u"out.wav"_s);
    const QStringList ext = song.NoteExt;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        useRoad(road);
        for (const QString& option : reserved) {
            SCOPED_TRACE(std::string(roadName(road)) + ": " + option.toStdString());
            song.NoteExt = ext;
            // Between variables a note may set, in the note's option list.
            song.NoteExt[3] = ext[3] + OptionSeparator() + u"@mine=1"_s + OptionSeparator() + option;
            writeFile(stale, "an older output");
            const QString shown = generate(stale);
            EXPECT_TRUE(shown.contains(u"ノート3"_s)) << shown.toStdString();
            EXPECT_TRUE(shown.contains(option.section(u'=', 0, 0))) << shown.toStdString();
            EXPECT_EQ(treeHash(canary), before);
            EXPECT_EQ(readFile(stale), QByteArray("an older output"));
            EXPECT_FALSE(QFile::exists(TempFolder + u"/temp.bat"_s));
            EXPECT_TRUE(takeRendered().isEmpty());
        }
    }
    // The variables a note is meant to set: its own names, and the per-note tool arguments.
    song.NoteExt = ext;
    song.NoteExt[3] += OptionSeparator() + u"@mine=1"_s + OptionSeparator() + u"@tools=x"_s + OptionSeparator() +
                       u"@flag=g-5"_s;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        clearCache();
        EXPECT_EQ(generate(stale), stale + u"を作成しました。"_s);
        EXPECT_GT(WaveDurationMs(readFile(stale)), 1000);
    }
    EXPECT_EQ(treeHash(canary), before);
}

// A note variable's name is made of ASCII letters, digits and "_", and compares with the render's own
// names without regard to ASCII case only. A dotless "ı" once made "cachedır" pass as a name of the note's
// own while the runner took it for "CACHEDIR": the per-note batch then deleted the note's files in the
// folder the note named, and the clearing line after the note left the later notes without their cache.
// Such a name, an empty one or an entry without "=" is refused before anything is written, naming the
// note, on every road; nothing outside the project is deleted and the later notes' cache stays.
TEST_F(HostileRenderTest, NoteVariablesWithoutAPlainNameAreRefusedOnEveryRoad) {
    writeFile(canary + u"/1_victim.wav"_s, "a note file of another folder");
    before = treeHash(canary);
    const QString cache = QDir(root).filePath(u"my songs/song.cache"_s);
    const QString entries[] = {u"@cachedır="_s + canary, u"@TMPDıR="_s + canary, u"@TZDıR="_s + canary,
                               u"@=x"_s, u"@mine"_s, u"@na me=1"_s};
    const QString output = dir.filePath(u"out.wav"_s);
    const QStringList ext = song.NoteExt;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        useRoad(road);
        clearCache();
        song.NoteExt = ext;
        ASSERT_EQ(generate(output), output + u"を作成しました。"_s) << roadName(road);
        // The cache of the notes after the hostile one, as the first render left it.
        const QStringList later = QDir(cache).entryList({u"3_*.wav"_s, u"4_*.wav"_s}, QDir::Files, QDir::Name);
        ASSERT_EQ(later.size(), 2) << roadName(road);
        takeRendered();
        for (const QString& entry : entries) {
            SCOPED_TRACE(std::string(roadName(road)) + ": " + entry.toStdString());
            // The hostile note's own cache is gone, so that its per-note batch would render it anew.
            for (const QString& f : QDir(cache).entryList({u"1_*.wav"_s}, QDir::Files)) QFile::remove(cache + u'/' + f);
            song.NoteExt = ext;
            song.NoteExt[1] = ext[1] + OptionSeparator() + u"@mine=1"_s + OptionSeparator() + entry;
            const QString shown = generate(output);
            EXPECT_TRUE(shown.contains(u"ノート1"_s)) << shown.toStdString();
            EXPECT_TRUE(shown.contains(u"「"_s + entry.section(u'=', 0, 0) + u"」"_s)) << shown.toStdString();
            EXPECT_EQ(treeHash(canary), before);
            EXPECT_EQ(QDir(cache).entryList({u"3_*.wav"_s, u"4_*.wav"_s}, QDir::Files, QDir::Name), later);
            EXPECT_TRUE(takeRendered().isEmpty());
        }
    }
    song.NoteExt = ext;
}

// The same entries in a saved project: opening it drops them and names each; the song then renders on
// every road, the same wave, and deletes nothing outside the project.
TEST_F(HostileRenderTest, VariablesAProjectCannotHoldAreDroppedAtOpenAndEveryRoadRendersTheSame) {
    writeFile(canary + u"/1_victim.wav"_s, "a note file of another folder");
    before = treeHash(canary);
    const QString entries[] = {u"@cachedır="_s + canary, u"@TMPDıR="_s + canary, u"@TZDıR="_s + canary,
                               u"@=x"_s, u"@mine"_s, u"@na-me=1"_s};
    const QStringList ext = song.NoteExt;
    for (const QString& entry : entries) song.NoteExt[1] += OptionSeparator() + entry;
    song.NoteExt[1] += OptionSeparator() + u"@own=1"_s;
    WriteProjectFile(project, song.projectSettings(), song);
    song.NoteExt = ext;
    ProjectSettings settings = song.projectSettings();
    NoteArrays opened;
    QStringList problems;
    qint32 index = 0;
    ReadProjectFile(project, settings, index, opened, &problems);
    ASSERT_EQ(index, song.noteCount());
    EXPECT_EQ(GetNoteAtEntries(opened.NoteExt[1]), u"@own=1\r\n"_s);
    ASSERT_EQ(problems.size(), std::size(entries));
    for (qsizetype i = 0; i < problems.size(); ++i)
        EXPECT_TRUE(problems[i].contains(u"「"_s + entries[i].section(u'=', 0, 0) + u"」"_s)) << problems[i].toStdString();
    song.NoteExt = opened.NoteExt;
    QByteArray first;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        clearCache();
        const QString output = dir.filePath(u"out "_s + QString::fromLatin1(roadName(road)) + u".wav"_s);
        EXPECT_EQ(generate(output), output + u"を作成しました。"_s);
        const QByteArray wave = readFile(output);
        if (first.isEmpty()) first = wave;
        EXPECT_TRUE(wave == first) << "the wave differs from the batch road's";
        EXPECT_EQ(treeHash(canary), before);
    }
    song.NoteExt = ext;
}

// The variables a note sets are batch variables: they never reach the environment of a program the
// render starts, whatever their name, so a tool 2 written in a script language runs no code the song
// names. Seen by a tool 2 that records its environment, on the roads that start programs.
TEST_F(HostileRenderTest, NoteVariablesNeverReachAStartedProgramsEnvironment) {
    const QString seen = dir.filePath(u"environment.txt"_s);
    const QString recorder = dir.filePath(u"tools/vorsa recorded"_s);
    writeFile(recorder, (u"#!/bin/sh\nenv >> '"_s + seen + u"'\nexec '"_s + programFolder() + u"/vorsa' \"$@\"\n"_s).toUtf8());
    QFile::setPermissions(recorder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    AcceptTool(recorder);
    const QString tool2 = song.Tool2;
    song.Tool2 = recorder;
    const char* names[] = {"PYTHONPATH", "PYTHONSTARTUP", "PYTHONHOME",   "PERL5OPT", "PERL5LIB", "NODE_OPTIONS",
                           "NODE_PATH",  "RUBYOPT",       "RUBYLIB",      "JAVA_TOOL_OPTIONS",   "SHELLOPTS",
                           "BASHOPTS",   "PS4",           "PROMPT_COMMAND", "LUA_INIT", "mine"};
    const QStringList ext = song.NoteExt;
    for (const char* name : names)
        song.NoteExt[1] += OptionSeparator() + u'@' + QString::fromLatin1(name) + u"=tova-marker-"_s + QString::fromLatin1(name);
    const QString output = dir.filePath(u"out.wav"_s);
    for (Road road : {Road::Batch, Road::Program}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        clearCache();
        QFile::remove(seen);
        EXPECT_EQ(generate(output), output + u"を作成しました。"_s);
        const QByteArray recorded = readFile(seen);
        ASSERT_FALSE(recorded.isEmpty());
        EXPECT_FALSE(recorded.contains("tova-marker")) << recorded.toStdString();
    }
    song.NoteExt = ext;
    song.Tool2 = tool2;
}

// A tool is an existing file named by its full path: a bare program name would be found on the search
// path by whatever starts it, a missing file could appear later. Refused with its name said, nothing runs.
TEST_F(HostileRenderTest, ToolsThatNameNoFileAreRefusedBeforeTheRender) {
    const QString mark = dir.filePath(u"ran"_s);
    const QString shim = dir.filePath(u"bin/rm"_s);
    writeMarkingProgram(shim, mark);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(u"bin"_s)) + ':' + path);
    const QString tool1 = song.Tool1, tool2 = song.Tool2;
    const struct {
        const char* what;
        QString tool1, tool2;
        QString named;
    } cases[] = {
        {"a bare name as tool 1", u"rm"_s, tool2, u"rm"_s},
        {"a bare name as tool 2", tool1, u"rm"_s, u"rm"_s},
        {"the program's own tool without its folder", u"catena"_s, tool2, u"catena"_s},
        {"a relative path", u"bin/rm"_s, tool2, u"bin/rm"_s},
        {"a path that names no file", tool1, dir.filePath(u"nowhere/vorsa"_s), dir.filePath(u"nowhere/vorsa"_s)},
        {"a folder", dir.filePath(u"bin"_s), tool2, dir.filePath(u"bin"_s)},
    };
    for (Road road : {Road::Batch, Road::Program}) {
        useRoad(road);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(roadName(road)) + ": " + c.what);
            song.Tool1 = c.tool1;
            song.Tool2 = c.tool2;
            const QString output = dir.filePath(u"out.wav"_s);
            QFile::remove(output);
            EXPECT_EQ(generate(output), u"wavファイルの生成を中断しました。"_s);
            ASSERT_EQ(ports.messageBox.shown.size(), 2);
            EXPECT_TRUE(ports.messageBox.shown[0].text.contains(u"「"_s + c.named + u"」が見つかりません"_s))
                << ports.messageBox.shown[0].text.toStdString();
            EXPECT_FALSE(QFile::exists(mark));
            EXPECT_FALSE(QFile::exists(output));
            EXPECT_TRUE(takeRendered().isEmpty());
        }
    }
    qputenv("PATH", path);
    song.Tool1 = tool1;
    song.Tool2 = tool2;
}

// A lyric or an oto alias that climbs out of the voice folder, or names a rooted path, reads no wave
// elsewhere and writes no frequency table beside one: the note has no sample, the render goes on.
TEST_F(HostileRenderTest, SamplePathsFromLyricsAndAliasesStayInsideTheVoiceFolder) {
    writeFile(canary + u"/victim.wav"_s, readFile(bank + u"/a.wav"_s));
    QFile oto(bank + u"/oto.ini"_s);
    ASSERT_TRUE(oto.open(QIODevice::Append));
    oto.write("..\\canary\\victim.wav=evil,30,80,-300,60,15\r\n");
    oto.close();
    LoadOtoIni(bank);
    before = treeHash(canary);
    const QString lyrics[] = {u"..\\canary\\victim"_s, u"../canary/victim"_s, u"sub/../../canary/victim"_s,
                              canary + u"/victim"_s, u"evil"_s};
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        useRoad(road);
        for (const QString& lyric : lyrics) {
            SCOPED_TRACE(std::string(roadName(road)) + ": " + lyric.toStdString());
            clearCache();
            song.Lyrics[0] = lyric;
            const QString output = dir.filePath(u"climb.wav"_s);
            generate(output);
            EXPECT_EQ(treeHash(canary), before);
            EXPECT_FALSE(takeRendered().isEmpty());  // the other notes still render
        }
    }
}

// A "$patch" note plays a wave of the project's folder; one that names a place outside it (climbing out
// or rooted) plays silence, exactly as a patch whose file is missing, on every road. The wave inside
// the folder shows that a played patch does change the output.
TEST_F(HostileRenderTest, PatchWavesStayInsideTheProjectFolder) {
    const QByteArray wave = readFile(bank + u"/a.wav"_s);
    writeFile(canary + u"/victim.wav"_s, wave);
    writeFile(root + u"/my songs/inside.wav"_s, wave);
    const QString outside[] = {u"../canary/victim.wav"_s, u"..\\canary\\victim.wav"_s, u"x/../../canary/victim.wav"_s,
                               canary + u"/victim.wav"_s};
    const QString output = dir.filePath(u"patch.wav"_s);
    const auto render = [&](const QString& patch) {
        clearCache();
        song.NoteExt[0] = u"\t\t\t\t\t$patch="_s + patch;
        generate(output);
        return readFile(output);
    };
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        useRoad(road);
        SCOPED_TRACE(roadName(road));
        const QByteArray silent = render(u"missing.wav"_s);
        ASSERT_FALSE(silent.isEmpty());
        EXPECT_NE(render(u"inside.wav"_s), silent);
        for (const QString& patch : outside) {
            SCOPED_TRACE(patch.toStdString());
            EXPECT_EQ(render(patch), silent);
            if (road == Road::Batch) EXPECT_FALSE(readFile(TempFolder + u"/temp.bat"_s).contains("canary"));
        }
    }
}

// A song never saved has no folder: its patch plays silence rather than a file of whatever folder the
// program was started in.
TEST(PatchPath, ASongNeverSavedPlaysNoPatch) {
    QTemporaryDir dir;
    writeFile(dir.filePath(u"a.wav"_s), "RIFF");
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    RenderNotePlan n;
    n.patch = u"a.wav"_s;
    EXPECT_EQ(n.patchPath(QString()), u"R.wav"_s);
    EXPECT_EQ(n.patchPath(dir.filePath(u"song.tvx"_s)), dir.filePath(u"a.wav"_s));
    QDir::setCurrent(saved);
}

// Temporary files of killed renders ("<name>.<process>-<count>.tmp" beside the files the render writes)
// go at the next render; files of any other form, or of a process still running, stay.
TEST_F(HostileRenderTest, LeftoversOfKilledRendersAreRemovedAtTheNextRender) {
    // A process id no running process has (above any system's largest).
    const QString dead = u"2147480000"_s;
    const QString alive = QString::number(QCoreApplication::applicationPid());
    const QString outFolder = dir.filePath(u"out put"_s);
    const QString cache = QDir(root).filePath(u"my songs/song.cache"_s);
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        const QString output = outFolder + u"/o.wav"_s;
        // The note files are made in the batch's folder, or in the cache folder by the in-process roads.
        const QString noteFolder = road == Road::Batch ? TempFolder : cache;
        const QStringList leftovers = {
            outFolder + u"/o.wav."_s + dead + u"-0.tmp"_s,
            outFolder + u"/o.wav.whd."_s + dead + u"-3.tmp"_s,
            noteFolder + u"/temp$$$4.wav."_s + dead + u"-12.tmp"_s,
            noteFolder + u"/temp$$$.wav."_s + dead + u"-1.tmp"_s,
            cache + u"/1_ka_G3_700.wav."_s + dead + u"-2.tmp"_s,
        };
        const QStringList kept = {
            outFolder + u"/o.wav."_s + alive + u"-0.tmp"_s,     // a render under way
            outFolder + u"/other.wav."_s + dead + u"-0.tmp"_s,  // not this render's file
            outFolder + u"/o.wav.tmp"_s,
            outFolder + u"/o.wav.12a-0.tmp"_s,
            outFolder + u"/o.wav."_s + dead + u"-0.tmp.bak"_s,
            TempFolder + u"/temp$$$x.wav."_s + dead + u"-1.tmp"_s,
            noteFolder + u"/notes.txt."_s + dead + u"-1.tmp"_s,
            cache + u"/notes.txt."_s + dead + u"-1.tmp"_s,
        };
        for (const QString& f : leftovers + kept) writeFile(f, "partial");
        // A link of the form is not followed nor removed.
        const QString link = outFolder + u"/o.wav.dat."_s + dead + u"-0.tmp"_s;
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(canary + u"/victim.txt"_s, link));
        EXPECT_EQ(generate(output), output + u"を作成しました。"_s);
        for (const QString& f : leftovers) EXPECT_FALSE(QFile::exists(f)) << f.toStdString();
        for (const QString& f : kept) EXPECT_EQ(readFile(f), QByteArray("partial")) << f.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(treeHash(canary), before);
        QDir(outFolder).removeRecursively();
    }
}

// A render whose files the disk cannot take names the output and the reason. The device's limit is the
// process's file-size limit here (inherited by the tools; a write beyond it fails as a full disk's
// does), so the test needs no full file system.
TEST_F(HostileRenderTest, ARenderTheDiskCannotTakeNamesTheFileAndTheReason) {
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        clearCache();
        const QString output = dir.filePath(u"full/out.wav"_s);
        QDir().mkpath(dir.filePath(u"full"_s));
        rlimit small = old;
        small.rlim_cur = 32 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString shown = generate(output);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(shown, output + u" を書き込めませんでした。ファイルが大きすぎます。"_s);
        EXPECT_FALSE(QFile::exists(output));
        // The trial leaves nothing behind.
        EXPECT_EQ(QDir(dir.filePath(u"full"_s)).entryList({u"*.tmp"_s}, QDir::Files), QStringList());
    }
    std::signal(SIGXFSZ, previousSignal);
}

}  // namespace
}  // namespace tova::test
