#include "core/MainWindowPlacement.h"
#include "core/SettingsFile.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"
#include "ProgramFolderFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace tova {
namespace {

class FakePlacement : public MainWindowPlacement {
public:
    double l = 150, t = 300, w = 12000, h = 9000;
    State state = State::Normal;
    int placed = 0;
    double left() const override { return l; }
    double top() const override { return t; }
    double width() const override { return w; }
    double height() const override { return h; }
    void setPlacement(double L, double T, double W, double H) override {
        l = L, t = T, w = W, h = H;
        ++placed;
    }
    State windowState() const override { return state; }
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }
};

class SettingsFileTest : public test::ProgramFolderFixture {
protected:
    void writeSettings(const QByteArray& bytes) { test::writeFile(file(QStringLiteral("setting.ini")), bytes); }
    QByteArray savedBytes() { return test::readFile(file(QStringLiteral("setting.ini"))); }
};

TEST_F(SettingsFileTest, NoFileGivesDefaults) {
    Settings& s = settings();
    s.DefaultVolume = 7;
    s.SharpFlat = QStringLiteral("b");
    s.COLOR_PTCH_GRY = 1;
    s.NoCopyVoiceParam = false;
    s.History << QStringLiteral("old");
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(s.Tool1Path, folder() + QStringLiteral("/catena"));
    EXPECT_EQ(s.Tool2Path, folder() + QStringLiteral("/vorsa"));
    EXPECT_EQ(s.SharpFlat, QStringLiteral("#"));
    EXPECT_EQ(s.DefaultVolume, 100);
    EXPECT_EQ(s.COLOR_PTCH_GRY, 0x808080);
    EXPECT_TRUE(s.NoCopyVoiceParam);
    EXPECT_EQ(s.History, QStringList{QString()});
}

TEST_F(SettingsFileTest, SavingTheDefaultsWritesTheGoldenFile) {
    LoadSettings();
    FakePlacement window;  // 10, 20, 800, 600 pixels
    ASSERT_TRUE(SaveSettings(&window));
    const QString pf = folder();
    const QString golden = QStringLiteral(
                               "CacheDeleteSize=0\r\n"
                               "CacheDeleteInterval=0\r\n"
                               "Tool1Path=%1/catena\r\n"
                               "Tool2Path=%1/vorsa\r\n"
                               "COLOR_PIANO1=&HFFFFFF\r\n"
                               "COLOR_PIANO2=&H404040\r\n"
                               "COLOR_ROLL1=&HFFFFFF\r\n"
                               "COLOR_ROLL2=&HE0E0E0\r\n"
                               "COLOR_SEPA1=&HFF40FF\r\n"
                               "COLOR_SEPA2=&HFF8080\r\n"
                               "COLOR_BACK=&HFFFFFF\r\n"
                               "COLOR_FORE=&H000000\r\n"
                               "COLOR_SHADOW=&H808080\r\n"
                               "COLOR_NOTE_NOR=&HFFC000\r\n"
                               "COLOR_NOTE_TOP=&HFF80FF\r\n"
                               "COLOR_NOTE_SEL=&HFF40FF\r\n"
                               "COLOR_NOTE_TNOR=&H000000\r\n"
                               "COLOR_NOTE_TTOP=&H800000\r\n"
                               "COLOR_NOTE_TSEL=&H800000\r\n"
                               "COLOR_NOTE_RNOR=&HFFFFFF\r\n"
                               "COLOR_NOTE_RTOP=&HC0C0C0\r\n"
                               "COLOR_NOTE_RSEL=&H808080\r\n"
                               "COLOR_PTCH_SEL=&H0000FF\r\n"
                               "COLOR_PTCH_NOR=&HFF0000\r\n"
                               "COLOR_TEMPO_NOR=&H0000FF\r\n"
                               "COLOR_TEMPO_ALL=&HFF0000\r\n"
                               "COLOR_PTCH_GRY=&H808080\r\n"
                               "COLOR_SELECTBAR=&HC0C0C0\r\n"
                               "COLOR_HILIGHT=&H00FFFF\r\n"
                               "MainWindow=10,20,800,600\r\n"
                               "Mode2PBS=-40\r\n"
                               "Mode2PBW=80\r\n"
                               "MTCFrameRate=30\r\n"
                               "SharpFlat=#\r\n")
                               .arg(pf);
    EXPECT_EQ(savedBytes(), Cp932::encodeMarked(golden));  // CP932 unless a path needs more
}

// Every setting away from its default: saved, loaded back, saved again gives the same bytes.
TEST_F(SettingsFileTest, SaveThenLoadGivesTheSameSettings) {
    test::writeFile(file(QStringLiteral("tools/c.exe")), "x");
    Settings& s = settings();
    s.OtoList = {QStringLiteral("声A\tC:\\voice\\a"), QString(), QStringLiteral("B\t/v/b")};
    s.CacheEnable = s.CacheDeleteOnUnload = s.CacheDeleteBySize = s.CacheDeleteByDate = true;
    s.CacheDeleteSize = 500;
    s.CacheDeleteInterval = -3;
    s.Tool1Path = file(QStringLiteral("tools/c.exe"));
    s.Tool2Path = file(QStringLiteral("tools/c.exe"));
    s.History = {QString(), QStringLiteral("/p/新規.tvx"), QStringLiteral("/p/b=c.tvx")};
    s.DebugMode = s.PropExpandDetail = true;
    s.COLOR_PTCH_GRY = 0x123456;
    s.COLOR_BACK = -1;
    s.TransformTitle = QStringLiteral("タイトル");
    s.FormIcon = QStringLiteral("icon.ico");
    s.CheckVoiceFile = s.NonBatchMode = s.UseDLL = s.OldTime = true;
    s.NoCopyVoiceParam = false;
    s.ExcludeVowelOnSetParam = true;
    s.VoiceRoot = QStringLiteral("/voices");
    s.DefaultVoice = QStringLiteral("既定");
    s.MultiMove = false;
    s.OnlyConcat = true;
    s.MidiInDevName = QStringLiteral("In=1");
    s.MidiOutDevName = QStringLiteral("Out");
    s.MidiSendNote = true;
    s.MidiProgramChange = 5;
    s.Mode2 = true;
    s.Mode2PBS = QStringLiteral("-20;3");
    s.Mode2PBW = QStringLiteral("40 60");
    s.Mode2VBR = QStringLiteral("65 180 35 20 20 0 0 0");
    s.Mode2VBRExclude = 480;
    s.DefaultEnv = QStringLiteral("0 10 35 0 100 100 0");
    s.DefaultVolume = -5;
    s.DefaultModulation = 30;
    s.DefaultFlags = QStringLiteral("g-5B30");
    s.SyncScroll = true;
    s.MTCFrameRate = 25;
    s.NoOtoReport = s.NoCheckSetLyrics = s.EnterLyric = true;
    s.SharpFlat = QStringLiteral("♭");
    s.AcceptedTools = {QStringLiteral("/t/a b"), QStringLiteral("/t/c=d")};
    s.RefusedTools = {QStringLiteral("/t/e")};
    FakePlacement window;
    ASSERT_TRUE(SaveSettings(&window));
    QByteArray first = savedBytes();
    // An empty list entry is not written; the entries keep their positions in the keys.
    ASSERT_TRUE(Cp932::decodeMarked(first).startsWith(QStringLiteral("OtoList0=声A,C:\\voice\\a\r\nOtoList2=B,/v/b\r\n")));
    first.replace("OtoList2=", "OtoList1=");
    ASSERT_TRUE(first.contains("MultiMove=False\r\n"));
    ASSERT_TRUE(first.contains("DebugMode=True\r\n"));
    ASSERT_TRUE(first.contains("NoCopyVoiceParam=0\r\n"));

    settings() = Settings{};
    FakePlacement loaded;
    loaded.l = loaded.t = loaded.w = loaded.h = 0;
    ASSERT_TRUE(LoadSettings(&loaded));
    EXPECT_EQ(loaded.placed, 1);
    EXPECT_EQ(loaded.l, 150);
    EXPECT_EQ(loaded.h, 9000);
    EXPECT_EQ(s.OtoList, (QStringList{QStringLiteral("声A\tC:\\voice\\a"), QStringLiteral("B\t/v/b")}));
    EXPECT_EQ(s.History, (QStringList{QString(), QStringLiteral("/p/新規.tvx"), QStringLiteral("/p/b=c.tvx")}));
    EXPECT_EQ(s.COLOR_PTCH_GRY, 0x123456);
    EXPECT_EQ(s.COLOR_BACK, -1);
    EXPECT_EQ(s.MidiInDevName, QStringLiteral("In=1"));
    EXPECT_EQ(s.SharpFlat, QStringLiteral("♭"));
    EXPECT_EQ(s.AcceptedTools, (QStringList{QStringLiteral("/t/a b"), QStringLiteral("/t/c=d")}));
    EXPECT_EQ(s.RefusedTools, QStringList{QStringLiteral("/t/e")});
    EXPECT_TRUE(EventGuard::debugMode());
    ASSERT_TRUE(SaveSettings(&loaded));
    EXPECT_EQ(Cp932::decodeMarked(savedBytes()), Cp932::decodeMarked(first));
    EventGuard::setDebugMode(false);
}

TEST_F(SettingsFileTest, FlagRules) {
    struct Case {
        const char* line;
        bool Settings::*flag;
        bool expected;
    };
    const Case cases[] = {
        {"UseDLL=1", &Settings::UseDLL, true},
        {"UseDLL=True", &Settings::UseDLL, false},
        {"CacheEnable=1", &Settings::CacheEnable, true},
        {"CacheEnable=2", &Settings::CacheEnable, false},
        {"NoCopyVoiceParam=0", &Settings::NoCopyVoiceParam, false},
        {"NoCopyVoiceParam=1", &Settings::NoCopyVoiceParam, true},
        {"DebugMode=True", &Settings::DebugMode, true},
        {"DebugMode=1", &Settings::DebugMode, false},
        {"MultiMove=False", &Settings::MultiMove, false},
        {"MultiMove=1", &Settings::MultiMove, false},
        {"MultiMove=True", &Settings::MultiMove, true},
        {"OnlyConcat=True", &Settings::OnlyConcat, true},
        {"OnlyConcat=true", &Settings::OnlyConcat, false},
        {"MidiSendNote=0", &Settings::MidiSendNote, true},
        {"MidiSendNote=", &Settings::MidiSendNote, false},
        {"Mode2=x", &Settings::Mode2, true},
        {"EnterLyric=1", &Settings::EnterLyric, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        settings() = Settings{};
        writeSettings(QByteArray(c.line) + "\r\n");
        ASSERT_TRUE(LoadSettings());
        EXPECT_EQ(settings().*c.flag, c.expected);
    }
    EventGuard::setDebugMode(false);
}

// A bad number keeps that setting's default and the next line is still read.
TEST_F(SettingsFileTest, NumberRules) {
    struct Case {
        const char* value;
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"CacheDeleteSize", " 12abc", 12},        {"CacheDeleteSize", "abc", 0},
        {"CacheDeleteSize", "2.5", 2},            {"CacheDeleteInterval", "3.5", 4},
        {"CacheDeleteSize", "3000000000", 0},     {"MidiProgramChange", "40000", 0},
        {"MTCFrameRate", "24", 24},               {"MTCFrameRate", "x", 0},
        {"MTCFrameRate", "99999", 30},            {"DefaultVolume", "50.5", 50},
        {"DefaultVolume", "abc", 100},            {"DefaultVolume", "12x", 100},
        {"DefaultVolume", "40000", 100},          {"DefaultModulation", "-20", -20},
        {"Mode2VBRExclude", "3000000000", 0},     {"Mode2VBRExclude", "960", 960},
        {"Mode2VBRExclude", "", 0},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf8(c.value) + u'=' + QString::fromUtf8(c.key);
        SCOPED_TRACE(line.toStdString());
        settings() = Settings{};
        writeSettings(Cp932::encodeMarked(line + QStringLiteral("\r\nSharpFlat=b\r\n")));
        ASSERT_TRUE(LoadSettings());
        const Settings& s = settings();
        const QString key = QString::fromUtf8(c.value);
        const int got = key == u"CacheDeleteSize"       ? s.CacheDeleteSize
                        : key == u"CacheDeleteInterval" ? s.CacheDeleteInterval
                        : key == u"MidiProgramChange"   ? s.MidiProgramChange
                        : key == u"MTCFrameRate"        ? s.MTCFrameRate
                        : key == u"DefaultVolume"       ? s.DefaultVolume
                        : key == u"DefaultModulation"   ? s.DefaultModulation
                                                        : s.Mode2VBRExclude;
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(s.SharpFlat, QStringLiteral("b"));
    }
}

TEST_F(SettingsFileTest, ReadingLinesListsAndValues) {
    test::writeFile(file(QStringLiteral("t2")), "x");
    // Lone CR, lone LF and CR LF all end lines; the last line has no ending.
    writeSettings(Cp932::encodeMarked(QStringLiteral(
        "OtoList5=名前,C:\\v\\a\rOtoList1=b,c,d\n\r\nHistory9=/x/a=b.tvx\r\nHistory=/y\r\n"
        "junk line\r\n=nokey\r\nUnknown=1\r\nTool1Path=/no/such/tool\r\nTool2Path=%1\r\n"
        "COLOR_PTCH_GRY=#0000FF\r\nCOLOR_BACK=zz\r\nCOLOR_FORE=&H123456789\r\nSharpFlat=b\r\nSharpFlat=♯")
                                .arg(file(QStringLiteral("t2")))));
    ASSERT_TRUE(LoadSettings());
    const Settings& s = settings();
    EXPECT_EQ(s.OtoList, (QStringList{QStringLiteral("名前\tC:\\v\\a"), QStringLiteral("b\tc,d")}));  // the folder keeps its comma
    EXPECT_EQ(s.History, (QStringList{QString(), QStringLiteral("/x/a=b.tvx"), QStringLiteral("/y")}));
    EXPECT_EQ(s.Tool1Path, folder() + QStringLiteral("/catena"));
    EXPECT_EQ(s.Tool2Path, file(QStringLiteral("t2")));
    EXPECT_EQ(s.COLOR_PTCH_GRY, 255);
    EXPECT_EQ(s.COLOR_BACK, 0);           // not a number: black
    EXPECT_EQ(s.COLOR_FORE, 0x000000);    // too large: keeps its default
    EXPECT_EQ(s.SharpFlat, QStringLiteral("♯"));  // the later line wins
}

TEST_F(SettingsFileTest, MainWindowPlacement) {
    struct Case {
        const char* value;
        bool placed;
    };
    const Case cases[] = {{"1,2,400,300", true}, {"1,2,400", false}, {"1,2,x,300", false}, {"1,2,3,4,5", false},
                          {"1.5,2,400,300", true}, {"&H10,2,400,300", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        writeSettings(QByteArray("MainWindow=") + c.value + "\r\nSharpFlat=b\r\n");
        FakePlacement w;
        settings() = Settings{};
        ASSERT_TRUE(LoadSettings(&w));
        EXPECT_EQ(w.placed, c.placed ? 1 : 0);
        EXPECT_EQ(settings().SharpFlat, QStringLiteral("b"));
    }
    FakePlacement w;
    writeSettings("MainWindow=1,2,400,300\r\n");
    LoadSettings(&w);
    EXPECT_EQ(w.l, 15);
    EXPECT_EQ(w.t, 30);
    EXPECT_EQ(w.w, 6000);
    EXPECT_EQ(w.h, 4500);

    // Written only for a normal window of at least 321 x 241 pixels; halves round to even.
    struct Save {
        MainWindowPlacement::State state;
        double w, h;
        const char* line;
    };
    const Save saves[] = {
        {MainWindowPlacement::State::Normal, 321 * 15, 241 * 15, "MainWindow=10,20,321,241\r\n"},
        {MainWindowPlacement::State::Normal, 320 * 15, 600 * 15, nullptr},
        {MainWindowPlacement::State::Normal, 800 * 15, 240 * 15, nullptr},
        {MainWindowPlacement::State::Normal, 400.5 * 15, 301.5 * 15, "MainWindow=10,20,400,302\r\n"},
        {MainWindowPlacement::State::Minimized, 800 * 15, 600 * 15, nullptr},
        {MainWindowPlacement::State::Maximized, 800 * 15, 600 * 15, nullptr},
    };
    for (const auto& c : saves) {
        FakePlacement p;
        p.state = c.state;
        p.w = c.w;
        p.h = c.h;
        ASSERT_TRUE(SaveSettings(&p));
        if (c.line) EXPECT_TRUE(savedBytes().contains(c.line)) << c.line;
        else EXPECT_FALSE(savedBytes().contains("MainWindow=")) << c.w << " " << c.h;
    }
}

// Lines no setting reads (a newer program's keys, comments) are written back as they were, after the
// program's own, and only once however often the file is read and saved.
TEST_F(SettingsFileTest, LinesOfOtherProgramsAreKept) {
    writeSettings("FutureOption=42\r\n; a comment\r\nSharpFlat=b\r\nMainWindowX=1,2\r\n=\r\n\r\n");
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        settings() = Settings{};
        ASSERT_TRUE(LoadSettings());
        EXPECT_EQ(settings().SharpFlat, QStringLiteral("b"));
        ASSERT_TRUE(SaveSettings());
        const QByteArray saved = savedBytes();
        EXPECT_TRUE(saved.endsWith("\r\nFutureOption=42\r\n; a comment\r\nMainWindowX=1,2\r\n=\r\n")) << saved.right(80).constData();
        EXPECT_EQ(saved.count("FutureOption"), 1);
        EXPECT_EQ(saved.count("SharpFlat=b"), 1);
    }
    // A line whose bytes do not decode is not kept: written back it would turn the file into UTF-8.
    // The file saves exactly as it would without that line.
    const QByteArray clean = "SharpFlat=b\r\nHistory1=C:\\\x95\x5c.tvx\r\n";
    writeSettings(clean);
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    const QByteArray without = savedBytes();
    writeSettings(clean + "Odd=\x81\x20\r\n");
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(savedBytes(), without);
    // A file without such lines gets none from an earlier one.
    writeSettings("SharpFlat=b\r\n");
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(savedBytes().contains("FutureOption"));
}

TEST_F(SettingsFileTest, FailedSaveIsReportedAndLeavesNoFile) {
    // A folder standing where the file should go makes the save fail.
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("setting.ini")));
    ScopedFakePorts ports;
    EXPECT_FALSE(SaveSettings());
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(QStringLiteral("予期せぬエラー：")));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A good save replaces the old file whole.
    ASSERT_TRUE(QDir(folder()).rmdir(QStringLiteral("setting.ini")));
    writeSettings(QByteArray(100000, 'x'));
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(savedBytes().startsWith("CacheDeleteSize=0\r\n"));
    EXPECT_FALSE(savedBytes().contains('x' + QByteArray("xx")));
}

// A save killed half way leaves its temporary file; the next start removes it, but not one that
// another instance may be writing right now, nor a file of another name.
TEST_F(SettingsFileTest, StaleTemporaryFilesGoAtStart) {
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-2 * StaleSettingsTempSeconds);
    const struct {
        const char* name;
        bool aged;
        bool stays;
    } files[] = {
        {"setting.ini.aB3xYz", true, false},
        {"setting.ini.Q1w2E3", true, false},
        {"setting.ini.fresh1", false, true},
        {"setting.ini.toolong", true, true},
        {"setting.ini.bak", true, true},
        {"other.ini.aB3xYz", true, true},
    };
    for (const auto& f : files) {
        const QString path = file(QString::fromLatin1(f.name));
        test::writeFile(path, "half");
        if (f.aged) {
            QFile handle(path);
            ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
            ASSERT_TRUE(handle.setFileTime(old.toLocalTime(), QFileDevice::FileModificationTime));
        }
    }
    LoadSettings();
    for (const auto& f : files) EXPECT_EQ(QFile::exists(file(QString::fromLatin1(f.name))), f.stays) << f.name;
}

TEST_F(SettingsFileTest, RecentFileHistory) {
    QStringList& h = settings().History;
    h = {QString(), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    AddHistory(QStringLiteral("c"));
    EXPECT_EQ(h, (QStringList{QString(), "c", "a", "b", "d"}));
    AddHistory(QStringLiteral("e"));
    EXPECT_EQ(h, (QStringList{QString(), "e", "c", "a", "b", "d"}));
    AddHistory(QStringLiteral("E"));  // exact comparison
    EXPECT_EQ(h.size(), 7);
    RemoveHistory(QStringLiteral("zz"));
    EXPECT_EQ(h.size(), 7);
    RemoveHistory(QStringLiteral("a"));
    EXPECT_EQ(h, (QStringList{QString(), "E", "e", "c", "b", "d"}));

    // A full list drops its last entry; a longer list read from a file keeps its length.
    h = {QString()};
    for (int i = 0; i < HistoryMaxLength; ++i) AddHistory(QString::number(i));
    ASSERT_EQ(h.size(), HistoryMaxLength + 1);
    AddHistory(QStringLiteral("new"));
    EXPECT_EQ(h.size(), HistoryMaxLength + 1);
    EXPECT_EQ(h[1], QStringLiteral("new"));
    EXPECT_FALSE(h.contains(QStringLiteral("0")));
    for (int i = 0; i < 5; ++i) h << QStringLiteral("more");
    AddHistory(QStringLiteral("newer"));
    EXPECT_EQ(h.size(), HistoryMaxLength + 6);
    EXPECT_EQ(h[1], QStringLiteral("newer"));

    h = {QString()};
    RemoveHistory(QString());
    EXPECT_EQ(h, QStringList{QString()});
}

TEST(ColorText, HexTextAndParsing) {
    EXPECT_EQ(ColorToHex(255), QStringLiteral("0000FF"));
    EXPECT_EQ(ColorToHex(0), QStringLiteral("000000"));
    EXPECT_EQ(ColorToHex(0x1000000), QStringLiteral("1000000"));
    EXPECT_EQ(ColorToHex(-1), QStringLiteral("FFFFFFFF"));
    const std::pair<const char*, int32_t> cases[] = {
        {"#0000FF", 255},     {"&H0000FF", 255},   {"&HFFFF", 65535},   {"&HFFFFFFFF", -1},
        {"&H80000000", INT32_MIN}, {" &h ff", 255}, {"255", 255},        {"12.5", 12},
        {"abc", 0},           {"", 0},             {"&Hxyz", 0},        {"&H00000000FF", 255},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseColorText(QString::fromUtf8(text)), value) << text;
    EXPECT_THROW(ParseColorText(QStringLiteral("&H100000000")), OverflowError);
    EXPECT_THROW(ParseColorText(QStringLiteral("3000000000")), OverflowError);
}

}  // namespace
}  // namespace tova
