#pragma once

#include <string>

#include "platform/user_folders.h"

// Where the program keeps its files. Portable (run from its own folder): url.txt beside the
// binary and the skin library in the working directory. Installed: url.txt in the user's
// data folder and the skin library in the runtime or cache folder, never the working
// directory.
struct FileLayout {
    bool portable = true;
    std::string addressDirectory;  // holds url.txt
    std::string skinLibraryFile;   // where jedata.dll is written; empty: nowhere
};

// The data folder an install tree keeps beside its bin/ folder (share/zarkel).
std::string InstalledDataDirectory(const std::string& programDirectory);

// Portable when url.txt is beside the binary, or when the program's folder is writable by
// the user and is not the bin/ folder of an install tree (root may write to /usr/bin, but an
// installed program still keeps its files in the user's folders).
FileLayout ChooseFileLayout(const std::string& programDirectory,
                            const std::string& workingDirectory, const UserFolders& folders);

// Creates the installed layout's folders (mode 0700), so the editor can save and the skin
// library be written on a first start; nothing in the portable layout.
void CreateLayoutFolders(const FileLayout& layout);
