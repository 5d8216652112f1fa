// The batch runner's statements, driven in-process with a host that records what the batch asks of
// the console and which programs it starts.
#include "CatenaFixtures.h"
#include "platform/Cp932.h"
#include "support/TestSupport.h"
#include "tools/batrun/BatchLineError.h"
#include "tools/batrun/BatchRunner.h"
#include "tools/batrun/BatchText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace tova {
namespace {

using test::readFile;
using test::writeFile;

// The runner's texts are UTF-16 strings; the test's are Qt's.
BatchString b(const QString& text) { return text.toStdU16String(); }
QString q(const BatchString& text) { return QString::fromStdU16String(text); }

class RecordingHost : public BatchHost {
public:
    explicit RecordingHost(QString root) : root_(std::move(root)) {}

    void echo(const BatchString& text) override { log << "echo " + q(text); }
    void warn(const BatchString& text) override { log << "warn " + q(text).section(u':', 0, 0); warnings << q(text); }
    void pause(bool quiet) override { log << (quiet ? "pause quietly" : "pause"); }
    bool run(const BatchString& program, const BatchStrings& arguments, const BatchString& folder,
             const BatchEnvironment& environment) override {
        QString line = "run " + QDir(root_).relativeFilePath(q(program));
        for (const BatchString& a : arguments) line += " [" + q(a) + "]";
        log << line;
        folders << q(folder);
        QProcessEnvironment seen;
        for (const auto& [name, value] : environment.entries()) seen.insert(q(name), q(value));
        environments << seen;
        return true;
    }

    QStringList log;
    QStringList folders;
    QStringList warnings;
    QList<QProcessEnvironment> environments;

private:
    QString root_;
};

// The runner driven with the test's texts.
class Runner {
public:
    Runner(BatchHost& host, const QProcessEnvironment& environment, const QString& programFolder)
        : runner_(host, batchEnvironment(environment), b(programFolder)) {}
    void run(const QString& batch, const QStringList& arguments = {}) {
        BatchStrings texts;
        for (const QString& a : arguments) texts.push_back(b(a));
        runner_.run(b(batch), texts);
    }
    QString variable(const QString& name) const { return q(runner_.variable(b(name))); }
    QString currentFolder() const { return q(runner_.currentFolder()); }

private:
    static BatchEnvironment batchEnvironment(const QProcessEnvironment& environment) {
        BatchEnvironment e;
        for (const QString& key : environment.keys()) e.insert(b(key), b(environment.value(key)));
        return e;
    }
    BatchRunner runner_;
};

// What a BatchLineError says, in the test's texts.
struct LineError {
    LineError() = default;
    explicit LineError(const BatchLineError& e)
        : file(q(e.file())), lineText(q(e.lineText())), reason(q(e.reason())), message(q(e.message())),
          lineNumber(e.lineNumber()) {}
    QString file, lineText, reason, message;
    int lineNumber = 0;
};

// A batch folder with the program "bin/tool", a program folder "prog" and a PATH folder "path".
class BatrunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        useFolder("main");
    }

    // Starts afresh in a new folder under the temporary one.
    void useFolder(const QString& name) {
        root = dir.filePath(name);
        QDir().mkpath(root);
        for (const char* p : {"bin/tool", "prog/tool", "path/other"}) {
            writeFile(at(p), "#!/bin/sh\n");
            QFile::setPermissions(at(p), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        environment = QProcessEnvironment();
        environment.insert("PATH", at("path"));
        environment.insert("Greeting", "hello");
    }

    QString at(const QString& name) const { return root + "/" + name; }

    // Writes the lines as a CP932 batch with CR LF line ends.
    void writeBatch(const QString& name, const QString& text) {
        QString body = text;
        body.replace("\n", "\r\n");
        writeFile(at(name), Cp932::encode(body));
    }

    QStringList run(const QString& text, const QStringList& arguments = {}) {
        writeBatch("main.bat", text);
        RecordingHost host(root);
        Runner runner(host, environment, at("prog"));
        runner.run(at("main.bat"), arguments);
        lastWarnings = host.warnings;
        return host.log;
    }

    // Runs a batch that must stop at a line it cannot run, and answers that line's error.
    LineError stopsAt(const QString& text, QStringList* log = nullptr, QString* variableA = nullptr) {
        writeBatch("main.bat", text);
        RecordingHost host(root);
        Runner runner(host, environment, at("prog"));
        LineError error;
        try {
            runner.run(at("main.bat"));
            ADD_FAILURE() << "ran to the end";
        } catch (const BatchLineError& e) {
            error = LineError(e);
        }
        if (log) *log = host.log;
        if (variableA) *variableA = runner.variable("a");
        return error;
    }

    QTemporaryDir dir;
    QString root;
    QStringList lastWarnings;
    QProcessEnvironment environment;
};

TEST_F(BatrunTest, Statements) {
    struct Row {
        const char* name;
        std::vector<std::pair<const char*, QByteArray>> files;  // made first
        QString helper;                                          // sub.bat, when given
        QString batch;
        QStringList arguments;
        QStringList log;
        std::vector<std::pair<const char*, QByteArray>> after;  // files expected afterwards
        std::vector<const char*> gone;                          // files expected to be gone
    } rows[] = {
        {"expansion, one pass per line",
         {},
         {},
         "@set Name=World\n"
         "@set pct=100%%\n"
         "@set lit=%%Name%%\n"
         "echo Hi %name% %NAME% [%undefined%] %pct% %lit% %greeting% 50% done\n"
         "echo %1|%2|%3",
         {"\"a b\"", "x"},
         {"echo Hi World World [] 100% %Name% hello 50 done", "echo \"a b\"|x|"},
         {},
         {}},
        {"empty arguments and quotes",
         {},
         {},
         "@set flag=\"\"\n"
         "\"bin\\tool\" \"a b\" %flag% x\"\"y \"\"\n"
         "TOOL.EXE one\n"
         "other.exe two\n"
         "@\"bin/Tool.exe\"",
         {},
         // "TOOL.EXE" is not in the batch folder: the program folder's "tool" runs.
         {"run bin/tool [a b] [] [xy] []", "run prog/tool [one]", "run path/other [two]", "run bin/tool"},
         {},
         {}},
        {"call with %1..%9 and shared variables",
         {},
         "@echo %1 %2 [%3] [%4] %shared%\n"
         "@set fromsub=two\n"
         "\"bin/tool\" %1 %3\n"
         "goto END\n"
         "echo skipped in sub\n"
         ":end",
         "@set shared=one\n"
         "call sub.bat \"x y\" second \"\"\n"
         "echo back %fromsub% %1",
         {"TOP"},
         {"echo \"x y\" second [\"\"] [] one", "run bin/tool [x y] []", "echo back two TOP"},
         {},
         {}},
        {"goto forward, backward and on if, labels without regard to case",
         {},
         {},
         "goto Later\n"
         "echo skipped\n"
         ":LATER\n"
         "echo pass\n"
         "@if exist flagdir goto :done\n"
         "mkdir flagdir\n"
         "goto later\n"
         ":Done\n"
         "@if not exist \"missing.txt\" goto E\n"
         "echo skipped too\n"
         ":e",
         {},
         {"echo pass", "echo pass"},
         {},
         {}},
        {"wildcards without regard to case, either separator",
         {{"sub/Take1.WAV", "1"}, {"sub/take2.wav", "2"}, {"sub/notes.txt", "n"}, {"sub/deep/take3.wav", "3"}},
         {},
         "@if exist \"SUB\\*.wav\" echo found wav\n"
         "@if not exist \"sub/*.mp3\" echo no mp3\n"
         "@if exist sub\\deep echo folder\n"
         "@for %%f in (\"Sub\\T*.wav\") do \"bin/tool\" \"%%f\" nul\n"
         "del \"sub\\TAKE?.wav\"",
         {},
         {"echo found wav", "echo no mp3", "echo folder", "run bin/tool [Sub\\Take1.WAV] [nul]",
          "run bin/tool [Sub\\take2.wav] [nul]"},
         {{"sub/notes.txt", "n"}, {"sub/deep/take3.wav", "3"}},
         {"sub/Take1.WAV", "sub/take2.wav"}},
        {"del /S /Q reaches every folder below",
         {{"v/a.frq", "a"}, {"v/x/b.FRQ", "b"}, {"v/x/y/c.frq", "c"}, {"v/x/keep.wav", "k"}},
         {},
         "@del /S /Q \"v\\*.frq\"",
         {},
         {},
         {{"v/x/keep.wav", "k"}},
         {"v/a.frq", "v/x/b.FRQ", "v/x/y/c.frq"}},
        {"copy /B joins the sources",
         {{"a.whd", "HEAD"}, {"a.dat", "DATA"}},
         {},
         "copy /Y \"a.whd\" /B + \"a.dat\" /B \"out.bin\"\n"
         "copy /B a.whd+a.dat joined.bin\n"
         "copy a.dat same.bin\n"
         "copy /B a.whd + missing.dat never.bin",
         {},
         {"warn copy"},
         {{"out.bin", "HEADDATA"}, {"joined.bin", "HEADDATA"}, {"same.bin", "DATA"}},
         {"never.bin"}},
        {"& | < > stay literal text",
         {},
         {},
         "@set x=R&B|<y>\n"
         "\"bin/tool\" %x% a&b c>d\n"
         "echo %x% & echo no > out.txt",
         {},
         {"run bin/tool [R&B|<y>] [a&b] [c>d]", "echo R&B|<y> & echo no > out.txt"},
         {},
         {"out.txt", "d", "y>"}},
        {"rem, pause, echo; mkdir of a folder that is there and del of what is not are quiet",
         {{"dir/file.txt", "f"}},
         {},
         "@rem %undefined & | anything\n"
         "REM  second remark\n"
         "pause\n"
         "@pause>nul\n"
         "@echo 周波数表の生成が終了しました。\n"
         "mkdir \"new\\deeper\" other\n"
         "mkdir new\n"
         "del gone.txt\n"
         "del dir\n"
         "@del temp$$$.wav",
         {},
         {"pause", "pause quietly", "echo 周波数表の生成が終了しました。", "warn del"},
         {{"dir/file.txt", "f"}},
         {}},
    };
    int n = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        useFolder(QStringLiteral("case%1").arg(n++));
        for (const auto& [name, bytes] : r.files) writeFile(at(name), bytes);
        if (!r.helper.isEmpty()) writeBatch("sub.bat", r.helper);
        QStringList log;
        ASSERT_NO_THROW(log = run(r.batch, r.arguments));
        EXPECT_EQ(log, r.log) << lastWarnings.join(" / ").toStdString();
        for (const auto& [name, bytes] : r.after) EXPECT_EQ(readFile(at(name)), bytes) << name;
        for (const char* name : r.gone) EXPECT_FALSE(QFileInfo::exists(at(name))) << name;
    }
}

// Programs run in the batch's folder with the environment the runner was started with: a variable the
// batch sets is the batch's own (its lines expand it), and never reaches a program's environment under
// any name, so no note variable can become a variable a shell, the loader or an interpreter reads.
TEST_F(BatrunTest, ProgramsRunInTheBatchFolderWithTheRunnersEnvironment) {
    writeBatch("work/main.bat",
               "@set Foo=1\n"
               "@set expression=AA#3#\n"
               "@set PYTHONPATH=/tmp/x\n"
               "@set LD_PRELOAD=/tmp/x.so\n"
               "\"../bin/tool\" %foo%\n"
               "@set expression=\n"
               "@set greeting=changed\n"
               "@set path=\n"
               "\"../bin/tool\" %GREETING%");
    RecordingHost host(root);
    Runner runner(host, environment, at("prog"));
    runner.run(at("work/main.bat"));
    ASSERT_EQ(host.environments.size(), 2);
    EXPECT_EQ(host.folders[0], at("work"));
    EXPECT_EQ(runner.currentFolder(), at("work"));
    EXPECT_EQ(host.log, (QStringList{"run bin/tool [1]", "run bin/tool [changed]"}));
    for (const QProcessEnvironment& seen : host.environments) {
        QStringList names = seen.keys();
        names.sort();
        EXPECT_EQ(names, (QStringList{"Greeting", "PATH"}));
        EXPECT_EQ(seen.value("Greeting"), "hello");
        EXPECT_EQ(seen.value("PATH"), at("path"));
    }
    // For the batch, the batch's spelling replaces the environment's.
    EXPECT_EQ(runner.variable("GREETING"), "changed");
    EXPECT_EQ(runner.variable("Path"), "");
}

// A variable name is one variable whatever the case of its ASCII letters, and no other letter stands
// for an ASCII one: "cachedır" (dotless "ı"), "ﬁle" or "Ｐath" set variables of their own.
TEST_F(BatrunTest, VariableNamesDifferOnlyInTheCaseOfAsciiLetters) {
    environment.insert("cachedir", "/real");
    environment.insert("TMPDIR", "/tmp");
    // Marked UTF-8: these letters are not in the code page.
    writeFile(at("main.bat"), Cp932::encodeMarked(QStringLiteral("@set cachedır=/evil\r\n"
                                                                 "@set TMPDıR=/evil\r\n"
                                                                 "@set ﬁle=/evil\r\n"
                                                                 "@set Ｐath=/evil\r\n"
                                                                 "@set Mixed_Case1=yes\r\n"
                                                                 "\"bin/tool\" %CACHEDIR% %tmpdir% \"%FILE%\" %cachedır% %mixed_CASE1%\r\n")));
    RecordingHost host(root);
    Runner runner(host, environment, at("prog"));
    runner.run(at("main.bat"));
    const QStringList log = host.log;
    EXPECT_EQ(log, QStringList{QStringLiteral("run bin/tool [/real] [/tmp] [] [/evil] [yes]")});
}

TEST_F(BatrunTest, ALineItCannotRunStopsTheBatchAndIsNamed) {
    struct Row {
        const char* line;
        const char* reason;
    } rows[] = {
        {"if \"a\"==\"a\" echo x", "only \"if [not] exist\""},
        {"if exist x.txt", "needs a statement"},
        {"goto nowhere", "label not found: nowhere"},
        {"nosuchprogram arg", "program not found: nosuchprogram"},
        {"call missing.bat", "batch file not found"},
        {"call :sub", "only .bat and .cmd"},
        {"other.bat", "runs through call"},
        {"set novalue", "set needs NAME=VALUE"},
        {"copy /A a.txt b.txt", "copy switch /A"},
        {"copy a.txt b.txt c.txt", "copy needs"},
        {"for /F %%i in (x) do echo %%i", "for switch /F"},
        {"for %%i in x do echo %%i", "for needs"},
        {"del /P x.txt", "del switch /P"},
        {"pause now", "pause takes"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        QStringList log;
        const LineError e = stopsAt(QString("echo before\n") + r.line + "\necho after", &log);
        EXPECT_EQ(e.file, at("main.bat"));
        EXPECT_EQ(e.lineNumber, 2);
        EXPECT_EQ(e.lineText, QString(r.line));
        EXPECT_TRUE(e.reason.contains(r.reason)) << e.reason.toStdString();
        EXPECT_TRUE(e.message.contains(QString(r.line)));
        EXPECT_EQ(log, QStringList{"echo before"});
    }
}

TEST_F(BatrunTest, AFailureInsideACalledBatchNamesThatBatchsLine) {
    writeBatch("sub.bat", "echo in sub\ngoto missing");
    writeBatch("loop.bat", "call loop.bat");
    RecordingHost host(root);
    Runner runner(host, environment, at("prog"));
    writeBatch("main.bat", "call sub.bat\necho after");
    try {
        runner.run(at("main.bat"));
        ADD_FAILURE() << "ran to the end";
    } catch (const BatchLineError& e) {
        EXPECT_EQ(q(e.file()), at("sub.bat"));
        EXPECT_EQ(e.lineNumber(), 2);
    }
    EXPECT_EQ(host.log, QStringList{"echo in sub"});
    // A batch calling itself without end stops at the nesting limit instead of exhausting the stack.
    EXPECT_THROW(runner.run(at("loop.bat")), BatchLineError);
}

// A variable doubled forty times would need gigabytes: the command processor's 8191 characters stop
// it, as they stop a line that long to begin with. A mkdir over a file is still a failure that prints.
TEST_F(BatrunTest, LinesAndVariablesStopAtTheCommandProcessorsLimit) {
    QString doubling = "@set a=x\n";
    for (int i = 0; i < 40; ++i) doubling += "@set a=%a%%a%\n";
    const QString longLine = "echo " + QString(BatchRunner::MaxLineLength, u'y');
    const QString longFor = "for %%i in (" + QString(3000, u'z') + ") do echo %%i %%i %%i";
    struct Row {
        QString batch;
        int lineNumber;
    } rows[] = {{doubling, 14}, {"echo before\n" + longLine, 2}, {longFor, 1}};
    for (const Row& r : rows) {
        QString a;
        const LineError e = stopsAt(r.batch, nullptr, &a);
        EXPECT_EQ(e.lineNumber, r.lineNumber);
        EXPECT_TRUE(e.reason.contains("8191")) << e.reason.toStdString();
        EXPECT_LE(a.size(), BatchRunner::MaxLineLength);
    }
    // The longest line that is allowed still runs.
    EXPECT_EQ(run("echo " + QString(BatchRunner::MaxLineLength - 5, u'y')).size(), 1);

    writeFile(at("taken"), "f");
    EXPECT_EQ(run("mkdir taken"), QStringList{"warn mkdir"});
}

// A batch marked with EF BB BF is UTF-8: paths with characters code page 932 lacks reach the file
// system and the programs whole. A "for" over many files deletes every one of them.
TEST_F(BatrunTest, MarkedUtf8BatchesAndForOverManyFiles) {
    const QString body = QString::fromUtf8("@set dir=zoë\\sub\r\nmkdir \"%dir%\"\r\n"
                                           "copy /B \"zoë.txt\" \"%dir%\\ë.txt\"\r\n\"bin/tool\" \"%dir%\\ë.txt\"\r\n");
    writeFile(at("zoë.txt"), "bytes");
    writeFile(at("main.bat"), "\xEF\xBB\xBF" + body.toUtf8());
    RecordingHost host(root);
    Runner runner(host, environment, at("prog"));
    runner.run(at("main.bat"));
    EXPECT_EQ(host.log, QStringList{QString::fromUtf8("run bin/tool [zoë\\sub\\ë.txt]")});
    EXPECT_EQ(readFile(at(QString::fromUtf8("zoë/sub/ë.txt"))), "bytes");
    // The same text unmarked reads as code page 932, as every batch did before.
    EXPECT_EQ(Cp932::decodeMarked(Cp932::encode(QString::fromUtf8("ちょうちょう"))), QString::fromUtf8("ちょうちょう"));

    QDir().mkpath(at("many"));
    for (int i = 0; i < 500; ++i) writeFile(at(QString("many/n%1.wav").arg(i)), "x");
    writeFile(at("many/keep.txt"), "x");
    EXPECT_TRUE(run("for %%f in (many\\*.wav) do del \"%%f\"").isEmpty()) << lastWarnings.join(" / ").toStdString();
    EXPECT_EQ(QDir(at("many")).entryList(QDir::Files), QStringList{"keep.txt"});
}

TEST(BatchTextTest, ExpansionAndTokens) {
    auto var = [](const BatchString& n) { return b(q(n).compare("v", Qt::CaseInsensitive) == 0 ? QString("%x%") : QString()); };
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"%v%", "%x%"},             // a value is not expanded again
        {"a%%b", "a%b"},
        {"%1-%9-%2-%0", "\"one\"---name"},  // absent arguments are empty; %0 is the batch as called
        {"50% off", "50 off"},      // a lone % is dropped
        {"%nothing%x", "x"},
        {"%cachedir%\\%1_*.wav", "\\\"one\"_*.wav"},
    };
    for (const Row& r : rows) EXPECT_EQ(q(batchExpand(b(r.in), var, {u"name", u"\"one\""})), QString(r.out)) << r.in;

    const auto tokens = batchTokens(u"  \"a b\"\t\"\" x\"y z\"w  \"open end");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(q(tokens[0].raw), "\"a b\"");
    EXPECT_EQ(q(tokens[0].text), "a b");
    EXPECT_EQ(q(tokens[1].text), "");
    EXPECT_EQ(q(tokens[2].text), "xy zw");
    EXPECT_EQ(q(tokens[3].text), "open end");
}

}  // namespace
}  // namespace tova
