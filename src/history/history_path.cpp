#include "history/history_path.h"

#include <filesystem>
#include <system_error>

std::string HistoryFilePath(const UserFolders& folders) {
    namespace fs = std::filesystem;
    fs::path base;
    if (!folders.dataHome.empty()) {
        base = folders.dataHome;
    } else if (!folders.home.empty()) {
        base = fs::path(folders.home) / ".local" / "share";
    } else {
        return {};
    }
    const fs::path folder = base / "zarkel";
    std::error_code error;
    if (fs::create_directories(folder, error)) {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    return (folder / "history.sqlite").string();
}
