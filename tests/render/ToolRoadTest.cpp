// The two roads to the tools give the same parts for the same calls, and write their numbers and
// command lines as the tools take them.
#include "RenderFixtures.h"

#include "core/Settings.h"
#include "platform/SystemPaths.h"
#include "render/LibraryToolRoad.h"
#include "render/ProgramToolRoad.h"
#include "render/ToolLibraries.h"
#include "song/PitchText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

NoteRenderCall callFor(const QString& bank, const QString& noteFile, const QString& pitch) {
    NoteRenderCall c;
    c.samplePath = bank + QStringLiteral("/a.wav");
    c.noteFile = noteFile;
    c.noteName = QStringLiteral("A3");
    c.velocity = 100;
    c.flags = QString();
    c.offset = 30;
    c.requiredLength = 400;
    c.consonant = 80;
    c.cutoff = -300;
    c.intensity = QStringLiteral("100");
    c.modulation = QStringLiteral("0");
    c.pitchText = pitch;
    c.tempo = 120;
    return c;
}

void renderSong(ToolRoad& road, const QString& bank, const QString& folder, const QString& pitch) {
    const QString out = folder + QStringLiteral("/out.wav");
    road.AppendRest(out, bank + QStringLiteral("/R.wav"), QStringLiteral("480@120.00-30.0"));
    const NoteRenderCall c = callFor(bank, folder + QStringLiteral("/note.wav"), pitch);
    road.RenderNote(c);
    road.AppendNote(out, c.noteFile, 0, QStringLiteral("480@120.00+30.0"), QStringLiteral("0 5 35 0 100 100 0 15"));
    road.AppendPatch(out, bank + QStringLiteral("/ka.wav"), 20, QStringLiteral("240@120.00+0.0"),
                     QStringLiteral("0 5 35 0 100 100 0"));
    road.AppendDirect(out, bank + QStringLiteral("/sub/i.wav"), 30, 12.5f, QStringLiteral("240@120.00"),
                      QStringLiteral("0 5 35 0 100 100 0 10"));
}

TEST(ToolRoads, LibraryAndProgramsWriteTheSameParts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SystemPaths::setProgramFolder(programFolder());
    const QString bank = dir.filePath(QStringLiteral("bank"));
    WriteFixtureBank(bank);
    // A pitch curve far longer than two blank-separated pieces, sent unencoded to the programs.
    QStringList values;
    for (int i = 0; i < 90; ++i) values << QString::number((i % 20) * 5 - 50);
    values[0] += QStringLiteral("Q120");
    const QString plainCurve = values.join(u' ');

    const QString byLibrary = dir.filePath(QStringLiteral("lib"));
    const QString byProgram = dir.filePath(QStringLiteral("prog"));
    QDir().mkpath(byLibrary);
    QDir().mkpath(byProgram);
    LibraryToolRoad library(nullptr);
    ProgramToolRoad programs(programFolder() + QStringLiteral("/catena"), programFolder() + QStringLiteral("/vorsa"));
    renderSong(library, bank, byLibrary, plainCurve);
    renderSong(programs, bank, byProgram, plainCurve);

    for (const char* part : {"/out.wav.whd", "/out.wav.dat", "/note.wav"}) {
        SCOPED_TRACE(part);
        const QByteArray a = readFile(byLibrary + QString::fromLatin1(part));
        ASSERT_GE(a.size(), 44);
        EXPECT_EQ(a, readFile(byProgram + QString::fromLatin1(part)));
    }
    // The curve reached the note renderer whole: the same note without it differs.
    const QString flat = dir.filePath(QStringLiteral("flat.wav"));
    library.RenderNote(callFor(bank, flat, QString()));
    EXPECT_NE(readFile(flat), readFile(byLibrary + QStringLiteral("/note.wav")));

    EXPECT_EQ(ToolLibraries::instance().AppendFiles(byLibrary + QStringLiteral("/out.wav.whd"),
                                                    byLibrary + QStringLiteral("/out.wav.dat"),
                                                    byLibrary + QStringLiteral("/out.wav")),
              0);
    EXPECT_EQ(readFile(byLibrary + QStringLiteral("/out.wav")),
              readFile(byLibrary + QStringLiteral("/out.wav.whd")) + readFile(byLibrary + QStringLiteral("/out.wav.dat")));
    SystemPaths::setProgramFolder(QString());
}

TEST(ToolRoads, NoteRendererArgumentsOfTheLibrary) {
    NoteRenderCall c = callFor(QStringLiteral("/v"), QStringLiteral("/c/0_a_A3_400.wav"), QString());
    c.velocity = 85;
    c.offset = 12.34567f;
    c.requiredLength = 550;
    c.tempo = 98.5f;
    const QStringList empty = LibraryToolRoad::VorsaArguments(c);
    ASSERT_EQ(empty.size(), 13);
    EXPECT_EQ(empty.mid(2, 5), (QStringList{"A3", "85.0", "", "12.3457", "550.0"}));
    EXPECT_EQ(empty[11], QStringLiteral("!98.5"));
    EXPECT_EQ(empty[12], QStringLiteral("AA#2#"));

    // With the setting off the note's curve would be a long plain list; the library gets it compact and
    // whole whatever the setting says.
    settings().EncodePitchData = false;
    c.pitchText = QStringLiteral("5Q120 1 2 3 3 3 3 -7");
    const QStringList sent = LibraryToolRoad::VorsaArguments(c);
    EXPECT_EQ(sent[11], QStringLiteral("!120"));
    EXPECT_EQ(DecodePitchText(sent[11] + u' ' + sent[12]), c.pitchText);
    // An old curve without tempo keeps all its values too: the first and all the rest.
    c.pitchText = QStringLiteral("1 2 3 4");
    const QStringList old = LibraryToolRoad::VorsaArguments(c);
    EXPECT_EQ(old[11], QStringLiteral("1"));
    EXPECT_EQ(old[12], QStringLiteral("2 3 4"));
    settings() = Settings{};

    EXPECT_EQ(LibraryToolRoad::EnvelopeTokens(QStringLiteral("0 5 35 0 100 100 0")),
              (QStringList{"0", "5", "35", "0", "100", "100", "0", "", "", "", ""}));
    EXPECT_EQ(LibraryToolRoad::EnvelopeTokens(QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12")).size(), 11);
}

TEST(ToolRoads, ProgramCommandLines) {
    ProgramToolRoad road(QStringLiteral("/p/catena"), QStringLiteral("/p/my vorsa"));
    NoteRenderCall c = callFor(QStringLiteral("/v"), QStringLiteral("/c/n.wav"), QString());
    c.requiredLength = 550;
    EXPECT_EQ(road.RenderLine(c),
              QStringLiteral("\"/p/my vorsa\" \"/v/a.wav\" \"/c/n.wav\" A3 100.0 \"\" 30.0 550 80.0 -300.0 100 0 "));
    EXPECT_EQ(road.RestLine(QStringLiteral("o.wav"), QStringLiteral("/v/R.wav"), QStringLiteral("480.0")),
              QStringLiteral("\"/p/catena\" \"o.wav\" \"/v/R.wav\" 0 480.0 0 0"));
    EXPECT_EQ(road.AppendLine(QStringLiteral("o.wav"), QStringLiteral("/c/n.wav"), 12.5f, QStringLiteral("480@120.00+30.0"),
                              QStringLiteral("0 5 35 0 100 100 0 15")),
              QStringLiteral("\"/p/catena\" \"o.wav\" \"/c/n.wav\" 12.5 480@120.00+30.0 0 5 35 0 100 100 0 15"));
    EXPECT_EQ(road.PatchLine(QStringLiteral("o.wav"), QStringLiteral("R.wav"), 0, QStringLiteral("100.0"), QStringLiteral("e")),
              QStringLiteral("\"/p/catena\" \"o.wav\" \"R.wav\" 0 100.0 e"));
    EXPECT_EQ(road.DirectLine(QStringLiteral("o.wav"), QStringLiteral("/v/a.wav"), 30, 12.5f, QStringLiteral("100.0"),
                              QStringLiteral("e")),
              QStringLiteral("\"/p/catena\" \"o.wav\" \"/v/a.wav\" 42.5 100.0 e"));
}

}  // namespace
}  // namespace tova::test
