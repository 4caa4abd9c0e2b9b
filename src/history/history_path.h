#pragma once

#include <string>

#include "platform/user_folders.h"

// The history file in the user's data folder: $XDG_DATA_HOME/zarkel/history.sqlite, else
// ~/.local/share/zarkel/history.sqlite, in either file layout. The folder is made (mode 0700)
// when missing. Empty when the environment names no folder at all.
std::string HistoryFilePath(const UserFolders& folders);
