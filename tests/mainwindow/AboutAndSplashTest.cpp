#include "MainWindowFakes.h"
#include "core/Settings.h"
#include "mainwindow/ProgramInfo.h"
#include "mainwindow/ui/Dialog.h"
#include "mainwindow/ui/frmSplash.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(AboutAndSplash, TextsAndPicture) {
    test::ScopedProgramFolder program;
    settings() = Settings();
    EXPECT_EQ(ProgramInfo::SplashVersionText(), u"ﾊﾞｰｼﾞｮﾝ 1.0.0"_s);
    EXPECT_EQ(ProgramInfo::AboutVersionText(), u"Ver 1.0.00"_s);

    // The icon setting names a file directly or one in the program folder; otherwise nothing.
    QImage icon(8, 8, QImage::Format_RGB32);
    icon.fill(Qt::red);
    ASSERT_TRUE(icon.save(program.path() + u"/face.png"_s));
    EXPECT_EQ(ProgramInfo::IconFile(u"face.png"_s), program.path() + u"/face.png"_s);
    EXPECT_EQ(ProgramInfo::IconFile(program.path() + u"/face.png"_s), program.path() + u"/face.png"_s);
    EXPECT_EQ(ProgramInfo::IconFile(u"missing.png"_s), QString());
    EXPECT_EQ(ProgramInfo::IconFile(QString()), QString());

    settings().TransformTitle = u"わたしの歌"_s;
    settings().FormIcon = u"face.png"_s;
    Dialog about;
    EXPECT_EQ(about.findChild<QLabel*>(u"Label1"_s)->text(), u"わたしの歌"_s);
    EXPECT_EQ(about.findChild<QLabel*>(u"Label2"_s)->text(), u"Ver 1.0.00"_s);
    EXPECT_FALSE(about.findChild<QLabel*>(u"Picture1"_s)->pixmap().isNull());
    test::savePng(&about, u"about_box"_s);
    settings() = Settings();
    Dialog plain;
    EXPECT_EQ(plain.findChild<QLabel*>(u"Label1"_s)->text(), u"ＴＯＶＡ"_s);

    frmSplash splash;
    EXPECT_EQ(splash.findChild<QLabel*>(u"lblProductName"_s)->text(), u"ＴＯＶＡ"_s);
    EXPECT_EQ(splash.findChild<QLabel*>(u"lblVersion"_s)->text(), u"ﾊﾞｰｼﾞｮﾝ 1.0.0"_s);
    splash.show();
    test::savePng(&splash, u"splash"_s);
    QTest::keyClick(&splash, Qt::Key_Space);  // any key closes it
    EXPECT_FALSE(splash.isVisible());
}

}  // namespace
