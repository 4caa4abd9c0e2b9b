#pragma once

#include <string>

// The history file in the user's XDG data folder: $XDG_DATA_HOME/zarkel/history.sqlite, or
// ~/.local/share/zarkel/history.sqlite. The folder is made (mode 0700) when missing.
std::string HistoryFilePath();
