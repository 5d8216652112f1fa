#include "core/clsMap.h"

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(clsMap, FirstAddWinsAndOnlySetValueReplaces) {
    clsMap m;
    EXPECT_GE(m.add("k", "1"), 0);
    EXPECT_EQ(m.add("k", "2"), -1);
    EXPECT_EQ(m.Value("k"), "1");
    EXPECT_TRUE(m.setValue("k", "2"));
    EXPECT_EQ(m.Value("k"), "2");
    EXPECT_EQ(m.Keys(), QStringList{"k"});
    // setValue never adds.
    EXPECT_FALSE(m.setValue("x", "1"));
    EXPECT_FALSE(m.ContainsKey("x"));
    EXPECT_EQ(m.Value("x"), QString());
    // Keys are case-sensitive; the empty key is a key like any other.
    EXPECT_GE(m.add("K", "upper"), 0);
    EXPECT_EQ(m.Value("k"), "2");
    EXPECT_EQ(m.Value("K"), "upper");
    EXPECT_FALSE(m.ContainsKey(""));
    EXPECT_EQ(m.Value(""), QString());
    EXPECT_GE(m.add("", "empty key"), 0);
    EXPECT_TRUE(m.ContainsKey(QString()));
    EXPECT_EQ(m.Value(QString()), "empty key");
    EXPECT_EQ(m.Keys(), (QStringList{"k", "K", ""}));
}

TEST(clsMap, RemovedKeysStayListedInTheirPlace) {
    clsMap m;
    for (const char* k : {"a", "k", "b"}) m.add(k, QString::fromLatin1(k).toUpper());
    EXPECT_TRUE(m.Remove("k"));
    EXPECT_FALSE(m.Remove("k"));
    EXPECT_FALSE(m.ContainsKey("k"));
    EXPECT_EQ(m.Value("k"), QString());
    EXPECT_FALSE(m.setValue("k", "x"));
    EXPECT_EQ(m.Value("b"), "B");
    EXPECT_EQ(m.Keys(), (QStringList{"a", "k", "b"}));
    // Added again: a new entry at the end, listed a second time.
    EXPECT_GE(m.add("k", "3"), 0);
    EXPECT_EQ(m.Value("k"), "3");
    EXPECT_EQ(m.Keys(), (QStringList{"a", "k", "b", "k"}));
    EXPECT_EQ(m.add("k", "4"), -1);
    EXPECT_EQ(m.Value("k"), "3");

    m.Clear();
    EXPECT_TRUE(m.Keys().isEmpty());
    for (const char* k : {"a", "k", "b"}) EXPECT_FALSE(m.ContainsKey(k)) << k;
    EXPECT_GE(m.add("a", "again"), 0);
    EXPECT_EQ(m.Value("a"), "again");
}

TEST(clsMap, HoldsLargeVoiceBanksInOrder) {
    // Far more than a fixed table of 20051 slots would hold, with removals in between.
    const int n = 60000;
    clsMap m;
    for (int i = 0; i < n; ++i) ASSERT_GE(m.add(QStringLiteral("あ%1.wav").arg(i), QString::number(i)), 0) << i;
    for (int i = 0; i < n; i += 3) ASSERT_TRUE(m.Remove(QStringLiteral("あ%1.wav").arg(i)));
    QList<int32_t> readded;
    for (int i = 0; i < n; ++i) {
        const int32_t r = m.add(QStringLiteral("あ%1.wav").arg(i), "later");
        if (i % 3 == 0) readded << r;
        else ASSERT_EQ(r, -1) << i;
    }
    const QStringList keys = m.Keys();
    // add answers the entry's place in Keys.
    for (int j = 0; j < readded.size(); ++j) ASSERT_EQ(keys.value(readded[j]), QStringLiteral("あ%1.wav").arg(3 * j));
    ASSERT_EQ(keys.size(), n + n / 3);
    for (int i = 0; i < n; ++i) ASSERT_EQ(keys[i], QStringLiteral("あ%1.wav").arg(i));
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(m.Value(QStringLiteral("あ%1.wav").arg(i)), i % 3 == 0 ? QStringLiteral("later") : QString::number(i));
}

}  // namespace
