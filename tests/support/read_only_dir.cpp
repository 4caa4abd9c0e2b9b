#include "support/read_only_dir.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <utility>

namespace {

// Capabilities belong to a thread, so the raw system calls change only the caller's.
bool SetDacOverride(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    const unsigned bit = 1u << CAP_DAC_OVERRIDE;
    const bool was = (data[0].effective & bit) != 0;
    if (was == on) return false;
    if (on) {
        data[0].effective |= bit;
    } else {
        data[0].effective &= ~bit;
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ReadOnlyDir::ReadOnlyDir(std::string path) : m_path(std::move(path)) {
    ::chmod(m_path.c_str(), 0555);
    m_droppedOverride = SetDacOverride(false);
}

ReadOnlyDir::~ReadOnlyDir() {
    if (m_droppedOverride) SetDacOverride(true);
    ::chmod(m_path.c_str(), 0755);
}
