#include "core/SettingsFile.h"
#include "core/ui/WidgetPlacement.h"
#include "support/TestSupport.h"
#include "../ProgramFolderFixture.h"

#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tova {
namespace {

class WidgetPlacementTest : public test::ProgramFolderFixture {
protected:
    std::string savedPlacement() {
        const QString text = QString::fromLatin1(test::readFile(file(QStringLiteral("setting.ini"))));
        return QRegularExpression(QStringLiteral("MainWindow=([^\r\n]*)")).match(text).captured(1).toStdString();
    }
};

// Each start reads the place and size before the window is shown, when the desktop has not drawn its
// frame yet; each end saves them with the frame drawn. Five starts leave the window where and as
// large as it was, and the file's value unchanged.
TEST_F(WidgetPlacementTest, FiveStartsKeepThePlaceAndTheSize) {
    std::string first;
    for (int start = 0; start < 5; ++start) {
        SCOPED_TRACE(start);
        QWidget window;
        WidgetPlacement placement(&window);
        if (start == 0) {
            window.move(40, 30);
            window.resize(700, 500);
        } else {
            ASSERT_EQ(window.frameGeometry(), window.geometry());  // no frame yet
            ASSERT_TRUE(LoadSettings(&placement));
        }
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        // The frame is there now, so a size that counted it would differ from the client area's.
        ASSERT_GT(window.frameGeometry().width(), window.width());
        ASSERT_GT(window.frameGeometry().height(), window.height());
        EXPECT_EQ(window.width(), 700);
        EXPECT_EQ(window.height(), 500);
        EXPECT_EQ(window.frameGeometry().left(), 40);
        EXPECT_EQ(window.frameGeometry().top(), 30);
        ASSERT_TRUE(SaveSettings(&placement));
        if (start == 0) first = savedPlacement();
        EXPECT_EQ(savedPlacement(), first);
    }
    EXPECT_EQ(first, "40,30,700,500");
}

}  // namespace
}  // namespace tova
