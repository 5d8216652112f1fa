// Each writer of the core library on a full disk (a file size limit): the old file stays whole, the
// failure is told in words, nothing is reported as done and no temporary file stays behind.
#include "core/CaptionFiles.h"
#include "core/FakeWindow.h"
#include "core/SettingsFile.h"
#include "core/WaveFiles.h"
#include "core/clsIniFile.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "platform/SystemErrorText.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"
#include "ProgramFolderFixture.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace tova {
namespace {

using namespace Qt::StringLiterals;

class FullDiskCoreWriters : public test::ProgramFolderFixture {
protected:
    ScopedFakePorts ports;
    const QString full = SystemErrorText(EFBIG);  // what a file size limit makes the writer say
    // No temporary file of the writer in the folder of `path`.
    void noLeftovers(const QString& path) {
        EXPECT_EQ(test::temporaryFiles(QFileInfo(path).absolutePath()), QStringList{}) << path.toStdString();
    }
};

TEST_F(FullDiskCoreWriters, SettingsAtExitKeepTheOldFile) {
    LoadSettings();
    settings().History << u"/songs/first.ust"_s;
    ASSERT_TRUE(SaveSettings());
    const QString path = file(u"setting.ini"_s);
    const QByteArray old = test::readFile(path);
    ASSERT_GT(old.size(), 200);
    settings().History << u"/songs/second.ust"_s;
    bool saved = true;
    {
        test::FileSizeLimit limit(100);
        saved = SaveSettings();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::readFile(path), old);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().contains(path)) << ports.messageBox.lastText().toStdString();
    EXPECT_TRUE(ports.messageBox.lastText().contains(full)) << ports.messageBox.lastText().toStdString();
    noLeftovers(path);
}

TEST_F(FullDiskCoreWriters, IniFileKeepsTheOldFile) {
    clsIniFile ini;
    ini.setName(u"autopitch"_s);
    ini.setValue(u"key"_s, u"old"_s);
    ASSERT_TRUE(ini.Save());
    const QByteArray old = test::readFile(ini.filePath());
    ini.setValue(u"key"_s, QString(500, u'n'));
    bool saved = true;
    {
        test::FileSizeLimit limit(100);
        saved = ini.Save();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::readFile(ini.filePath()), old);
    EXPECT_TRUE(ini.lastError().contains(full)) << ini.lastError().toStdString();
    noLeftovers(ini.filePath());
}

TEST_F(FullDiskCoreWriters, CaptionFileKeepsTheOldFile) {
    FakeWindow w(u"Form1"_s, u"tova"_s);
    for (int i = 0; i < 20; ++i)
        w.addControl(ControlKind::Menu.toString(), u"mnItem"_s + QString::number(i)).caption_ = u"項目"_s + QString::number(i);
    const QString path = CaptionFilePath(u"Form1"_s, MenuStringKind.toString());
    QDir().mkpath(QFileInfo(path).absolutePath());
    test::writeFile(path, "old captions");
    QString error;
    {
        test::FileSizeLimit limit(100);
        try {
            ExportMenuStrings(w);
        } catch (const TovaError& e) {
            error = e.description();
        }
    }
    EXPECT_TRUE(error.contains(full)) << error.toStdString();
    EXPECT_EQ(test::readFile(path), QByteArray("old captions"));
    noLeftovers(path);
}

TEST_F(FullDiskCoreWriters, FrequencyTableKeepsTheOldTableAndItsBackup) {
    const QString sample = file(u"ka.wav"_s);
    const QString table = FrqTableName(sample);
    test::writeFile(table, "old table");
    test::writeFile(FrqBackupName(table), "old backup");
    FrqHeader header;
    header.signature = "FREQ0003";
    header.frameCount = 100;
    const QVector<double> frames(200, 440.0);
    bool written = true;
    {
        test::FileSizeLimit limit(100);
        written = WriteFrqFile(header, frames, sample);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(test::readFile(table), QByteArray("old table"));
    EXPECT_EQ(test::readFile(FrqBackupName(table)), QByteArray("old backup"));
    noLeftovers(table);
}

}  // namespace
}  // namespace tova
