#include "core/SettingsFile.h"
#include "core/ui/WidgetPlacement.h"
#include "support/TestSupport.h"
#include "../ProgramFolderFixture.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
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

// A place kept on a larger screen, or on a screen no longer there, brings the window back whole into
// this screen's work area, frame included; a place that fits stays as it was.
TEST_F(WidgetPlacementTest, APlaceFromALargerScreenIsBroughtOntoThisOne) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* name;
        QRect kept;  // frame's left and top, client size
    } cases[] = {
        {"right and below", QRect(area.right() - 100, area.bottom() - 80, 944, 580)},
        {"larger than the screen", QRect(0, 0, area.width() + 400, area.height() + 300)},
        {"left of and above it", QRect(-3000, -2000, 500, 400)},
        {"another screen far away", QRect(area.width() * 3, 10, 500, 400)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window;
        WidgetPlacement(&window).setPlacement(c.kept.x() * 15.0, c.kept.y() * 15.0, c.kept.width() * 15.0,
                                              c.kept.height() * 15.0);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_TRUE(area.contains(window.frameGeometry()))
            << window.frameGeometry().x() << "," << window.frameGeometry().y() << " " << window.frameGeometry().width()
            << "x" << window.frameGeometry().height() << " in " << area.width() << "x" << area.height();
        if (c.kept.width() <= area.width() / 2) EXPECT_EQ(window.width(), c.kept.width());  // only moved
    }
    QWidget window;
    WidgetPlacement(&window).setPlacement(40 * 15.0, 30 * 15.0, 300 * 15.0, 200 * 15.0);
    EXPECT_EQ(window.pos(), QPoint(40, 30));
    EXPECT_EQ(window.size(), QSize(300, 200));
}

}  // namespace
}  // namespace tova
