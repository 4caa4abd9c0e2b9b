#include "platform/xdg_opener.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/encoding.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// "scheme://" at the start, scheme being a letter followed by letters, digits, "+", "-", ".".
// A bare "host:port" has no "//" after its colon, so it is no scheme.
bool HasScheme(std::string_view text) {
    const std::size_t end = text.find("://");
    if (end == std::string_view::npos || end == 0 || !IsAsciiLetter(text[0])) return false;
    for (const char c : text.substr(1, end - 1)) {
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

std::string FindOnPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);  // an empty entry is "."
        std::string candidate(dir.empty() ? std::string_view(".") : dir);
        candidate += '/';
        candidate += name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string_view::npos) return {};
        dirs.remove_prefix(colon + 1);
    }
}

// Double fork: the middle child starts a new session, forks the program and ends at once, so
// the program is adopted by init and never becomes our zombie. Between fork and exec only
// async-signal-safe calls are made, because other threads may hold locks.
void StartDetached(const std::string& program, const std::string& argument) {
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                    nullptr};
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child < 0) {
        if (devNull >= 0) close(devNull);
        return;
    }
    if (child == 0) {
        setsid();
        if (fork() != 0) _exit(0);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        // Sockets and files of this program are no business of the browser.
        close_range(3, ~0U, 0);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        execve(program.c_str(), argv, environ);
        _exit(127);
    }
    if (devNull >= 0) close(devNull);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void RunXdgOpen(const std::string& argument) {
    const std::string program = FindOnPath("xdg-open");
    if (!program.empty()) StartDetached(program, argument);
}

}  // namespace

std::string BrowserArgument(const Text& address) {
    std::string utf8 = Gb18030ToUtf8(address);
    if (HasScheme(utf8)) return utf8;
    std::string argument = "http://";
    argument.append(utf8);
    return argument;
}

void XdgOpener::OpenInExplorer(const Text& address) {
    RunXdgOpen(BrowserArgument(address));
}

void XdgOpener::OpenFile(const std::string& path) {
    if (path.empty()) return;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    RunXdgOpen(error ? path : absolute.string());
}
