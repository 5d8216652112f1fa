// The command registry and the shared rules of the edit context: the selected range and the undo frame.
#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "core/Settings.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

void makeSong(Song& s, const QStringList& lyrics) {
    s.resizeNotes(qint32(lyrics.size()));
    for (int i = 0; i < lyrics.size(); ++i) {
        s.Lyrics[i] = lyrics[i];
        s.Lengths[i] = 480;
        s.NoteNums[i] = 60;
    }
}

TEST(CommandRegistry, RunsByNameAndThroughAliases) {
    CommandRegistry registry;
    FakeEditContext c;
    QStringList ran;
    registry.add(u"mnZoomIn"_s, [&](EditContext&) { ran << u"zoom"_s; }, [](const EditContext& e) { return e.zoom() > 1; });
    registry.addIndexed(u"mnHistory"_s, [&](EditContext&, int i) { ran << u"history %1"_s.arg(i); });
    registry.alias(u"cmdZoomIn"_s, u"mnZoomIn"_s);

    EXPECT_TRUE(registry.run(u"mnZoomIn"_s, c));
    EXPECT_TRUE(registry.run(u"cmdZoomIn"_s, c));
    EXPECT_TRUE(registry.run(u"mnHistory"_s, c, 3));
    EXPECT_FALSE(registry.run(u"mnCut"_s, c));  // not registered: nothing runs
    EXPECT_EQ(ran, (QStringList{u"zoom"_s, u"zoom"_s, u"history 3"_s}));

    EXPECT_EQ(registry.resolve(u"cmdZoomIn"_s), u"mnZoomIn"_s);
    EXPECT_EQ(registry.resolve(u"mnCut"_s), u"mnCut"_s);
    EXPECT_EQ(registry.names(), (QStringList{u"mnHistory"_s, u"mnZoomIn"_s}));
    EXPECT_EQ(registry.aliases(), QStringList{u"cmdZoomIn"_s});

    // Enabled states come from the predicates; a command without one is always enabled, an unknown
    // control never.
    c.zoomValue = 4;
    EXPECT_TRUE(registry.enabled(u"cmdZoomIn"_s, c));
    c.zoomValue = 0.5f;
    EXPECT_FALSE(registry.enabled(u"mnZoomIn"_s, c));
    EXPECT_TRUE(registry.enabled(u"mnHistory"_s, c));
    EXPECT_FALSE(registry.hasPredicate(u"mnHistory"_s));
    EXPECT_FALSE(registry.enabled(u"mnCut"_s, c));
}

TEST(EditContext, SelectedRangeOrdersAndClamps) {
    const struct {
        qint32 start, end;
        qint32 first, last;
        bool empty;
    } cases[] = {
        {1, 2, 1, 2, false},   // left to right
        {2, 1, 1, 2, false},   // right to left: the same notes
        {1, 3, 1, 2, false},   // the end at the note count is cut to the last note
        {3, 3, 3, 2, true},    // no selection
        {4, 4, 4, 2, true},    // left past the end by a removal
        {0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        FakeEditContext ctx;
        makeSong(ctx.s, {u"あ"_s, u"い"_s, u"う"_s});
        ctx.setSelection(c.start, c.end);
        const NoteRange r = ctx.selectedRange();
        EXPECT_EQ(r.empty, c.empty);
        if (!c.empty) {
            EXPECT_EQ(r.first, c.first);
            EXPECT_EQ(r.last, c.last);
        }
    }
}

TEST(EditContext, PropertyStepRecordsOnlyAChangeAndDropsItsRenderings) {
    settings() = Settings();
    FakeEditContext c;
    makeSong(c.s, {u"あ"_s, u"い"_s, u"う"_s});
    c.s.CacheDir = u"/cache"_s;

    c.beginPropUndo(0, 1, u"音符のプロパティ"_s);
    EXPECT_FALSE(c.endPropUndo(true));  // nothing changed: no step, no modified mark, no deletion
    EXPECT_EQ(c.s.UndoPos, 0);
    EXPECT_FALSE(c.s.IsModified);
    EXPECT_TRUE(c.cache.deleted.isEmpty());

    c.beginPropUndo(1, 2, u"音符のプロパティ"_s);
    c.s.NoteNums[2] = 62;
    EXPECT_TRUE(c.endPropUndo(true));
    EXPECT_EQ(c.s.UndoPos, 1);
    EXPECT_EQ(c.s.UndoCaptions.value(0), u"音符のプロパティ"_s);
    EXPECT_TRUE(c.s.IsModified);
    EXPECT_EQ(c.cache.deleted, (QList<QPair<QString, qint32>>{{u"/cache"_s, 1}, {u"/cache"_s, 2}}));

    c.s.Undo();
    EXPECT_EQ(c.s.NoteNums[2], 60);
}

}  // namespace
