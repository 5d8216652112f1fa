#include "core/ReadmeMarker.h"
#include "platform/Cp932.h"
#include "support/TestSupport.h"
#include "ProgramFolderFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tova {
namespace {

class ReadmeMarkerTest : public test::ProgramFolderFixture {
protected:
    QByteArray marker() { return test::readFile(file(QStringLiteral("$read"))); }
    QByteArray tokenLine() { return Cp932::encode(ReadmeMarkerToken()) + "\r\n"; }
};

TEST_F(ReadmeMarkerTest, TokenIsOneStableLine) {
    const QString token = ReadmeMarkerToken();
    EXPECT_FALSE(token.isEmpty());
    EXPECT_FALSE(token.contains(u'\n') || token.contains(u'\r'));
    EXPECT_EQ(ReadmeMarkerToken(), token);
}

TEST_F(ReadmeMarkerTest, MarkerDecidesAndIsWrittenOnlyWhenShown) {
    struct Case {
        const char* name;
        QByteArray before;  // empty: no marker
        bool show;
    };
    const QByteArray token = Cp932::encode(ReadmeMarkerToken());
    const Case cases[] = {
        {"no marker", {}, true},
        {"this machine", token + "\r\nmore lines", false},
        {"this machine, no line end", token, false},
        {"other machine", "0123456789abcdef\r\n", true},
        {"token and a blank", token + " \r\n", true},
        {"empty marker", "\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file(QStringLiteral("$read")));
        if (!c.before.isEmpty()) test::writeFile(file(QStringLiteral("$read")), c.before);
        EXPECT_EQ(CheckReadMarker(folder()), c.show);
        EXPECT_EQ(marker(), c.show ? tokenLine() : c.before);
        EXPECT_FALSE(CheckReadMarker(folder()));  // a second check on this machine
    }
}

TEST_F(ReadmeMarkerTest, MarkerThatCannotBeWrittenIsIgnored) {
    EXPECT_TRUE(CheckReadMarker(file(QStringLiteral("no/such/folder"))));
    // A folder standing where the marker should be: not a marker, and it cannot be written.
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("$read")));
    EXPECT_TRUE(CheckReadMarker(folder()));
    EXPECT_TRUE(QFileInfo(file(QStringLiteral("$read"))).isDir());
}

TEST_F(ReadmeMarkerTest, VoiceBankReadme) {
    EXPECT_EQ(FindVoiceReadme(folder()), QString());
    EXPECT_FALSE(VoiceReadmeUnread(folder()));  // no readme: never, whatever the marker holds
    test::writeFile(file(QStringLiteral("read me.txt")), "x");
    EXPECT_EQ(FindVoiceReadme(folder()), file(QStringLiteral("read me.txt")));
    test::writeFile(file(QStringLiteral("readme.txt")), "x");
    EXPECT_EQ(FindVoiceReadme(folder()), file(QStringLiteral("readme.txt")));
    EXPECT_TRUE(VoiceReadmeUnread(folder()));
    EXPECT_TRUE(VoiceReadmeUnread(folder()));  // asking writes nothing
    ASSERT_TRUE(WriteReadMarker(folder()));
    EXPECT_EQ(marker(), tokenLine());
    EXPECT_FALSE(VoiceReadmeUnread(folder()));
}

// A marker that is a link (in a bank passed on by someone) is not followed: what it points at stays
// as it was, and the readme simply counts as unread.
TEST_F(ReadmeMarkerTest, AMarkerThatIsALinkIsNotFollowed) {
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("outside.txt"));
    test::writeFile(target, "keep me");
    ASSERT_TRUE(QFile::link(target, file(QStringLiteral("$read"))));
    EXPECT_FALSE(WriteReadMarker(folder()));
    EXPECT_TRUE(CheckReadMarker(folder()));
    EXPECT_EQ(test::readFile(target), QByteArray("keep me"));
    // A marker that is a regular file is written as always.
    QFile::remove(file(QStringLiteral("$read")));
    EXPECT_TRUE(WriteReadMarker(folder()));
    EXPECT_EQ(marker(), tokenLine());
}

// The program's readme is read as text for its own window: UTF-8 (with or without a byte-order mark),
// else CP932; line ends become LF; missing is a null string, empty an empty one.
TEST_F(ReadmeMarkerTest, ProgramReadmeIsReadAsText) {
    EXPECT_TRUE(ReadProgramReadme().isNull());
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"UTF-8", "\xe6\xad\x8c\xe5\xa3\xb0\r\nline 2\r\n", QString::fromUtf8("歌声\nline 2\n")},
        {"UTF-8 with BOM", "\xef\xbb\xbf\xe6\xad\x8c\rb", QString::fromUtf8("歌\nb")},
        {"CP932", Cp932::encode(QString::fromUtf8("ＭＳ ゴシック\r\n")), QString::fromUtf8("ＭＳ ゴシック\n")},
        {"empty", "", QStringLiteral("")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(file(QStringLiteral("readme.txt")), c.bytes);
        const QString text = ReadProgramReadme();
        EXPECT_FALSE(text.isNull());
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
}  // namespace tova
