// Instance numbers of copies of the editor that run at the same time, and their private temporary
// folders. The copies are real processes: this test program started again in "editor copy" mode.
#include "core/InstanceCount.h"
#include "platform/Cp932.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace tova;

namespace {

const char kCopyMode[] = "TOVA_TEST_EDITOR_COPY";

// Editor-copy mode (set in the environment by the tests below): take a number and a temporary folder as
// the editor does at start-up, print them, hold them until standard input closes, and exit. Runs before
// the test framework starts.
int runAsEditorCopy() {
    if (qEnvironmentVariableIsEmpty(kCopyMode)) return 0;
    const int n = CountInstance();
    const QString folder = MakeInstanceTempFolder(n);
    std::printf("%d\t%s\n", n, QFile::encodeName(folder).constData());
    std::fflush(stdout);
    char buf[64];
    while (::read(0, buf, sizeof buf) > 0) {
    }
    CloseInstanceMap();
    std::fflush(stdout);
    ::_exit(0);
}
const int kEditorCopy = runAsEditorCopy();

class EditorCopy {
public:
    EditorCopy(const QString& temp) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kCopyMode, "1");
        env.insert("TEMP", temp);
        p_.setProcessEnvironment(env);
        p_.setProgram(QCoreApplication::applicationFilePath());
        p_.start();
    }
    ~EditorCopy() { exit(); }
    // Waits for the copy's number and folder.
    void read() {
        if (number >= 0) return;
        while (!p_.canReadLine() && p_.waitForReadyRead(10000)) {
        }
        const QList<QByteArray> f = p_.readLine().trimmed().split('\t');
        number = f.value(0).isEmpty() ? 0 : f[0].toInt();
        folder = QFile::decodeName(f.value(1));
    }
    void exit() {
        if (p_.state() == QProcess::NotRunning) return;
        p_.closeWriteChannel();
        p_.waitForFinished(10000);
    }
    void crash() {
        p_.kill();
        p_.waitForFinished(10000);
    }

    int number = -1;
    QString folder;

private:
    QProcess p_;
};

mode_t modeOf(const QString& path) {
    struct stat st{};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return st.st_mode;
}

TEST(InstanceCount, CopiesStartedTogetherGetOneAndTwoInPrivateFolders) {
    QTemporaryDir temp;
    {
        auto a = std::make_unique<EditorCopy>(temp.path());
        auto b = std::make_unique<EditorCopy>(temp.path());
        a->read();
        b->read();
        EXPECT_EQ(std::min(a->number, b->number), 1);
        EXPECT_EQ(std::max(a->number, b->number), 2);
        for (const EditorCopy* c : {a.get(), b.get()}) {
            EXPECT_EQ(c->folder, temp.path() + "/tova" + QString::number(c->number));
            EXPECT_TRUE(S_ISDIR(modeOf(c->folder)));
            EXPECT_EQ(modeOf(c->folder) & 0777, 0700u);
        }
        // The copy numbered 2 exits while 1 runs: the next one gets 3, numbers are not reused.
        EditorCopy* second = a->number == 2 ? a.get() : b.get();
        second->exit();
        EditorCopy c(temp.path());
        c.read();
        EXPECT_EQ(c.number, 3);
    }
    // All have exited: the count starts again.
    EditorCopy d(temp.path());
    d.read();
    EXPECT_EQ(d.number, 1);
}

TEST(InstanceCount, ManySimultaneousStartsNeverShareANumberAndACrashFreesItsPlace) {
    QTemporaryDir temp;
    {
        std::vector<std::unique_ptr<EditorCopy>> copies;
        for (int i = 0; i < 5; ++i) copies.push_back(std::make_unique<EditorCopy>(temp.path()));
        std::set<int> numbers;
        for (auto& c : copies) {
            c->read();
            numbers.insert(c->number);
        }
        EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5}));
        for (auto& c : copies) c->crash();  // no orderly exit at all
    }
    EditorCopy next(temp.path());
    next.read();
    EXPECT_EQ(next.number, 1);
}

QByteArray blockWith(const QByteArray& text, int length) {
    QByteArray b(1024, '\0');
    b[0] = char(length & 0xFF);
    b[1] = char(length >> 8);
    b.replace(2, text.size(), text);
    return b;
}

TEST(InstanceCount, CountOnTheSharedBlock) {
    const struct {
        const char* name;
        QByteArray block;
        int next;
    } cases[] = {
        {"new zeroed block", QByteArray(1024, '\0'), 1},
        {"count 5", blockWith("EXEC_COUNT=5", 12), 6},
        {"count 41 with text after it", blockWith("EXEC_COUNT=41x", 14), 42},
        {"no equals sign", blockWith("EXEC_COUNT", 10), 1},
        {"nothing after the equals sign", blockWith("EXEC_COUNT=", 11), 1},
        {"other text", blockWith("EXEC_CONUT=5", 12), 1},
        {"length shorter than the text", blockWith("EXEC_COUNT=123", 12), 2},
        {"length beyond the block", blockWith("EXEC_COUNT=9", 5000), 10},
        {"count at the top of the range", blockWith("EXEC_COUNT=2147483647", 21), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray block = c.block;
        EXPECT_EQ(NextInstanceCount(block), c.next);
        const QByteArray text = "EXEC_COUNT=" + QByteArray::number(c.next);
        EXPECT_EQ(quint8(block[0]) | (quint8(block[1]) << 8), text.size());
        EXPECT_EQ(block.mid(2, text.size()), text);
        EXPECT_EQ(block.size(), 1024);
    }
}

TEST(InstanceCount, TemporaryFolderIsNeverOneSomebodyElseMade) {
    QTemporaryDir temp;
    const QByteArray saved = qgetenv("TEMP");
    qputenv("TEMP", QFile::encodeName(temp.path()));
    // Ours but open to all: tightened.
    QDir(temp.path()).mkdir("tova3");
    ::chmod(QFile::encodeName(temp.path() + "/tova3").constData(), 0777);
    EXPECT_EQ(MakeInstanceTempFolder(3), temp.path() + "/tova3");
    EXPECT_EQ(modeOf(temp.path() + "/tova3") & 0777, 0700u);
    // A link planted under the name: a fresh private folder instead.
    QDir(temp.path()).mkdir("planted");
    ASSERT_TRUE(QFile::link(temp.path() + "/planted", temp.path() + "/tova4"));
    const QString fresh = MakeInstanceTempFolder(4);
    EXPECT_TRUE(fresh.startsWith(temp.path() + "/tova4-")) << fresh.toStdString();
    EXPECT_TRUE(S_ISDIR(modeOf(fresh)));
    EXPECT_EQ(modeOf(fresh) & 0777, 0700u);
    if (saved.isNull())
        qunsetenv("TEMP");
    else
        qputenv("TEMP", saved);
}

}  // namespace
