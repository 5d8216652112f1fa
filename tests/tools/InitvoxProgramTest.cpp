// The generator program as the generator batch calls it: it makes a missing or incomplete bank,
// leaves a complete one alone and gives every spoken sample a frequency table.
#include "platform/Cp932.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString output;
};

ProgramRun initvox(const QString& folder, const QStringList& arguments) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tova::test::programFolder() + "/voice/cantu/initvox", arguments);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

}  // namespace

TEST(InitvoxProgram, MakesAnIncompleteBankAndLeavesACompleteOneAlone) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    tova::test::writeFile(folder + "/initvox.txt", "voice=ja+f5\nspeed=80\npitch=70\nname=cantu\nあ あー\nR\n");
    tova::test::writeFile(folder + "/bad.txt", "voice=ja+f5\nname=cantu\n");

    EXPECT_EQ(initvox(folder, {}).exitCode, 1);
    EXPECT_EQ(initvox(folder, {"bad.txt"}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(folder + "/oto.ini"));

    // Without the note renderer the bank is made and the tables are missing.
    ProgramRun run = initvox(folder, {"initvox.txt", "..\\nowhere\\vorsa.exe"});
    EXPECT_EQ(run.exitCode, 3) << run.output.toStdString();
    for (const char* file : {"あ.wav", "R.wav", "oto.ini", "character.txt"}) EXPECT_TRUE(QFile::exists(folder + "/" + QString::fromUtf8(file))) << file;
    EXPECT_FALSE(QFile::exists(folder + "/あ_wav.frq"));

    // A complete bank is left as it is; only the missing table is made (a Windows-style program name
    // finds the program).
    const QByteArray edited = tova::test::readFile(folder + "/oto.ini") + "あ.wav=,1,2,3,4,5\r\n";
    tova::test::writeFile(folder + "/oto.ini", edited);
    QFile::link(tova::test::programFolder() + "/vorsa", folder + "/vorsa");
    run = initvox(folder, {"initvox.txt", ".\\vorsa.exe"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(tova::test::readFile(folder + "/oto.ini"), edited);
    EXPECT_TRUE(QFile::exists(folder + "/あ_wav.frq"));
    EXPECT_FALSE(QFile::exists(folder + "/R_wav.frq")) << "silence has no pitch to tabulate";

    // A missing sample makes the whole bank again.
    QFile::remove(folder + "/R.wav");
    run = initvox(folder, {"initvox.txt", "vorsa"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/R.wav"));
    EXPECT_NE(tova::test::readFile(folder + "/oto.ini"), edited);
    EXPECT_TRUE(QFile::exists(folder + "/あ_wav.frq"));
}
