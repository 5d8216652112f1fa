#include "tools/batrun/ProcessBatchHost.h"

#include <QProcess>

#include <cstdio>

#include <termios.h>
#include <unistd.h>

namespace tova {
namespace {

void put(std::FILE* f, const QString& text) {
    std::fputs(text.toUtf8().constData(), f);
    std::fflush(f);
}

// One byte from standard input; a terminal hands over a key at once and without echo.
void waitForKey() {
    char c = 0;
    if (isatty(STDIN_FILENO)) {
        termios old{};
        if (tcgetattr(STDIN_FILENO, &old) == 0) {
            termios raw = old;
            raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            tcsetattr(STDIN_FILENO, TCSANOW, &raw);
            [[maybe_unused]] ssize_t n = ::read(STDIN_FILENO, &c, 1);
            tcsetattr(STDIN_FILENO, TCSANOW, &old);
            return;
        }
    }
    [[maybe_unused]] ssize_t n = ::read(STDIN_FILENO, &c, 1);  // end of input ends the wait
}

}  // namespace

QString ProcessBatchHost::pausePrompt() { return QStringLiteral("続行するには何かキーを押してください . . . "); }

void ProcessBatchHost::echo(const QString& text) { put(stdout, text + u'\n'); }

void ProcessBatchHost::warn(const QString& text) { put(stderr, text + u'\n'); }

void ProcessBatchHost::pause(bool quiet) {
    if (!quiet) put(stdout, pausePrompt());
    waitForKey();
    if (!quiet) put(stdout, QStringLiteral("\n"));
}

bool ProcessBatchHost::run(const QString& program, const QStringList& arguments, const QString& folder,
                           const QProcessEnvironment& environment) {
    std::fflush(stdout);
    std::fflush(stderr);
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setWorkingDirectory(folder);
    p.setProcessEnvironment(environment);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setInputChannelMode(QProcess::ForwardedInputChannel);
    p.start();
    if (!p.waitForStarted(-1)) return false;
    p.waitForFinished(-1);
    return true;
}

}  // namespace tova
