#include "platform/skin_loader.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

using AttachRes = int (*)(const unsigned char* skin, int size, const char* password, int hue,
                          int saturation, int brightness);

bool HoldsExactly(int fd, std::string_view expected) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<std::size_t>(st.st_size) != expected.size()) return false;
    char buffer[65536];
    std::size_t offset = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        const auto size = static_cast<std::size_t>(n);
        if (offset + size > expected.size() ||
            std::memcmp(buffer, expected.data() + offset, size) != 0) {
            return false;
        }
        offset += size;
    }
    return offset == expected.size();
}

}  // namespace

bool AttachSkinLibrary(const std::string& path, std::string_view expectedImage,
                       std::string_view skin, int hue, int saturation, int brightness) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    void* library = nullptr;
    // Loading through the open descriptor loads the very file that was compared, even if
    // the name is made to point elsewhere meanwhile.
    if (HoldsExactly(fd, expectedImage)) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        library = ::dlopen(self.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    ::close(fd);
    if (library == nullptr) return false;
    const auto attach = reinterpret_cast<AttachRes>(::dlsym(library, "SkinH_AttachRes"));
    if (attach == nullptr) {
        ::dlclose(library);
        return false;
    }
    attach(reinterpret_cast<const unsigned char*>(skin.data()), static_cast<int>(skin.size()),
           nullptr, hue, saturation, brightness);
    return true;
}
