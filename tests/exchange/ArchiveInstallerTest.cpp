#include "ZipBuilder.h"

#include "core/Settings.h"
#include "exchange/install/ArchiveInstaller.h"
#include "exchange/install/ArchivePaths.h"
#include "exchange/install/InstallHost.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "platform/zip/ZipArchive.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <QProcess>

#include <gtest/gtest.h>

#include <sys/statvfs.h>
#include <unistd.h>

#include <utility>

using namespace tova;
using namespace Qt::Literals::StringLiterals;
using test::ZipBuilder;

namespace {

class FakeInstallHost : public InstallHost {
public:
    QList<int> progressStarts;
    QStringList progressTexts;
    QList<int> progressValues;
    int progressEnds = 0;
    QHash<int, QString> status;
    int voiceListLoads = 0;
    QStringList profiles;
    int pluginMenus = 0;

    void ProgressStart(int maximum, int slideMs) override {
        progressStarts << maximum;
        EXPECT_EQ(slideMs, 300);
    }
    void ProgressSet(const QString& text, int value) override {
        progressTexts << text;
        progressValues << value;
    }
    void ProgressEnd() override { ++progressEnds; }
    void SetStatusText(int panel, const QString& text) override { status[panel] = text; }
    void LoadVoiceBankList() override { ++voiceListLoads; }
    void ShowVoiceProfile(const QString& folder) override { profiles << folder; }
    void BuildPluginMenu() override { ++pluginMenus; }
};

// A program folder with "voice" and "plugins" under a base folder that also holds the archives and a
// canary tree that no installation may touch.
class Installer : public ::testing::Test {
protected:
    QTemporaryDir base;
    ScopedFakePorts ports;
    FakeInstallHost host;
    ArchiveInstaller installer{host};

    void SetUp() override {
        ASSERT_TRUE(base.isValid());
        settings() = Settings{};
        QDir().mkpath(prog() + u"/voice"_s);
        QDir().mkpath(prog() + u"/plugins"_s);
        QDir().mkpath(base.path() + u"/archives"_s);
        SystemPaths::setProgramFolder(prog());
        test::writeFile(canary() + u"/a.txt"_s, "canary a");
        test::writeFile(canary() + u"/sub/b.txt"_s, "canary b");
    }
    void TearDown() override {
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
    QString prog() const { return base.path() + u"/prog"_s; }
    QString voice() const { return prog() + u"/voice"_s; }
    QString plugins() const { return prog() + u"/plugins"_s; }
    QString canary() const { return base.path() + u"/canary"_s; }

    QString archive(const ZipBuilder& zip, const QString& name) {
        const QString path = base.path() + u"/archives/"_s + name;
        EXPECT_TRUE(zip.write(path));
        return path;
    }
    void install(const ZipBuilder& zip, const QString& name = u"pack.zip"_s) {
        installer.InstallArchive(archive(zip, name));
    }
    QStringList texts() const {
        QStringList t;
        for (const MessageRequest& r : ports.messageBox.shown) t << r.text;
        return t;
    }
};

// A digest of every file, folder and link under a folder (names, kinds, contents, link targets).
QByteArray treeDigest(const QString& folder, const QString& except = QString()) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!except.isEmpty() && (path == except || path.startsWith(except + u'/'))) continue;
        entries << path;
    }
    entries.sort();
    for (const QString& path : entries) {
        const QFileInfo fi(path);
        h.addData(path.toUtf8());
        if (fi.isSymLink()) {
            h.addData("L" + fi.symLinkTarget().toUtf8());
        } else if (fi.isDir()) {
            h.addData("D");
        } else {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            h.addData("F" + f.readAll());
        }
    }
    return h.result();
}

ZipBuilder voiceBank(const QByteArray& description, const QByteArray& profile = "name=Aoi\r\n") {
    ZipBuilder z;
    z.file("install.txt", description);
    if (!profile.isNull()) z.file("bank/character.txt", profile);
    z.file("bank/a.wav", "RIFF-a");
    z.file("bank/sub/i.wav", "RIFF-i");
    return z;
}

const QString kNotFound = u"インストール情報が見つかりません。"_s;
const QString kNotForUs = u"\r\nこのアーカイブはTOVA用自動インストールファイルではありません。"_s;
const QString kInvalid = u"インストール情報が不正です"_s;
const QString kIncomplete = u"インストール情報に不備があります"_s;
const QString kNoPlugin = u"プラグイン情報が見つかりません"_s;
const QString kCancelled = u"インストールは中断されました"_s;
const QString kUnsupported = u"未対応のインストールタイプです。"_s;

TEST_F(Installer, RefusalsShowTheirMessageAndUnpackNothing) {
    struct Case {
        const char* what;
        ZipBuilder zip;
        QString fileName;
        QList<MsgResult> answers;
        QString text;
        MsgIcon icon;
    };
    ZipBuilder noDescription;
    noDescription.file("bank/a.wav", "x");
    const QByteArray bank = "contentsdir=bank\r\n";
    const QList<Case> cases = {
        {"no install.txt, zip", noDescription, u"p.zip"_s, {}, kNotFound + kNotForUs, MsgIcon::Exclamation},
        {"no install.txt, name holds .zip", noDescription, u"p.ZIP.tvz"_s, {}, kNotFound + kNotForUs, MsgIcon::Exclamation},
        {"no install.txt, tvz", noDescription, u"p.tvz"_s, {}, kNotFound, MsgIcon::None},
        {"description in a sub-folder only", ZipBuilder().file("x/install.txt", "type=voiceset\r\nfolder=f\r\n"), u"p.tvz"_s, {},
         kNotFound, MsgIcon::None},
        {"folder with ..", voiceBank("type=voiceset\r\nfolder=a..b\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"folder line with two =", voiceBank("type=voiceset\r\nfolder=a=b\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"no type", voiceBank("folder=f\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"blank before =", voiceBank("type =voiceset\r\nfolder=f\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"folder with a separator", voiceBank("type=voiceset\r\nfolder=a/b\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"folder absolute", voiceBank("type=voiceset\r\nfolder=/tmp\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"folder drive", voiceBank("type=voiceset\r\nfolder=C:x\r\n" + bank), u"p.zip"_s, {}, kInvalid, MsgIcon::None},
        {"contentsdir climbing", voiceBank("type=voiceset\r\nfolder=f\r\ncontentsdir=bank/../..\r\n"), u"p.zip"_s, {}, kInvalid,
         MsgIcon::None},
        {"contentsdir absolute", voiceBank("type=voiceset\r\nfolder=f\r\ncontentsdir=/bank\r\n"), u"p.zip"_s, {}, kInvalid,
         MsgIcon::None},
        {"voice bank without character.txt", voiceBank("type=voiceset\r\nfolder=f\r\n" + bank, QByteArray()), u"p.zip"_s, {},
         kIncomplete, MsgIcon::None},
        {"character.txt without a name", voiceBank("type=voiceset\r\nfolder=f\r\n" + bank, "author=me\r\n"), u"p.zip"_s, {},
         kIncomplete, MsgIcon::None},
        {"plug-in without plugin.txt", voiceBank("type=editplugin\r\nfolder=f\r\n" + bank), u"p.zip"_s, {}, kNoPlugin,
         MsgIcon::None},
        {"plugin.txt without a name",
         ZipBuilder().file("install.txt", "type=editplugin\r\nfolder=f\r\n").file("plugin.txt", "execute=run\r\n"), u"p.zip"_s,
         {}, kNoPlugin, MsgIcon::None},
        {"cancelled", voiceBank("type=voiceset\r\nfolder=f\r\n" + bank), u"p.zip"_s, {MsgResult::Cancel}, kCancelled,
         MsgIcon::None},
        {"type in capitals", voiceBank("type=VoiceSet\r\nfolder=f\r\n" + bank), u"p.zip"_s, {}, kUnsupported, MsgIcon::None},
        {"language", voiceBank("type=language\r\nfolder=f\r\n" + bank), u"p.zip"_s, {}, kUnsupported, MsgIcon::None},
        {"other type", voiceBank("type=skin\r\nfolder=f\r\n" + bank), u"p.zip"_s, {}, kUnsupported, MsgIcon::None},
    };
    const QByteArray before = treeDigest(base.path(), base.path() + u"/archives"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ports.messageBox.shown.clear();
        ports.messageBox.answers.clear();
        for (MsgResult a : c.answers) ports.messageBox.answers.enqueue(a);
        install(c.zip, c.fileName);
        ASSERT_FALSE(ports.messageBox.shown.isEmpty());
        EXPECT_EQ(ports.messageBox.shown.last().text, c.text);
        EXPECT_EQ(ports.messageBox.shown.last().icon, c.icon);
        EXPECT_TRUE(host.status.isEmpty());
        EXPECT_TRUE(host.progressStarts.isEmpty());
        EXPECT_EQ(treeDigest(base.path(), base.path() + u"/archives"_s), before);
    }
    // A file that is no archive at all, or an archive cut short, is refused like one without a
    // description, with the reason it could not be read.
    test::writeFile(base.path() + u"/archives/junk.zip"_s, "not a zip");
    installer.InstallArchive(base.path() + u"/archives/junk.zip"_s);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(kNotFound + u"\r\nアーカイブを読めません："_s))
        << ports.messageBox.lastText().toStdString();
    EXPECT_TRUE(ports.messageBox.lastText().endsWith(kNotForUs));
    const QString whole = archive(voiceBank("type=voiceset\r\nfolder=f\r\n" + bank), u"cut.tvz"_s);
    QByteArray bytes = test::readFile(whole);
    bytes.chop(30);
    test::writeFile(whole, bytes);
    installer.InstallArchive(whole);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(kNotFound + u"\r\nアーカイブを読めません："_s))
        << ports.messageBox.lastText().toStdString();
    // An archive that opens but whose description's data is damaged says why too.
    const QString damaged = archive(voiceBank("type=voiceset\r\nfolder=f\r\n" + bank), u"damaged.tvz"_s);
    bytes = test::readFile(damaged);
    const int nameLength = quint8(bytes[26]) | quint8(bytes[27]) << 8, extraLength = quint8(bytes[28]) | quint8(bytes[29]) << 8;
    ASSERT_TRUE(bytes.mid(30, nameLength) == "install.txt");
    bytes[30 + nameLength + extraLength + 2] = char(bytes[30 + nameLength + extraLength + 2] ^ 0x55);
    test::writeFile(damaged, bytes);
    installer.InstallArchive(damaged);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(kNotFound + u"\r\nアーカイブを読めません："_s))
        << ports.messageBox.lastText().toStdString();
    EXPECT_EQ(treeDigest(base.path(), base.path() + u"/archives"_s), before);
}

TEST_F(Installer, VoiceBankIntoANewFolder) {
    ZipBuilder z = voiceBank("TYPE=voiceset\r\nFolder=aoi\r\ncontentsdir=bank\r\ndescription=Soft voice\r\nid=1\r\n",
                             "name=Aoi\r\nauthor=me\r\n");
    install(z);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    const MessageRequest& ask = ports.messageBox.shown[0];
    EXPECT_EQ(ask.text, u"'Aoi'をインストールします\r\n\r\n説明：\r\nSoft voice"_s);
    EXPECT_EQ(ask.buttons, MsgButtons::OKCancel);
    EXPECT_EQ(ask.icon, MsgIcon::Information);
    EXPECT_EQ(test::readFile(voice() + u"/aoi/a.wav"_s), "RIFF-a");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/sub/i.wav"_s), "RIFF-i");
    EXPECT_TRUE(QFileInfo::exists(voice() + u"/aoi/character.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(voice() + u"/aoi/install.txt"_s));
    EXPECT_EQ(host.progressStarts, QList<int>{3});
    EXPECT_EQ(host.progressValues, (QList<int>{1, 2, 3}));
    EXPECT_EQ(host.progressTexts.first(), u"インストール中：bank/character.txt"_s);
    EXPECT_EQ(host.progressEnds, 1);
    EXPECT_EQ(host.status.value(2), u"\"Aoi\"のインストールが完了しました"_s);
    EXPECT_EQ(host.voiceListLoads, 1);
    EXPECT_EQ(host.profiles, QStringList{voice() + u"/aoi"_s});
    // No staging folder is left behind.
    EXPECT_EQ(QDir(voice()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"aoi"_s});
}

// The central directory of a small archive written by ZipBuilder (no comment, no ZIP64).
struct CentralDirectory {
    qsizetype eocd = 0, start = 0, size = 0;
    int count = 0;
};
quint32 le(const QByteArray& b, qsizetype at, int bytes) {
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uchar(b[at + i]);
    return v;
}
void putLe(QByteArray& b, qsizetype at, int bytes, quint32 v) {
    for (int i = 0; i < bytes; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
CentralDirectory centralDirectory(const QByteArray& zip) {
    CentralDirectory cd;
    cd.eocd = zip.size() - 22;
    EXPECT_TRUE(zip.mid(cd.eocd, 4) == QByteArray("PK\x05\x06"));
    cd.count = int(le(zip, cd.eocd + 10, 2));
    cd.size = qsizetype(le(zip, cd.eocd + 12, 4));
    cd.start = qsizetype(le(zip, cd.eocd + 16, 4));
    return cd;
}
// The record of entry `index` in the central directory: its offset and length.
std::pair<qsizetype, qsizetype> record(const QByteArray& zip, const CentralDirectory& cd, int index) {
    qsizetype at = cd.start;
    for (int i = 0;; ++i) {
        const qsizetype length = 46 + le(zip, at + 28, 2) + le(zip, at + 30, 2) + le(zip, at + 32, 2);
        if (i == index) return {at, length};
        at += length;
    }
}

// Archives whose directory lies: entries sharing their stored data (a few kilobytes that would fill
// the disk), a stated size beyond the free space or above what any bank needs (asked first), an entry
// holding more than it states, a path too deep to make. Each is refused or left out before or while
// writing, with words, and leaves no file or empty folder behind.
TEST_F(Installer, ArchivesThatOverstateOrUnderstateTheirSizes) {
    const QByteArray description = "type=voiceset\r\nfolder=big\r\n";
    // Data that does not compress: every entry stores about as much as it holds.
    QByteArray noise(4000, '\0');
    QRandomGenerator generator(45);
    for (char& b : noise) b = char(generator.bounded(256));
    ZipBuilder plain;
    plain.file("install.txt", description).file("character.txt", "name=Big\r\n").file("a.wav", noise);
    const QString basePath = archive(plain, u"plain.zip"_s);
    const QByteArray zip = test::readFile(basePath);
    const CentralDirectory cd = centralDirectory(zip);
    ASSERT_EQ(cd.count, 3);
    const auto [waveAt, waveLength] = record(zip, cd, 2);
    const auto write = [&](const QByteArray& bytes, const QString& name) {
        const QString path = base.path() + u"/archives/"_s + name;
        test::writeFile(path, bytes);
        return path;
    };

    // Twenty more directory records of the wave's data under other names.
    QByteArray overlapping = zip;
    QByteArray records;
    for (int k = 0; k < 20; ++k) {
        QByteArray r = zip.mid(waveAt, waveLength);
        r[46] = char('b' + k);  // the name's first letter
        records += r;
    }
    overlapping.insert(cd.start + cd.size, records);
    const qsizetype eocd = overlapping.size() - 22;
    putLe(overlapping, eocd + 8, 2, quint32(cd.count + 20));
    putLe(overlapping, eocd + 10, 2, quint32(cd.count + 20));
    putLe(overlapping, eocd + 12, 4, quint32(cd.size + records.size()));

    // The wave stated as 3.75 GiB; and as 10 bytes.
    QByteArray huge = zip;
    putLe(huge, waveAt + 24, 4, 0xF0000000u);
    QByteArray small = zip;
    putLe(small, waveAt + 24, 4, 10);

    struct statvfs fs {};
    ASSERT_EQ(::statvfs(QFile::encodeName(voice()).constData(), &fs), 0);
    const bool roomForHuge = qint64(fs.f_bavail) * qint64(fs.f_frsize) >= qint64(0xF0000000u);

    const struct {
        const char* what;
        QByteArray bytes;
        QString said;
    } cases[] = {
        {"overlapping entries", overlapping, u"重なり合っている"_s},
        {"a stated size above the cap or the free space", huge, roomForHuge ? kCancelled : u"空き容量が足りません"_s},
        {"an entry holding more than it states", small, u"のインストールに失敗しました"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ports.messageBox.shown.clear();
        ports.messageBox.answers.enqueue(MsgResult::OK);   // install 'Big'
        ports.messageBox.answers.enqueue(MsgResult::No);   // not above the cap
        installer.InstallArchive(write(c.bytes, u"lying.zip"_s));
        EXPECT_TRUE(ports.messageBox.lastText().contains(c.said)) << ports.messageBox.lastText().toStdString();
        EXPECT_TRUE(QDir(voice()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    }
    if (roomForHuge) {
        ports.messageBox.shown.clear();
        ports.messageBox.answers.enqueue(MsgResult::OK);
        ports.messageBox.answers.enqueue(MsgResult::No);
        installer.InstallArchive(write(huge, u"huge.zip"_s));
        ASSERT_GE(ports.messageBox.shown.size(), 2);
        EXPECT_TRUE(ports.messageBox.shown[1].text.contains(u"インストールを続けますか"_s));
        EXPECT_EQ(ports.messageBox.shown[1].buttons, MsgButtons::YesNo);
    }

    // A path deeper than the system takes is left out without the folders made on the way to it.
    ZipBuilder deep;
    QByteArray name;
    for (int i = 0; i < 400; ++i) name += "deepfolder" + QByteArray::number(i) + "/";
    deep.file("install.txt", description).file("character.txt", "name=Big\r\n").file("ok.wav", "fine").file(name + "x.wav", "lost");
    ports.messageBox.shown.clear();
    ports.messageBox.answers.enqueue(MsgResult::OK);
    install(deep, u"deep.zip"_s);
    EXPECT_EQ(test::readFile(voice() + u"/big/ok.wav"_s), "fine");
    EXPECT_FALSE(QFileInfo::exists(voice() + u"/big/deepfolder0"_s));
}

// An archive that unpacks to many times its own size (a few hundred kilobytes of zeros making tens of
// megabytes) asks first and names the ratio; a small one that compresses as well does not ask.
TEST_F(Installer, ArchivesThatUnpackToManyTimesTheirSizeAskFirst) {
    const struct {
        const char* what;
        qsizetype zeros;
        bool asked;
    } cases[] = {
        {"a megabyte of zeros", qsizetype(1) << 20, false},
        {"32 megabytes of zeros", qsizetype(32) << 20, true},
    };
    for (const auto& c : cases) {
        for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
            SCOPED_TRACE(std::string(c.what) + (answer == MsgResult::Yes ? " yes" : " no"));
            QDir(voice()).removeRecursively();
            ZipBuilder z;
            z.file("install.txt", "type=voiceset\r\nfolder=dense\r\n").file("character.txt", "name=Dense\r\n");
            z.file("silence.wav", QByteArray(c.zeros, '\0'));
            const QString path = archive(z, u"dense.zip"_s);
            const qint64 ratio = (qint64(c.zeros) + 12) / QFileInfo(path).size();  // with character.txt
            ports.messageBox.shown.clear();
            ports.messageBox.answers.clear();
            ports.messageBox.answers.enqueue(MsgResult::OK);  // install 'Dense'
            if (c.asked) ports.messageBox.answers.enqueue(answer);
            installer.InstallArchive(path);
            const bool installed = QFileInfo(voice() + u"/dense/silence.wav"_s).size() == c.zeros;
            if (!c.asked) {
                EXPECT_TRUE(installed);
                EXPECT_EQ(ports.messageBox.shown.size(), 1);
                continue;
            }
            ASSERT_GE(ports.messageBox.shown.size(), 2);
            const MessageRequest& question = ports.messageBox.shown[1];
            EXPECT_TRUE(question.text.contains(u"アーカイブの大きさの%1倍です"_s.arg(ratio))) << question.text.toStdString();
            EXPECT_TRUE(question.text.contains(u"インストールを続けますか"_s));
            EXPECT_EQ(question.buttons, MsgButtons::YesNo);
            EXPECT_EQ(installed, answer == MsgResult::Yes);
            if (answer == MsgResult::No) {
                EXPECT_TRUE(ports.messageBox.lastText().contains(kCancelled));
                EXPECT_FALSE(QFileInfo::exists(voice() + u"/dense"_s));
            }
        }
    }
}

// A file stated twice under one name and a name holding a NUL byte ("nul\0name.txt", which would land
// as "nul") are refused before anything is written, each named in the message.
TEST_F(Installer, DuplicateNamesAndNamesWithNulAreRefusedAndNamed) {
    ZipBuilder z;
    z.file("install.txt", "type=voiceset\r\nfolder=odd\r\n").file("character.txt", "name=Odd\r\n");
    z.file("a1.wav", "first").file("a2.wav", "second").file("nul_name.txt", "cut");
    const QByteArray zip = test::readFile(archive(z, u"plain.zip"_s));
    const CentralDirectory cd = centralDirectory(zip);
    ASSERT_EQ(cd.count, 5);
    // Changes the name of entry `index` (same length) in its directory record and its local header.
    const auto renamed = [&](QByteArray bytes, int index, const QByteArray& name) {
        const qsizetype at = record(bytes, cd, index).first;
        bytes.replace(at + 46, name.size(), name);
        bytes.replace(qsizetype(le(bytes, at + 42, 4)) + 30, name.size(), name);
        return bytes;
    };
    const QByteArray twice = renamed(zip, 3, "a1.wav");
    const QByteArray nul = renamed(zip, 4, QByteArray("nul\0name.txt", 12));
    const struct {
        const char* what;
        QByteArray bytes;
        QStringList named;
    } cases[] = {
        {"a name twice", twice, {u"同じ名前で二度以上"_s, u"\r\na1.wav"_s}},
        {"a NUL in a name", nul, {u"NUL文字を含み"_s, u"\r\nnul\\0name.txt"_s}},
        {"both", renamed(twice, 4, QByteArray("nul\0name.txt", 12)),
         {u"同じ名前で二度以上"_s, u"\r\na1.wav"_s, u"NUL文字を含み"_s, u"\r\nnul\\0name.txt"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = base.path() + u"/archives/odd.zip"_s;
        test::writeFile(path, c.bytes);
        ports.messageBox.shown.clear();
        ports.messageBox.answers.enqueue(MsgResult::OK);  // install 'Odd'
        installer.InstallArchive(path);
        const QString said = ports.messageBox.lastText();
        EXPECT_TRUE(said.contains(u"のインストールに失敗しました"_s)) << texts().join(u"|"_s).toStdString();
        for (const QString& n : c.named) EXPECT_TRUE(said.contains(n)) << n.toStdString() << " in " << said.toStdString();
        EXPECT_TRUE(QDir(voice()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    }
}

TEST_F(Installer, ExistingBankOffersTheFirstFreeNumberedFolder) {
    test::writeFile(voice() + u"/aoi/character.txt"_s, "name=Old Aoi\r\n");
    test::writeFile(voice() + u"/aoi0/x"_s, "");
    test::writeFile(voice() + u"/aoi1/x"_s, "");
    ports.messageBox.answers.enqueue(MsgResult::No);
    install(voiceBank("type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\ndescription=New\r\n"));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    const MessageRequest& ask = ports.messageBox.shown[0];
    EXPECT_EQ(ask.text, u"インストール先フォルダが存在します\r\n【フォルダ名】'aoi'\r\n【名　　　前】'Old Aoi'\r\nここに上書きしますか？\r\n\r\n"
                        "「いいえ」を選択すると以下のフォルダ名に変えてインストールします。\r\n【フォルダ名】'aoi2'\r\n\r\n"
                        "'Aoi'の説明：\r\nNew"_s);
    EXPECT_EQ(ask.title, u"'Aoi'のインストール中"_s);
    EXPECT_EQ(ask.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(ask.icon, MsgIcon::Exclamation);
    EXPECT_EQ(test::readFile(voice() + u"/aoi2/a.wav"_s), "RIFF-a");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/character.txt"_s), "name=Old Aoi\r\n");
    EXPECT_EQ(host.profiles, QStringList{voice() + u"/aoi2"_s});
}

// A folder that holds a bank without a name (no profile, or one without "name=") is still someone's
// samples: installing there asks as over a named bank (Cancel keeps every file, No takes a free
// folder); only an empty folder is installed into without a question.
TEST_F(Installer, AFolderHoldingABankWithoutANameIsNotOverwrittenWithoutAsking) {
    const QByteArray profiles[] = {QByteArray(), "author=me\r\n"};
    for (const QByteArray& profile : profiles) {
        SCOPED_TRACE(profile.constData());
        QDir(voice()).removeRecursively();
        test::writeFile(voice() + u"/aoi/oto.ini"_s, "a.wav=あ,0,0,0,0,0\r\n");
        test::writeFile(voice() + u"/aoi/a.wav"_s, "mine");
        if (!profile.isNull()) test::writeFile(voice() + u"/aoi/character.txt"_s, profile);
        const QByteArray before = treeDigest(voice() + u"/aoi"_s);
        ports.messageBox.shown.clear();
        ports.messageBox.answers.enqueue(MsgResult::Cancel);
        install(voiceBank("type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n"));
        ASSERT_GE(ports.messageBox.shown.size(), 1);
        EXPECT_EQ(ports.messageBox.shown[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_TRUE(ports.messageBox.shown[0].text.contains(u"【名　　　前】'aoi'"_s));
        EXPECT_EQ(treeDigest(voice() + u"/aoi"_s), before);
        ports.messageBox.answers.enqueue(MsgResult::No);
        install(voiceBank("type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n"));
        EXPECT_EQ(treeDigest(voice() + u"/aoi"_s), before);
        EXPECT_EQ(test::readFile(voice() + u"/aoi0/a.wav"_s), "RIFF-a");
    }
    // An empty folder: no question, the bank goes in.
    QDir(voice()).removeRecursively();
    QDir().mkpath(voice() + u"/aoi"_s);
    ports.messageBox.shown.clear();
    install(voiceBank("type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n"));
    for (const MessageRequest& m : ports.messageBox.shown) EXPECT_NE(m.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(test::readFile(voice() + u"/aoi/a.wav"_s), "RIFF-a");
}

TEST_F(Installer, OverwriteKeepsTheDestinationsDescriptionFiles) {
    test::writeFile(voice() + u"/aoi/character.txt"_s, "name=Old\r\n");
    test::writeFile(voice() + u"/aoi/install.txt"_s, "mine");
    test::writeFile(voice() + u"/aoi/install1.txt"_s, "mine too");
    test::writeFile(voice() + u"/aoi/old.wav"_s, "old");
    ZipBuilder z;
    z.file("install.txt", "type=voiceset\r\nfolder=aoi\r\n").file("character.txt", "name=Aoi\r\n").file("old.wav", "new");
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    install(z);
    EXPECT_EQ(test::readFile(voice() + u"/aoi/install.txt"_s), "mine");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/install1.txt"_s), "mine too");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/old.wav"_s), "new");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/character.txt"_s), "name=Aoi\r\n");
    EXPECT_EQ(host.status.value(2), u"\"Aoi\"のインストールが完了しました"_s);
}

// Installed over a bank, a file whose name differs only in letter case replaces the bank's file under
// the bank's spelling, so the bank keeps one file (and the new one is the one read).
TEST_F(Installer, OverwriteReplacesFilesWhoseNamesDifferOnlyInCase) {
    test::writeFile(voice() + u"/aoi/character.txt"_s, "name=Old\r\n");
    test::writeFile(voice() + u"/aoi/oto.ini"_s, "old");
    test::writeFile(voice() + u"/aoi/Sub/a.wav"_s, "old a");
    ZipBuilder z;
    z.file("install.txt", "type=voiceset\r\nfolder=aoi\r\n")
        .file("character.txt", "name=Aoi\r\n")
        .file("OTO.INI", "new")
        .file("sub/A.WAV", "new a");
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    install(z);
    EXPECT_EQ(test::readFile(voice() + u"/aoi/oto.ini"_s), "new");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/Sub/a.wav"_s), "new a");
    EXPECT_FALSE(QFileInfo::exists(voice() + u"/aoi/OTO.INI"_s));
    EXPECT_FALSE(QFileInfo::exists(voice() + u"/aoi/sub"_s));

    // Two entries of the archive that differ only in case: the first is placed, the second is named
    // and not unpacked over it.
    ZipBuilder twice;
    twice.file("install.txt", "type=voiceset\r\nfolder=aoi\r\n")
        .file("character.txt", "name=Aoi\r\n")
        .file("B.WAV", "upper")
        .file("b.wav", "lower");
    ports.messageBox.shown.clear();
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    install(twice);
    QStringList bs = QDir(voice() + u"/aoi"_s).entryList({u"b.wav"_s}, QDir::Files);
    ASSERT_EQ(bs.size(), 1);
    EXPECT_EQ(test::readFile(voice() + u"/aoi/"_s + bs[0]), "upper");
    ASSERT_FALSE(ports.messageBox.shown.isEmpty());
    EXPECT_TRUE(ports.messageBox.shown.last().text.contains(u"b.wav"_s)) << ports.messageBox.shown.last().text.toStdString();
}

TEST_F(Installer, TargetInAnotherLetterCaseCountsAsNew) {
    test::writeFile(voice() + u"/AOI/character.txt"_s, "name=Other\r\n");
    install(voiceBank("type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n"));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(test::readFile(voice() + u"/AOI/character.txt"_s), "name=Other\r\n");
    EXPECT_TRUE(QFileInfo::exists(voice() + u"/aoi/a.wav"_s));
}

TEST_F(Installer, PluginWithItsProgramRunnable) {
    test::writeFile(plugins() + u"/tune/plugin.txt"_s, "name=Old tune\r\n");
    ZipBuilder z;
    z.file("install.txt", "type=editplugin\r\nfolder=tune\r\ncontentsdir=p/\r\ndescription=Tunes notes\r\n")
        .file("p/plugin.txt", "name=Tune=2\r\nexecute=run.sh\r\n")
        .file("p/run.sh", "#!/bin/sh\n", S_IFREG | 0755);
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    install(z, u"tune.tvz"_s);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.shown[0].text.endsWith(u"'Tune'の説明：\r\n説明:\r\nTunes notes"_s));
    EXPECT_TRUE(ports.messageBox.shown[0].text.contains(u"【名　　　前】'Old tune'"_s));
    EXPECT_TRUE(QFileInfo(plugins() + u"/tune/run.sh"_s).isExecutable());
    EXPECT_EQ(test::readFile(plugins() + u"/tune/plugin.txt"_s), "name=Tune=2\r\nexecute=run.sh\r\n");
    EXPECT_EQ(host.pluginMenus, 1);
    EXPECT_TRUE(host.profiles.isEmpty());
    EXPECT_EQ(host.status.value(2), u"\"Tune\"のインストールが完了しました"_s);
}

TEST_F(Installer, AScriptPluginFromAnArchiveWithoutExecuteBitsRuns) {
    // Made on Windows: no permission bits at all; the program named with "\\" in a sub-folder.
    ZipBuilder z;
    z.file("install.txt", "type=editplugin\r\nfolder=script\r\n")
        .file("plugin.txt", "name=Script\r\nexecute=bin\\run.sh\r\n")
        .file("bin/run.sh", "#!/bin/sh\necho ran > \"$1\"\n")
        .file("readme.txt", "text");
    install(z, u"script.tvz"_s);
    const QString program = plugins() + u"/script/bin/run.sh"_s;
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_FALSE(QFileInfo(plugins() + u"/script/readme.txt"_s).isExecutable());
    const QString out = plugins() + u"/out.txt"_s;
    EXPECT_EQ(QProcess::execute(program, {out}), 0);
    EXPECT_EQ(test::readFile(out), "ran\n");
    // A name that leaves the plug-in's folder is not touched.
    test::writeFile(plugins() + u"/outside.sh"_s, "#!/bin/sh\n");
    ZipBuilder hostile;
    hostile.file("install.txt", "type=editplugin\r\nfolder=bad\r\n").file("plugin.txt", "name=Bad\r\nexecute=..\\outside.sh\r\n");
    install(hostile, u"bad.tvz"_s);
    EXPECT_FALSE(QFileInfo(plugins() + u"/outside.sh"_s).isExecutable());
}

TEST_F(Installer, LanguageArchiveAfterAnInstallationUnpacksNothing) {
    install(voiceBank("type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n"));
    host.status.clear();
    const QByteArray before = treeDigest(base.path(), base.path() + u"/archives"_s);
    install(voiceBank("type=language\r\nfolder=aoi\r\ncontentsdir=bank\r\n"));
    EXPECT_EQ(ports.messageBox.lastText(), kUnsupported);
    EXPECT_TRUE(host.status.isEmpty());
    EXPECT_EQ(treeDigest(base.path(), base.path() + u"/archives"_s), before);
}

TEST_F(Installer, NamesDecodedBeforeTheyAreSplit) {
    ZipBuilder z;
    // "ソ" is 83 5C in code page 932: its second byte is a backslash, which must not split the name.
    z.file("install.txt", "type=voiceset\r\nfolder=\x83\x5C\x83\x89\r\n")
        .file("character.txt", "name=\x83\x5C\x83\x89\r\n")
        .file("\x83\x5C\x81\x5B\x83\x58/\x83\x5C.wav", "cp932")
        .utf8File("\xe3\x81\x82.wav", "utf8");
    install(z);
    const QString dest = voice() + u"/ソラ"_s;
    EXPECT_EQ(test::readFile(dest + u"/ソース/ソ.wav"_s), "cp932");
    EXPECT_EQ(test::readFile(dest + u"/あ.wav"_s), "utf8");
    EXPECT_EQ(host.status.value(2), u"\"ソラ\"のインストールが完了しました"_s);
}

// Names without the UTF-8 flag: code page 932 when they are that, else UTF-8 when they are that
// (archives made where names are UTF-8); a name that is neither is not unpacked but named, so that
// several such entries never land in one file.
TEST_F(Installer, NamesThatAreNeitherCodePageNorUtf8AreNamedNotMerged) {
    ZipBuilder z;
    z.file("install.txt", "type=voiceset\r\nfolder=aoi\r\n")
        .file("character.txt", "name=Aoi\r\n")
        .file("\x82\xa0.wav", "cp932")
        .utf8File("\xc3\x9f.wav", "utf8")
        .file("\x80.wav", "first")
        .file("\xa0.wav", "second")
        .file("\xfd.wav", "third");
    install(z);
    const QString dest = voice() + u"/aoi"_s;
    EXPECT_EQ(test::readFile(dest + u"/あ.wav"_s), "cp932");
    EXPECT_EQ(test::readFile(dest + u"/ß.wav"_s), "utf8");
    QStringList wavs = QDir(dest).entryList({u"*.wav"_s}, QDir::Files);
    wavs.sort();
    EXPECT_EQ(wavs, (QStringList{u"ß.wav"_s, u"あ.wav"_s}));
    ASSERT_FALSE(ports.messageBox.shown.isEmpty());
    const QString said = ports.messageBox.shown.last().text;
    EXPECT_TRUE(said.contains(u"名前が読めない"_s)) << said.toStdString();
    EXPECT_EQ(said.count(u".wav"_s), 3) << said.toStdString();
    // An archive whose names are all UTF-8 without the flag (the flag cleared by hand): a name that
    // happens to be code page 932 text too ("あい" is) still reads as UTF-8, so one folder is one folder.
    ZipBuilder u;
    u.utf8File("\xe3\x81\x82\xe3\x81\x84/a.wav", "a").utf8File("\xe3\x81\x82\xe3\x81\x84/\xe3\x81\x8b.wav", "ka");
    const QString unflaggedPath = base.path() + u"/archives/unflagged.zip"_s;
    ASSERT_TRUE(u.write(unflaggedPath));
    QByteArray zip = test::readFile(unflaggedPath);
    for (const QByteArray& header : {QByteArray("PK\x03\x04", 4), QByteArray("PK\x01\x02", 4)}) {
        const int flagsAt = header[2] == '\x03' ? 6 : 8;
        for (qsizetype at = zip.indexOf(header); at >= 0; at = zip.indexOf(header, at + 4))
            zip[at + flagsAt + 1] = char(zip[at + flagsAt + 1] & ~0x08);  // bit 11: the UTF-8 flag
    }
    ZipArchive unflagged;
    ASSERT_TRUE(unflagged.openBytes(zip));
    QStringList read;
    for (const ZipArchive::Entry& e : unflagged.entries()) read << e.name;
    EXPECT_EQ(read, (QStringList{u"あい/a.wav"_s, u"あい/か.wav"_s}));

    // The name rule itself, for a name the archive left unflagged.
    const struct { QByteArray raw; const char16_t* name; bool clean; } names[] = {
        {"\x82\xa0.wav", u"あ.wav", true},     // code page 932
        {"\xc3\x9f.wav", u"ß.wav", true},      // not code page 932, but UTF-8
        {"\xe3\x81\x82.wav", u"あ.wav", true},  // UTF-8 that is not code page 932 either
        {"abc.wav", u"abc.wav", true},
        {"\x80.wav", nullptr, false},           // neither
    };
    for (const auto& n : names) {
        bool clean = !n.clean;
        const QString name = ZipArchive::decodeName(n.raw, false, &clean);
        EXPECT_EQ(clean, n.clean) << n.raw.toHex().constData();
        if (n.name) EXPECT_EQ(name, QString::fromUtf16(n.name)) << n.raw.toHex().constData();
    }
}

TEST_F(Installer, HostileArchivesLeaveEverythingOutsideTheDestinationAlone) {
    const QByteArray abs = QFile::encodeName(canary());
    // Links already in the voice root and inside an existing bank lead into the canary tree.
    ASSERT_EQ(::symlink(QFile::encodeName(canary()).constData(), QFile::encodeName(voice() + u"/linked"_s).constData()), 0);
    test::writeFile(voice() + u"/aoi/character.txt"_s, "name=Old\r\n");
    ASSERT_EQ(::symlink(QFile::encodeName(canary() + u"/sub"_s).constData(),
                        QFile::encodeName(voice() + u"/aoi/sub"_s).constData()),
              0);
    const QByteArray before = treeDigest(canary());

    ZipBuilder slip;
    slip.file("install.txt", "type=voiceset\r\nfolder=aoi\r\n")
        .file("character.txt", "name=Aoi\r\n")
        .file("ok.wav", "fine")
        .file("../../../canary/a.txt", "slip 1")
        .file("..\\..\\..\\canary\\a.txt", "slip 2")
        .file("x/../../../../canary/a.txt", "slip 3")
        // The canary's own path may hold any character: flagged UTF-8 so that the archive can name it.
        .utf8File(abs + "/a.txt", "absolute")
        .utf8File("\\" + abs.mid(1) + "\\a.txt", "absolute backslash")
        .file("C:/canary/a.txt", "drive")
        .file("C:..\\canary\\a.txt", "drive relative")
        .file("./../canary/a.txt", "dot first")
        .link("evil", "../../../canary")
        .file("evil/a.txt", "through the link entry")
        .file("sub/b.txt", "through an existing link")
        .device("dev")
        .file("\x83\x5C/..\\..\\..\\..\\canary/a.txt", "after a code page 932 name")
        .file("tab\t.wav", "control character");
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    install(slip);
    EXPECT_EQ(treeDigest(canary()), before);
    EXPECT_EQ(test::readFile(voice() + u"/aoi/ok.wav"_s), "fine");
    EXPECT_EQ(test::readFile(voice() + u"/aoi/evil/a.txt"_s), "through the link entry");  // a plain folder there
    EXPECT_TRUE(QFileInfo(voice() + u"/aoi/evil"_s).isDir() && !QFileInfo(voice() + u"/aoi/evil"_s).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(voice() + u"/aoi/dev"_s));
    // The skipped entries are named, and the rest is installed.
    const QString warning = ports.messageBox.shown.value(1).text;
    EXPECT_TRUE(warning.contains(u"../../../canary/a.txt"_s)) << warning.toStdString();
    EXPECT_TRUE(warning.contains(u"evil\r\n"_s));
    EXPECT_TRUE(warning.contains(u"\r\nsub"_s));  // the staged folder met the link: left out whole
    EXPECT_TRUE(warning.contains(u"dev"_s));
    EXPECT_EQ(host.status.value(2), u"\"Aoi\"のインストールが完了しました"_s);

    // Folder values that are links, or that climb out, are refused before anything is written.
    for (const QByteArray& folder : {QByteArray("linked"), QByteArray("../canary"), QByteArray("..") ,
                                     QByteArray("/") + abs, QByteArray("C:canary"), QByteArray("a\\..\\..")}) {
        SCOPED_TRACE(folder.constData());
        ports.messageBox.shown.clear();
        ZipBuilder z;
        z.file("install.txt", "type=voiceset\r\nfolder=" + folder + "\r\n").file("character.txt", "name=X\r\n").file("a.txt", "x");
        install(z);
        EXPECT_EQ(ports.messageBox.lastText(), kInvalid);
        EXPECT_EQ(treeDigest(canary()), before);
    }
}

TEST(ArchivePaths, EntryNamesAndDescriptionValues) {
    struct Case {
        QString name;
        bool ok;
        QStringList parts;
    };
    const QList<Case> cases = {
        {u"a/b.wav"_s, true, {u"a"_s, u"b.wav"_s}},
        {u"a\\b.wav"_s, true, {u"a"_s, u"b.wav"_s}},
        {u"./a//b/"_s, true, {u"a"_s, u"b"_s}},
        {u""_s, true, {}},
        {u"a..b/c"_s, true, {u"a..b"_s, u"c"_s}},
        {u"../a"_s, false, {}},
        {u"a/../b"_s, false, {}},
        {u"a\\..\\b"_s, false, {}},
        {u"/etc/x"_s, false, {}},
        {u"\\x"_s, false, {}},
        {u"C:/x"_s, false, {}},
        {u"c:x"_s, false, {}},
        {u"a/C:x"_s, true, {u"a"_s, u"C:x"_s}},
        {u"a\tb"_s, false, {}},
        {u"ソ/ース"_s, true, {u"ソ"_s, u"ース"_s}},
    };
    for (const Case& c : cases) {
        QStringList parts{u"stale"_s};
        EXPECT_EQ(SplitEntryName(c.name, parts), c.ok) << c.name.toStdString();
        EXPECT_EQ(parts, c.parts) << c.name.toStdString();
    }
    for (const QString& good : {u"aoi"_s, u"ソラ 2"_s, u"a.b"_s}) EXPECT_TRUE(IsPlainFolderName(good)) << good.toStdString();
    for (const QString& bad : {u""_s, u"."_s, u".."_s, u"a..b"_s, u"a/b"_s, u"a\\b"_s, u"C:"_s, u"a\nb"_s})
        EXPECT_FALSE(IsPlainFolderName(bad)) << bad.toStdString();
    QStringList parts;
    EXPECT_TRUE(SplitContentsDir(u"a/b/"_s, parts));
    EXPECT_EQ(parts, (QStringList{u"a"_s, u"b"_s}));
    for (const QString& bad : {u"/a"_s, u"a//b"_s, u"a/../b"_s, u"a\\b"_s, u"./a"_s, u"C:/a"_s, u"/"_s})
        EXPECT_FALSE(SplitContentsDir(bad, parts)) << bad.toStdString();
}

}  // namespace
