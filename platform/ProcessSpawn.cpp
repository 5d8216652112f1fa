#include "platform/ProcessSpawn.h"

#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace tova {
namespace {

std::mutex startedMutex;
std::set<pid_t>& started() {
    static std::set<pid_t> pids;
    return pids;
}

// Collects every program started here that has ended.
void collectEnded() {
    std::lock_guard<std::mutex> lock(startedMutex);
    for (auto it = started().begin(); it != started().end();) {
        const pid_t r = ::waitpid(*it, nullptr, WNOHANG);
        it = (r == *it || (r < 0 && errno == ECHILD)) ? started().erase(it) : std::next(it);
    }
}

}  // namespace

qint64 ProcessSpawn::start(const QString& program, const QStringList& arguments, const QString& folder, bool quiet,
                           const QList<QPair<QString, QString>>& variables) {
    collectEnded();
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString& a : arguments) texts.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> settings;
    for (const auto& [name, value] : variables) settings.push_back(QFile::encodeName(name + u'=' + value));
    std::vector<char*> envp;
    for (char** e = environ; e && *e; ++e) {
        bool replaced = false;
        for (const QByteArray& s : settings) {
            const qsizetype eq = s.indexOf('=');
            replaced = replaced || std::strncmp(*e, s.constData(), std::size_t(eq + 1)) == 0;
        }
        if (!replaced) envp.push_back(*e);
    }
    for (QByteArray& s : settings) envp.push_back(s.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    const QByteArray where = QFile::encodeName(folder);
    if (!folder.isEmpty()) posix_spawn_file_actions_addchdir_np(&actions, where.constData());
    // A session of its own (it runs on by itself), every signal at its default and none blocked.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const bool bare = !program.contains(u'/');
    const int failure = bare ? ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data())
                             : ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0 || pid <= 0) return 0;
    std::lock_guard<std::mutex> lock(startedMutex);
    started().insert(pid);
    return pid;
}

void ProcessSpawn::collect(qint64 pid) {
    std::lock_guard<std::mutex> lock(startedMutex);
    const auto it = started().find(pid_t(pid));
    if (it == started().end()) return;
    const pid_t r = ::waitpid(*it, nullptr, WNOHANG);
    if (r == *it || (r < 0 && errno == ECHILD)) started().erase(it);
}

}  // namespace tova
