#include "core/BigNumber.h"
#include "core/CaptionFiles.h"
#include "core/FakeWindow.h"
#include "core/Utf16Text.h"
#include "core/WindowRegistry.h"
#include "support/TestSupport.h"
#include "ProgramFolderFixture.h"

#include <QDir>

namespace tova {
namespace {

using namespace ControlKind;

QString code(const char* name) { return EncodeLetterCode(QString::fromUtf8(name)); }

// A main window with menus of every sort and controls of every kind.
std::unique_ptr<FakeWindow> makeForm1() {
    auto w = std::make_unique<FakeWindow>(QStringLiteral("Form1"), QStringLiteral("新規プロジェクト - tova"));
    w->addControl(Menu.toString(), QStringLiteral("mnFile")).caption_ = QStringLiteral("ファイル(&F)");       // 0
    w->addControl(Menu.toString(), QStringLiteral("mnOpen")).caption_ = QStringLiteral("開く(&O)...");       // 1
    w->addControl(Menu.toString(), QStringLiteral("mnSep1")).caption_ = QStringLiteral("-");                 // 2
    w->addControl(Menu.toString(), QStringLiteral("mnTest")).caption_ = QStringLiteral("テスト用");          // 3
    w->addControl(Menu.toString(), QStringLiteral("mnHistory"), 0).caption_ = QStringLiteral("履歴");        // 4
    w->addControl(Menu.toString(), QStringLiteral("mnJump")).caption_ = QStringLiteral("ジャンプ");          // 5
    w->addControl(Label.toString(), QStringLiteral("lblDots")).caption_ = QStringLiteral("...");             // 6
    auto& open = w->addControl(CommandButton.toString(), QStringLiteral("cmdOpen"));                          // 7
    open.caption_ = QStringLiteral("Open...");
    open.toolTip_ = QStringLiteral("開く");
    w->addControl(OptionButton.toString(), QStringLiteral("optMode"), 2).caption_ = QStringLiteral("モード");  // 8
    w->addControl(ComboBox.toString(), QStringLiteral("cboOne")).list = {QStringLiteral("一つ")};           // 9
    w->addControl(ComboBox.toString(), QStringLiteral("cboTwo")).list = {QStringLiteral("a"), QStringLiteral("b")};  // 10
    w->addControl(TabStrip.toString(), QStringLiteral("TabStrip1")).tabs = {QStringLiteral("一般"), QString()};     // 11
    w->addControl(ListView.toString(), QStringLiteral("lvw")).columns = {QStringLiteral("名前"), QStringLiteral("値")};  // 12
    w->addControl(TextBox.toString(), QStringLiteral("txtTempo"));                                           // 13
    w->addControl(Frame.toString(), QStringLiteral("fraTip")).toolTip_ = QStringLiteral("説明");              // 14
    return w;
}

class CaptionFilesTest : public test::ProgramFolderFixture {
protected:
    QStringList fileLines(const QString& name) {
        const QByteArray bytes = test::readFile(file(QStringLiteral("res/") + name));
        EXPECT_TRUE(bytes.startsWith("\xFF\xFE")) << name.toStdString();
        EXPECT_TRUE(bytes.endsWith(QByteArray("\r\0\n\0", 4))) << name.toStdString();
        return ReadUtf16Lines(bytes);
    }
    void writeLines(const QString& name, const QString& text) {
        QByteArray bytes;
        for (QChar c : text) bytes += QByteArray(1, char(c.unicode() & 0xFF)) + char(c.unicode() >> 8);
        test::writeFile(file(QStringLiteral("res/") + name), bytes);
    }
};

TEST_F(CaptionFilesTest, WindowCodesAndFileNames) {
    EXPECT_EQ(CaptionFilePath(QStringLiteral("Form1"), QStringLiteral("menu")),
              file(QStringLiteral("res/balflcjzy.menustring.txt")));
    EXPECT_EQ(CaptionFilePath(QStringLiteral("frmOptions"), QStringLiteral("labelbutton")),
              file(QStringLiteral("res/mnaaahyybt.labelbuttonstring.txt")));
    const std::pair<const char*, const char*> codes[] = {
        {"Form3", "bbnaklhvq"},           {"frmVoicesetManager", "docqehmzez"}, {"frmNoteProperty", "crgmkcepfo"},
        {"frmOmakase", "kzqoqulhjf"},     {"frmPrefixmap", "btjuywtwrx"},       {"frmMode2", "bmbkgtxslb"},
        {"frmDefaultProperty", "dtujxlfbow"},
    };
    for (const auto& [name, c] : codes) EXPECT_EQ(CaptionWindowCode(QString::fromLatin1(name)), QString::fromLatin1(c));
}

TEST_F(CaptionFilesTest, ExportWritesTheTemplates) {
    auto w = makeForm1();
    ExportMenuStrings(*w);
    EXPECT_EQ(fileLines(QStringLiteral("balflcjzy.menustring.txt")),
              (QStringList{QStringLiteral("[Alias]"), QStringLiteral("0000=") + code("mnFile"),
                           QStringLiteral("0001=") + code("mnOpen"), QStringLiteral("0005=") + code("mnJump"),
                           QStringLiteral("[Strings]"), QStringLiteral("0000.Caption=\"ファイル(&F)\""),
                           QStringLiteral("0001.Caption=\"開く(&O)...\"")}));

    ExportLabelButtonStrings(*w, true);
    EXPECT_EQ(fileLines(QStringLiteral("balflcjzy.labelbuttonstring.txt")),
              (QStringList{
                  QStringLiteral("[Alias]"),
                  QStringLiteral("0007=") + code("cmdOpen"),
                  QStringLiteral("0008=") + code("optMode") + QStringLiteral(".2"),
                  QStringLiteral("0010=") + code("cboTwo"),
                  QStringLiteral("0011=") + code("TabStrip1"),
                  QStringLiteral("0012=") + code("lvw"),
                  QStringLiteral("0014=") + code("fraTip"),
                  QStringLiteral("[Strings]"),
                  QStringLiteral("Caption=\"新規プロジェクト - tova\""),
                  QStringLiteral("0007.Caption=\"Open...\""),
                  QStringLiteral("0007.ToolTipText=\"開く\""),
                  QStringLiteral("0008.Caption=\"モード\""),
                  QStringLiteral("0010.List0=\"a\""),
                  QStringLiteral("0010.List1=\"b\""),
                  QStringLiteral("0011.TabTitle1=\"一般\""),
                  QStringLiteral("0011.TabTitle2=\"\""),
                  QStringLiteral("0012.ColumnHeader1=\"名前\""),
                  QStringLiteral("0012.ColumnHeader2=\"値\""),
                  QStringLiteral("0014.ToolTipText=\"説明\""),
              }));

    // Without the list flag no list entries; an untitled window still gets its title line.
    FakeWindow untitled(QStringLiteral("frmOptions"));
    untitled.addControl(ListBox.toString(), QStringLiteral("lstA")).list = {QStringLiteral("x"), QStringLiteral("y")};
    ExportLabelButtonStrings(untitled);
    EXPECT_EQ(fileLines(QStringLiteral("mnaaahyybt.labelbuttonstring.txt")),
              (QStringList{QStringLiteral("[Alias]"), QStringLiteral("[Strings]"), QStringLiteral("Caption=\"\"")}));
}

TEST_F(CaptionFilesTest, ImportingATranslationChangesTheCaptions) {
    auto w = makeForm1();
    ExportMenuStrings(*w);
    ExportLabelButtonStrings(*w, true);
    // A translator's files: no byte-order mark, LF line ends, the last line without an ending.
    writeLines(QStringLiteral("balflcjzy.menustring.txt"),
               QStringLiteral("[Alias]\n0000=%1\n0001=%2\n[Strings]\n0000.Caption=\"&File\"\n0001.Caption=\"&Open...\"")
                   .arg(code("mnFile"), code("mnOpen")));
    const QString lb = QStringLiteral(
                           "[Alias]\r\n0007=%1\r\n0008=%2.2\r\n0009=%3\r\n0011=%4\r\n0012=%5\r\n0013=\r\n0014=%6\r\n"
                           "[Strings]\r\nCaption=\"New project = tova\"\r\n"
                           "0007.Caption=\"A=B\"\r\n0007.ToolTipText=\"\"\"\r\n"
                           "0008.Caption=\"Mode\"\r\n"
                           "0009.List0=\"one\"\r\n0009.List5=\"out of range\"\r\n"
                           "0011.TabTitle2=\"Second\"\r\n0011.TabTitle9=\"none\"\r\n0011.Caption=\"no caption\"\r\n"
                           "0012.ColumnHeader1=\"Name\"\r\n0012.Colour=\"unknown property\"\r\n"
                           "0013.Caption=\"empty target\"\r\n"
                           "%7.ToolTipText=\"x\"\r\n"       // a letter code instead of an alias
                           "0099.Caption=\"undefined alias\"\r\n"
                           ".Caption=\"no control\"\r\n"
                           "0014.ToolTipText=\"\"\r\n")
                           .arg(code("cmdOpen"), code("optMode"), code("cboOne"), code("TabStrip1"), code("lvw"),
                                code("fraTip"), code("lblDots"));
    writeLines(QStringLiteral("balflcjzy.labelbuttonstring.txt"), QChar(0xFEFF) + lb);

    ApplyMenuStrings(*w);
    ApplyLabelButtonStrings(*w);
    EXPECT_EQ(w->caption(), QStringLiteral("New project = tova"));
    EXPECT_EQ(w->at(0).caption(), QStringLiteral("&File"));
    EXPECT_EQ(w->at(1).caption(), QStringLiteral("&Open..."));
    EXPECT_EQ(w->at(5).caption(), QStringLiteral("ジャンプ"));
    EXPECT_EQ(w->at(6).toolTip(), QStringLiteral("x"));
    EXPECT_EQ(w->at(7).caption(), QStringLiteral("A=B"));
    EXPECT_EQ(w->at(7).toolTip(), QStringLiteral("\""));
    EXPECT_EQ(w->at(8).caption(), QStringLiteral("Mode"));
    EXPECT_EQ(w->at(9).list, QStringList{QStringLiteral("one")});
    EXPECT_EQ(w->at(11).tabs, (QStringList{QStringLiteral("一般"), QStringLiteral("Second")}));
    EXPECT_EQ(w->at(12).columns, (QStringList{QStringLiteral("Name"), QStringLiteral("値")}));
    EXPECT_EQ(w->at(13).caption(), QString());
    EXPECT_EQ(w->at(14).toolTip(), QStringLiteral("\"\""));  // two quotes and nothing between stay

    // The alias index picks the array element: a control of the same name without that index is left.
    FakeWindow arrays(QStringLiteral("Form3"));
    arrays.addControl(Label.toString(), QStringLiteral("lbl"), 0).caption_ = QStringLiteral("零");
    arrays.addControl(Label.toString(), QStringLiteral("lbl"), 1).caption_ = QStringLiteral("一");
    writeLines(QStringLiteral("bbnaklhvq.labelbuttonstring.txt"),
               QStringLiteral("0000=%1.1\r\n0000=%1.0\r\n0000.Caption=\"one\"\r\n").arg(code("lbl")));
    ApplyLabelButtonStrings(arrays);
    EXPECT_EQ(arrays.at(0).caption(), QStringLiteral("零"));
    EXPECT_EQ(arrays.at(1).caption(), QStringLiteral("one"));  // the first definition of an alias wins
    ApplyMenuStrings(arrays);  // no such file: nothing happens
}

TEST_F(CaptionFilesTest, ExportAllLoadsAndUnloadsTheWindowsItNeeds) {
    FakeWindow options(QStringLiteral("frmOptions"), QStringLiteral("オプション"));
    auto form1 = makeForm1();
    WindowRegistry::add(form1.get());
    WindowRegistry::add(&options);
    int loaded = 0, alive = 0;
    struct Counted : FakeWindow {
        int& alive;
        Counted(const QString& n, int& a) : FakeWindow(n), alive(a) { ++alive; }
        ~Counted() override { --alive; }
    };
    WindowRegistry::setLoader(QStringLiteral("frmOmakase"), [&]() -> std::unique_ptr<LocalizableWindow> {
        ++loaded;
        return std::make_unique<Counted>(QStringLiteral("frmOmakase"), alive);
    });
    WindowRegistry::setLoader(QStringLiteral("frmOptions"), [&]() -> std::unique_ptr<LocalizableWindow> {
        ADD_FAILURE() << "a loaded window is not loaded again";
        return nullptr;
    });
    ExportAllCaptionFiles();
    WindowRegistry::remove(form1.get());
    WindowRegistry::remove(&options);
    WindowRegistry::setLoader(QStringLiteral("frmOmakase"), {});
    WindowRegistry::setLoader(QStringLiteral("frmOptions"), {});
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(alive, 0);
    QStringList files = QDir(file(QStringLiteral("res"))).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{QStringLiteral("balflcjzy.labelbuttonstring.txt"),
                                  QStringLiteral("balflcjzy.menustring.txt"),
                                  QStringLiteral("kzqoqulhjf.labelbuttonstring.txt"),
                                  QStringLiteral("mnaaahyybt.labelbuttonstring.txt")}));
    EXPECT_TRUE(fileLines(QStringLiteral("balflcjzy.labelbuttonstring.txt")).contains(QStringLiteral("0010.List1=\"b\"")));
}

}  // namespace
}  // namespace tova
