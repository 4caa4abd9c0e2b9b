#pragma once

#include <string>

#include "common/shell_opener.h"

// Hands pages and files to the desktop through `xdg-open ARG`, found on PATH at each call and
// started detached in its own session: the caller neither waits for it nor leaves a zombie.
class XdgOpener final : public ShellOpener {
  public:
    // The code page 936 address goes over as UTF-8; without a scheme it is http:// + address.
    void OpenInExplorer(const Text& address) override;
    // The file goes over as its absolute path.
    void OpenFile(const std::string& path) override;
};

// The argument OpenInExplorer hands over for `address`.
std::string BrowserArgument(const Text& address);
