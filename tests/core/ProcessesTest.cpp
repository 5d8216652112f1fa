// Running other programs and waiting for them: the waits keep the window live, the text runners hand
// a text over through a temporary file whose path arrives as one argument.
#include "core/Processes.h"
#include "core/ui/frmShowRunning.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/EventWait.h"
#include "platform/ProcessHandle.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>

using namespace tova;
using tova::test::readFile;
using tova::test::writeFile;

namespace {

// Writes an executable shell script (the test's stand-in for an external program).
QString script(const QString& path, const QByteArray& body) {
    writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// A folder for one test, whose path holds a blank, quotes and "$" like the worst temporary folders.
class Scratch {
public:
    Scratch() : folder_(root_.filePath("tmp dir 'q' \"d\" $HOME")) {
        QDir().mkpath(folder_);
        saved_ = TempFolder;
        TempFolder = folder_;
        StopRequested = 0;
    }
    ~Scratch() {
        TempFolder = saved_;
        StopRequested = 0;
    }
    QString path(const QString& name) const { return root_.filePath(name); }
    QString root() const { return root_.path(); }
    const QString& temp() const { return folder_; }
    QStringList leftovers() const { return QDir(folder_).entryList(QDir::Files); }

private:
    QTemporaryDir root_;
    QString folder_;
    QString saved_;
};

TEST(WaitForProcess, ReturnsAfterTheProcessEndedWhileTheWindowTimerKeepsFiring) {
    int ticks = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();

    QElapsedTimer clock;
    clock.start();
    const qint64 pid = Shell("sleep 0.3", 1);
    WaitAbort = 1;  // a left-over abort from an earlier wait does not end this one
    EXPECT_TRUE(WaitForProcess(pid, 100));
    const qint64 waited = clock.elapsed();
    EXPECT_GE(waited, 290);
    EXPECT_LT(waited, 3000);
    EXPECT_GE(ticks, 5);
    EXPECT_EQ(WaitAbort, 0);
    ProcessHandle h;
    EXPECT_TRUE(!h.open(pid) || h.wait(0) == ProcessHandle::Wait::Ended);
}

TEST(WaitForProcess, TheWaitWindowsButtonEndsTheWaitButNotTheProcess) {
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.setEnabled(false);
    frmShowRunning wait(&mainWindow);
    wait.show();
    ASSERT_TRUE(wait.isEnabled());  // usable although its owner is disabled
    ASSERT_TRUE(wait.Command1->isEnabled());

    const qint64 pid = Shell("sleep 20", 1);
    QTimer::singleShot(150, [&] { wait.Command1->click(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(WaitForProcess(pid, 100));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(WaitAbort, 1);

    ProcessHandle h;
    ASSERT_TRUE(h.open(pid));
    EXPECT_EQ(h.wait(0), ProcessHandle::Wait::TimedOut);  // still running on its own

    // The next wait starts with the flag cleared and lasts until the process ends.
    QTimer::singleShot(100, [&] { ::kill(pid_t(pid), SIGTERM); });
    EXPECT_TRUE(WaitForProcess(pid, 50));
    EXPECT_EQ(WaitAbort, 0);
    EXPECT_EQ(h.wait(2000), ProcessHandle::Wait::Ended);
}

TEST(WaitForProcess, UnknownProcessGivesFalseAtOnceAndLeavesTheFlag) {
    for (qint64 pid : {qint64(0), qint64(-5), qint64(2147483646), qint64(1) << 40}) {
        SCOPED_TRACE(pid);
        WaitAbort = 7;
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(WaitForProcess(pid, 1000));
        EXPECT_LT(clock.elapsed(), 500);  // no poll at all
        EXPECT_EQ(WaitAbort, 7);
    }
    WaitAbort = 0;
}

TEST(ShellAndWait, RunsCommandLinesAndRaisesWhatCannotStart) {
    Scratch s;
    const QString tools = s.path("my tools");
    script(tools + "/write.sh", "printf '%s|' \"$#\" \"$@\" > \"$OUT\"\n");
    const QString out = s.path("out.txt");
    qputenv("OUT", QFile::encodeName(out));
    const struct {
        const char* name;
        QString line;
        QByteArray seen;
    } cases[] = {
        {"quoted program", '"' + tools + "/write.sh\" a \"b c\" $HOME", "3|a|b c|$HOME|"},
        {"unquoted program with a blank", tools + "/write.sh x", "1|x|"},
        // An empty quoted argument keeps its place; three quotes are one literal quote.
        {"empty and literal quotes", '"' + tools + "/write.sh\" a \"\" b \"\"\"q\"\"\" \"\"", "5|a||b|\"q\"||"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(out);
        ShellAndWait(c.line, 2);
        EXPECT_EQ(readFile(out), c.seen);  // written before the call returned
    }
    qunsetenv("OUT");
    EXPECT_THROW(ShellAndWait(s.path("no such program"), 1), FileError);
    EXPECT_THROW(Shell("", 1), FileError);
}

TEST(GetShortPath, ExistingPathAsOnDiskMissingPathEmpty) {
    Scratch s;
    writeFile(s.path("Voice/A.wav"), "x");
    EXPECT_EQ(GetShortPath(s.path("voice\\a.WAV").replace('/', '\\')), s.path("Voice/A.wav"));
    EXPECT_EQ(GetShortPath(s.path("Voice/missing.wav")), QString());
    EXPECT_EQ(GetShortPath(QString()), QString());
}

TEST(TempTextFiles, WrittenUnchangedInCodePage932AndReadBackAsCrLfLines) {
    Scratch s;
    const QString text = QString::fromUtf8("あ\r\nb");
    const QString a = WriteTempTextFile(text, s.temp());
    const QString b = WriteTempTextFile(text, s.temp() + "/");
    EXPECT_NE(a, b);
    for (const QString& p : {a, b}) {
        EXPECT_TRUE(p.startsWith(s.temp() + "/"));
        EXPECT_TRUE(QRegularExpression("/tmp[0-9A-F]{4}\\.tmp$").match(p).hasMatch()) << p.toStdString();
        EXPECT_EQ(readFile(p), QByteArray("\x82\xA0\r\nb"));  // no line break added
    }
    EXPECT_THROW(WriteTempTextFile("x", s.path("missing folder")), FileError);

    const struct {
        const char* name;
        QByteArray bytes;
        const char* text;
    } cases[] = {
        {"lines ending in CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"last line without a break", "a\r\nb", "a\r\nb\r\n"},
        {"empty file", "", ""},
        {"lone LF and lone CR", "a\nb\rc", "a\r\nb\r\nc\r\n"},
        {"empty lines kept", "\r\n\r\nx", "\r\n\r\nx\r\n"},
        {"code page 932", "\x82\xA0\x82\xA2", "あい\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(s.path("t.txt"), c.bytes);
        EXPECT_EQ(ReadTextFile(s.path("t.txt")), QString::fromUtf8(c.text));
    }
    EXPECT_THROW(ReadTextFile(s.path("none.txt")), FileError);
}

// Both text runners: a program that leaves the file alone, one that appends a line; the file's path
// reaches the program as its one argument even in a folder with blanks, quotes and "$".
TEST(TextRunners, ReturnTheChangedTextOrEmptyAndLeaveNoFile) {
    Scratch s;
    const QString log = s.path("args.log");
    const QString tools = s.path("plug ins");
    const QString keep = script(tools + "/keep.sh", "printf '%s|' \"$#\" \"$@\" > '" + log.toUtf8() + "'\n");
    const QString append = script(tools + "/append.sh", "printf '%s|' \"$#\" \"$@\" > '" + log.toUtf8() +
                                                            "'\nprintf 'added\\r\\n' >> \"$1\"\n");
    using Runner = std::function<QString(const QString& program, const QString& text)>;
    const struct {
        const char* name;
        Runner run;
    } runners[] = {
        {"program runner", [](const QString& p, const QString& t) { return RunProgramOnText(p, t); }},
        {"process runner", [&](const QString& p, const QString& t) { return RunProcessOnText(p, t, s.root()); }},
    };
    const struct {
        const char* name;
        QString program;
        QString text;
        QString result;
    } cases[] = {
        {"untouched", keep, "a\r\nb\r\n", ""},
        {"untouched, no final break", keep, "a\r\nb", "a\r\nb\r\n"},
        {"line appended", append, QString::fromUtf8("[#0000]\r\nLyric=あ\r\n"),
         QString::fromUtf8("[#0000]\r\nLyric=あ\r\nadded\r\n")},
    };
    for (const auto& r : runners) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(r.name) + ", " + c.name);
            QFile::remove(log);
            EXPECT_EQ(r.run(c.program, c.text), c.result);
            QByteArray args = readFile(log);
            ASSERT_TRUE(args.startsWith("1|" + QFile::encodeName(s.temp()) + "/tmp")) << args.toStdString();
            EXPECT_TRUE(s.leftovers().isEmpty());
        }
    }
}

TEST(TextRunners, ProcessRunnerQuotingAndWorkingFolder) {
    Scratch s;
    const QString log = s.path("args.log");
    const QString tools = s.path("plug ins");
    script(tools + "/args.sh", "printf '%s|' \"$#\" \"$1\" \"$(pwd)\" > '" + log.toUtf8() + "'\n");
    const QString work = s.path("work dir");
    QDir().mkpath(work);
    // A command that begins with a quote is used as given, its own arguments included.
    EXPECT_EQ(RunProcessOnText('"' + tools + "/args.sh\" \"one arg\"", "x\r\n", work), QString());
    EXPECT_EQ(readFile(log), "2|one arg|" + QFile::encodeName(work) + "|");
    // One without quotes is the program path as a whole.
    EXPECT_EQ(RunProcessOnText(tools + "/args.sh", "x\r\n", work), QString());
    EXPECT_TRUE(readFile(log).startsWith("1|" + QFile::encodeName(s.temp()) + "/tmp"));
    EXPECT_TRUE(s.leftovers().isEmpty());
}

TEST(TextRunners, AProgramThatCannotStartIsReportedAndLeavesNoFile) {
    Scratch s;
    writeFile(s.path("not executable"), "data");
    for (const QString& program : {s.path("no such program"), s.path("not executable")}) {
        SCOPED_TRACE(program.toStdString());
        EXPECT_THROW(RunProgramOnText(program, "x\r\n"), FileError);
        EXPECT_THROW(RunProcessOnText(program, "x\r\n", QString()), FileError);
        EXPECT_TRUE(s.leftovers().isEmpty());
    }
    // A working folder that does not exist stops the start as well.
    const QString ok = script(s.path("ok.sh"), "exit 0\n");
    EXPECT_THROW(RunProcessOnText(ok, "x", s.path("missing")), FileError);
    EXPECT_TRUE(s.leftovers().isEmpty());
}

TEST(TextRunners, StopRequestedEndsTheWaitAndTheProgramRunsOn) {
    Scratch s;
    const QString pidFile = s.path("pid");
    const QString slow = script(s.path("slow.sh"), "echo $$ > '" + pidFile.toUtf8() + "'\nexec sleep 20\n");
    QTimer::singleShot(200, [] { StopRequested = -1; });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunProgramOnText(slow, "a\r\n"), QString());
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(s.leftovers().isEmpty());
    const qint64 pid = readFile(pidFile).trimmed().toLongLong();
    ProcessHandle h;
    ASSERT_TRUE(h.open(pid));
    EXPECT_EQ(h.wait(0), ProcessHandle::Wait::TimedOut);
    ::kill(pid_t(pid), SIGTERM);
}

}  // namespace
