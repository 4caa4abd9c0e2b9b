#include "app/file_layout.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "common/file_io.h"
#include "support/read_only_dir.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The program lies in ROOT/bin; folder members and expectations are paths under ROOT ("" for
// none), so each case reads like the tree it sets up.
struct LayoutCase {
    const char* name;
    bool urlBeside;
    bool readOnly;
    bool installTree;  // ROOT/share/zarkel exists beside bin/
    UserFolders folders;
    bool portable;
    const char* addressDirectory;
    const char* skinLibraryFile;  // "@work" for the working directory's jedata.dll
};

std::string Under(const std::string& root, const std::string& member) {
    return member.empty() ? member : root + member;
}

TEST(FileLayout, ChoosesPortableOrTheUsersFolders) {
    const UserFolders allSet{"/home", "/data", "/cache", "/run"};
    const UserFolders homeOnly{"/home", "", "", ""};
    const LayoutCase cases[] = {
        {"url.txt beside a read-only folder", true, true, false, allSet, true, "/bin", "@work"},
        {"writable folder without url.txt", false, false, false, allSet, true, "/bin", "@work"},
        {"read-only folder, XDG variables", false, true, false, allSet, false, "/data/zarkel",
         "/run/zarkel/jedata.dll"},
        {"read-only folder, only HOME", false, true, false, homeOnly, false,
         "/home/.local/share/zarkel", "/home/.cache/zarkel/jedata.dll"},
        {"read-only folder, cache but no runtime folder",
         false,
         true,
         false,
         {"/home", "", "/cache", ""},
         false,
         "/home/.local/share/zarkel",
         "/cache/zarkel/jedata.dll"},
        {"read-only folder, no home at all", false, true, false, {}, false, "/bin", ""},
        {"writable bin/ of an install tree", false, false, true, allSet, false, "/data/zarkel",
         "/run/zarkel/jedata.dll"},
        {"url.txt beside the bin/ of an install tree", true, false, true, allSet, true, "/bin",
         "@work"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir root;
        TempDir work;
        const std::string program = root.File("bin");
        fs::create_directory(program);
        if (c.urlBeside) {
            ASSERT_TRUE(WriteWholeFile(program + "/url.txt", "a.com\r\n"));
        }
        if (c.installTree) fs::create_directories(root.File("share/zarkel"));
        const UserFolders folders{
            Under(root.path(), c.folders.home), Under(root.path(), c.folders.dataHome),
            Under(root.path(), c.folders.cacheHome), Under(root.path(), c.folders.runtimeDir)};

        FileLayout layout;
        {
            std::optional<ReadOnlyDir> readOnly;
            if (c.readOnly) readOnly.emplace(program);
            layout = ChooseFileLayout(program, work.path(), folders);
        }
        EXPECT_EQ(layout.portable, c.portable);
        EXPECT_EQ(layout.addressDirectory, root.path() + c.addressDirectory);
        const std::string skin = c.skinLibraryFile;
        EXPECT_EQ(layout.skinLibraryFile,
                  skin == "@work" ? work.File("jedata.dll") : Under(root.path(), skin));
    }
}

TEST(FileLayout, InstalledFoldersAreCreatedForTheUserAlone) {
    TempDir root;
    const FileLayout installed{false, root.File("data/zarkel"), root.File("run/zarkel/jedata.dll")};
    CreateLayoutFolders(installed);
    for (const std::string& folder : {root.File("data/zarkel"), root.File("run/zarkel")}) {
        SCOPED_TRACE(folder);
        struct stat info {};
        ASSERT_EQ(stat(folder.c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }

    // Portable: the program's folder and the working directory are used as they are.
    const FileLayout portable{true, root.File("nowhere"), root.File("elsewhere/jedata.dll")};
    CreateLayoutFolders(portable);
    EXPECT_FALSE(fs::exists(root.File("nowhere")));
    EXPECT_FALSE(fs::exists(root.File("elsewhere")));
}

TEST(FileLayout, RelativeXdgValuesAreIgnored) {
    // The base directory rules: a relative path in one of these variables counts as unset.
    const char* names[] = {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
    std::string saved[4];
    bool had[4];
    for (int i = 0; i < 4; ++i) {
        const char* value = std::getenv(names[i]);
        had[i] = value != nullptr;
        if (had[i]) saved[i] = value;
    }
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    setenv("XDG_CACHE_HOME", "", 1);
    setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    const UserFolders folders = UserFoldersFromEnvironment();
    for (int i = 0; i < 4; ++i) {
        if (had[i]) {
            setenv(names[i], saved[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
    EXPECT_EQ(folders.home, "/home/someone");
    EXPECT_EQ(folders.dataHome, "");
    EXPECT_EQ(folders.cacheHome, "");
    EXPECT_EQ(folders.runtimeDir, "/run/user/1000");
}

}  // namespace
