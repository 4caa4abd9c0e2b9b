#pragma once

#include <string>
#include <vector>

#include "common/text.h"

// The directory of the running program, without a trailing separator.
std::string ProgramDirectory();

// url.txt in a given directory (the program directory in the program, a temporary one in
// tests). Nothing is cached: every call reads the file afresh.
class AddressFile final {
  public:
    explicit AddressFile(std::string directory);

    const std::string& Directory() const { return m_directory; }
    const std::string& Path() const { return m_path; }

    // True when the directory holds an entry named url.txt (a directory counts too).
    bool Exists() const;

    // The file split at CR LF; empty members stay.
    std::vector<Text> ReadAddressList() const;

    // The member count as decimal text, for CountLabel.
    Text CountText() const;

  private:
    std::string m_directory;
    std::string m_path;
};
