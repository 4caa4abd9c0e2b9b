#include "platform/xlsx_text_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "common/file_io.h"
#include "support/dead_process.h"
#include "support/temp_dir.h"
#include "support/workbook_reader.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t Mode(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Read without changing it: the umask belongs to every thread of the process.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    ADD_FAILURE() << "no Umask line";
    return 022;
}

TEST(XlsxTextWriter, WrittenFileTakesTheTargetsPlaceWithItsPermissionBits) {
    struct Case {
        const char* name;
        bool existing;
        mode_t oldMode;
        bool throughLink;
    };
    for (const Case& c :
         {Case{"new file", false, 0, false}, Case{"replaced file", true, 0640, false},
          Case{"file behind a link", true, 0604, true}}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        TempDir elsewhere;
        const std::string file = (c.throughLink ? elsewhere : dir).File("out.xls");
        const std::string chosen = dir.File("out.xls");
        if (c.existing) {
            ASSERT_TRUE(WriteWholeFile(file, "old bytes"));
            ASSERT_EQ(::chmod(file.c_str(), c.oldMode), 0);
        }
        if (c.throughLink) fs::create_symlink(file, chosen);

        XlsxTextWriter writer(chosen);
        writer.WriteText(0, 0, "x");
        ASSERT_TRUE(writer.Close());

        EXPECT_EQ(Mode(file), c.existing ? c.oldMode : 0666 & ~CurrentUmask());
        EXPECT_EQ(fs::is_symlink(chosen), c.throughLink);
        EXPECT_EQ(Names(dir.path()), std::set<std::string>{"out.xls"});
        if (c.throughLink) {
            EXPECT_EQ(Names(elsewhere.path()), std::set<std::string>{"out.xls"});
        }
        const ReadBackWorkbook book = ReadWorkbook(file);
        ASSERT_TRUE(book.ok);
        EXPECT_EQ(book.cells.at("A1").utf8, "x");
    }
}

TEST(XlsxTextWriter, FailedWriteLeavesTheTargetAsItWasAndNoTemporary) {
    for (const bool existing : {true, false}) {
        SCOPED_TRACE(existing ? "existing file" : "no file");
        TempDir dir;
        const std::string path = dir.File("out.xls");
        if (existing) {
            ASSERT_TRUE(WriteWholeFile(path, "old bytes"));
        }

        XlsxTextWriter writer(path);
        writer.WriteText(0, 0, "x");
        writer.WriteText(1048576, 0, "past the last row");
        EXPECT_FALSE(writer.Close());

        if (existing) {
            EXPECT_TRUE(ReadWholeFile(path) == "old bytes") << "the old file was overwritten";
            EXPECT_EQ(Names(dir.path()), std::set<std::string>{"out.xls"});
        } else {
            EXPECT_TRUE(fs::is_empty(dir.path()));
        }
    }
}

TEST(XlsxTextWriter, ExportRemovesTemporariesThatKilledExportsLeftInItsFolder) {
    TempDir dir;
    const std::string dead = std::to_string(DeadProcessId());
    ASSERT_TRUE(WriteWholeFile(dir.File("old.xls.tmp-" + dead + "-aB3xYz"), "half a workbook"));
    ASSERT_TRUE(WriteWholeFile(dir.File("keep.xls"), "a workbook"));

    XlsxTextWriter writer(dir.File("new.xls"));
    writer.WriteText(0, 0, "x");
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"keep.xls", "new.xls"}));
}

}  // namespace
