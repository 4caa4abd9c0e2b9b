// The built program itself, started from a working directory that is not its own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <thread>

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

}  // namespace
