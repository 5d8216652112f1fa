// The count and lyric list of notes rendered without a sample.
#include "render/MissingSamples.h"

#include "render/RenderNotePlan.h"
#include "song/Song.h"

#include <gtest/gtest.h>

namespace tova::test {
namespace {

// Twelve notes without a sample, the last two repeating a lyric, and a rest and a note with its sample:
// eleven distinct lyrics, ten shown and then "…"; the rest and the sounding note are not counted.
TEST(MissingSamplesTest, CountsEveryNoteAndListsTheFirstTenDistinctLyrics) {
    Song song;
    MissingSamples missing;
    EXPECT_EQ(missing.text(), QString());
    const QStringList lyrics = {QStringLiteral("a0"), QStringLiteral("a1"), QStringLiteral("a2"), QStringLiteral("a3"),
                                QStringLiteral("a4"), QStringLiteral("a5"), QStringLiteral("a6"), QStringLiteral("a7"),
                                QStringLiteral("a8"), QStringLiteral("a9"), QStringLiteral("b"),  QStringLiteral("a0"),
                                QStringLiteral("R"),  QStringLiteral("ok")};
    song.Lyrics = lyrics;
    for (qint32 i = 0; i < lyrics.size(); ++i) {
        RenderNotePlan plan;
        plan.index = i;
        plan.rest = lyrics[i] == u"R";
        plan.noSample = lyrics[i] != u"ok";
        missing.add(song, plan);
    }
    EXPECT_EQ(missing.count(), 12);
    EXPECT_EQ(missing.lyrics().size(), 11);
    const QString text = missing.text();
    EXPECT_TRUE(text.contains(QStringLiteral("12個"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\"a9\", …"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("\"b\""))) << text.toStdString();
    missing.clear();
    EXPECT_EQ(missing.text(), QString());
}

}  // namespace
}  // namespace tova::test
