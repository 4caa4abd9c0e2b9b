#pragma once

#include <string>

// Makes a directory unwritable for the calling thread for the helper's lifetime, also when
// the tests run as root: besides taking the write bits away it drops the calling thread's
// CAP_DAC_OVERRIDE, which would otherwise let root write anyway.
class ReadOnlyDir final {
  public:
    explicit ReadOnlyDir(std::string path);
    ~ReadOnlyDir();
    ReadOnlyDir(const ReadOnlyDir&) = delete;
    ReadOnlyDir& operator=(const ReadOnlyDir&) = delete;

  private:
    std::string m_path;
    bool m_droppedOverride = false;
};
