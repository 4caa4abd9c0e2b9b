#pragma once

#include <string>

#include "common/text.h"

// Hands web pages and files to the desktop. Results are ignored: a failure to start the
// browser or the spreadsheet program is neither noticed nor reported.
class ShellOpener {
  public:
    virtual ~ShellOpener() = default;

    // A web address; a text without a scheme is read as http:// + text, like a browser does.
    virtual void OpenInExplorer(const Text& address) = 0;

    // A file, given by its path.
    virtual void OpenFile(const std::string& path) = 0;
};
