#include "song/NoteExtension.h"
#include "song/OptionList.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString T = u"\t"_s;
const QString N = u"\\n"_s;

TEST(NoteExtension, FieldsReadAsExactlySix) {
    EXPECT_EQ(SplitNoteExt(QString()), QStringList(6));
    EXPECT_EQ(SplitNoteExt(u"a\tb"_s), QStringList({u"a"_s, u"b"_s, {}, {}, {}, {}}));
    EXPECT_EQ(NoteExtField(u"0\t1\t2\t3\t4\t5\t6"_s, 5), u"5"_s);  // beyond the sixth is ignored
    EXPECT_EQ(NoteExtField(u"0\t1"_s, 4), QString());
    EXPECT_EQ(JoinNoteExt({u"a"_s}), u"a\t\t\t\t\t"_s);
}

TEST(NoteExtension, OptionLookupIsExactAndFirstWins) {
    const QString ext = T + T + T + T + T + u"tempo=140"_s + N + u"label=A"_s + N + u"label=B"_s + N + u"odd"_s + N +
                        u"k=v=w"_s;
    const struct { const char16_t* key; const char16_t* value; } cases[] = {
        {u"label", u"A"}, {u"Tempo", u""}, {u"tempo", u"140"}, {u"k", u"v"},  // text after a second "=" is no value
        {u"odd", u""},                                                        // an entry without "=" is all key
        {u"odd=", u""}, {u"missing", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.key).toStdString());
        EXPECT_EQ(GetNoteOption(ext, QString::fromUtf16(c.key)), QString::fromUtf16(c.value));
    }
    EXPECT_EQ(GetListValue(u"a=1"_s + N + u"b=2"_s, u"b"_s), u"2"_s);
    EXPECT_EQ(GetNoteOption(QString(), u"env"_s), QString());
}

TEST(NoteExtension, SetOptionNormalisesToSixFields) {
    const struct {
        const char16_t* before;
        const char16_t* key;
        const char16_t* value;
        QString after;
    } cases[] = {
        {u"", u"env", u"0,5,35,0,100,100,0", T + T + T + T + T + u"env=0 5 35 0 100 100 0"_s},
        {u"1:2:3\t100", u"stp", u"", u"1:2:3\t100\t\t\t\t"_s},  // absent key, empty value: only normalised
        {u"a\tb\tc\td\te\tx=1\tdropped", u"x", u"2", u"a\tb\tc\td\te\tx=2"_s},
        {u"\t\t\t\t\tx=1\\nx=2\\ny=3", u"x", u"", T + T + T + T + T + u"x=2"_s + N + u"y=3"_s},  // only the first
        {u"\t\t\t\t\tx=1", u"x", u"", T + T + T + T + T},  // the only entry: the list becomes empty
        {u"\t\t\t\t\tx=1=old\\ny=2", u"x", u"new", T + T + T + T + T + u"x=new"_s + N + u"y=2"_s},
        {u"\t\t\t\t\ty=2", u"x", u"1", T + T + T + T + T + u"y=2"_s + N + u"x=1"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.before).toStdString());
        QString ext = QString::fromUtf16(c.before);
        SetNoteOption(ext, QString::fromUtf16(c.key), QString::fromUtf16(c.value));
        EXPECT_EQ(ext, c.after);
    }
}

// Many changes held in one list end as the same changes made one at a time on the text would.
TEST(NoteExtension, OptionListHeldApartMatchesChangesOneByOne) {
    const struct {
        const char16_t* before;
        std::vector<std::pair<const char16_t*, const char16_t*>> changes;
        QString after;
    } cases[] = {
        {u"", {}, QString()},
        {u"a=1\\n\\nodd\\n", {}, u"a=1"_s + N + N + u"odd"_s + N},  // unchanged: byte for byte
        {u"x=1\\nx=2\\ny=3", {{u"x", u""}, {u"x", u"9"}}, u"x=9"_s + N + u"y=3"_s},  // the second x is first now
        {u"x=1\\nx=2", {{u"x", u""}, {u"x", u""}, {u"x", u"5"}}, u"x=5"_s},          // gone, then appended
        {u"x=1\\ny=2", {{u"x", u""}, {u"z", u"a,b"}, {u"x", u"3"}}, u"y=2"_s + N + u"z=a b"_s + N + u"x=3"_s},
        {u"k=v=w\\nodd", {{u"odd", u"1"}, {u"k", u"2"}, {u"absent", u""}}, u"k=2"_s + N + u"odd=1"_s},
        {u"\\nx=1", {{u"x", u""}}, QString()},  // one empty entry left: the empty list
        {u"\\nx=1", {{u"", u"e"}}, u"=e"_s + N + u"x=1"_s},  // the empty entry has the empty key
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.before).toStdString());
        OptionList held{QString::fromUtf16(c.before)};
        QString oneByOne = QString::fromUtf16(c.before);
        for (const auto& [key, value] : c.changes) {
            held.set(QString::fromUtf16(key), QString::fromUtf16(value));
            SetListValue(oneByOne, QString::fromUtf16(key), QString::fromUtf16(value));
        }
        EXPECT_EQ(held.text(), c.after);
        EXPECT_EQ(oneByOne, c.after);
    }
}

TEST(NoteExtension, AtEntriesAreHandedOnInListOrder) {
    const QString ext = T + T + T + T + T + u"@b=1"_s + N + u"tempo=120"_s + N + u"@a=x y"_s + N + u"@c"_s;
    EXPECT_EQ(GetNoteAtEntries(ext), u"@b=1\r\n@a=x y\r\n@c\r\n"_s);
    EXPECT_EQ(GetNoteAtKeys(ext), u"@b=\r\n@a=\r\n@c=\r\n"_s);
    EXPECT_EQ(GetNoteAtEntries(u"\t\t\t\t\ttempo=1"_s), QString());
}

TEST(NoteExtension, TimingIntensityAndFlagSetters) {
    QString ext = u"40\t100"_s;
    SetNotePreOverlap(ext, u"50"_s, u"10"_s);
    EXPECT_EQ(ext, u"50:10:\t100\t\t\t\t"_s);
    ext = u"1:2:80\tx"_s;
    SetNotePreOverlap(ext, QString(), QString());
    EXPECT_EQ(ext, u"::80\tx\t\t\t\t"_s);

    ext = u"1:2:3\t1\t2\t5Q120 1\tB1\tk=v"_s;
    SetNoteIntensityModFlags(ext, 120, -20, u"g-5"_s);
    EXPECT_EQ(ext, u"1:2:3\t120\t-20\t5Q120 1\tg-5\tk=v"_s);
}

TEST(NoteExtension, FlagValuesAndCuts) {
    const struct {
        const char16_t* flags;
        const char16_t* letter;
        const char16_t* value;
        const char16_t* cut;
        const char16_t* rest;
    } cases[] = {
        {u"B50g-10Y0", u"g", u"-10", u"g-10", u"B50Y0"},
        {u"B50g-10Y0", u"Y", u"0", u"Y0", u"B50g-10"},
        {u"B50g-10Y0", u"B", u"50", u"B50", u"g-10Y0"},
        {u"B50g-10Y0", u"N", u"", u"", u"B50g-10Y0"},
        {u"g+", u"g", u"+", u"g+", u""},
        {u"gX", u"g", u"", u"g", u"X"},
        {u"", u"g", u"", u"", u""},
        {u"B50", u"", u"", u"", u"B50"},
        {u"b5B7", u"B", u"7", u"B7", u"b5"},  // case-sensitive
        {u"g1g2", u"g", u"1", u"g1", u"g2"},  // the first occurrence
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.flags).toStdString() + " / " + QString::fromUtf16(c.letter).toStdString());
        QString flags = QString::fromUtf16(c.flags);
        EXPECT_EQ(GetFlagValue(flags, QString::fromUtf16(c.letter)), QString::fromUtf16(c.value));
        EXPECT_EQ(CutFlag(flags, QString::fromUtf16(c.letter)), QString::fromUtf16(c.cut));
        EXPECT_EQ(flags, QString::fromUtf16(c.rest));
    }
}

}  // namespace
