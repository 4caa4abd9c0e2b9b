#include "platform/user_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return {};
    return value;
}

}  // namespace

UserFolders UserFoldersFromEnvironment() {
    UserFolders folders;
    folders.home = AbsoluteVariable("HOME");
    if (folders.home.empty()) {
        if (const passwd* entry = getpwuid(geteuid());
            entry && entry->pw_dir && entry->pw_dir[0] == '/') {
            folders.home = entry->pw_dir;
        }
    }
    folders.dataHome = AbsoluteVariable("XDG_DATA_HOME");
    folders.cacheHome = AbsoluteVariable("XDG_CACHE_HOME");
    folders.runtimeDir = AbsoluteVariable("XDG_RUNTIME_DIR");
    return folders;
}

bool IsWritableDirectory(const std::string& directory) {
    // AT_EACCESS judges with the effective ids and capabilities; plain access() would let
    // root pass through its permitted set even where a write would be refused.
    return !directory.empty() &&
           faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}
