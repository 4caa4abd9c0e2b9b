#include "app/home_page.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/file_io.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(HomePage, AboutPageIsFoundInBothLayouts) {
    struct Case {
        const char* name;
        bool installed;  // ROOT/share/zarkel/about.html
        bool beside;     // ROOT/bin/about.html
        const char* expected;
    };
    const Case cases[] = {
        {"installed", true, false, "/share/zarkel/about.html"},
        {"portable", false, true, "/bin/about.html"},
        {"both: the install tree's", true, true, "/share/zarkel/about.html"},
        {"neither", false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir root;
        fs::create_directories(root.File("bin"));
        fs::create_directories(root.File("share/zarkel"));
        if (c.installed) {
            ASSERT_TRUE(WriteWholeFile(root.File("share/zarkel/about.html"), "<p>"));
        }
        if (c.beside) {
            ASSERT_TRUE(WriteWholeFile(root.File("bin/about.html"), "<p>"));
        }
        const std::string expected = *c.expected ? root.path() + c.expected : "";
        EXPECT_EQ(AboutPageFile(root.File("bin")), expected);
    }
}

TEST(HomePage, TheBuildCarriesItsAboutPageBesideTheProgram) {
    const std::string programDirectory = fs::path(ZARKEL_BINARY).parent_path().string();
    const HomePage home = ChooseHomePage("", programDirectory);
    EXPECT_EQ(home.address, FileUrl(programDirectory + "/about.html"));
    EXPECT_EQ(home.caption, "关于Zarkel");
    const std::string page = ReadWholeFile(programDirectory + "/about.html");
    EXPECT_NE(page.find("Version " ZARKEL_VERSION), std::string::npos);
    EXPECT_NE(page.find("url.txt"), std::string::npos);
}

TEST(HomePage, ConfiguredAddressIsUsedAsItIs) {
    const HomePage home = ChooseHomePage("https://zarkel.example.org/", "/nowhere");
    EXPECT_EQ(home.address, "https://zarkel.example.org/");
    EXPECT_EQ(home.caption, "https://zarkel.example.org/");
}

TEST(HomePage, FileUrlIsPlainAscii) {
    EXPECT_EQ(FileUrl("/usr/share/zarkel/about.html"), "file:///usr/share/zarkel/about.html");
    // A space, a "#" that would start a fragment, and UTF-8 bytes of a folder name.
    EXPECT_EQ(FileUrl("/home/a b/#x/\xe4\xb8\xad/about.html"),
              "file:///home/a%20b/%23x/%E4%B8%AD/about.html");
}

}  // namespace
