#include "VoiceBankFixture.h"

#include "platform/FileSetCommit.h"
#include "voicebank/OtoIniFiles.h"
#include "voicebank/VoiceBankManager.h"

#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

// A bank made like real ones: a code page 932 oto.ini with a comment, a blank line, a line with two
// "=", extra fields, a short line, empty fields, an entry for a missing file, a duplicate alias (the
// first in the file sorts last in the list), an entry naming a deeper sub-folder and one whose letter
// case differs from its sample; a sub-folder file with LF line ends that names a deeper folder too; a
// UTF-8 file with the byte-order mark whose last line has no end; a sub-folder without oto.ini.
const QString kRoot = u"# 録音 2009 ver.2\r\n"
                      u"\r\n"
                      u"ka.wav=か,10,20,-30,40,15\r\n"
                      u"ak.wav=か,1,2,3,4,5\r\n"
                      u"a.wav=あ,5,100,-50,60,20,x1,x2\r\n"
                      u"bad=line=x\r\n"
                      u"i.wav=い,1\r\n"
                      u"u.wav=う,,30,,50,\r\n"
                      u"missing.wav=み,1,2,3,4,5\r\n"
                      u"sub\\deeper\\x.wav=ぜ,1,2,3,4,5\r\n"
                      u"=\r\n"
                      u"KO.wav=こ,1,2,3,4,5\r\n"_s;
const QString kSub = u"sa.wav=さ,1,2,3,4,5\n"
                     u"deeper\\y.wav=ぞ,1,2,3,4,5\n"_s;
const QString kUtf = u"한.wav=한,1,2,3,4,5\r\n"
                     u"no-end.wav=の,1,2,3,4,5"_s;

QByteArray utf8Marked(const QString& text) { return Cp932::utf8Mark() + text.toUtf8(); }

// Every file of a folder tree: relative path -> bytes and time of last change.
struct Snapshot {
    QMap<QString, QByteArray> bytes;
    QMap<QString, QDateTime> times;
    explicit Snapshot(const QString& root) {
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString rel = QDir(root).relativeFilePath(path);
            bytes[rel] = readFile(path);
            times[rel] = QFileInfo(path).lastModified();
        }
    }
};

struct BankKept : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    VoiceBankManager m;

    void SetUp() override {
        settings() = Settings{};
        bank.oto(u"oto.ini"_s, kRoot);
        bank.oto(u"sub/oto.ini"_s, kSub);
        bank.file(u"utf/oto.ini"_s, utf8Marked(kUtf));
        bank.samples({u"ka.wav"_s, u"ak.wav"_s, u"a.wav"_s, u"i.wav"_s, u"u.wav"_s, u"ko.wav"_s, u"e.wav"_s,
                      u"sub/sa.wav"_s, u"sub/extra.wav"_s, u"sub/deeper/x.wav"_s, u"sub/deeper/y.wav"_s, u"utf/한.wav"_s,
                      u"nooto/n.wav"_s});
        // Old times, so that a file written again shows it even within the same second.
        const QDateTime old = QDateTime::currentDateTime().addDays(-400);
        for (const QString& f : {u"oto.ini"_s, u"sub/oto.ini"_s, u"utf/oto.ini"_s}) {
            QFile file(bank.path(f));
            file.open(QIODevice::ReadWrite);
            file.setFileTime(old, QFileDevice::FileModificationTime);
        }
        LoadOtoIni(bank.root());
    }
    void TearDown() override {
        ClearOtoTable();
        settings() = Settings{};
        FileSetCommit::testHook() = nullptr;
    }
    bool open(const std::function<void()>& inside, const QString& name = u"か"_s) {
        return m.ShowDialog(bank.root(), name, QString(), bank.path(u"cache"_s), false, inside);
    }
    int row(const QString& text, const QString& alias = QString()) const {
        for (int i = 0; i < m.rows.size(); ++i)
            if (m.rows[i].text == text && (alias.isNull() || m.rows[i].item(1) == alias)) return i;
        return -1;
    }
    // The entry the program's loaded table finds for a name or alias.
    static QString lookup(const QString& key) {
        const QString index = OtoIndex().Value(key);
        return index.isEmpty() ? QString() : OtoTable()[index.toInt()].section(u'\t', 0, 0);
    }
};

QByteArray encodedAs(const QString& file, const QString& text) {
    return file.startsWith(u"utf/"_s) ? text.toUtf8() : Cp932::encode(text);
}

}  // namespace

TEST_F(BankKept, AnUneditedSaveTouchesNoFileAndCreatesNone) {
    const Snapshot before(bank.root());
    ASSERT_TRUE(open([&] { m.cmdOK_Click(); }));
    const Snapshot after(bank.root());
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(after.times, before.times);
    // Only one row for the entry KO.wav and the sample ko.wav.
    EXPECT_GE(row(u"KO.wav"_s), 0);
    EXPECT_EQ(row(u"ko.wav"_s), -1);
    EXPECT_EQ(row(u"nooto\\n.wav"_s, u""_s) >= 0, true);
}

// A TAB inside a line reads as a field separator, as a comma does: the row matches its line, so an
// unedited save leaves the line alone.
TEST_F(BankKept, ALineWithATabIsKeptByAnUneditedSave) {
    bank.oto(u"tab/oto.ini"_s, u"t.wav=た\tx,1,2,3,4,5,extra\r\n"_s);
    const Snapshot before(bank.root());
    ASSERT_TRUE(open([&] { m.cmdOK_Click(); }));
    EXPECT_EQ(Snapshot(bank.root()).bytes, before.bytes);
}

// An oto.ini that is a symbolic link (a file shared between banks) stays a link; the file it names gets
// the edit.
TEST_F(BankKept, ALinkedFileStaysALinkAndItsFileGetsTheEdit) {
    QTemporaryDir shared;
    const QString real = shared.path() + u"/oto.ini"_s;
    writeFile(real, Cp932::encode(u"l.wav=ら,1,2,3,4,5\r\n"_s));
    QDir().mkpath(bank.path(u"ln"_s));
    ASSERT_TRUE(QFile::link(real, bank.path(u"ln/oto.ini"_s)));
    ASSERT_TRUE(open([&] {
        m.rows[row(u"ln\\l.wav"_s)].item(2) = u"9"_s;
        m.cmdOK_Click();
    }));
    EXPECT_TRUE(QFileInfo(bank.path(u"ln/oto.ini"_s)).isSymLink());
    EXPECT_EQ(readFile(real), Cp932::encode(u"l.wav=ら,9,2,3,4,5\r\n"_s));
    EXPECT_EQ(QDir(shared.path()).entryList(QDir::Files), QStringList{u"oto.ini"_s});
}

TEST_F(BankKept, OneEditChangesOneLineInTheFileItCameFrom) {
    using Act = std::function<void(BankKept&)>;
    const auto set = [](const QString& text, const QString& alias, int item, const QString& value) -> Act {
        return [=](BankKept& t) {
            const int r = t.row(text, alias);
            ASSERT_GE(r, 0) << text.toStdString();
            t.m.rows[r].item(item) = value;
            t.m.ListChanged = true;
        };
    };
    const auto copy = [](const QString& text) -> Act {
        return [=](BankKept& t) {
            t.m.selectRow(t.row(text));
            t.m.CurrentKey = t.m.rows[t.m.selectedRow].key;
            t.m.cmdCopy_Click();
        };
    };
    const auto del = [](const QString& text) -> Act {
        return [=](BankKept& t) {
            t.m.selectRow(t.row(text));
            t.m.CurrentKey = t.m.rows[t.m.selectedRow].key;
            t.m.cmdDel_Click();
        };
    };
    // `from` is the line as it stands (empty: the new line is appended), `to` the line after (empty: gone).
    const struct {
        const char* what;
        Act act;
        QString file, from, to;
    } cases[] = {
        {"a value", set(u"ka.wav"_s, u"か"_s, 2, u"11"_s), u"oto.ini"_s, u"ka.wav=か,10,20,-30,40,15\r\n"_s,
         u"ka.wav=か,11,20,-30,40,15\r\n"_s},
        {"extra fields kept", set(u"a.wav"_s, u"あ"_s, 3, u"99"_s), u"oto.ini"_s, u"a.wav=あ,5,100,-50,60,20,x1,x2\r\n"_s,
         u"a.wav=あ,5,99,-50,60,20,x1,x2\r\n"_s},
        {"a short line", set(u"i.wav"_s, u"い"_s, 2, u"3"_s), u"oto.ini"_s, u"i.wav=い,1\r\n"_s, u"i.wav=い,3,,,,\r\n"_s},
        {"empty fields and the default overlap", set(u"u.wav"_s, u"う"_s, 1, u"ウ"_s), u"oto.ini"_s,
         u"u.wav=う,,30,,50,\r\n"_s, u"u.wav=ウ,,30,,50,25\r\n"_s},
        {"a missing sample's entry", set(u"missing.wav"_s, u"み"_s, 2, u"9"_s), u"oto.ini"_s,
         u"missing.wav=み,1,2,3,4,5\r\n"_s, u"missing.wav=み,9,2,3,4,5\r\n"_s},
        {"a deeper folder named in the top file", set(u"sub\\deeper\\x.wav"_s, u"ぜ"_s, 2, u"9"_s), u"oto.ini"_s,
         u"sub\\deeper\\x.wav=ぜ,1,2,3,4,5\r\n"_s, u"sub\\deeper\\x.wav=ぜ,9,2,3,4,5\r\n"_s},
        {"a name in another letter case", set(u"KO.wav"_s, u"こ"_s, 2, u"9"_s), u"oto.ini"_s, u"KO.wav=こ,1,2,3,4,5\r\n"_s,
         u"KO.wav=こ,9,2,3,4,5\r\n"_s},
        {"LF line ends", set(u"sub\\sa.wav"_s, u"さ"_s, 2, u"9"_s), u"sub/oto.ini"_s, u"sa.wav=さ,1,2,3,4,5\n"_s,
         u"sa.wav=さ,9,2,3,4,5\n"_s},
        {"a deeper folder named in a sub-folder file", set(u"sub\\deeper\\y.wav"_s, u"ぞ"_s, 2, u"9"_s), u"sub/oto.ini"_s,
         u"deeper\\y.wav=ぞ,1,2,3,4,5\n"_s, u"deeper\\y.wav=ぞ,9,2,3,4,5\n"_s},
        {"a UTF-8 file", set(u"utf\\한.wav"_s, u"한"_s, 2, u"9"_s), u"utf/oto.ini"_s, u"한.wav=한,1,2,3,4,5\r\n"_s,
         u"한.wav=한,9,2,3,4,5\r\n"_s},
        {"a removed row", del(u"i.wav"_s), u"oto.ini"_s, u"i.wav=い,1\r\n"_s, QString()},
        {"a copy goes to its source's file", copy(u"sub\\sa.wav"_s), u"sub/oto.ini"_s, QString(),
         u"sa.wav=さ,1,2,3,4,5\n"_s},
        {"a copy after a last line without an end", copy(u"utf\\no-end.wav"_s), u"utf/oto.ini"_s, QString(),
         u"\r\nno-end.wav=の,1,2,3,4,5\r\n"_s},
        {"a found sample given a value", set(u"e.wav"_s, QString(), 1, u"え"_s), u"oto.ini"_s, QString(),
         u"e.wav=え,,,,,\r\n"_s},
        {"a found sample of a sub-folder", set(u"sub\\extra.wav"_s, QString(), 1, u"エ"_s), u"sub/oto.ini"_s, QString(),
         u"extra.wav=エ,,,,,\n"_s},
        {"a found sample of a folder without oto.ini", set(u"nooto\\n.wav"_s, QString(), 1, u"ん"_s), u"nooto/oto.ini"_s,
         QString(), u"n.wav=ん,,,,,\r\n"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        bank.oto(u"oto.ini"_s, kRoot);
        bank.oto(u"sub/oto.ini"_s, kSub);
        bank.file(u"utf/oto.ini"_s, utf8Marked(kUtf));
        QFile::remove(bank.path(u"nooto/oto.ini"_s));
        QFile::setPermissions(bank.path(u"sub/oto.ini"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                             QFile::WriteGroup);
        LoadOtoIni(bank.root());
        const Snapshot before(bank.root());
        ASSERT_TRUE(open([&] {
            c.act(*this);
            m.cmdOK_Click();
        }));
        Snapshot expected = before;
        QByteArray& bytes = expected.bytes[c.file];
        if (c.from.isEmpty()) {
            if (c.file == u"utf/oto.ini"_s) bytes += c.to.toUtf8();
            else bytes += encodedAs(c.file, c.to);
        } else {
            const QByteArray from = encodedAs(c.file, c.from);
            ASSERT_EQ(bytes.count(from), 1);
            bytes.replace(from, encodedAs(c.file, c.to));
        }
        EXPECT_EQ(Snapshot(bank.root()).bytes, expected.bytes);
        EXPECT_TRUE(QFile::permissions(bank.path(u"sub/oto.ini"_s)) & QFile::WriteGroup);
    }
}

TEST_F(BankKept, AliasesAreFoundAfterSavingAsAfterLoadingAgain) {
    ASSERT_TRUE(open([&] {
        m.rows[row(u"sub\\sa.wav"_s)].item(2) = u"9"_s;
        m.cmdOK_Click();
    }));
    const QStringList keys{u"か"_s, u"あ"_s, u"さ"_s, u"ぜ"_s, u"ぞ"_s, u"こ"_s, u"한"_s, u"の"_s, u"み"_s, u"ka.wav"_s,
                           u"sub\\sa.wav"_s, u"sub\\deeper\\y.wav"_s, u"KO.wav"_s};
    QStringList published;
    for (const QString& k : keys) published << lookup(k);
    // The first entry in the file sings か, though the list shows ak.wav first.
    EXPECT_EQ(lookup(u"か"_s), u"ka.wav"_s);
    LoadOtoIni(bank.root());
    QStringList loaded;
    for (const QString& k : keys) loaded << lookup(k);
    EXPECT_EQ(published, loaded);
    EXPECT_FALSE(QFileInfo::exists(bank.path(u"sub/deeper/oto.ini"_s)));
}

TEST_F(BankKept, OpeningASettingsFileThenOkKeepsTheSubFolderFiles) {
    bank.oto(u"backup.ini"_s, u"# old\r\nka.wav=か,1,1,1,1,1\r\n"_s);
    const struct {
        const char* what;
        QString opened;
        QByteArray root;
    } cases[] = {
        {"the bank's own oto.ini", bank.path(u"oto.ini"_s), Cp932::encode(kRoot)},
        {"another file of the folder", bank.path(u"backup.ini"_s), Cp932::encode(u"# old\r\nka.wav=か,1,1,1,1,1\r\n"_s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bank.oto(u"oto.ini"_s, kRoot);
        const Snapshot before(bank.root());
        ASSERT_TRUE(open([&] {
            ports.fileDialog.answers.enqueue(c.opened);
            m.mnOpen_Click();
            m.cmdOK_Click();
        }));
        const Snapshot after(bank.root());
        EXPECT_EQ(after.bytes.value(u"oto.ini"_s), c.root);
        for (const QString& f : {u"sub/oto.ini"_s, u"utf/oto.ini"_s}) EXPECT_EQ(after.bytes.value(f), before.bytes.value(f));
        EXPECT_FALSE(after.bytes.contains(u"nooto/oto.ini"_s));
    }
}

TEST_F(BankKept, AKeptWindowShowsTodaysFilesAndAsksBeforeOverwritingAChangedOne) {
    // Changed on disk between two openings (by hand, a reinstall, a batch generator's tables).
    open([&] { m.cmdClose_Click(); });
    bank.oto(u"oto.ini"_s, QString(kRoot).replace(u"ka.wav=か,10"_s, u"ka.wav=か,77"_s));
    bank.file(u"ka_wav.frq"_s, "x");
    open([&] {
        const int r = row(u"ka.wav"_s, u"か"_s);
        m.ListView1_MouseDown(r);
        EXPECT_EQ(m.rows[r].item(2), u"77"_s);
        EXPECT_EQ(m.rows[r].item(7), u"○"_s);
        EXPECT_TRUE(m.cmdFreqListEnabled);
        m.cmdClose_Click();
    });
    // Changed on disk while the window is open: asked; No writes nothing and keeps the window.
    const QByteArray byHand = Cp932::encode(QString(kRoot).replace(u"a.wav=あ,5"_s, u"a.wav=あ,6"_s));
    bool closed = false;
    open([&] {
        bank.file(u"oto.ini"_s, byHand);
        m.rows[row(u"i.wav"_s)].item(2) = u"2"_s;
        ports.messageBox.answers.enqueue(MsgResult::No);
        m.cmdOK_Click();
        EXPECT_TRUE(ports.messageBox.lastText().contains(u"変更されています"_s));
        EXPECT_EQ(ports.messageBox.shown.last().defaultButton, 1);
        EXPECT_EQ(bank.bytes(u"oto.ini"_s), byHand);
        EXPECT_FALSE(m.hidden);
        // Yes overwrites: the edit goes into the file as it was read.
        ports.messageBox.answers.enqueue(MsgResult::Yes);
        m.cmdOK_Click();
        closed = m.hidden;
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), Cp932::encode(QString(kRoot)
                                                          .replace(u"ka.wav=か,10"_s, u"ka.wav=か,77"_s)
                                                          .replace(u"i.wav=い,1"_s, u"i.wav=い,2,,,,"_s)));
}

TEST_F(BankKept, ASaveOfSeveralFilesIsAllOrNothing) {
    const Snapshot before(bank.root());
    const auto editTwoFiles = [&] {
        m.rows[row(u"ka.wav"_s, u"か"_s)].item(2) = u"11"_s;
        m.rows[row(u"sub\\sa.wav"_s)].item(2) = u"12"_s;
        m.rows[row(u"utf\\한.wav"_s)].item(2) = u"13"_s;
    };
    const QMap<QString, QByteArray> edited = [&] {
        QMap<QString, QByteArray> e = before.bytes;
        e[u"oto.ini"_s].replace(Cp932::encode(u"か,10,"_s), Cp932::encode(u"か,11,"_s));
        e[u"sub/oto.ini"_s].replace(Cp932::encode(u"さ,1,"_s), Cp932::encode(u"さ,12,"_s));
        e[u"utf/oto.ini"_s].replace(u"한,1,"_s.toUtf8(), u"한,13,"_s.toUtf8());
        return e;
    }();
    // A failure at any step, on the second file: nothing is replaced, nothing is left behind.
    for (const FileSetCommit::Step step : {FileSetCommit::Step::WriteNew, FileSetCommit::Step::KeepOld,
                                           FileSetCommit::Step::Journal, FileSetCommit::Step::Replace}) {
        SCOPED_TRACE(int(step));
        int seen = 0;
        FileSetCommit::testHook() = [&](FileSetCommit::Step s, const QString&) {
            return s == step && (step == FileSetCommit::Step::Journal || ++seen == 2) ? FileSetCommit::Fault::Fail
                                                                                     : FileSetCommit::Fault::None;
        };
        open([&] {
            editTwoFiles();
            m.cmdOK_Click();
            EXPECT_TRUE(ports.messageBox.lastText().contains(u"保存できませんでした"_s));
            EXPECT_FALSE(m.hidden);
            m.cmdClose_Click();
        });
        EXPECT_EQ(Snapshot(bank.root()).bytes, before.bytes);
    }
    // Killed before the journal stood: the next opening removes the new files.
    FileSetCommit::testHook() = [](FileSetCommit::Step s, const QString&) {
        return s == FileSetCommit::Step::Journal ? FileSetCommit::Fault::Kill : FileSetCommit::Fault::None;
    };
    open([&] {
        editTwoFiles();
        m.cmdOK_Click();
        m.cmdClose_Click();
    });
    EXPECT_NE(Snapshot(bank.root()).bytes, before.bytes);  // the leftovers are there
    FileSetCommit::testHook() = nullptr;
    open([&] { m.cmdClose_Click(); });
    EXPECT_EQ(Snapshot(bank.root()).bytes, before.bytes);
    // Killed after the first file was replaced: the program's next load of the bank completes the set
    // before it reads, so it sees all the new files and nothing is left behind.
    int replaced = 0;
    FileSetCommit::testHook() = [&](FileSetCommit::Step s, const QString&) {
        return s == FileSetCommit::Step::Replace && ++replaced == 2 ? FileSetCommit::Fault::Kill : FileSetCommit::Fault::None;
    };
    open([&] {
        editTwoFiles();
        m.cmdOK_Click();
        m.cmdClose_Click();
    });
    FileSetCommit::testHook() = nullptr;
    EXPECT_TRUE(QFileInfo::exists(OtoSaveJournal(bank.root())));
    LoadOtoIni(bank.root());
    EXPECT_EQ(Snapshot(bank.root()).bytes, edited);
    const auto offset = [](const QString& key) { return OtoTable()[OtoIndex().Value(key).toInt()].section(u'\t', 2, 2); };
    EXPECT_EQ(offset(u"ka.wav"_s), u"11"_s);
    EXPECT_EQ(offset(u"sub\\sa.wav"_s), u"12"_s);
    EXPECT_EQ(offset(u"utf\\한.wav"_s), u"13"_s);
    open([&] {
        EXPECT_EQ(m.rows[row(u"utf\\한.wav"_s)].item(2), u"13"_s);
        m.cmdClose_Click();
    });
    EXPECT_EQ(Snapshot(bank.root()).bytes, edited);
}

TEST(FileSetCommit, AKillAtAnyStepLeavesAllOldOrAllNewAfterRecovery) {
    QTemporaryDir dir;
    const QString root = dir.path();
    const QStringList targets{root + u"/oto.ini"_s, root + u"/a/oto.ini"_s, root + u"/b/oto.ini"_s};
    const QString journal = root + u"/oto.ini.tova-saving"_s;
    const auto state = [&] {
        QStringList s;
        for (const QString& t : targets) s << QString::fromLatin1(QFileInfo::exists(t) ? readFile(t) : "-");
        return s;
    };
    const QStringList olds{u"old0"_s, u"old1"_s, u"-"_s};  // the third target is new to the set
    const QStringList news{u"new0"_s, u"new1"_s, u"new2"_s};
    for (const FileSetCommit::Step step : {FileSetCommit::Step::WriteNew, FileSetCommit::Step::KeepOld,
                                           FileSetCommit::Step::Journal, FileSetCommit::Step::Replace}) {
        for (int at = 0; at < 3; ++at) {
            SCOPED_TRACE(QStringLiteral("step %1, file %2").arg(int(step)).arg(at).toStdString());
            writeFile(targets[0], "old0");
            writeFile(targets[1], "old1");
            QFile::remove(targets[2]);
            QDir().mkpath(root + u"/b"_s);
            int seen = 0;
            FileSetCommit::testHook() = [&](FileSetCommit::Step s, const QString&) {
                return s == step && seen++ == at ? FileSetCommit::Fault::Kill : FileSetCommit::Fault::None;
            };
            FileSetCommit set(journal);
            for (int i = 0; i < 3; ++i) set.add(targets[i], news[i].toLatin1());
            const bool done = set.commit();  // a step met fewer times than `at` is not killed
            EXPECT_EQ(done, seen <= at);
            FileSetCommit::testHook() = nullptr;
            FileSetCommit::Recover(journal, targets);
            const QStringList now = state();
            EXPECT_TRUE(now == olds || now == news) << now.join(u' ').toStdString();
            // Once the journal stood, the set counts as saved.
            if (step == FileSetCommit::Step::Replace || done) EXPECT_EQ(now, news);
            QStringList left = QDir(root).entryList(QDir::Files) + QDir(root + u"/a"_s).entryList(QDir::Files) +
                               QDir(root + u"/b"_s).entryList(QDir::Files);
            left.removeAll(u"oto.ini"_s);
            EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
        }
    }
}

// Another program's load of the bank while a save runs leaves the save alone: the save still replaces
// the whole set and cleans up after itself.
TEST(FileSetCommit, RecoveryLeavesASaveInProgressAlone) {
    QTemporaryDir dir;
    const QString root = dir.path();
    const QStringList targets{root + u"/oto.ini"_s, root + u"/a/oto.ini"_s};
    const QString journal = root + u"/oto.ini.tova-saving"_s;
    writeFile(targets[0], "old0");
    writeFile(targets[1], "old1");
    for (const FileSetCommit::Step step : {FileSetCommit::Step::KeepOld, FileSetCommit::Step::Replace}) {
        SCOPED_TRACE(int(step));
        bool called = false;
        FileSetCommit::testHook() = [&](FileSetCommit::Step s, const QString& target) {
            if (s == step && target == targets[1]) {
                called = true;
                FileSetCommit::Recover(journal, targets);  // as a second program loading the bank now would
            }
            return FileSetCommit::Fault::None;
        };
        FileSetCommit set(journal);
        set.add(targets[0], "new0" + QByteArray::number(int(step)));
        set.add(targets[1], "new1" + QByteArray::number(int(step)));
        EXPECT_TRUE(set.commit());
        FileSetCommit::testHook() = nullptr;
        EXPECT_TRUE(called);
        EXPECT_EQ(readFile(targets[0]), "new0" + QByteArray::number(int(step)));
        EXPECT_EQ(readFile(targets[1]), "new1" + QByteArray::number(int(step)));
        EXPECT_EQ(QDir(root).entryList(QDir::Files), QStringList{u"oto.ini"_s});
        EXPECT_EQ(QDir(root + u"/a"_s).entryList(QDir::Files), QStringList{u"oto.ini"_s});
    }
}

TEST(KeptTextFile, AnyBytesComeBackAsTheyWereAndAnEditTouchesOneLine) {
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("\r\n"),
        QByteArray("a\rb\r\r\nc\n\nd"),
        QByteArray("\xEF\xBB\xBF"),
        QByteArray("\xEF\xBB\xBFx=\xED\x95\x9C\r\ny"),
        QByteArray("a=\x82\r\nb=\x82\xa9\n"),  // a lead byte cut by the line end
        QByteArray("\x82\xa9=\x82\xa0,1\r\n\r\n", 11),
        QByteArray("no end at all"),
        QByteArray("z\0z\r\n", 5),
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        KeptTextFile f = KeptTextFile::fromBytes(bytes);
        EXPECT_EQ(f.bytes(), bytes);
        f.existed = true;
        EXPECT_FALSE(f.changed());
        if (f.lines.isEmpty()) continue;
        // Replacing the first line's text changes only the bytes before its line end.
        const QByteArray rest = bytes.mid(f.mark.size() + f.lines[0].raw.size());
        f.setLine(0, u"new"_s);
        EXPECT_EQ(f.bytes(), f.mark + "new" + rest);
    }
}
