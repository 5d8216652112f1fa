#include "platform/Errors.h"
#include "platform/SystemPaths.h"
#include "render/ToolLibraries.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

TEST(ToolLibraries, FindsTheNoteRendererLibrary) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString f = dir.path();
    EXPECT_EQ(ToolLibraries::FindVorsaLibrary(f), QString());
    writeFile(f + QStringLiteral("/vorsa.so.txt"), "x");
    QDir(f).mkdir(QStringLiteral("vorsa0.so"));  // a folder is no library
    EXPECT_EQ(ToolLibraries::FindVorsaLibrary(f), QString());
    writeFile(f + QStringLiteral("/vorsa12.so"), "x");
    writeFile(f + QStringLiteral("/vorsa11.so"), "x");
    EXPECT_EQ(ToolLibraries::FindVorsaLibrary(f), f + QStringLiteral("/vorsa11.so"));
    writeFile(f + QStringLiteral("/vorsa10.so"), "x");
    EXPECT_EQ(ToolLibraries::FindVorsaLibrary(f), f + QStringLiteral("/vorsa10.so"));
}

TEST(ToolLibraries, LoadsFromTheProgramFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SystemPaths::setProgramFolder(dir.path());
    ToolLibraries::instance().Unload();
    // Nothing there, then a file that is no library.
    EXPECT_THROW(ToolLibraries::instance().VorsaExec({}, nullptr), FileError);
    writeFile(dir.path() + QStringLiteral("/catena2.so"), "not a library");
    EXPECT_THROW(ToolLibraries::instance().CatenaExec({}), FileError);

    // The built note renderer: a call without arguments is refused as bad arguments (1).
    SystemPaths::setProgramFolder(programFolder());
    EXPECT_EQ(ToolLibraries::instance().VorsaExec(QStringList(13, QString()), nullptr), 1);
    SystemPaths::setProgramFolder(QString());
}

}  // namespace
}  // namespace tova::test
