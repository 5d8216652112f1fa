// The prefix.map editor's model: the rows it loads, what its buttons do to them and the file OK writes.
#include "VoiceBankFixture.h"
#include "support/FullDisk.h"
#include "platform/SystemErrorText.h"

#include "voicebank/PrefixMapEditor.h"

#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "render/AliasLookup.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

struct PrefixMapEditorTest : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    PrefixMapEditor m;

    void SetUp() override { settings() = Settings{}; }
    void TearDown() override { settings() = Settings{}; }
    QStringList shown() const {
        QStringList out;
        for (const PrefixMapRow& r : m.rows) out << r.name + u'|' + r.prefix + u'|' + r.suffix;
        return out;
    }
    void select(std::initializer_list<int> rows) {
        for (PrefixMapRow& r : m.rows) r.selected = false;
        for (int i : rows) m.rows[i].selected = true;
        m.ListView1_ItemClick();
    }
};

TEST_F(PrefixMapEditorTest, AFolderWithoutTheFileGets84EmptyRowsAndOkWritesThemAll) {
    m.Load(bank.root());
    ASSERT_EQ(m.rows.size(), 84);
    EXPECT_EQ(shown().first(), u"B7||"_s);
    EXPECT_EQ(shown()[11], u"C7||"_s);
    EXPECT_EQ(shown().last(), u"C1||"_s);
    m.cmdOK_Click();
    EXPECT_TRUE(m.hidden);
    EXPECT_TRUE(m.Result);
    const QByteArray bytes = bank.bytes(u"prefix.map"_s);
    EXPECT_TRUE(bytes.startsWith("B7\t\t\r\nA#7\t\t\r\nA7\t\t\r\n"));
    EXPECT_TRUE(bytes.endsWith("C#1\t\t\r\nC1\t\t\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 84);
    // Flat spelling follows the setting.
    settings().SharpFlat = u"b"_s;
    EXPECT_EQ(PrefixMapEditor::DefaultRows()[1].name, u"Bb7"_s);
}

TEST_F(PrefixMapEditorTest, RowsComeBackInFileOrderAndOnlyEditedLinesChange) {
    // A comment, a blank line, a line without a name, extra fields, LF and CR LF line ends, a short line,
    // a repeated name: the rows show the lines that name a note, and OK without an edit writes nothing.
    const QString text = u"# 2009 強弱\r\nE4\t↑\t強 \r\n\r\n\tx\ty\r\nC4\t\t弱\textra\nG#3\r\nE4\t dup\t\r\nlast\tno end"_s;
    bank.oto(u"prefix.map"_s, text);
    m.Load(bank.root());
    EXPECT_EQ(shown(), (QStringList{u"# 2009 強弱||"_s, u"E4|↑|強 "_s, u"C4||弱"_s, u"G#3||"_s, u"E4| dup|"_s, u"last|no end|"_s}));
    m.cmdOK_Click();
    EXPECT_TRUE(m.Result);
    EXPECT_EQ(bank.bytes(u"prefix.map"_s), Cp932::encode(text));
    // The voice lookup reads the file.
    ASSERT_GT(LoadPrefixMap(bank.root()), 0);
    EXPECT_EQ(ApplyPrefixMap(36, u"あ"_s), u"あ弱"_s);
    ForgetPrefixMap();

    // One edited row: its line changes, its extra field and line end stay; nothing else moves.
    PrefixMapEditor edit;
    edit.Load(bank.root());
    edit.rows[2].prefix = u"p"_s;
    edit.rows[3].suffix = u"s"_s;
    edit.cmdOK_Click();
    EXPECT_EQ(bank.bytes(u"prefix.map"_s),
              Cp932::encode(QString(text).replace(u"C4\t\t弱\textra\n"_s, u"C4\tp\t弱\textra\n"_s)
                                .replace(u"G#3\r\n"_s, u"G#3\t\ts\r\n"_s)));

    // A value the code page lacks is kept, not written as "?": the file becomes UTF-8 after the mark.
    PrefixMapEditor utf;
    utf.Load(bank.root());
    utf.rows[2].prefix = u"ß"_s;
    utf.cmdOK_Click();
    EXPECT_TRUE(bank.bytes(u"prefix.map"_s).startsWith(Cp932::utf8Mark() + u"# 2009 強弱\r\n"_s.toUtf8()));
    PrefixMapEditor again;
    again.Load(bank.root());
    EXPECT_EQ(again.rows[2].prefix, u"ß"_s);
    EXPECT_EQ(again.rows[1].suffix, u"強 "_s);
}

TEST_F(PrefixMapEditorTest, SelectionShowsSharedValuesAndButtonsWorkOnEverySelectedRow) {
    bank.oto(u"prefix.map"_s, u"C4\ta\ts\r\nD4\tb\ts\r\nE4\ta\tS\r\nF4\tz\tz\r\n"_s);
    m.Load(bank.root());
    m.txtKey = u"old"_s;
    select({0});
    EXPECT_EQ(QStringList({m.txtKey, m.txtPrefix, m.txtSuffix}), (QStringList{u"C4"_s, u"a"_s, u"s"_s}));
    select({0, 1});  // prefixes differ, suffixes agree
    EXPECT_EQ(QStringList({m.txtKey, m.txtPrefix, m.txtSuffix}), (QStringList{u""_s, u""_s, u"s"_s}));
    select({0, 2});  // the comparison is case-sensitive
    EXPECT_EQ(QStringList({m.txtKey, m.txtPrefix, m.txtSuffix}), (QStringList{u""_s, u"a"_s, u""_s}));

    select({0, 1});
    m.txtSuffix = u"↓"_s;
    m.cmdSet_Click();  // the empty prefix box empties both prefixes
    EXPECT_EQ(shown(), (QStringList{u"C4||↓"_s, u"D4||↓"_s, u"E4|a|S"_s, u"F4|z|z"_s}));
    select({2});
    m.cmdClear_Click();
    EXPECT_EQ(shown()[2], u"E4||"_s);
    m.txtPrefix = u"p"_s;
    m.cmdSelAll_Click();
    EXPECT_EQ(m.txtPrefix, u"p"_s);  // the boxes are not updated
    for (const PrefixMapRow& r : m.rows) EXPECT_TRUE(r.selected);

    // Reload shows the file again; nothing reached it before OK.
    m.cmdReload_Click();
    EXPECT_EQ(shown(), (QStringList{u"C4|a|s"_s, u"D4|b|s"_s, u"E4|a|S"_s, u"F4|z|z"_s}));
    EXPECT_EQ(m.txtPrefix, u"p"_s);  // the boxes stay as they are
}

TEST_F(PrefixMapEditorTest, CancelAndTheCloseBoxWriteNothingAndAnswerFalse) {
    const QByteArray original = Cp932::encode(u"C4\ta\t\r\n"_s);
    bank.file(u"prefix.map"_s, original);
    for (bool closeBox : {false, true}) {
        PrefixMapEditor e;
        e.Load(bank.root());
        e.rows[0].selected = true;
        e.cmdClear_Click();
        if (closeBox)
            e.cancelRequested();
        else
            e.cmdCancel_Click();
        EXPECT_TRUE(e.hidden);
        EXPECT_FALSE(e.Result);
        EXPECT_EQ(bank.bytes(u"prefix.map"_s), original);
    }
    // Without a file: reload after edits gives the default rows again, and Cancel makes no file.
    BankFolder empty;
    PrefixMapEditor e;
    e.Load(empty.root());
    e.rows[5].prefix = u"x"_s;
    e.cmdReload_Click();
    EXPECT_EQ(e.rows, PrefixMapEditor::DefaultRows());
    e.cmdCancel_Click();
    EXPECT_FALSE(QFile::exists(empty.path(u"prefix.map"_s)));
}

TEST_F(PrefixMapEditorTest, FailuresAreShownAndTheFileIsNeverSpoilt) {
    // A voice folder that does not exist: the save fails, is shown, and the dialog stays open.
    m.Load(bank.path(u"gone"_s));
    EXPECT_EQ(m.rows.size(), 84);
    m.cmdOK_Click();
    EXPECT_FALSE(m.hidden);
    EXPECT_FALSE(m.Result);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(bank.path(u"gone/prefix.map"_s) + u"を保存できませんでした。"_s));

    // A line with bytes that do not decode: rewriting it would lose them, so OK refuses to change it.
    const QByteArray spoilt("C4\t\x81\x20\t\r\nD4\t\t\r\n", 14);
    bank.file(u"prefix.map"_s, spoilt);
    PrefixMapEditor e;
    e.Load(bank.root());
    ASSERT_EQ(e.rows.size(), 2);
    e.rows[0].suffix = u"s"_s;
    e.cmdOK_Click();
    EXPECT_FALSE(e.hidden);
    EXPECT_TRUE(ports.messageBox.lastText().contains(u"文字化け"_s));
    EXPECT_EQ(bank.bytes(u"prefix.map"_s), spoilt);
    e.cmdCancel_Click();
    EXPECT_FALSE(e.Result);
}

// The file changed on disk after the editor read it (or was made there meanwhile): OK with an edit asks
// before overwriting; No (the default) writes nothing and keeps the dialog open, Yes writes the edit. An
// OK without an edit asks nothing and writes nothing.
TEST_F(PrefixMapEditorTest, AFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo) {
    const QByteArray before = "C4\t\t\r\nD4\t\t\r\n", meanwhile = "C4\tx\t\r\nD4\t\t\r\nE4\t\t\r\n";
    struct Case {
        const char* name;
        bool existed;
        bool edit;
        MsgResult answer;
        bool asked, written;
    };
    const Case cases[] = {
        {"changed, No", true, true, MsgResult::No, true, false},
        {"changed, Yes", true, true, MsgResult::Yes, true, true},
        {"changed, no edit", true, false, MsgResult::Yes, false, false},
        {"made meanwhile, No", false, true, MsgResult::No, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(bank.path(u"prefix.map"_s));
        if (c.existed) bank.file(u"prefix.map"_s, before);
        ports.messageBox.shown.clear();
        ports.messageBox.answers.clear();
        ports.messageBox.answers.enqueue(c.answer);
        PrefixMapEditor e;
        e.Load(bank.root());
        bank.file(u"prefix.map"_s, meanwhile);
        if (c.edit) e.rows[1].suffix = u"s"_s;
        e.cmdOK_Click();
        EXPECT_EQ(ports.messageBox.shown.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(ports.messageBox.lastText(), bank.path(u"prefix.map"_s) + u"は読み込んだ後に変更されています。上書きしますか？"_s);
            EXPECT_EQ(ports.messageBox.shown.last().defaultButton, 1);
        }
        EXPECT_EQ(e.hidden, !c.asked || c.written);
        EXPECT_EQ(bank.bytes(u"prefix.map"_s) != meanwhile, c.written);
    }
}

}  // namespace

// On a full disk OK keeps the old file whole, says why in words and keeps the dialog open.
TEST_F(PrefixMapEditorTest, AFullDiskKeepsTheOldFileAndSaysWhy) {
    const QByteArray old = "C4\t\t\r\nD4\t\t\r\n";
    bank.file(u"prefix.map"_s, old);
    m.Load(bank.root());
    ASSERT_EQ(m.rows.size(), 2);
    m.rows[0].suffix = QString(200, u's');
    {
        FileSizeLimit limit(10);
        m.cmdOK_Click();
    }
    EXPECT_FALSE(m.hidden);
    EXPECT_FALSE(m.Result);
    EXPECT_EQ(bank.bytes(u"prefix.map"_s), old);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().contains(SystemErrorText(EFBIG))) << ports.messageBox.lastText().toStdString();
    EXPECT_EQ(temporaryFiles(bank.root()), QStringList{});
}
