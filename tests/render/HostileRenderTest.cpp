// Hostile projects on the three render roads: values that would break a batch line or a command line
// are refused before anything is written or deleted, and what may pass renders without touching any
// other file.
#include "RenderRoadFixture.h"

#include "render/ToolTrust.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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
    writeFile(evil, (u"#!/bin/sh\necho ran >> '"_s + mark + u"'\n"_s).toUtf8());
    QFile::setPermissions(evil, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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

}  // namespace
}  // namespace tova::test
