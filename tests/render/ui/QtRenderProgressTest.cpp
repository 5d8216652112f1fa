#include "core/ui/frmProgress.h"
#include "render/ui/QtRenderProgress.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

TEST(QtRenderProgress, DrivesTheProgressWindowAtTheRoll) {
    QWidget owner;
    owner.resize(600, 400);
    auto* roll = new QWidget(&owner);
    roll->setObjectName(QStringLiteral("Picture2"));
    roll->setGeometry(0, 40, 600, 360);
    owner.show();
    QtRenderProgress progress(roll, &owner);

    progress.Start(0, 12, 0, true);
    EXPECT_TRUE(progress.IsVisible());
    EXPECT_FALSE(owner.isEnabled());
    progress.SetStatus(QStringLiteral("あ"), 3);
    EXPECT_EQ(frmProgress::form().Label1->text(), QStringLiteral("あ"));
    EXPECT_EQ(frmProgress::form().ProgressBar1->value(), 3);
    progress.SetMaximum(40);
    progress.SetValue(20);
    progress.SetStatusText(QStringLiteral("周波数表(50%)"));
    EXPECT_EQ(frmProgress::form().ProgressBar1->maximum(), 40);
    EXPECT_EQ(frmProgress::form().ProgressBar1->value(), 20);
    EXPECT_EQ(frmProgress::form().Label1->text(), QStringLiteral("周波数表(50%)"));
    savePng(&frmProgress::form(), QStringLiteral("render_progress"));
    progress.Finish();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(frmProgress::isLoaded());

    // One note: nothing shows until a frequency-table run restarts the window.
    progress.Start(0, 1, 0, false);
    EXPECT_FALSE(progress.IsVisible());
    progress.Restart();
    EXPECT_TRUE(progress.IsVisible());
    progress.Finish();
    EXPECT_FALSE(progress.IsVisible());
}

}  // namespace
}  // namespace tova::test
