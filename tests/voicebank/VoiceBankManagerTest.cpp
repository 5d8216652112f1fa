#include "VoiceBankFixture.h"

#include "voicebank/OtoIniFiles.h"
#include "voicebank/VoiceBankManager.h"
#include "voicebank/VoiceBankManagerTools.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

struct ManagerTest : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    VoiceBankManager m;

    void SetUp() override {
        settings() = Settings{};
        bank.oto(u"oto.ini"_s, u"ka.wav=か,10,20,30,40,50\r\nka.wav=か2,1,2,3,4,5\r\nか.wav=,0,0,0,0,0\r\n"
                               u"sa.wav=か,7,7,7,7,7\r\n"_s);
        bank.samples({u"ka.wav"_s, u"か.wav"_s, u"sa.wav"_s, u"n.aiff"_s, u"sub/x.wav"_s, u"sub/y.aiff"_s});
        bank.file(u"ka_wav.frq"_s, "x");
        LoadOtoIni(bank.root());
    }
    void TearDown() override {
        ClearOtoTable();
        settings() = Settings{};
    }
    QStringList texts() const {
        QStringList t;
        for (const SampleRow& r : m.rows) t << r.text;
        return t;
    }
    QStringList keys() const {
        QStringList t;
        for (const SampleRow& r : m.rows) t << r.key;
        return t;
    }
    int rowOfText(const QString& text, const QString& alias) const {
        for (int i = 0; i < m.rows.size(); ++i)
            if (m.rows[i].text == text && m.rows[i].item(1) == alias) return i;
        return -1;
    }
    // Opens the window with the given lookup names, then runs `inside` while it is shown.
    bool open(const QString& name1, const std::function<void()>& inside, bool quick = false) {
        return m.ShowDialog(bank.root(), name1, QString(), bank.path(u"cache"_s), quick, inside);
    }
};

}  // namespace

TEST_F(ManagerTest, RowsFromTheTableAndTheFolder) {
    open(QString(), [&] { m.cmdClose_Click(); });
    // Sorted on the sort key; the second ka.wav gets the key ka.wav0; the sub-folder gives its ".wav" only.
    EXPECT_EQ(texts(), (QStringList{u"ka.wav"_s, u"ka.wav"_s, u"n.aiff"_s, u"sa.wav"_s, u"sub\\x.wav"_s, u"か.wav"_s}));
    EXPECT_EQ(keys(), (QStringList{u"ka.wav"_s, u"ka.wav0"_s, u"n.aiff"_s, u"sa.wav"_s, u"sub\\x.wav"_s, u"か.wav"_s}));
    // A sample that no entry names is appended as its bare name.
    EXPECT_EQ(m.EntryTable.last(), u"n.aiff"_s);
    EXPECT_EQ(m.rows[0].item(7), u"○"_s);
    EXPECT_EQ(m.rows[2].item(7), QString());
    EXPECT_EQ(m.rows[0].item(8), u"006Bka.wav"_s);
}

TEST_F(ManagerTest, AnAliasWinsOverAFileName) {
    // か is the alias of ka.wav and of sa.wav, and か.wav is a file: the first row with the alias is chosen.
    ASSERT_TRUE(open(u" か "_s, [&] {
        ASSERT_GE(m.selectedRow, 0);
        EXPECT_EQ(m.rows[m.selectedRow].key, u"ka.wav"_s);
        EXPECT_EQ(m.txtAlias, u"か"_s);
        EXPECT_EQ(m.txtOffset, u"10"_s);
        m.cmdClose_Click();
    }) == false);
    // A name that is only a file's stem finds the file.
    open(u"か2"_s, [&] { EXPECT_EQ(m.rows[m.selectedRow].key, u"ka.wav0"_s); });
}

TEST_F(ManagerTest, NoRowToShowGivesTheMessage) {
    BankFolder empty;
    ClearOtoTable();
    bool shown = false;
    EXPECT_FALSE(m.ShowDialog(empty.root(), QString(), QString(), QString(), false, [&] { shown = true; }));
    EXPECT_FALSE(shown);
    EXPECT_EQ(ports.messageBox.lastText(), u"原音の設定が無効です"_s);
}

TEST_F(ManagerTest, SetWritesTheShownRowAndKeepsOffsetsPositive) {
    open(u"か"_s, [&] {
        // The user clicked another row without the boxes following it.
        m.selectRow(rowOfText(u"sa.wav"_s, u"か"_s));
        m.txtAlias = u"新"_s;
        m.txtOffset = u"-12"_s;
        m.txtFixedLen = u"abc"_s;
        m.txtEndBlank = u"-3.50"_s;
        m.txtOffset2 = u"-1"_s;
        m.txtOverlap = u"-12"_s;
        m.cmdSet_Click();
        const SampleRow& r = m.rows[m.rowOfKey(u"ka.wav"_s)];
        EXPECT_EQ(m.rows[m.selectedRow].key, u"ka.wav"_s);
        EXPECT_EQ(r.item(1), u"新"_s);
        EXPECT_EQ(r.item(2), u"0"_s);
        EXPECT_EQ(r.item(3), u"0"_s);
        EXPECT_EQ(r.item(4), u"-3.5"_s);
        EXPECT_EQ(r.item(5), u"0"_s);
        EXPECT_EQ(r.item(6), u"-12"_s);
        EXPECT_EQ(m.txtOffset, u"-12"_s);
        EXPECT_TRUE(m.ListChanged);
        m.cmdOK_Click();
    });
    // Saved and made the program's table.
    EXPECT_TRUE(bank.bytes(u"oto.ini"_s).startsWith(Cp932::encode(u"ka.wav=新,0,0,-3.5,0,-12\r\n"_s)));
    EXPECT_EQ(OtoIndex().Value(u"新"_s), u"0"_s);
    EXPECT_EQ(OtoTable()[0], u"ka.wav\t新\t0\t0\t-3.5\t0\t-12"_s);
}

TEST_F(ManagerTest, CancelDiscardsEveryKindOfChange) {
    const QByteArray before = bank.bytes(u"oto.ini"_s);
    const struct {
        const char* what;
        std::function<void(VoiceBankManager&)> change;
    } changes[] = {
        {"clearing all aliases", [](VoiceBankManager& v) { v.Label3_DblClick(); }},
        {"aliases from names", [](VoiceBankManager& v) { v.AliasFromFileName(); }},
        {"set", [](VoiceBankManager& v) { v.txtAlias = u"x"_s; v.cmdSet_Click(); }},
        {"clear", [](VoiceBankManager& v) { v.cmdClear_Click(); }},
        {"duplicate", [](VoiceBankManager& v) { v.cmdCopy_Click(); }},
        {"delete", [](VoiceBankManager& v) { v.cmdDel_Click(); }},
        {"reload from the folder", [](VoiceBankManager& v) { v.rows[0].item(1) = u"lost"_s; v.mnReload_Click(); }},
    };
    open(u"か"_s, [&] { m.cmdClose_Click(); });
    const QStringList rowsBefore = texts();
    QStringList aliasesBefore;
    for (const SampleRow& r : m.rows) aliasesBefore << r.item(1);
    for (const auto& c : changes) {
        EXPECT_FALSE(open(u"か"_s, [&] {
            c.change(m);
            EXPECT_TRUE(m.ListChanged) << c.what;
            m.cmdClose_Click();
        })) << c.what;
        // Reopened on the same folder: the rows as the bank has them.
        open(u"か"_s, [&] { m.cmdClose_Click(); });
        QStringList aliases;
        for (const SampleRow& r : m.rows) aliases << r.item(1);
        EXPECT_EQ(texts(), rowsBefore) << c.what;
        EXPECT_EQ(aliases, aliasesBefore) << c.what;
    }
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), before);
}

TEST_F(ManagerTest, DuplicateAndClear) {
    open(u"か"_s, [&] {
        m.cmdCopy_Click();
        m.cmdCopy_Click();
        // ka.wav0 is taken by the second entry of ka.wav: the copies are ka.wav1 and ka.wav2, each
        // standing where its source stood.
        EXPECT_EQ(keys().mid(0, 4), (QStringList{u"ka.wav1"_s, u"ka.wav2"_s, u"ka.wav"_s, u"ka.wav0"_s}));
        EXPECT_EQ(texts().count(u"ka.wav"_s), 4);
        EXPECT_EQ(m.rows[m.selectedRow].key, u"ka.wav"_s);
        // Clearing with multiple selection off touches only the shown row, even with another highlighted.
        m.selectRow(m.rowOfKey(u"sa.wav"_s));
        m.cmdClear_Click();
        EXPECT_EQ(m.rows[m.rowOfKey(u"ka.wav"_s)].item(1), QString());
        EXPECT_EQ(m.rows[m.rowOfKey(u"sa.wav"_s)].item(1), u"か"_s);
        // Multiple selection with nothing selected: still asks; Cancel changes nothing.
        m.SetMultiSelect(true);
        for (SampleRow& r : m.rows) r.selected = false;
        m.ListChanged = false;
        m.txtAlias = u"keep"_s;
        ports.messageBox.answers.enqueue(MsgResult::Cancel);
        m.cmdClear_Click();
        EXPECT_FALSE(m.ListChanged);
        EXPECT_EQ(m.txtAlias, u"keep"_s);
        m.cmdClear_Click();
        EXPECT_EQ(ports.messageBox.lastText(), u"選択したエントリを全てクリアします"_s);
        EXPECT_TRUE(m.ListChanged);
        EXPECT_EQ(m.txtAlias, QString());
        m.cmdOK_Click();
    });
    // Four lines for ka.wav, in list order.
    EXPECT_EQ(bank.bytes(u"oto.ini"_s).count("ka.wav="), 4);
}

TEST_F(ManagerTest, ReloadEntryNeedsNameAndAlias) {
    open(u"か"_s, [&] {
        const int first = m.rowOfKey(u"ka.wav"_s);
        const int second = m.rowOfKey(u"ka.wav0"_s);
        m.rows[first].item(2) = u"999"_s;
        m.rows[second].item(1) = u"changed"_s;
        m.rows[second].item(2) = u"999"_s;
        m.SetMultiSelect(true);
        m.rows[first].selected = m.rows[second].selected = true;
        m.ListChanged = false;
        m.mnReloadEntry_Click();
        EXPECT_EQ(m.rows[first].item(2), u"10"_s);
        EXPECT_EQ(m.rows[second].item(2), u"999"_s);
        EXPECT_TRUE(m.ListChanged);
        // A matching line with fewer than six values fails.
        bank.oto(u"oto.ini"_s, u"ka.wav=か,1,2\r\n"_s);
        QString path;
        EXPECT_THROW(m.ReloadEntry(first, path), TovaError);
        EXPECT_EQ(path, bank.path(u"ka.wav"_s));
    });
}

TEST_F(ManagerTest, DeletingAndLeavingWhileBusy) {
    open(u"か"_s, [&] {
        m.SetMultiSelect(true);
        for (SampleRow& r : m.rows) r.selected = false;
        const auto count = m.rows.size();
        m.cmdDel_Click();
        EXPECT_EQ(m.rows.size(), count);
        EXPECT_TRUE(m.ListChanged);
        m.SetMultiSelect(false);
        m.cmdDel_Click();
        EXPECT_EQ(m.rows.size(), count - 1);
        EXPECT_EQ(m.rowOfKey(u"ka.wav"_s), -1);
        EXPECT_EQ(m.CurrentKey, m.rows[m.selectedRow].key);
        m.Busy = true;
        EXPECT_FALSE(m.Form_Unload());
        m.Busy = false;
        EXPECT_TRUE(m.Form_Unload());
    });
}

TEST_F(ManagerTest, ToolsBuiltApartSayTheyAreNotAvailable) {
    // Quick open runs the timing editor at once; without it the window is shown.
    bool shown = false;
    open(u"か"_s, [&] { shown = true; }, true);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(ports.messageBox.lastText().endsWith(u"はまだ使用できません。"_s));
    for (auto command : {&VoiceBankManager::Form_DblClick, &VoiceBankManager::cmdDeleteFreqList_Click,
                         &VoiceBankManager::cmdFreqList_Click, &VoiceBankManager::Label18_DblClick}) {
        ports.messageBox.shown.clear();
        (m.*command)();
        ASSERT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_TRUE(ports.messageBox.lastText().endsWith(u"はまだ使用できません。"_s));
    }
}

namespace {

// A timing editor that sets the offset of the row it is given and answers OK.
struct EditorSetsOffset : VoiceBankManagerTools {
    int EditEntry(VoiceBankManager& m, int row) override {
        m.rows[row].item(2) = u"77"_s;
        return 1;
    }
    bool EstimateParameters(VoiceBankManager& m) override {
        m.rows[0].item(2) = u"5"_s;
        return true;
    }
    void RecreateFreqTables(VoiceBankManager&) override {}
    bool EditFreqTable(VoiceBankManager&) override { return false; }
    void ShowFreqGenerator(VoiceBankManager&) override {}
};

}  // namespace

TEST_F(ManagerTest, QuickOpenSavesWhatTheEditorAccepted) {
    EditorSetsOffset editor;
    VoiceBankManager quick(&editor);
    bool shown = false;
    EXPECT_TRUE(quick.ShowDialog(bank.root(), u"か"_s, QString(), QString(), true, [&] { shown = true; }));
    EXPECT_FALSE(shown);
    EXPECT_TRUE(bank.bytes(u"oto.ini"_s).startsWith("ka.wav=\x82\xa9,77,"));
    // An estimation marks the list changed, so Cancel discards it.
    quick.ShowDialog(bank.root(), QString(), QString(), QString(), false, [&] {
        quick.Form_DblClick();
        EXPECT_TRUE(quick.ListChanged);
        quick.cmdClose_Click();
    });
    EXPECT_EQ(quick.rows[0].item(2), u"77"_s);
}

TEST_F(ManagerTest, ARefusedSaveKeepsTheWindowOpen) {
    open(u"か"_s, [&] {
        m.txtAlias = u"한"_s;
        m.cmdSet_Click();
        m.cmdOK_Click();
        EXPECT_FALSE(m.hidden);
        EXPECT_FALSE(m.Accepted);
        EXPECT_TRUE(ports.messageBox.lastText().contains(u"ka.wav"_s));
        m.cmdClose_Click();
    });
    EXPECT_EQ(OtoTable()[0], u"ka.wav\tか\t10\t20\t30\t40\t50"_s);
}

TEST_F(ManagerTest, FileMenu) {
    bank.oto(u"other/oto.ini"_s, u"q.wav=く,1,2,3,4,5\r\n"_s);
    open(u"か"_s, [&] {
        // Another folder's file: asked first; Cancel keeps the list.
        ports.fileDialog.answers.enqueue(bank.path(u"other/oto.ini"_s));
        ports.messageBox.answers.enqueue(MsgResult::Cancel);
        m.mnOpen_Click();
        EXPECT_EQ(m.rowOfKey(u"q.wav"_s), -1);
        ports.fileDialog.answers.enqueue(bank.path(u"other/oto.ini"_s));
        m.mnOpen_Click();
        EXPECT_GE(m.rowOfKey(u"q.wav"_s), 0);
        EXPECT_TRUE(m.ListChanged);
        // Save As writes every row into the chosen file, those read from files in their files' order.
        ports.fileDialog.answers.enqueue(bank.path(u"copy.ini"_s));
        m.mnSaveAs_Click();
        EXPECT_TRUE(bank.bytes(u"copy.ini"_s).startsWith(Cp932::encode(u"q.wav=く,1,2,3,4,5\r\n"_s)));
        EXPECT_TRUE(bank.bytes(u"copy.ini"_s).contains("\r\nka.wav=,,,,,\r\n"));
        m.cmdClose_Click();
    });
    // Cancel brought the bank's rows back.
    EXPECT_FALSE(texts().contains(u"q.wav"_s));
    EXPECT_EQ(texts().count(u"ka.wav"_s), 2);
}

// Hostile text typed into every entry box of the manager: the saved oto.ini reads back to the same
// entries, and opening it again and saving unedited writes the same bytes.
TEST_F(ManagerTest, HostileTextInEveryEntryBoxKeepsOtoIniReadable) {
    const QStringList hostile = {u"a\tb"_s, u"a\r\nb"_s, u"C:\\new"_s, u"a=b"_s,  u"a,b"_s,  u"a|b"_s,
                                 u"1e999"_s, u"-1e999"_s, u"nan"_s,    u"inf"_s, QString(20000, u'x')};
    for (const QString& text : hostile) {
        SCOPED_TRACE(text.left(12).toStdString());
        QList<SampleRow> saved;
        open(u"か"_s, [&] {
            int row = -1;  // the one entry of sa.wav, whatever the last round made its alias
            for (int i = 0; i < m.rows.size() && row < 0; ++i)
                if (m.rows[i].text == u"sa.wav"_s) row = i;
            ASSERT_GE(row, 0);
            m.selectRow(row);
            for (QString* box : {&m.txtAlias, &m.txtOffset, &m.txtFixedLen, &m.txtEndBlank, &m.txtOffset2,
                                 &m.txtOverlap})
                *box = text;
            m.cmdSet_Click();
            for (int k = 1; k <= 6; ++k) {
                const QString field = m.rows[row].item(k);
                EXPECT_FALSE(field.contains(u'\t') || field.contains(u'\r') || field.contains(u'\n') ||
                             field.contains(u',') || field.contains(u"nan"_s, Qt::CaseInsensitive) ||
                             field.contains(u"inf"_s, Qt::CaseInsensitive))
                    << k << ": " << field.left(20).toStdString();
            }
            saved = m.rows;
            m.cmdOK_Click();
        });
        const QByteArray once = bank.bytes(u"oto.ini"_s);
        open(u"か"_s, [&] {
            for (const SampleRow& r : saved) {
                int found = -1;
                for (int i = 0; i < m.rows.size() && found < 0; ++i)
                    if (m.rows[i].key == r.key) found = i;
                ASSERT_GE(found, 0) << r.key.toStdString();
                for (int k = 1; k <= 6; ++k) EXPECT_EQ(m.rows[found].item(k), r.item(k)) << r.key.toStdString();
            }
            m.ListChanged = true;
            m.cmdOK_Click();
        });
        EXPECT_EQ(bank.bytes(u"oto.ini"_s), once);
    }
}
