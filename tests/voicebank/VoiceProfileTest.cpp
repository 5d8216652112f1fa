#include "core/FrqHeader.h"
#include "core/ReadmeMarker.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"
#include "voicebank/VoiceProfile.h"
#include "voicebank/ui/frmVoiceProperty.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

void writeFrq(const QString& samplePath, double average) {
    FrqHeader h;
    h.signature = "FREQ0003";
    h.averageFreq = average;
    h.frameCount = 2;
    ASSERT_TRUE(WriteFrqFile(h, QVector<double>{average, 1.0, average, 1.0}, samplePath));
}

class Profile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString bank;
    VoiceProfile p;
    QStringList played;
    void SetUp() override {
        settings() = Settings{};
        bank = dir.path() + u"/Aoi bank"_s;
        p.play = [this](const QString& path) { played << path; };
    }
    void TearDown() override { settings() = Settings{}; }
    void sample(const QString& name, int bytes = 100) { test::writeFile(bank + u'/' + name, QByteArray(bytes, 'w')); }
};

TEST_F(Profile, StatisticsOfTenSamplesFourWithTables) {
    // The folder itself: either extension in any letter case. A sub-folder: its ".wav" files when it
    // has any, else its ".aiff" files. Deeper folders are not searched.
    for (const char* name : {"a.wav", "B.WAV", "c.Wav", "d.aiff", "e.AIFF", "notes.txt"}) sample(QString::fromLatin1(name));
    for (const char* name : {"sub1/f.wav", "sub1/g.wav", "sub1/h.aiff", "sub2/i.aiff", "sub2/j.aiff", "sub1/deeper/k.wav"})
        sample(QString::fromLatin1(name));
    // A sample of 3 GB (a sparse file) takes the total past what 32 bits hold.
    QFile big(bank + u"/l.wav"_s);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(3000000000LL));
    big.close();
    writeFrq(bank + u"/a.wav"_s, 440.0);
    writeFrq(bank + u"/B.WAV"_s, 220.0);
    writeFrq(bank + u"/sub1/g.wav"_s, 440.0);
    writeFrq(bank + u"/sub2/j.aiff"_s, 220.0);
    writeFrq(bank + u"/sub1/h.aiff"_s, 1000.0);  // not a counted sample

    EXPECT_EQ(p.ComputeStatistics(bank),
              u"voices : 10\r\nsize : 3,000,000,900bytes\r\nuses : 40.0%\r\nfreq avg : 330.0 Hz (E4)\r\n"_s);
    EXPECT_EQ(p.samples, (QStringList{u"a.wav"_s, u"B.WAV"_s, u"c.Wav"_s, u"d.aiff"_s, u"e.AIFF"_s, u"l.wav"_s,
                                      u"sub1/f.wav"_s, u"sub1/g.wav"_s, u"sub2/i.aiff"_s, u"sub2/j.aiff"_s}));

    // A random sample when the profile names none: the whole part of random × count.
    p.folder = bank;
    p.random = [] { return 0.95; };
    p.Label2_Click();
    EXPECT_EQ(played, QStringList{bank + u"/sub2/j.aiff"_s});

    // Closing the dialog stops the gathering at its next check.
    int steps = 0;
    p.processEvents = [&] {
        if (++steps == 6) p.closing = true;  // 4 sub-folder files, then 2 samples
    };
    p.closing = false;
    EXPECT_TRUE(p.ComputeStatistics(bank).startsWith(u"voices : 2\r\n"_s));
}

TEST_F(Profile, NoSamplesAtAll) {
    test::writeFile(bank + u"/readme.txt"_s, "");
    EXPECT_EQ(p.ComputeStatistics(bank), u"voices : 0\r\nsize : 0bytes\r\nuses : unknown\r\nfreq avg : unknown\r\n"_s);
    p.folder = bank;
    p.Label2_Click();  // nothing to play: nothing happens
    EXPECT_TRUE(played.isEmpty());
}

TEST_F(Profile, ProfileReadmeAndTheFinishedText) {
    test::writeFile(bank + u"/character.txt"_s,
                    "name=\x82\xa0\x82\xa8\x82\xa2\r\nimage=face.png\r\nsample=a.wav\r\nauthor=me\r\nweb=http://example.org\r\n"
                    "\x90\xba\x8e\xbf\x81\x46\x82\xe2\x82\xed\x82\xe7\x82\xa9\r\n");
    test::writeFile(bank + u"/read me.txt"_s, "line 1\nline 2");
    QImage face(64, 64, QImage::Format_RGB32);
    face.fill(Qt::darkCyan);
    ASSERT_TRUE(face.save(bank + u"/face.png"_s));
    sample(u"a.wav"_s, 10);

    p.Begin(bank + u"/"_s, u"ignored"_s, true);
    p.Form_Load();
    EXPECT_EQ(p.folder, bank);
    EXPECT_EQ(p.txtName, u"あおい"_s);
    EXPECT_EQ(p.picturePath, bank + u"/face.png"_s);
    EXPECT_EQ(p.txtReadme, u"line 1\r\nline 2\r\n"_s);
    EXPECT_EQ(p.samplePath, bank + u"/a.wav"_s);
    EXPECT_EQ(p.windowHeightTwips, 4875);
    p.Timer1_Timer();
    EXPECT_EQ(p.txtStatics, u"声質：やわらか\r\n\r\nvoices : 1\r\nsize : 10bytes\r\nuses : 0.0%\r\nfreq avg : unknown\r\n"
                            "\r\nauthor : me\r\nweb : http://example.org"_s);
    p.Label2_Click();
    EXPECT_EQ(played, QStringList{bank + u"/a.wav"_s});

    // Without a profile file: the folder's name, no picture, and an empty line before the statistics.
    VoiceProfile bare;
    bare.Begin(dir.path() + u"/Plain"_s, QString(), false);
    QDir().mkpath(dir.path() + u"/Plain"_s);
    bare.Form_Load();
    EXPECT_EQ(bare.txtName, u"Plain"_s);
    EXPECT_TRUE(bare.picturePath.isEmpty());
    EXPECT_EQ(bare.txtReadme, u"No file."_s);
    EXPECT_EQ(bare.windowHeightTwips, 4470);
    bare.Timer1_Timer();
    EXPECT_TRUE(bare.txtStatics.startsWith(u"\r\nvoices : 0\r\n"_s));
}

TEST_F(Profile, ReadmeMarker) {
    QDir().mkpath(bank);
    VoiceProfile::MarkReadmeRead(bank);  // no readme: no marker
    EXPECT_FALSE(QFileInfo::exists(bank + u"/$read"_s));

    test::writeFile(bank + u"/readme.txt"_s, "hello");
    test::writeFile(bank + u"/$read"_s, "another machine\r\n");
    VoiceProfile::MarkReadmeRead(bank);
    const QByteArray marker = test::readFile(bank + u"/$read"_s);
    EXPECT_EQ(marker, ReadmeMarkerToken().toLatin1() + "\r\n");

    // This machine's marker is left as it is.
    const QDateTime written = QFileInfo(bank + u"/$read"_s).lastModified();
    QFile::setPermissions(bank + u"/$read"_s, QFile::ReadOwner);
    VoiceProfile::MarkReadmeRead(bank);
    EXPECT_EQ(QFileInfo(bank + u"/$read"_s).lastModified(), written);

    // A marker that cannot be written (a folder stands in its place) is passed over.
    QFile::setPermissions(bank + u"/$read"_s, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(bank + u"/$read"_s);
    ASSERT_TRUE(QDir().mkpath(bank + u"/$read"_s));
    EXPECT_NO_THROW(VoiceProfile::MarkReadmeRead(bank));
    EXPECT_TRUE(QFileInfo(bank + u"/$read"_s).isDir());
}

TEST_F(Profile, Window) {
    ScopedFakePorts ports;
    test::writeFile(bank + u"/character.txt"_s, "name=Aoi\r\nimage=face.png\r\nauthor=me\r\n");
    test::writeFile(bank + u"/readme.txt"_s,
                    Cp932::encode(u"Thank you for using this voice bank.\r\n利用規約：自由にお使いください。\r\n"_s));
    QImage face(96, 96, QImage::Format_RGB32);
    face.fill(QColor(250, 230, 210));
    QPainter painter(&face);
    painter.setBrush(QColor(60, 90, 160));
    painter.drawEllipse(QRect(18, 18, 60, 60));
    painter.end();
    ASSERT_TRUE(face.save(bank + u"/face.png"_s));
    for (int i = 0; i < 10; ++i) {
        const QString name = u"s%1.wav"_s.arg(i);
        sample(name, 1000);
        if (i < 4) writeFrq(bank + u'/' + name, 261.6255653);
    }

    frmVoiceProperty form;
    form.Load(bank, QString(), true);
    form.RunStatistics();
    form.show();
    EXPECT_EQ(form.txtName->text(), u"Aoi"_s);
    EXPECT_TRUE(form.txtStatics->toPlainText().contains(u"uses : 40.0%"_s));
    EXPECT_TRUE(form.txtStatics->toPlainText().contains(u"freq avg : 261.6 Hz (C4)"_s));
    EXPECT_TRUE(form.txtName->isReadOnly() && form.txtStatics->isReadOnly() && form.txtReadme->isReadOnly());
    EXPECT_FALSE(form.Picture1->pixmap().isNull());
    EXPECT_GT(form.height(), form.cmdOK->geometry().bottom());
    test::savePng(&form, u"frmVoiceProperty"_s);
    form.cmdOK->click();
    EXPECT_TRUE(form.model().registered);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // Without the register flag the buttons lie below the visible area.
    frmVoiceProperty plain;
    plain.Load(bank, QString(), false);
    plain.RunStatistics();
    EXPECT_LT(plain.height(), plain.cmdOK->geometry().bottom());
}

}  // namespace
