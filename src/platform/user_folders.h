#pragma once

#include <string>

// The user's base folders as the environment names them. A member is empty when its
// variable is unset, empty or not an absolute path (such values are to be ignored).
struct UserFolders {
    std::string home;        // $HOME, else the password database's home folder
    std::string dataHome;    // $XDG_DATA_HOME
    std::string cacheHome;   // $XDG_CACHE_HOME
    std::string runtimeDir;  // $XDG_RUNTIME_DIR
};

UserFolders UserFoldersFromEnvironment();

// True when the running user may create files in `directory` (effective ids and
// capabilities, as an open would be judged).
bool IsWritableDirectory(const std::string& directory);
