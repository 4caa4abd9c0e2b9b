#include "platform/name_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kCancelCheck{100};

struct PendingLookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<ResolvedHost> result;
};

std::optional<ResolvedHost> Resolve(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0) return std::nullopt;
    ResolvedHost resolved;
    for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
        char buffer[INET6_ADDRSTRLEN] = {};
        if (a->ai_family == AF_INET) {
            const auto* v4 = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
            if (inet_ntop(AF_INET, &v4->sin_addr, buffer, sizeof buffer)) {
                resolved.ipv4.emplace_back(buffer);
            }
        } else if (a->ai_family == AF_INET6) {
            const auto* v6 = reinterpret_cast<const sockaddr_in6*>(a->ai_addr);
            if (inet_ntop(AF_INET6, &v6->sin6_addr, buffer, sizeof buffer)) {
                resolved.ipv6.emplace_back(buffer);
            }
        }
    }
    freeaddrinfo(list);
    if (resolved.ipv4.empty() && resolved.ipv6.empty()) return std::nullopt;
    return resolved;
}

}  // namespace

std::optional<ResolvedHost> ResolveHost(const std::string& host, std::chrono::milliseconds timeout,
                                        const std::atomic<bool>* cancel) {
    if (host.empty()) return std::nullopt;
    // getaddrinfo has no time-out of its own: it runs on a thread that may outlive the wait.
    auto pending = std::make_shared<PendingLookup>();
    std::thread([pending, host] {
        auto result = Resolve(host);
        std::lock_guard lock(pending->mutex);
        pending->result = std::move(result);
        pending->finished = true;
        pending->done.notify_all();
    }).detach();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(pending->mutex);
    while (!pending->finished) {
        if (cancel != nullptr && cancel->load()) return std::nullopt;
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kCancelCheck);
        if (pending->done.wait_until(lock, slice) == std::cv_status::timeout &&
            std::chrono::steady_clock::now() >= deadline && !pending->finished) {
            return std::nullopt;
        }
    }
    return std::move(pending->result);
}
