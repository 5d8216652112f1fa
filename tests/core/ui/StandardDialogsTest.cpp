// The standard windows behind the dialog ports as the program shows them (its font, Qt's Japanese
// texts): the file dialog's columns, where boxes stand, and the replace question of a save dialog.
#include "core/ui/ProgramFont.h"
#include "platform/FakePorts.h"
#include "platform/ui/QtFileDialog.h"
#include "platform/ui/QtMessageBox.h"
#include "platform/ui/QtTranslations.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

struct ProgramLook {
    QFont before = QApplication::font();
    ProgramLook() {
        installQtTranslations();
        QApplication::setFont(programFont());
    }
    ~ProgramLook() { QApplication::setFont(before); }
};

void writeFile(const QString& path, qsizetype bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(bytes, 'x'));
}

// Runs `look` on the modal window once it is open (polled, so that a dialog opened again is seen).
void whenModal(std::function<bool(QWidget*)> look) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->isVisible() && look(w)) timer->deleteLater();
    });
    timer->start();
}

// The size, type and date of every entry are shown whole: each column is at least as wide as its
// widest text at the dialog's font (a cut text would read "869…tes").
TEST(StandardDialogs, FileDialogColumnsShowTheirTextWhole) {
    ProgramLook look;
    QTemporaryDir dir;
    writeFile(dir.filePath(u"うた.mid"_s), 869);
    writeFile(dir.filePath(u"long name of a song.tvx"_s), 123456);
    writeFile(dir.filePath(u"a.wav"_s), 98765432);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"フォルダ"_s));

    bool seen = false;
    whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        if (!dlg) return false;
        auto* tree = dlg->findChild<QTreeView*>(u"treeView"_s);
        EXPECT_NE(tree, nullptr);
        if (!tree) {
            dlg->reject();
            return true;
        }
        QAbstractItemModel* model = tree->model();
        // The listing is read in the background.
        QTest::qWaitFor([&] { return model->rowCount(tree->rootIndex()) == 4; }, 5000);
        QHeaderView* header = tree->header();
        const QFontMetrics fm(tree->font());
        const int margin = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        auto needed = [&](int column) {
            int width = 0;
            for (int row = 0; row < model->rowCount(tree->rootIndex()); ++row)
                width = std::max(width, fm.horizontalAdvance(model->index(row, column, tree->rootIndex()).data().toString()));
            return width + margin;
        };
        QTest::qWaitFor([&] {
            for (int column = 1; column <= 3; ++column)
                if (header->sectionSize(column) < needed(column)) return false;
            return true;
        }, 2000);
        test::savePng(dlg, u"file_dialog_columns"_s);
        for (int column = 1; column <= 3; ++column) {
            QStringList texts;
            for (int row = 0; row < model->rowCount(tree->rootIndex()); ++row)
                texts << model->index(row, column, tree->rootIndex()).data().toString();
            EXPECT_GE(header->sectionSize(column), needed(column)) << "column " << column << ": " << texts.join(u" | ").toStdString();
        }
        // The name column takes the rest of the width.
        EXPECT_GE(header->sectionSize(0), fm.horizontalAdvance(u"long name of a song.tvx"_s));
        seen = true;
        dlg->reject();
        return true;
    });
    QtFileDialog files;
    FileDialogRequest open;
    open.title = u"開く"_s;
    open.filter = u"すべてのファイル|*.*"_s;
    open.initialFolder = dir.path();
    FileDialogResult chosen;
    EXPECT_FALSE(files.run(open, chosen));
    EXPECT_TRUE(seen);
}

// A box stands over the window that asks, also when that window was moved and is not the active one
// (no window of the program has the focus), and over a dialog that asks.
TEST(StandardDialogs, BoxesStandOverTheWindowThatAsks) {
    QMainWindow main;
    main.resize(420, 320);
    main.show();
    main.move(40, 50);
    QApplication::processEvents();
    QApplication::setActiveWindow(nullptr);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), nullptr);

    QtMessageBox messages;
    MessageRequest note;
    note.text = u"確認"_s;
    QPoint boxCentre;
    auto measure = [&](QWidget* w) {
        if (!qobject_cast<QMessageBox*>(w)) return false;
        boxCentre = w->frameGeometry().center();
        w->close();
        return true;
    };
    whenModal(measure);
    messages.show(note);
    const QRect over = main.frameGeometry();
    EXPECT_TRUE(over.contains(boxCentre)) << boxCentre.x() << "," << boxCentre.y();
    EXPECT_LE((boxCentre - over.center()).manhattanLength(), 4);

    // A dialog that asks: the box stands over it, not over the main window.
    QDialog asking(&main);
    asking.setWindowModality(Qt::ApplicationModal);
    asking.resize(200, 150);
    asking.show();
    asking.move(500, 380);
    QApplication::processEvents();
    whenModal([&](QWidget* w) { return w != &asking && measure(w); });
    messages.show(note);
    EXPECT_LE((boxCentre - asking.frameGeometry().center()).manhattanLength(), 4);
}

// Saving over a file asks the program's question (its title and an icon); No opens the dialog again,
// Yes takes the name.
TEST(StandardDialogs, ReplaceQuestionIsTheProgramsOwn) {
    ProgramLook look;
    ScopedFakePorts ports;
    ports.messageBox.answers.enqueue(MsgResult::No);
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    QTemporaryDir dir;
    const QString existing = dir.filePath(u"出力.wav"_s);
    writeFile(existing, 10);

    int opened = 0;
    bool qtsOwnQuestion = false;
    // Polls until the run ends: accepts each opening of the dialog; a question of Qt's own is closed
    // and then ends the dialog.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            qtsOwnQuestion = true;
            box->reject();
        } else if (auto* dlg = qobject_cast<QFileDialog*>(w)) {
            if (qtsOwnQuestion) {
                dlg->reject();
                return;
            }
            ++opened;
            // The dialog's own accept, as its button, after this poll (it may open a question).
            QMetaObject::invokeMethod(dlg, "accept", Qt::QueuedConnection);
        }
    });
    poll.start();
    QtFileDialog files;
    FileDialogRequest save;
    save.save = true;
    save.title = u"出力ファイル名"_s;
    save.filter = u"wavファイル|*.wav|すべてのファイル|*.*"_s;
    save.fileName = existing;
    save.overwritePrompt = true;
    FileDialogResult chosen;
    ASSERT_TRUE(files.run(save, chosen));
    EXPECT_FALSE(qtsOwnQuestion);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(QFileInfo(chosen.fileName).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    const MessageRequest& asked = ports.messageBox.shown.front();
    EXPECT_EQ(asked.text, u"出力.wav は既に存在します。\n置き換えますか?"_s);
    EXPECT_TRUE(asked.title.isEmpty());  // the program's title
    EXPECT_EQ(asked.icon, MsgIcon::Exclamation);
    EXPECT_EQ(asked.buttons, MsgButtons::YesNo);
    EXPECT_EQ(asked.defaultButton, 1);
}

}  // namespace
