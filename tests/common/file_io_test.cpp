#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "support/dead_process.h"
#include "support/temp_dir.h"

namespace {

void Plant(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ReadWholeFile, MissingEmptyAndBinary) {
    TempDir dir;
    EXPECT_EQ(ReadWholeFile(dir.File("missing")), "");
    EXPECT_EQ(ReadWholeFile(""), "");
    EXPECT_EQ(ReadWholeFile(dir.path()), "");  // a directory reads as empty

    const std::string bytes("a\r\n\0\xFF\r", 6);
    Plant(dir.File("f"), bytes);
    EXPECT_EQ(ReadWholeFile(dir.File("f")), bytes);
}

TEST(WriteWholeFile, ReplacesAndKeepsMode) {
    TempDir dir;
    const auto path = dir.File("url.txt");
    const mode_t mask = ::umask(027);
    ASSERT_TRUE(WriteWholeFile(path, "a\r\nb\r\n"));
    ::umask(mask);
    EXPECT_EQ(ReadWholeFile(path), "a\r\nb\r\n");
    struct stat created {};
    ASSERT_EQ(::stat(path.c_str(), &created), 0);
    EXPECT_EQ(created.st_mode & 0777, 0640u) << "a new file gets 0666 less the umask";

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteWholeFile(path, ""));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteWholeFile, FailuresLeaveTheOldFile) {
    TempDir dir;
    EXPECT_FALSE(WriteWholeFile("", "x"));
    EXPECT_FALSE(WriteWholeFile(dir.File("no/such/dir/file"), "x"));

    std::filesystem::create_directory(dir.File("sub"));
    EXPECT_FALSE(WriteWholeFile(dir.File("sub"), "x"));  // a directory of that name

    if (::geteuid() != 0) {  // root writes anywhere
        Plant(dir.File("old"), "old");
        ::chmod(dir.path().c_str(), 0555);
        EXPECT_FALSE(WriteWholeFile(dir.File("old"), "new"));
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(ReadWholeFile(dir.File("old")), "old");
    }
}

std::set<std::string> Names(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A kill during a save leaves "url.txt.tmp-PID-N"; the next start removes those of processes
// that are gone, and nothing else.
TEST(RemoveStaleTemporaries, RemovesOnlyTheLeftoversOfEndedProcesses) {
    TempDir dir;
    const std::string dead = std::to_string(DeadProcessId());
    const std::string live = std::to_string(::getpid());
    const std::string parent = std::to_string(::getppid());
    const std::set<std::string> stale = {"url.txt.tmp-" + dead + "-0",
                                         "url.txt.tmp-" + dead + "-17"};
    const std::set<std::string> kept = {
        "url.txt",
        "url.txt.tmp-" + live + "-3",          // this process may be saving now
        "url.txt.tmp-" + parent + "-3",        // another running program
        "url.txt.tmp-" + dead + "-",           // not the pattern
        "url.txt.tmp-x" + dead + "-1",         //
        "url.txt.tmp-" + dead + "-1.bak",      //
        "other.txt.tmp-" + dead + "-1",        // another file's: not asked for
        "a.xls.tmp-" + dead + "-Ab3dEf",       //
        "url.txt.tmp-99999999999999999999-1",  // no process id
    };
    for (const auto& name : stale) Plant(dir.File(name), "x");
    for (const auto& name : kept) Plant(dir.File(name), "x");
    std::filesystem::create_directory(dir.File("url.txt.tmp-" + dead + "-9"));  // not a file

    RemoveStaleTemporaries(dir.File("url.txt"));
    std::set<std::string> expected = kept;
    expected.insert("url.txt.tmp-" + dead + "-9");
    EXPECT_EQ(Names(dir.path()), expected);

    // Folder-wide: every file's leftovers of ended processes.
    RemoveStaleTemporariesIn(dir.path());
    expected.erase("other.txt.tmp-" + dead + "-1");
    expected.erase("a.xls.tmp-" + dead + "-Ab3dEf");
    EXPECT_EQ(Names(dir.path()), expected);
}

}  // namespace
