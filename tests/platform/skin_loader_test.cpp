#include "platform/skin_loader.h"

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "support/temp_dir.h"

namespace {

// Files that are what the caller expects byte for byte, yet give no skin.
TEST(AttachSkinLibrary, FailsQuietlyWithoutTheExport) {
    TempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("text.dll"), "not a library"));
    const std::string paths[] = {
        dir.File("text.dll"),    // cannot be loaded
        LIBRARY_WITHOUT_EXPORT,  // a library without SkinH_AttachRes
    };
    for (const auto& path : paths) {
        const std::string bytes = ReadWholeFile(path);
        ASSERT_FALSE(bytes.empty()) << path;
        EXPECT_FALSE(AttachSkinLibrary(path, bytes, ".SHE", 0, 0, 0)) << path;
    }
    EXPECT_FALSE(AttachSkinLibrary(dir.File("missing"), "", ".SHE", 0, 0, 0));
}

}  // namespace
