#include "app/file_layout.h"

#include <filesystem>
#include <system_error>

#include "app/skin.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "/zarkel";

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// $XDG_DATA_HOME, else ~/.local/share; empty when neither is known.
std::string DataHome(const UserFolders& folders) {
    if (!folders.dataHome.empty()) return folders.dataHome;
    if (!folders.home.empty()) return folders.home + "/.local/share";
    return {};
}

// $XDG_RUNTIME_DIR, else $XDG_CACHE_HOME, else ~/.cache.
std::string SkinHome(const UserFolders& folders) {
    if (!folders.runtimeDir.empty()) return folders.runtimeDir;
    if (!folders.cacheHome.empty()) return folders.cacheHome;
    if (!folders.home.empty()) return folders.home + "/.cache";
    return {};
}

}  // namespace

std::string InstalledDataDirectory(const std::string& programDirectory) {
    return fs::path(programDirectory).parent_path().string() + "/share/zarkel";
}

FileLayout ChooseFileLayout(const std::string& programDirectory,
                            const std::string& workingDirectory, const UserFolders& folders) {
    const bool installTree = IsDirectory(InstalledDataDirectory(programDirectory));
    if (Exists(programDirectory + "/url.txt") ||
        (IsWritableDirectory(programDirectory) && !installTree)) {
        return {true, programDirectory, SkinLibraryFile(workingDirectory)};
    }
    FileLayout layout;
    layout.portable = false;
    const std::string dataHome = DataHome(folders);
    // Without any home the list stays where the program is: reads work, a save says it failed.
    layout.addressDirectory = dataHome.empty() ? programDirectory : dataHome + kFolderName;
    const std::string skinHome = SkinHome(folders);
    if (!skinHome.empty()) layout.skinLibraryFile = skinHome + kFolderName + "/jedata.dll";
    return layout;
}

void CreateLayoutFolders(const FileLayout& layout) {
    if (layout.portable) return;
    for (const fs::path& folder :
         {fs::path(layout.addressDirectory), fs::path(layout.skinLibraryFile).parent_path()}) {
        std::error_code error;
        if (folder.empty() || fs::exists(folder, error)) continue;
        if (fs::create_directories(folder, error)) {
            fs::permissions(folder, fs::perms::owner_all, error);
        }
    }
}
