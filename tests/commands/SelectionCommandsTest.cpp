// Releasing the selection.
#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "commands/SelectionCommands.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(SelectionCommands, ReleaseSelectMovesBothEndsPastTheLastNote) {
    CommandRegistry registry;
    registerSelectionCommands(registry);
    for (const qint32 count : {3, 0}) {
        SCOPED_TRACE(count);
        FakeEditContext c;
        c.s.resizeNotes(count);
        c.setSelection(2, 0);  // made from right to left
        ASSERT_TRUE(registry.run(u"mnReleaseSelect"_s, c));
        EXPECT_EQ(c.selStart(), count);
        EXPECT_EQ(c.selEnd(), count);
        EXPECT_TRUE(c.selectedRange().empty);
        EXPECT_EQ(c.notesDrawn, 1);  // the selection alone changed: notes only
        EXPECT_EQ(c.backgrounds, 0);
        EXPECT_EQ(c.s.UndoPos, 0);  // no undo step
        EXPECT_FALSE(c.s.IsModified);
    }
}

}  // namespace
