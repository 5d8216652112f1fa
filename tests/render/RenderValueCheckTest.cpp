// The check of a render's values before anything is written: a refused note value is named by its
// note and field.
#include "render/RenderNotePlan.h"
#include "render/RenderValueCheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace tova {
namespace {

TEST(RenderValueCheckTest, ARefusedNoteValueNamesItsNoteAndField) {
    std::vector<RenderNotePlan> notes(3);
    for (int i = 0; i < 3; ++i) {
        notes[std::size_t(i)].index = i;
        notes[std::size_t(i)].name = QStringLiteral("a");
        notes[std::size_t(i)].sampleExt = QStringLiteral(".wav");
    }
    notes[2].rest = true;
    notes[2].flags = QStringLiteral("\"");  // a rest's values are not used
    EXPECT_NO_THROW(CheckRenderValues({}, notes));

    const struct {
        QString RenderNotePlan::*field;
        const char* value;
        const char* named;
        const char* bad;
    } rows[] = {
        {&RenderNotePlan::flags, "g\"x", "ノート1のフラグ", "（\"）"},
        {&RenderNotePlan::env, "0 5 35%", "ノート1のエンベロープ", "（%）"},
        {&RenderNotePlan::pitchText, "a\nb", "ノート1のピッチ", "（改行）"},
        {&RenderNotePlan::cacheFileName, "1_a\t.wav", "ノート1のキャッシュファイル名", "（制御文字 U+0009）"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.named);
        std::vector<RenderNotePlan> refused = notes;
        refused[1].*r.field = QString::fromUtf8(r.value);
        try {
            CheckRenderValues({}, refused);
            ADD_FAILURE() << "not refused";
        } catch (const RenderValueError& e) {
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(r.named))) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(r.bad))) << e.description().toStdString();
        }
    }
}

}  // namespace
}  // namespace tova
