#include "platform/parent_link.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

bool SendAll(int link, std::string_view bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        // MSG_NOSIGNAL: a parent already gone must not kill this process with SIGPIPE.
        const ssize_t n = send(link, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool SendLineToParent(int link, std::string_view line) {
    return SendAll(link, std::string(line) + '\n');
}

bool ServeParentLink(int link) {
    if (fcntl(link, F_GETFD) < 0) return false;
    std::thread([link] {
        char buffer[64];
        while (true) {
            const ssize_t got = read(link, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0 ||
                !SendAll(link, std::string_view(buffer, static_cast<std::size_t>(got)))) {
                std::_Exit(0);
            }
        }
    }).detach();
    return true;
}
