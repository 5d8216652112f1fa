#include "core/Processes.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/EventWait.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/ProcessHandle.h"
#include "platform/ProcessSpawn.h"
#include "platform/SystemPaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tova {

std::int16_t WaitAbort = 0;
std::int16_t StopRequested = 0;
QString TempFolder;

namespace {

struct Launch {
    QString program;
    QStringList arguments;
    QList<QPair<QString, QString>> environment;  // variables added to this program's environment
};

// A program named with a folder is looked up on disk without regard to letter case; a bare name is
// left to the search path.
QString onDiskProgram(const QString& program) {
    if (program.contains(u'/') || program.contains(u'\\')) return FileSystem::resolve(program);
    return program;
}

// Splits the words of a command line as the usual quoting rules do: double quotes group blanks, three
// quotes in a row stand for one literal quote, and a pair of quotes with nothing between them is an
// empty argument (a tool's empty flags must keep the place of the arguments after them).
QStringList splitWords(QStringView text) {
    QStringList words;
    QString word;
    bool inWord = false;  // a word has begun (also one that is still empty: "")
    bool inQuote = false;
    int quotes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"') {
            inWord = true;
            if (++quotes == 3) {
                quotes = 0;
                word += c;
            }
            continue;
        }
        if (quotes == 1) inQuote = !inQuote;
        quotes = 0;
        if (!inQuote && c.isSpace()) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

// Splits a command line into the program and its arguments. An unquoted program path that holds
// blanks takes the shortest run of blank-separated words that names an existing file.
Launch splitCommandLine(const QString& line) {
    QString text = line.trimmed();
    Launch l;
    if (!text.startsWith(u'"')) {
        for (qsizetype blank = text.indexOf(u' '); blank > 0; blank = text.indexOf(u' ', blank + 1)) {
            QString head = text.left(blank);
            if (FileSystem::isFile(head)) {
                l.program = onDiskProgram(head);
                l.arguments = splitWords(QStringView(text).mid(blank + 1));
                return l;
            }
        }
    }
    QStringList words = splitWords(text);
    if (!words.isEmpty()) l.program = onDiskProgram(words.takeFirst());
    l.arguments = words;
    return l;
}

[[noreturn]] void raiseStartFailure(const QString& program) {
    if (!program.isEmpty() && FileSystem::exists(program))
        throw FileError(QStringLiteral("ファイルにアクセスできません。 ") + program, 75);
    throw FileError(QStringLiteral("ファイルが見つかりません。 ") + program, 53);
}

// Starts a program detached from this one (it keeps running if we stop waiting for it) and returns
// its id. `quiet` gives it no standard input or output. The start does not copy the editor's memory
// (see ProcessSpawn), so a tool started per note costs the same however large the song is.
qint64 startDetached(const Launch& l, const QString& workingFolder, bool quiet) {
    if (l.program.isEmpty()) raiseStartFailure(l.program);
    const QString folder = workingFolder.isEmpty() ? QString() : FileSystem::resolve(workingFolder);
    const qint64 pid = ProcessSpawn::start(l.program, l.arguments, folder, quiet, l.environment);
    if (pid <= 0) raiseStartFailure(l.program);
    return pid;
}

// Waits for a program started by a text runner: 100 ms slices with events, until it ends or the user
// asks to stop.
void waitForTextRunner(qint64 pid) {
    ProcessHandle handle;
    if (!handle.open(pid)) return;  // already ended and collected
    EventWait::until([&] { return handle.wait(0) != ProcessHandle::Wait::TimedOut || StopRequested != 0; }, 100);
}

// Reads the exchange file back, deletes it and answers the changed text or "".
QString readBackAndDelete(const QString& path, const QString& sent, qint64 maxBytes) {
    // The program may have left a pipe or an empty folder in the file's place: it goes too.
    const auto removeLeft = [&] {
        if (!QFile::remove(path)) QDir().rmdir(path);
    };
    QString back;
    try {
        back = ReadTextFile(path, maxBytes);
    } catch (...) {
        removeLeft();
        throw;
    }
    removeLeft();
    return back == sent ? QString() : back;
}

QString runOnText(const Launch& l, const QString& text, const QString& workingFolder, qint64 maxBytes) {
    const QString path = WriteTempTextFile(text, TempFolder);
    Launch withFile = l;
    withFile.arguments << path;  // one argument, whatever it holds
    qint64 pid = 0;
    try {
        pid = startDetached(withFile, workingFolder, true);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    waitForTextRunner(pid);
    return readBackAndDelete(path, text, maxBytes);
}

}  // namespace

bool WaitForProcess(qint64 processId, int pollMs) {
    ProcessHandle handle;
    if (!handle.open(processId)) return false;
    WaitAbort = 0;
    EventWait::until([&] { return WaitAbort == 1 || handle.wait(0) != ProcessHandle::Wait::TimedOut; },
                     qMax(pollMs, 0));
    handle.close();
    return true;
}

qint64 Shell(const QString& commandLine, int windowStyle) {
    Q_UNUSED(windowStyle);  // no console or window to show
    return startDetached(splitCommandLine(commandLine), QString(), false);
}

qint64 ShellBatch(const QString& batchPath, const QString& statusPath) {
    Launch l;
    l.program = FileSystem::resolve(PathText::join(SystemPaths::programFolder(), QStringLiteral("batrun")));
    l.arguments = QStringList{batchPath};
    // The runner ends with this program, and leaves its exit code where asked.
    l.environment.append({QStringLiteral("TOVA_EDITOR_PID"), QString::number(QCoreApplication::applicationPid())});
    if (!statusPath.isEmpty()) l.environment.append({QStringLiteral("TOVA_RUNNER_STATUS"), statusPath});
    return startDetached(l, QString(), false);
}

void ShellAndWait(const QString& commandLine, int windowStyle) {
    qint64 pid = Shell(commandLine, windowStyle);
    ProcessHandle handle;
    if (handle.open(pid)) handle.wait(-1);
}

QString GetShortPath(const QString& path) {
    if (path.isEmpty()) return QString();
    QString onDisk = FileSystem::resolve(path);
    return QFileInfo::exists(onDisk) ? onDisk : QString();
}

QString WriteTempTextFile(const QString& text, const QString& folder) {
    const QString dir = FileSystem::resolve(folder);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        throw FileError(QStringLiteral("パスが見つかりません。 ") + folder, 76);
    // Like the system's temporary names: "tmp", a four-digit hexadecimal number that starts from the
    // clock and counts on past names in use, ".tmp".
    const quint32 start = quint32(QDateTime::currentMSecsSinceEpoch()) & 0xFFFF;
    for (quint32 k = 0; k < 0x10000; ++k) {
        quint32 unique = (start + k) & 0xFFFF;
        if (unique == 0) continue;
        QString name = QStringLiteral("tmp") + QString::number(unique, 16).toUpper().rightJustified(4, u'0') +
                       QStringLiteral(".tmp");
        QString path = PathText::join(dir, name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            if (f.exists()) continue;
            throw FileError(QStringLiteral("ファイルを作成できません。 ") + path, 75);
        }
        QByteArray bytes = Cp932::encodeMarked(text);
        if (f.write(bytes) != bytes.size() || !f.flush()) {
            f.close();
            QFile::remove(path);
            throw IoError(QStringLiteral("ディスクへの書き込みに失敗しました。 ") + path);
        }
        f.close();
        return path;
    }
    throw FileError(QStringLiteral("ファイルを作成できません。 ") + folder, 75);
}

namespace {

// The text as lines, each followed by CR LF.
QString asCrLfLines(const QString& all) {
    QString out;
    out.reserve(all.size() + 2);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        QChar c = all[i];
        if (c != u'\r' && c != u'\n') continue;
        out += QStringView(all).mid(lineStart, i - lineStart);
        out += QStringLiteral("\r\n");
        if (c == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n') ++i;
        lineStart = i + 1;
    }
    if (lineStart < all.size()) {
        out += QStringView(all).mid(lineStart);
        out += QStringLiteral("\r\n");
    }
    return out;
}

}  // namespace

QString ReadTextFile(const QString& path) { return ReadTextFile(path, -1); }

QString ReadTextFile(const QString& path, qint64 maxBytes) {
    // The file was left by another program: opened without waiting and read only when it is a regular
    // file (a pipe in its place would hold the editor for good), never past the allowance.
    const QByteArray bytes =
        maxBytes < 0 ? FileSystem::readRegularFile(path) : FileSystem::readRegularFile(path, maxBytes);
    return asCrLfLines(Cp932::decodeMarked(bytes));
}

QString RunProgramOnText(const QString& programPath, const QString& text, qint64 maxBytes) {
    Launch l;
    l.program = onDiskProgram(programPath);
    return runOnText(l, text, QString(), maxBytes);
}

QString RunProcessOnText(const QString& command, const QString& text, const QString& workingFolder,
                         qint64 maxBytes) {
    Launch l;
    if (command.startsWith(u'"')) {
        QStringList words = splitWords(command);
        if (!words.isEmpty()) l.program = onDiskProgram(words.takeFirst());
        l.arguments = words;
    } else {
        l.program = onDiskProgram(command);
    }
    return runOnText(l, text, workingFolder, maxBytes);
}

}  // namespace tova
