#include "tools/batrun/ProcessBatchHost.h"

#include <cstdio>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace tova {
namespace {

void put(std::FILE* f, const BatchString& text) {
    std::fputs(batchUtf8(text).c_str(), f);
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

BatchString ProcessBatchHost::pausePrompt() { return u"続行するには何かキーを押してください . . . "; }

void ProcessBatchHost::echo(const BatchString& text) { put(stdout, text + u'\n'); }

void ProcessBatchHost::warn(const BatchString& text) { put(stderr, text + u'\n'); }

void ProcessBatchHost::pause(bool quiet) {
    if (!quiet) put(stdout, pausePrompt());
    waitForKey();
    if (!quiet) put(stdout, u"\n");
}

bool ProcessBatchHost::run(const BatchString& program, const BatchStrings& arguments, const BatchString& folder,
                           const BatchEnvironment& environment) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::vector<std::string> texts{batchUtf8(program)};
    for (const BatchString& a : arguments) texts.push_back(batchUtf8(a));
    std::vector<std::string> variables;
    for (const auto& [name, value] : environment.entries()) variables.push_back(batchUtf8(name + u'=' + value));
    std::vector<char*> argv, envp;
    for (std::string& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);
    for (std::string& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    // The program runs in the batch's folder and shares the runner's console.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string where = batchUtf8(folder);
    posix_spawn_file_actions_addchdir_np(&actions, where.c_str());
    pid_t pid = 0;
    const int failure = ::posix_spawn(&pid, texts[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // A program that cannot be started (no such folder, not executable) is reported by the spawn itself.
    return true;
}

}  // namespace tova
