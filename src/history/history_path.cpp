#include "history/history_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string HistoryFilePath() {
    namespace fs = std::filesystem;
    fs::path base;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / ".local" / "share";
    }
    const fs::path folder = base / "zarkel";
    std::error_code error;
    if (fs::create_directories(folder, error)) {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    return (folder / "history.sqlite").string();
}
