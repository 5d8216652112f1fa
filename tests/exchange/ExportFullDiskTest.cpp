// The exports on a full disk: the file chosen keeps its old content, the failure is shown in words
// and nothing says the file was made.
#include "exchange/SongExport.h"
#include "platform/FakePorts.h"
#include "platform/SystemErrorText.h"
#include "song/Song.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace tova;

TEST(ExportFullDisk, EveryFormKeepsTheOldFileAndSaysWhy) {
    for (const char* name : {"x.mid", "x.stm", "x.aqu", "x.vsq"}) {
        SCOPED_TRACE(name);
        ScopedFakePorts ports;
        QTemporaryDir dir;
        Song song;
        song.resizeNotes(40);
        for (int i = 0; i < 40; ++i) {
            song.Lyrics[i] = QStringLiteral("さ");
            song.Lengths[i] = 480;
            song.NoteNums[i] = 60;
        }
        song.ProjectName = QStringLiteral("name");
        const QString path = dir.filePath(QString::fromLatin1(name));
        test::writeFile(path, "old export");
        ports.fileDialog.answers.enqueue(path);
        {
            test::FileSizeLimit limit(40);
            SongExport(song).mnSaveExport_Click();
        }
        EXPECT_EQ(test::readFile(path), QByteArray("old export"));
        ASSERT_FALSE(ports.messageBox.shown.isEmpty());
        EXPECT_TRUE(ports.messageBox.lastText().contains(SystemErrorText(EFBIG))) << ports.messageBox.lastText().toStdString();
        EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});
    }
}
