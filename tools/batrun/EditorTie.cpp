#include "tools/batrun/EditorTie.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

namespace tova {

namespace {

// The whole process group: the runner leads it, and the programs it starts stay in it.
[[noreturn]] void endGroup() {
    ::kill(0, SIGKILL);
    ::_exit(3);
}

}  // namespace

void EditorTie::watchEditor() {
    const char* text = std::getenv("TOVA_EDITOR_PID");
    if (!text || !*text) return;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (*end != '\0' || pid <= 1) return;
    // A group of its own, so that ending it reaches only the runner and what it starts.
    ::setpgid(0, 0);
    // The editor's process descriptor becomes readable when it ends.
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd < 0) {
        if (errno == ESRCH) endGroup();  // gone before the watch began
        // No process descriptors: ask after the editor by its id now and then.
        std::thread([pid] {
            while (::kill(pid_t(pid), 0) == 0 || errno == EPERM) ::usleep(200000);
            endGroup();
        }).detach();
        return;
    }
    std::thread([fd] {
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
        }
        endGroup();
    }).detach();
}

int EditorTie::reportExit(int code) {
    const char* path = std::getenv("TOVA_RUNNER_STATUS");
    if (!path || !*path) return code;
    // Written beside and renamed into place: the editor reads either nothing or the whole code.
    const std::string temporary = std::string(path) + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return code;
    const std::string text = std::to_string(code) + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path) != 0) ::unlink(temporary.c_str());
    return code;
}

}  // namespace tova
