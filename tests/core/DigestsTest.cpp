#include "core/Digests.h"
#include "core/Md5.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(MD5String, MatchesTheReferenceDigests) {
    const struct {
        QString text;
        const char* digest;
    } cases[] = {
        // The test suite of RFC 1321.
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Lengths around the block end: from 56 bytes on the completion needs a second block.
        {QString(55, u'a'), "ef1772b6dff9a122358552954ad0df65"},
        {QString(56, u'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {QString(63, u'a'), "b06521f39153d618550606be297466d5"},
        {QString(64, u'a'), "014842d480b571495a4a0363793f7367"},
        {QString(65, u'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {QString(120, u'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
        // Japanese text is hashed as its code-page-932 bytes ("あ" is 82 A0), not as UTF-16.
        {QStringLiteral("あ"), "8f03c3a6dbec1d0f1a5af60947b7b052"},
        {QStringLiteral("あいうえお、音声合成"), "89456cbd69e947accb13dc3b306500df"},
        // A character the code page lacks is hashed as "?".
        {QStringLiteral("é"), "d1457b72c3fb323a2671125aef3eab5d"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(20).toStdString());
        EXPECT_EQ(MD5String(c.text), QString::fromLatin1(c.digest));
    }
}

TEST(Md5, AnySplitOfTheInputGivesTheSameDigest) {
    QByteArray data(300, '\0');
    QRandomGenerator rng(1321);
    for (char& b : data) b = char(rng.bounded(256));
    for (int size : {0, 1, 55, 56, 63, 64, 65, 127, 128, 129, 300}) {
        const QByteArray part = data.left(size);
        const QByteArray expected = QCryptographicHash::hash(part, QCryptographicHash::Md5);
        EXPECT_EQ(Md5::digest(part), expected) << size;
        for (int split = 0; split <= size; split += 7) {
            Md5 m;
            m.update(part.constData(), std::size_t(split));
            m.update(part.constData() + split, std::size_t(size - split));
            EXPECT_EQ(m.finish(), expected) << size << " split at " << split;
        }
        // Byte by byte, and the object reused after init.
        Md5 m;
        m.update("junk", 4);
        m.finish();
        m.init();
        for (char b : part) m.update(&b, 1);
        EXPECT_EQ(m.finish(), expected) << size << " byte by byte";
    }
}

TEST(MD5File, DigestsTheFileBytesOrGivesDashesWhenUnreadable) {
    QTemporaryDir tmp;
    test::writeFile(tmp.path() + "/abc.bat", "abc");
    test::writeFile(tmp.path() + "/Empty.dll", "");
    QByteArray big(200000, '\0');
    QRandomGenerator rng(7);
    for (char& b : big) b = char(rng.bounded(256));
    test::writeFile(tmp.path() + "/big.exe", big);
    const QString dashes(32, u'-');
    const struct {
        QString path;
        QString digest;
    } cases[] = {
        {tmp.path() + "/abc.bat", "900150983cd24fb0d6963f7d28e17f72"},
        {tmp.path() + "\\ABC.BAT", "900150983cd24fb0d6963f7d28e17f72"},
        {tmp.path() + "/empty.dll", "d41d8cd98f00b204e9800998ecf8427e"},
        {tmp.path() + "/big.exe", QString::fromLatin1(QCryptographicHash::hash(big, QCryptographicHash::Md5).toHex())},
        {tmp.path() + "/missing.exe", dashes},
        {tmp.path(), dashes},
        {QString(), dashes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(MD5File(c.path), c.digest);
    }
    // The library entry leaves the buffer alone when it cannot read the file.
    QByteArray buffer(33, '-');
    EXPECT_FALSE(md5file(tmp.path() + "/missing.exe", buffer));
    EXPECT_EQ(buffer, QByteArray(33, '-'));
    EXPECT_TRUE(md5file(tmp.path() + "/abc.bat", buffer));
    EXPECT_EQ(buffer, QByteArray("900150983cd24fb0d6963f7d28e17f72-"));
}

}  // namespace
