#include "VoiceBankFixture.h"
#include "support/FullDisk.h"
#include "platform/SystemErrorText.h"

#include "voicebank/OtoIniFiles.h"
#include "voicebank/VoiceBankManager.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tova;
using namespace Qt::StringLiterals;
using namespace tova::test;

namespace {

SampleRow row(const QString& text, const QStringList& values) {
    SampleRow r;
    r.key = text;
    r.text = text;
    for (int n = 1; n <= 6 && n <= values.size(); ++n) r.item(n) = values[n - 1];
    r.item(8) = RowSortKey(text);
    return r;
}

// The manager as loaded from the bank's files.
struct LoadedManager {
    VoiceBankManager m;
    explicit LoadedManager(const QString& folder) {
        m.VoiceFolder = folder;
        m.LoadEntries(QStringLiteral("RELOAD"));
    }
};

}  // namespace

TEST(OtoIniRead, LineFormsAndSubFolders) {
    BankFolder bank;
    bank.oto(u"oto.ini"_s, u"a.wav=\r\nka.wav=か,1,2,3,4,5\r\n\r\nbad=line=x\r\nnoequals\r\nsa.wav=さ\n"_s);
    bank.oto(u"sub/oto.ini"_s, u"ta.wav=た,6,7,8,9,10\r\n"_s);
    bank.samples({u"plain/x.wav"_s, u"plain/y.aiff"_s, u"onlyaiff/z.aiff"_s});
    const OtoReadResult r = ReadOtoIni(bank.root(), u"RELOAD"_s);
    // A line of a file name and "=" alone is the bare name; two "=" or none: skipped; a lone LF ends a line.
    EXPECT_EQ(r.entries, (QStringList{u"a.wav"_s, u"ka.wav\tか\t1\t2\t3\t4\t5"_s, u"sa.wav\tさ"_s,
                                      u"onlyaiff\\z.aiff\t"_s, u"plain\\x.wav\t"_s, u"sub\\ta.wav\tた\t6\t7\t8\t9\t10"_s}));
    EXPECT_EQ(r.files.size(), 2);
    EXPECT_EQ(r.origins[2].line, 5);
    EXPECT_EQ(r.origins[3].file, -1);
    // One chosen file: read alone.
    EXPECT_EQ(ReadOtoIni(bank.root(), bank.path(u"sub/oto.ini"_s)).entries, QStringList{u"ta.wav\tた\t6\t7\t8\t9\t10"_s});
}

TEST(OtoIniRead, WithoutOtoIniListsSamplesAndCreatesNothing) {
    BankFolder bank;
    bank.samples({u"a.aiff"_s, u"sub/b.aiff"_s});
    EXPECT_EQ(ReadOtoIni(bank.root(), u"RELOAD"_s).entries, (QStringList{u"a.aiff\t"_s, u"sub\\b.aiff\t"_s}));
    EXPECT_FALSE(QFile::exists(bank.path(u"oto.ini"_s)));
}

TEST(OtoIniRead, ABadByteKeepsItsLineUntilThatLineIsEdited) {
    BankFolder bank;
    ScopedFakePorts ports;
    const QByteArray bytes("a.wav=\x82\x20,1,2,3,4,5\r\nb.wav=b,1,2,3,4,5\r\n");
    bank.file(u"oto.ini"_s, bytes);
    LoadedManager loaded(bank.root());
    ASSERT_EQ(loaded.m.rows.size(), 2);
    loaded.m.rows[1].item(2) = u"9"_s;
    ASSERT_TRUE(loaded.m.SaveOtoIni());
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), QByteArray("a.wav=\x82\x20,1,2,3,4,5\r\nb.wav=b,9,2,3,4,5\r\n"));
    // Editing the line with the bad byte would lose it: refused, nothing written.
    const int bad = loaded.m.rowOfKey(u"a.wav"_s);
    loaded.m.rows[bad].item(2) = u"9"_s;
    ports.messageBox.answers.enqueue(MsgResult::OK);
    EXPECT_FALSE(loaded.m.SaveOtoIni());
    EXPECT_TRUE(ports.messageBox.shown.last().text.contains(u"文字化け"_s));
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), QByteArray("a.wav=\x82\x20,1,2,3,4,5\r\nb.wav=b,9,2,3,4,5\r\n"));
}

// The manager's reading refuses an oto.ini past what a bank holds as the note renderer's table does,
// naming the file; one of the largest banks in use reads whole.
TEST(OtoIniRead, OutsizedFilesAreRefusedWithTheirNames) {
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray(kOtoIniBounds.lines + 1, '\n'), u"行が多すぎるため読み込みません"_s},
        {"b.wav=" + QByteArray(kOtoIniBounds.lineBytes, 'x'), u"の1行目は長すぎるため読み込みません"_s},
        {QByteArray(kOtoIniBounds.bytes + 1, 'x'), u"は大きすぎるため読み込みません"_s},
    };
    for (const auto& [bytes, says] : cases) {
        BankFolder bank;
        bank.oto(u"oto.ini"_s, u"a.wav=a,0,50,0,40,10\r\n"_s);
        bank.file(u"sub/oto.ini"_s, bytes);
        try {
            ReadOtoIni(bank.root(), u"RELOAD"_s);
            ADD_FAILURE() << "read";
        } catch (const FileError& e) {
            EXPECT_TRUE(e.description().contains(bank.path(u"sub/oto.ini"_s))) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains(says)) << e.description().toStdString();
        }
    }
    BankFolder bank;
    QString text;
    for (int i = 0; i < 33000; ++i) text += u"_あいう%1_C4.wav=- あ%1_C4,1523.5,180,-250,120,40\r\n"_s.arg(i);
    bank.oto(u"oto.ini"_s, text);
    EXPECT_EQ(ReadOtoIni(bank.root(), u"RELOAD"_s).entries.size(), 33000);
}

TEST(RowSortKey, CodePageCodeOfTheFirstCharacter) {
    EXPECT_EQ(RowSortKey(u"a.wav"_s), u"0061a.wav"_s);
    EXPECT_EQ(RowSortKey(u"あ.wav"_s), u"82A0あ.wav"_s);
    EXPECT_EQ(RowSortKey(u"sub\\か.wav"_s), u"0073sub\\か.wav"_s);
}

TEST(SampleFilePath, NamesOutsideTheBankCountAsMissing) {
    EXPECT_EQ(SampleFilePath(u"/v"_s, u"sub\\a.wav"_s), u"/v/sub\\a.wav"_s);
    for (const QString& bad : {u"..\\x\\a.wav"_s, u"sub/../../a.wav"_s, u"/etc/passwd"_s, u"\\a.wav"_s, u"C:\\a.wav"_s, QString()})
        EXPECT_TRUE(SampleFilePath(u"/v"_s, bad).isEmpty()) << bad.toStdString();
    EXPECT_EQ(FrqFilePath(u"/v/a.wav"_s), u"/v/a_wav.frq"_s);
    EXPECT_EQ(FrqFilePath(u"/v/a.aiff"_s), u"/v/a.aiff.frq"_s);
}

TEST(OtoIniSave, OverlapDefaultsToHalfThePreutterance) {
    const struct {
        const char16_t* pre;
        const char16_t* overlap;
    } cases[] = {{u"25", u"12"}, {u"25.5", u"13"}, {u"24.5", u"12"}, {u"-7", u"-3"}, {u"", u""}, {u"abc", u"0"}};
    for (const auto& c : cases) {
        BankFolder bank;
        QList<SampleRow> rows{row(u"a.wav"_s, {u"あ"_s, u"1"_s, u"2"_s, u"3"_s, QString::fromUtf16(c.pre), QString()})};
        ASSERT_EQ(SaveOtoIni(rows, bank.root(), QString(), {}).status, OtoSaveResult::Saved);
        EXPECT_EQ(rows[0].item(6), QString::fromUtf16(c.overlap)) << QString::fromUtf16(c.pre).toStdString();
        EXPECT_EQ(bank.bytes(u"oto.ini"_s),
                  Cp932::encode(u"a.wav=あ,1,2,3,"_s + QString::fromUtf16(c.pre) + u","_s + QString::fromUtf16(c.overlap) + u"\r\n"_s));
    }
}

TEST(OtoIniSave, RowsGoToTheirSubFolderFileWhereverTheyStand) {
    BankFolder bank;
    QDir().mkpath(bank.path(u"sub"_s));
    // "Sub\" and "sub\" name one folder; a row of the top level stands between them; "none\" does not exist.
    QList<SampleRow> rows{row(u"Sub\\x.wav"_s, {u"x"_s}), row(u"ka.wav"_s, {u"か"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}),
                          row(u"sub\\ka.wav"_s, {u"か2"_s}), row(u"none\\y.wav"_s, {u"y"_s}),
                          row(u"..\\sub\\z.wav"_s, {u"z"_s}), row(u"sub\\w.wav"_s, {})};
    const OtoSaveResult r = SaveOtoIni(rows, bank.root(), QString(), {});
    ASSERT_EQ(r.status, OtoSaveResult::Saved);
    EXPECT_EQ(bank.bytes(u"sub/oto.ini"_s), Cp932::encode(u"x.wav=x,,,,,\r\nka.wav=か2,,,,,\r\n"_s));
    EXPECT_EQ(bank.bytes(u"oto.ini"_s),
              Cp932::encode(u"ka.wav=か,1,2,3,4,5\r\nnone\\y.wav=y,,,,,\r\n..\\sub\\z.wav=z,,,,,\r\n"_s));
    // Save As to another file: every row under its full name; to the default path: as a plain save.
    ASSERT_EQ(SaveOtoIni(rows, bank.root(), bank.path(u"all.ini"_s), {}).status, OtoSaveResult::Saved);
    EXPECT_EQ(bank.bytes(u"all.ini"_s).count("\r\n"), 6);
    EXPECT_TRUE(bank.bytes(u"all.ini"_s).startsWith("Sub\\x.wav=x,,,,,\r\n"));
    EXPECT_EQ(SaveOtoIni(rows, bank.root(), bank.path(u"oto.ini"_s), {}).written.size(), 2);
}

TEST(OtoIniSave, RefusalsWriteNothing) {
    BankFolder bank;
    const QByteArray old = "ka.wav=old,1,2,3,4,5\r\n";
    bank.file(u"oto.ini"_s, old);
    bank.file(u"sub/oto.ini"_s, old);
    const struct {
        const char* what;
        QString text;
        QString alias;
    } cases[] = {
        {"a character code page 932 cannot hold", u"ka.wav"_s, u"한"_s},
        {"a comma inside a value", u"ka.wav"_s, u"a,b"_s},
        {"an equals sign", u"k=a.wav"_s, u"a"_s},
        {"a U+FFFD left by a bad byte", u"sub\\ka.wav"_s, u"\uFFFD"_s},
    };
    for (const auto& c : cases) {
        QList<SampleRow> rows{row(u"sub\\a.wav"_s, {u"a"_s}), row(c.text, {c.alias})};
        const OtoSaveResult r = SaveOtoIni(rows, bank.root(), QString(), {});
        EXPECT_EQ(r.status, OtoSaveResult::Refused) << c.what;
        EXPECT_TRUE(r.message.contains(c.text)) << c.what;
        EXPECT_EQ(bank.bytes(u"oto.ini"_s), old) << c.what;
        EXPECT_EQ(bank.bytes(u"sub/oto.ini"_s), old) << c.what;
    }
    QList<SampleRow> rows{row(u"ka.wav"_s, {u"a"_s})};
    // No folder shown: nothing to write.
    EXPECT_EQ(SaveOtoIni(rows, QString(), QString(), {}).status, OtoSaveResult::NoFolder);
}

TEST(OtoIniSave, AFileThatCannotBeWrittenLeavesEveryFileAsItWas) {
    BankFolder bank;
    const QByteArray old = "ka.wav=old,1,2,3,4,5\r\n";
    bank.file(u"oto.ini"_s, old);
    // The sub-folder's oto.ini is a folder: it cannot be replaced by a file.
    QDir().mkpath(bank.path(u"sub/oto.ini"_s));
    QList<SampleRow> rows{row(u"ka.wav"_s, {u"new"_s}), row(u"sub\\a.wav"_s, {u"a"_s})};
    OtoSaveResult r = SaveOtoIni(rows, bank.root(), QString(), {});
    EXPECT_EQ(r.status, OtoSaveResult::Refused);
    EXPECT_TRUE(r.message.contains(u"sub/oto.ini"_s)) << r.message.toStdString();
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), old);
    // Save As into a "folder" that is a file.
    r = SaveOtoIni(rows, bank.root(), bank.path(u"oto.ini/x.ini"_s), {});
    EXPECT_EQ(r.status, OtoSaveResult::Refused);
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), old);
}

TEST(OtoIniSave, AReadOnlyFolderKeepsItsFile) {
    BankFolder bank;
    const QByteArray old = "ka.wav=old,1,2,3,4,5\r\n";
    bank.file(u"oto.ini"_s, old);
    QFile::setPermissions(bank.root(), QFile::ReadOwner | QFile::ExeOwner);
    if (::access(QFile::encodeName(bank.root()).constData(), W_OK) == 0) {
        QFile::setPermissions(bank.root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user writes into read-only folders (root); the folder test above covers the failure";
    }
    QList<SampleRow> rows{row(u"ka.wav"_s, {u"new"_s})};
    const OtoSaveResult r = SaveOtoIni(rows, bank.root(), QString(), {});
    QFile::setPermissions(bank.root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r.status, OtoSaveResult::Refused);
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), old);
}

TEST(OtoIniRoundTrip, Cp932BankWithSubFolderSavesUneditedByteForByte) {
    BankFolder bank;
    // か.wav=か,… and さ.wav in CP932 bytes, a sub-folder with its own file; lines in list order.
    const QByteArray top = "a.wav=a,10,20,-5,30,15\r\n"
                           "\x82\xa9.wav=\x82\xa9,12.5,100,-30,60,20\r\n"
                           "\x82\xb3.wav=\x82\xb3\x81\x5b,0,50,0,40,10\r\n";
    const QByteArray sub = "t.wav=t,,,,,\r\n"
                           "\x82\xbd.wav=\x82\xbd\x81\x5c\x83\x5c,1,2,3,4,5\r\n";
    bank.file(u"oto.ini"_s, top);
    bank.file(u"強/oto.ini"_s, sub);
    bank.samples({u"a.wav"_s, u"か.wav"_s, u"さ.wav"_s, u"強/た.wav"_s, u"強/t.wav"_s});
    LoadedManager loaded(bank.root());
    ASSERT_EQ(loaded.m.rows.size(), 5);
    ASSERT_TRUE(loaded.m.SaveOtoIni());
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), top);
    EXPECT_EQ(bank.bytes(u"強/oto.ini"_s), sub);
}

TEST(OtoIniRoundTrip, ThirtyThreeThousandEntries) {
    BankFolder bank;
    QByteArray top, sub;
    for (int i = 0; i < 33000; ++i) {
        const QByteArray n = QByteArray::number(i).rightJustified(5, '0');
        QByteArray& out = i % 3 == 0 ? sub : top;
        out += "s" + n + ".wav=\x82\xa9" + n + "," + QByteArray::number(i % 97) + ",120,-40,60," +
               QByteArray::number(i % 31) + "\r\n";
    }
    bank.file(u"oto.ini"_s, top);
    bank.file(u"sub/oto.ini"_s, sub);
    LoadedManager loaded(bank.root());
    ASSERT_EQ(loaded.m.rows.size(), 33000);
    ASSERT_TRUE(loaded.m.SaveOtoIni());
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), top);
    EXPECT_EQ(bank.bytes(u"sub/oto.ini"_s), sub);
    // An unedited save writes nothing at all.
    EXPECT_FALSE(QFile::exists(bank.path(u"oto.ini.tova-saving"_s)));
    VoiceBankManager::PublishOtoTable(loaded.m.EntryTable);
    EXPECT_EQ(loaded.m.EntryTable.size(), 33000);
}

// A save on a full disk, of the bank's files (the set of oto.ini files replaced together) and Save As
// into a file of its own: the file keeps its old content, the refusal says why in words and nothing
// of the save stays behind.
TEST(OtoIniSave, AFullDiskKeepsTheOldFileAndSaysWhy) {
    for (const QString& name : {u"oto.ini"_s, u"other.ini"_s}) {
        SCOPED_TRACE(name.toStdString());
        BankFolder bank;
        const QByteArray old = "ka.wav=old,1,2,3,4,5\r\n";
        bank.file(name, old);
        QList<SampleRow> rows;
        for (int i = 0; i < 50; ++i) rows << row(u"ka"_s + QString::number(i) + u".wav"_s, {u"new"_s});
        OtoSaveResult r;
        {
            FileSizeLimit limit(100);
            r = SaveOtoIni(rows, bank.root(), name == u"oto.ini"_s ? QString() : bank.path(name), {});
        }
        EXPECT_EQ(r.status, OtoSaveResult::Refused);
        EXPECT_TRUE(r.written.isEmpty());
        EXPECT_TRUE(r.message.contains(SystemErrorText(EFBIG))) << r.message.toStdString();
        EXPECT_EQ(bank.bytes(name), old);
        EXPECT_EQ(QDir(bank.root()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }
}
