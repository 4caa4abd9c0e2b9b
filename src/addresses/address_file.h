#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/text.h"

// The directory of the running program, without a trailing separator.
std::string ProgramDirectory();

// url.txt in a given directory (the program directory in the program, a temporary one in
// tests). Nothing is cached: every call reads the file afresh.
class AddressFile final {
  public:
    explicit AddressFile(std::string directory);
    // A host list of any name, in the same format (zarkel-batch's --list).
    static AddressFile AtPath(const std::string& path);

    const std::string& Directory() const { return m_directory; }
    const std::string& Path() const { return m_path; }

    // True when the directory holds an entry named url.txt (a directory counts too).
    bool Exists() const;

    // The file split at CR LF; empty members stay.
    std::vector<Text> ReadAddressList() const;

    // The member count as decimal text, for CountLabel.
    Text CountText() const;

  private:
    AddressFile(std::string directory, std::string path)
        : m_directory(std::move(directory)), m_path(std::move(path)) {}

    std::string m_directory;
    std::string m_path;
};
