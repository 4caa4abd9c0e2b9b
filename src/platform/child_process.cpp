#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace {

constexpr std::size_t kLineCap = 64;

// Closes a descriptor when it goes out of scope unless released.
class OwnedFd final {
  public:
    explicit OwnedFd(int fd) : m_fd(fd) {}
    ~OwnedFd() {
        if (m_fd >= 0) close(m_fd);
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd) {
        if (m_fd >= 0) close(m_fd);
        m_fd = fd;
    }

  private:
    int m_fd;
};

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(
    const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& extraEnvironment) {
    // Both ends close on exec: other children of this process never hold the link open; the
    // child gets its end as kLinkFd through dup2, which clears that flag on the copy.
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return nullptr;
    OwnedFd parentEnd(ends[0]);
    OwnedFd childEnd(ends[1]);
    // dup2 onto itself would keep close-on-exec, so the child's end must lie elsewhere.
    if (childEnd.get() == kLinkFd) {
        const int moved = fcntl(childEnd.get(), F_DUPFD_CLOEXEC, kLinkFd + 1);
        if (moved < 0) return nullptr;
        childEnd.reset(moved);
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // Built before the spawn: the environment the child gets.
    std::vector<char*> envp;
    for (const std::string& entry : extraEnvironment) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos || equals == 0) continue;
        const char* set = std::getenv(entry.substr(0, equals).c_str());
        if (set == nullptr || *set == '\0') envp.push_back(const_cast<char*>(entry.c_str()));
    }
    for (char** variable = environ; *variable != nullptr; ++variable) envp.push_back(*variable);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childEnd.get(), kLinkFd);
    // The calling thread may block or ignore signals (a service blocks its stop signals);
    // the child starts with the defaults.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // A group of its own: Ctrl-C at a terminal stops the program (zarkel-batch finishes the
    // host under way), not the service it is still asking; the link ends the child after.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    pid_t pid = 0;
    const int failed =
        posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return nullptr;
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, parentEnd.release()));
}

ChildProcess::~ChildProcess() {
    close(m_link);
    // Nothing the service holds is worth a graceful stop, and a stop that waits for its
    // lookups could hold up the program's end. The child is reaped only here, so its id
    // cannot have gone to another process yet.
    kill(m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    while (true) {
        const std::size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return line;
        }
        if (m_pending.size() > kLineCap) return std::nullopt;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd watch{m_link, POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char buffer[kLineCap + 1];
        const ssize_t got = read(m_link, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        m_pending.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ChildProcess::Responds(std::chrono::milliseconds timeout) {
    if (!Running()) return false;
    // An answer to an earlier check that came late proves nothing about now.
    m_pending.clear();
    char buffer[kLineCap];
    ssize_t got = 0;
    while ((got = recv(m_link, buffer, sizeof buffer, MSG_DONTWAIT)) > 0 ||
           (got < 0 && errno == EINTR)) {
    }
    if (got == 0) return false;
    const char check = '?';
    if (send(m_link, &check, 1, MSG_NOSIGNAL) != 1) return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd watch{m_link, POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        got = recv(m_link, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return got > 0;
    }
}

bool ChildProcess::Running() {
    if (m_linkClosed) return false;
    // The child holds its end of the link for as long as it lives, and a child that closed
    // it is of no use: one poll tells, cheaper on every lookup than waitpid as well.
    pollfd watch{m_link, POLLIN | POLLRDHUP, 0};
    if (poll(&watch, 1, 0) == 1) {
        char byte = 0;
        m_linkClosed = (watch.revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL)) != 0 ||
                       recv(m_link, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
    }
    return !m_linkClosed;
}
