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

TEST(Program, WritesTheSkinLibraryIntoTheWorkingDirectory) {
    TempDir program;
    TempDir work;
    const std::string binary = program.File("zarkel");
    fs::copy_file(ZARKEL_BINARY, binary);
    ASSERT_TRUE(WriteWholeFile(program.File("url.txt"), "a.com\r\n"));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The user's own folders stay untouched: history and settings go to the test's folder.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(work.path()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(work.path()));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(work.path()));
    process.start(QString::fromStdString(binary), {});
    ASSERT_TRUE(process.waitForStarted());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(work.File("jedata.dll")) && std::chrono::steady_clock::now() < deadline &&
           process.state() == QProcess::Running) {
        process.waitForFinished(20);
    }
    EXPECT_EQ(process.state(), QProcess::Running) << "the program ended at start";
    ASSERT_TRUE(fs::exists(work.File("jedata.dll")));
    EXPECT_FALSE(fs::exists(program.File("jedata.dll")));
    // Replaced in one step, so once there it is whole: the library the project built.
    EXPECT_EQ(ReadWholeFile(work.File("jedata.dll")), ReadWholeFile(SKIN_LIBRARY));
    EXPECT_EQ(ReadWholeFile(program.File("url.txt")), "a.com\r\n");
    // The history file is opened at start, in the data folder given.
    while (!fs::exists(work.File("zarkel/history.sqlite")) &&
           std::chrono::steady_clock::now() < deadline) {
        process.waitForFinished(20);
    }
    EXPECT_TRUE(fs::exists(work.File("zarkel/history.sqlite")));

    process.kill();
    process.waitForFinished();
}

}  // namespace
