// What the standard windows show: Qt's own Japanese texts and file-dialog filters.
#include "platform/MessageText.h"
#include "platform/ui/QtFileDialog.h"
#include "platform/ui/QtInputBox.h"
#include "platform/ui/QtMessageBox.h"
#include "platform/ui/QtTranslations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <functional>
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
// The file dialog's words, and its kind of a folder, which Qt's catalogues lack, read Japanese.
TEST(QtDialogText, FileDialogWordsSpeakJapanese) {
    ASSERT_TRUE(installQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), u"アドレス:"_s);
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"), u"フォルダ"_s);
    // A text no catalogue has stays as it is.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Nothing of Qt's"), u"Nothing of Qt's"_s);
}

// Message boxes carry the program's title as its main window shows it; a Yes/No question shows the
// question mark; an input box asked by its caption shows the question inside.
TEST(QtDialogText, BoxesShowTheProgramTitleTheQuestionAndAnIcon) {
    QtMessageBox::setProgramTitle(u"ＴＯＶＡ"_s);
    struct Restore {
        ~Restore() { QtMessageBox::setProgramTitle(QString()); }
    } restore;
    auto whenOpen = [](std::function<void(QWidget*)> look) {
        QTimer::singleShot(0, [look] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            look(w);
            w->close();
        });
    };

    QtMessageBox messages;
    bool seen = false;
    whenOpen([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), u"ＴＯＶＡ"_s);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        seen = true;
    });
    MessageRequest save;
    save.text = u"プロジェクトは変更されています。変更を保存しますか？"_s;
    save.buttons = MsgButtons::YesNoCancel;
    messages.show(save);
    EXPECT_TRUE(seen);

    QtInputBox input;
    seen = false;
    whenOpen([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), u"全体のテンポの変更"_s);
        QStringList shown;
        for (QLabel* l : w->findChildren<QLabel*>()) shown << l->text();
        EXPECT_TRUE(shown.contains(u"全体のテンポの変更"_s)) << shown.join(u'|').toStdString();
        seen = true;
    });
    InputRequest tempo;
    tempo.title = u"全体のテンポの変更"_s;
    tempo.defaultText = u"120"_s;
    QString answer;
    EXPECT_FALSE(input.ask(tempo, answer));
    EXPECT_TRUE(seen);
}

// Whatever a message holds (a 5 MB line from a damaged file, a hundred thousand lines, long lines of
// wide characters, a path without blanks), its box stays inside the screen, and what is shown keeps
// the start and the end of a long line.
TEST(QtDialogText, MessageBoxesNeverGrowPastTheScreen) {
    const QString wide = QString(3000, u'あ');
    const struct {
        const char* what;
        QString text;
    } cases[] = {
        {"one 5 MB line", u"「Lyric」の値："_s + QString(5 << 20, u'x') + u"end"_s},
        {"a hundred thousand lines", (u"line\n"_s).repeated(100000)},
        {"many long lines of wide characters", (wide + u"\r\n"_s).repeated(200)},
        {"a long path", u"/home/user/"_s + (u"フォルダ/"_s).repeated(2000) + u"oto.ini: 読めません"_s},
        {"blank-separated words", (u"word "_s).repeated(200000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QtMessageBox messages;
        QSize size, screen;
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            size = w->frameGeometry().size();
            screen = w->screen()->availableGeometry().size();
            if (auto* box = qobject_cast<QMessageBox*>(w)) shown = box->text();
            w->close();
        });
        MessageRequest request;
        request.text = c.text;
        messages.show(request);
        ASSERT_TRUE(screen.isValid());
        EXPECT_LE(size.width(), screen.width());
        EXPECT_LE(size.height(), screen.height());
        EXPECT_TRUE(shown.startsWith(c.text.left(8))) << shown.left(40).toStdString();
    }
    EXPECT_EQ(BoundedMessageText(u"/a/"_s + QString(200, u'b') + u"/oto.ini"_s).right(8), u"/oto.ini"_s);
    EXPECT_EQ(BoundedMessageText(u"short\r\nlines\nstay"_s), u"short\nlines\nstay"_s);
}

// A long line is cut so that what tells the user which file is meant stays: a file's folder and name
// stand whole before the words after them, and no character is cut in two.
TEST(QtDialogText, ALongLineKeepsTheFileItNames) {
    const QString bank = u"/home/someone/.local/share/singing/voices/とても長い名前の音源_version2"_s;
    const struct {
        QString line;
        QString kept;
    } cases[] = {
        {u"「"_s + bank + u"/A4_power_soft/oto.ini」の12行目は長すぎるため読み込みません（1行4096バイトまで）。"_s,
         u"A4_power_soft/oto.ini」の12行目は長すぎるため読み込みません（1行4096バイトまで）。"_s},
        {bank + u"/強/_あいうえおかきくけこさしすせそ_C4_強.wav の周波数表を更新出来ませんでした。"_s,
         u"/強/_あいうえおかきくけこさしすせそ_C4_強.wav の周波数表を更新出来ませんでした。"_s},
    };
    for (const auto& c : cases) {
        const QString shown = BoundedMessageText(c.line);
        EXPECT_LE(shown.size(), kMessageLineChars);
        EXPECT_TRUE(shown.endsWith(c.kept)) << shown.toStdString();
        EXPECT_TRUE(shown.startsWith(c.line.left(10))) << shown.toStdString();
    }
    // Characters beyond the first plane (two UTF-16 units each) stay whole on both sides of the cut.
    for (const qsizetype lead : {0, 1}) {
        const QString line = QString(lead, u'a') + QString(150, u'x').replace(u"x"_s, u"𠮷"_s);
        const QString shown = BoundedMessageText(line);
        EXPECT_TRUE(QStringView(shown).isValidUtf16()) << lead;
        EXPECT_LE(shown.size(), kMessageLineChars);
    }
}

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
