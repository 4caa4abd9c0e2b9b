#include "common/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

std::string ReadWholeFile(const std::string& path) {
    if (path.empty()) return {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            bytes.clear();  // unreadable (a directory, an I/O error) reads as empty
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

// A fresh file beside `path`, created with 0666 so the umask applies as to any new file
// (changing the umask itself would race with other threads creating files).
static int CreateTemporaryBeside(const std::string& path, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TemporaryNameFor(path, std::to_string(counter++));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    std::string temp;
    const int fd = CreateTemporaryBeside(path, temp);
    if (fd < 0) return false;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);  // keep its mode
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::string TemporaryNameFor(const std::string& path, std::string_view tag) {
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::string(tag);
}

namespace {

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The writer's process id when `name` is "<target>.tmp-<pid>-<tag>" (tag: letters and
// digits), with `target` equal to `only` unless that is empty; 0 otherwise.
long TemporaryOwner(std::string_view name, std::string_view only) {
    const std::size_t mark = name.rfind(".tmp-");
    if (mark == std::string_view::npos || mark == 0) return 0;
    if (!only.empty() && name.substr(0, mark) != only) return 0;
    const std::string_view rest = name.substr(mark + 5);
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash > 9) return 0;
    const std::string_view pid = rest.substr(0, dash);
    const std::string_view tag = rest.substr(dash + 1);
    if (!IsDigits(pid) || tag.empty() || tag.size() > 20) return 0;
    for (const char c : tag) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum) return 0;
    }
    return std::stol(std::string(pid));
}

bool ProcessIsGone(long pid) {
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void RemoveStale(const std::string& directory, std::string_view only) {
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!ProcessIsGone(TemporaryOwner(name, only))) continue;
        struct stat info {};
        // Regular files only, and never through a link.
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
    const auto [directory, name] = SplitPath(path);
    if (!name.empty()) RemoveStale(directory, name);
}

void RemoveStaleTemporariesIn(const std::string& directory) {
    RemoveStale(directory, {});
}

bool CanCreateFileBeside(const std::string& path) {
    struct stat target {};
    if (path.empty() || (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))) {
        return false;
    }
    std::string probe;
    const int fd = CreateTemporaryBeside(path, probe);
    if (fd < 0) return false;
    ::close(fd);
    std::remove(probe.c_str());
    return true;
}

bool IsReadableFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool file = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    ::close(fd);
    return file;
}
