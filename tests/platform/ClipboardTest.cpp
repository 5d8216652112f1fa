// The system clipboard port on the desktop session's clipboard.
#include "platform/ui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(Clipboard, PlainTextGoesToAndComesFromTheSystemClipboard) {
    QtClipboard port;
    const QString copied = u"か きゃ\"aか\""_s;
    port.setText(copied);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasText());
    EXPECT_EQ(data->text().toStdString(), copied.toStdString());

    // Text that another program put there reads back unchanged, kana included.
    QGuiApplication::clipboard()->setText(u"さし\"abc\""_s);
    EXPECT_EQ(port.text().toStdString(), u"さし\"abc\""_s.toStdString());
    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(port.text().isEmpty());
}

}  // namespace
