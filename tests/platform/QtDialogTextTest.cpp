// What the standard windows show: Qt's own Japanese texts and file-dialog filters.
#include "platform/ui/QtFileDialog.h"
#include "platform/ui/QtTranslations.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(QtDialogText, StandardButtonsSpeakJapanese) {
    ASSERT_TRUE(installQtTranslations()) << "Qt's Japanese translation (qt6-translations-l10n) is missing";
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text().remove(u'&'), u"はい(Y)"_s);
}

// A description that already shows its patterns is not followed by them again; the dialog reads the
// patterns from the last parentheses, separated by blanks.
TEST(QtDialogText, FiltersShowTheirPatternsOnce) {
    const struct { const char* classic; QStringList shown; } cases[] = {
        {"TOVAスクリプト形式(*.tvx)|*.tvx|すべてのファイル(*.*)|*.*",
         {u"TOVAスクリプト形式(*.tvx)"_s, u"すべてのファイル(*.*)"_s}},
        {"SMF形式ファイル(*.smf,*.mid)|*.smf;*.mid", {u"SMF形式ファイル(*.smf *.mid)"_s}},
        {"すべてのファイル|*.*", {u"すべてのファイル (*.*)"_s}},
        {"波形(*.wav)|*.wav;*.aif", {u"波形(*.wav) (*.wav *.aif)"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.classic);
        EXPECT_EQ(QtFileDialog::qtFilters(QString::fromUtf8(c.classic)), c.shown);
    }
}

}  // namespace
