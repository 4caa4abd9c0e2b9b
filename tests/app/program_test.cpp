// The built program itself, started from a working directory that is not its own.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/file_io.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Starts `binary` in `work` and waits until `file` appears or the program ends; the caller
// kills the program.
void StartAndWaitFor(QProcess& process, const std::string& binary, const std::string& work,
                     const QProcessEnvironment& environment, const std::string& file) {
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(work));
    process.start(QString::fromStdString(binary), {});
    ASSERT_TRUE(process.waitForStarted());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(file) && std::chrono::steady_clock::now() < deadline &&
           process.state() == QProcess::Running) {
        process.waitForFinished(20);
    }
    EXPECT_EQ(process.state(), QProcess::Running) << "the program ended at start";
}

QProcessEnvironment Offscreen() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

TEST(Program, WritesTheSkinLibraryIntoTheWorkingDirectory) {
    TempDir program;
    TempDir work;
    const std::string binary = program.File("zarkel");
    fs::copy_file(ZARKEL_BINARY, binary);
    ASSERT_TRUE(WriteWholeFile(program.File("url.txt"), "a.com\r\n"));

    QProcess process;
    StartAndWaitFor(process, binary, work.path(), Offscreen(), work.File("jedata.dll"));
    ASSERT_TRUE(fs::exists(work.File("jedata.dll")));
    EXPECT_FALSE(fs::exists(program.File("jedata.dll")));
    // Replaced in one step, so once there it is whole: the library the project built.
    EXPECT_EQ(ReadWholeFile(work.File("jedata.dll")), ReadWholeFile(SKIN_LIBRARY));
    EXPECT_EQ(ReadWholeFile(program.File("url.txt")), "a.com\r\n");

    process.kill();
    process.waitForFinished();
}

TEST(Program, InstalledKeepsItsFilesInTheUsersFolders) {
    // An install tree (bin/ beside share/zarkel/), started from a foreign, writable folder.
    TempDir root;
    TempDir work;
    fs::create_directories(root.File("usr/bin"));
    fs::create_directories(root.File("usr/share/zarkel"));
    fs::create_directories(root.File("home"));
    fs::create_directories(root.File("run"));
    const std::string binary = root.File("usr/bin/zarkel");
    fs::copy_file(ZARKEL_BINARY, binary);

    QProcessEnvironment environment = Offscreen();
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(root.File("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(root.File("run")));
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("XDG_CACHE_HOME"));
    const std::string library = root.File("run/zarkel/jedata.dll");

    QProcess process;
    StartAndWaitFor(process, binary, work.path(), environment, library);
    EXPECT_EQ(ReadWholeFile(library), ReadWholeFile(SKIN_LIBRARY));
    EXPECT_TRUE(fs::is_empty(work.path()));
    EXPECT_FALSE(fs::exists(root.File("usr/bin/jedata.dll")));
    // The data folder is ready for the editor's first save; url.txt itself is the user's to make.
    EXPECT_TRUE(fs::is_directory(root.File("home/.local/share/zarkel")));
    EXPECT_FALSE(fs::exists(root.File("usr/bin/url.txt")));

    process.kill();
    process.waitForFinished();
}

// The children of process `parent` named `name`, from /proc.
std::vector<int> ChildrenNamed(qint64 parent, const std::string& name) {
    std::vector<int> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        // "pid (comm) state ppid ...": comm may hold blanks and brackets.
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        std::getline(file, stat);
        const std::size_t open = stat.find('(');
        const std::size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open) continue;
        char state = 0;
        long ppid = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &ppid) != 2) continue;
        if (ppid == parent && stat.substr(open + 1, close - open - 1) == name) {
            found.push_back(std::stoi(pid));
        }
    }
    return found;
}

// True when process `pid` has a listening TCP socket (its socket inodes against
// /proc/net/tcp, where state 0A is LISTEN).
bool Listens(int pid) {
    std::vector<std::string> sockets;
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (target.rfind("socket:[", 0) == 0)
            sockets.push_back(target.substr(8, target.size() - 9));
    }
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);  // the header
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeouts, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeouts >> inode;
        if (state == "0A" && std::find(sockets.begin(), sockets.end(), inode) != sockets.end()) {
            return true;
        }
    }
    return false;
}

// True once process `pid` has ended (a zombie has), false after ten seconds.
bool WaitUntilEnded(int pid) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd watch{fd, POLLIN, 0};
    const int ready = poll(&watch, 1, 10'000);
    close(fd);
    return ready == 1;
}

// Without a configured host the program runs zarkel-lookupd beside it as its child; killed,
// the program leaves no service behind.
TEST(Program, KilledProgramLeavesNoLookupServiceBehind) {
    if (*BUILT_IN_SERVICE_HOST) GTEST_SKIP() << "a service host is built into this build";
    TempDir program;
    const std::string binary = program.File("zarkel");
    fs::copy_file(ZARKEL_BINARY, binary);
    fs::copy_file(LOOKUPD_BINARY, program.File("zarkel-lookupd"));
    ASSERT_TRUE(WriteWholeFile(program.File("url.txt"), "a.com\r\n"));

    QProcess process;
    QProcessEnvironment environment = Offscreen();
    environment.remove(QStringLiteral("ZARKEL_SERVICE_HOST"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(program.path()));
    process.start(QString::fromStdString(binary), {});
    ASSERT_TRUE(process.waitForStarted());

    // Killed once its child serves: a child that finds the program gone before it reports
    // its port ends anyway.
    std::vector<int> children;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((children.size() != 1 || !Listens(children.front())) &&
           std::chrono::steady_clock::now() < deadline && process.state() == QProcess::Running) {
        process.waitForFinished(20);
        children = ChildrenNamed(process.processId(), "zarkel-lookupd");
    }
    ASSERT_EQ(children.size(), 1u);
    ASSERT_TRUE(Listens(children.front()));

    process.kill();
    process.waitForFinished();
    EXPECT_TRUE(WaitUntilEnded(children.front()));
}

}  // namespace
