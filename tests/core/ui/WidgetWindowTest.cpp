#include "core/CaptionFiles.h"
#include "core/Utf16Text.h"
#include "core/ui/WidgetWindow.h"
#include "support/TestSupport.h"
#include "../ProgramFolderFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tova {
namespace {

template <class T>
T* named(QWidget* parent, const char* name, int index = -1) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    if (index >= 0) w->setProperty("index", index);
    if (parent && parent->layout()) parent->layout()->addWidget(w);
    return w;
}

// A small main window built the way the forms are: object names and "index" properties.
struct Form {
    QMainWindow window;
    QMenu* file;
    QAction* open;
    QLabel* label;
    QPushButton* set0;
    QPushButton* set1;
    QTabWidget* tabs;
    QCheckBox* check;
    QTreeWidget* list;
    QComboBox* combo;
    QGroupBox* frame;
    QRadioButton* option;

    Form() {
        window.setObjectName(QStringLiteral("Form1"));
        window.setWindowTitle(QStringLiteral("新規プロジェクト"));
        file = window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
        file->setObjectName(QStringLiteral("mnFile"));
        open = file->addAction(QStringLiteral("開く(&O)..."));
        open->setObjectName(QStringLiteral("mnOpen"));
        file->addSeparator()->setObjectName(QStringLiteral("mnSep"));
        auto* central = new QWidget(&window);
        central->setObjectName(QStringLiteral("central"));
        new QVBoxLayout(central);
        window.setCentralWidget(central);
        label = named<QLabel>(central, "lblTone");
        label->setText(QStringLiteral("音程"));
        set0 = named<QPushButton>(central, "cmdSet", 0);
        set0->setText(QStringLiteral("設定"));
        set0->setToolTip(QStringLiteral("設定します"));
        set1 = named<QPushButton>(central, "cmdSet", 1);
        set1->setText(QStringLiteral("解除"));
        tabs = named<QTabWidget>(central, "TabStrip1");
        auto* page = new QWidget;
        new QVBoxLayout(page);
        tabs->addTab(page, QStringLiteral("一般"));
        tabs->addTab(new QWidget, QStringLiteral("詳細"));
        check = named<QCheckBox>(page, "chkMidiIn");
        check->setText(QStringLiteral("ステップ入力"));
        list = named<QTreeWidget>(central, "lvwList");
        list->setHeaderLabels({QStringLiteral("名前"), QStringLiteral("値")});
        combo = named<QComboBox>(central, "cboVibrato");
        combo->addItems({QStringLiteral("なし"), QStringLiteral("あり")});
        frame = named<QGroupBox>(central, "fraMode");
        frame->setTitle(QStringLiteral("モード"));
        option = named<QRadioButton>(central, "optMode", 3);
        option->setText(QStringLiteral("モード2"));
    }
};

class WidgetWindowTest : public test::ProgramFolderFixture {};

TEST_F(WidgetWindowTest, ControlsOfAQtForm) {
    Form f;
    WidgetWindow w(&f.window);
    EXPECT_EQ(w.name(), QStringLiteral("Form1"));
    EXPECT_EQ(w.caption(), QStringLiteral("新規プロジェクト"));
    QStringList seen;
    const int n = w.controlCount();
    for (int i = 0; i < n; ++i) {
        const LocalizableControl* c = w.control(i);
        seen << c->kind() + u':' + c->name() + (c->index() ? u'(' + QString::number(*c->index()) + u')' : QString());
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Menu:mnFile"), QStringLiteral("Menu:mnOpen"),
                                 QStringLiteral("Menu:mnSep"), QStringLiteral("Widget:central"),
                                 QStringLiteral("Label:lblTone"), QStringLiteral("CommandButton:cmdSet(0)"),
                                 QStringLiteral("CommandButton:cmdSet(1)"), QStringLiteral("TabStrip:TabStrip1"),
                                 QStringLiteral("CheckBox:chkMidiIn"), QStringLiteral("ListView:lvwList"),
                                 QStringLiteral("ComboBox:cboVibrato"), QStringLiteral("Frame:fraMode"),
                                 QStringLiteral("OptionButton:optMode(3)")}));
    EXPECT_EQ(w.control(2)->caption(), QStringLiteral("-"));
    EXPECT_EQ(w.findControl(QStringLiteral("cmdSet"), 1), w.control(6));
    EXPECT_EQ(w.findControl(QStringLiteral("cmdSet"), std::nullopt), nullptr);
    EXPECT_FALSE(w.findControl(QStringLiteral("lblTone"), std::nullopt)->setTabCaption(1, QStringLiteral("x")));
    EXPECT_FALSE(w.findControl(QStringLiteral("mnOpen"), std::nullopt)->setToolTip(QStringLiteral("x")));
    EXPECT_FALSE(w.findControl(QStringLiteral("cboVibrato"), std::nullopt)->setListEntry(2, QStringLiteral("x")));
    delete f.set1;
    EXPECT_EQ(w.controlCount(), n - 1);
    f.set1 = nullptr;
}

// Export a real form's captions, translate the files as a translator would, apply them to a fresh form.
TEST_F(WidgetWindowTest, ExportedCaptionsTranslateAQtForm) {
    {
        Form f;
        WidgetWindow w(&f.window);
        ExportMenuStrings(w);
        ExportLabelButtonStrings(w, true);
    }
    const std::pair<QString, QString> translations[] = {
        {QStringLiteral("新規プロジェクト"), QStringLiteral("New project")},
        {QStringLiteral("ファイル(&F)"), QStringLiteral("&File")},
        {QStringLiteral("開く(&O)..."), QStringLiteral("&Open...")},
        {QStringLiteral("音程"), QStringLiteral("Tone")},
        {QStringLiteral("設定します"), QStringLiteral("Sets it")},
        {QStringLiteral("設定"), QStringLiteral("Set")},
        {QStringLiteral("解除"), QStringLiteral("Clear")},
        {QStringLiteral("一般"), QStringLiteral("General")},
        {QStringLiteral("詳細"), QStringLiteral("Details")},
        {QStringLiteral("ステップ入力"), QStringLiteral("Step input")},
        {QStringLiteral("名前"), QStringLiteral("Name")},
        {QStringLiteral("なし"), QStringLiteral("None")},
        {QStringLiteral("あり"), QStringLiteral("Some")},
        {QStringLiteral("モード2"), QStringLiteral("Mode 2")},
        {QStringLiteral("モード"), QStringLiteral("Mode")},
    };
    for (const char* kind : {"menu", "labelbutton"}) {
        const QString path = CaptionFilePath(QStringLiteral("Form1"), QString::fromLatin1(kind));
        QStringList lines = ReadUtf16Lines(test::readFile(path));
        for (QString& line : lines)
            for (const auto& [ja, en] : translations) line.replace(ja, en);
        test::writeFile(path, Utf16FileBytes(lines));
    }

    Form f;
    WidgetWindow w(&f.window);
    ApplyMenuStrings(w);
    ApplyLabelButtonStrings(w);
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("New project"));
    EXPECT_EQ(f.file->title(), QStringLiteral("&File"));
    EXPECT_EQ(f.open->text(), QStringLiteral("&Open..."));
    EXPECT_EQ(f.label->text(), QStringLiteral("Tone"));
    EXPECT_EQ(f.set0->text(), QStringLiteral("Set"));
    EXPECT_EQ(f.set0->toolTip(), QStringLiteral("Sets it"));
    EXPECT_EQ(f.set1->text(), QStringLiteral("Clear"));
    EXPECT_EQ(f.tabs->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(f.tabs->tabText(1), QStringLiteral("Details"));
    EXPECT_EQ(f.check->text(), QStringLiteral("Step input"));
    EXPECT_EQ(f.list->headerItem()->text(0), QStringLiteral("Name"));
    EXPECT_EQ(f.list->headerItem()->text(1), QStringLiteral("値"));
    EXPECT_EQ(f.combo->itemText(0), QStringLiteral("None"));
    EXPECT_EQ(f.combo->itemText(1), QStringLiteral("Some"));
    EXPECT_EQ(f.frame->title(), QStringLiteral("Mode"));
    EXPECT_EQ(f.option->text(), QStringLiteral("Mode 2"));
    f.window.resize(320, 400);
    test::savePng(&f.window, QStringLiteral("caption-files-translated-form"));
}

TEST_F(WidgetWindowTest, AnOwningWindowDeletesItsForm) {
    QPointer<QWidget> form = new QWidget;
    { WidgetWindow w(form, true); }
    EXPECT_TRUE(form.isNull());
    QWidget kept;
    { WidgetWindow w(&kept); }
    EXPECT_EQ(kept.objectName(), QString());  // still alive
}

}  // namespace
}  // namespace tova
