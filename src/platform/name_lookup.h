#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The numeric addresses of a host name, in the resolver's order, split by family.
struct ResolvedHost {
    std::vector<std::string> ipv4;
    std::vector<std::string> ipv6;
};

// Resolves through the system's resolver; nullopt when the name does not resolve, the
// answer takes longer than `timeout` or `cancel` becomes true (an abandoned query finishes
// on its own thread).
std::optional<ResolvedHost> ResolveHost(const std::string& host, std::chrono::milliseconds timeout,
                                        const std::atomic<bool>* cancel = nullptr);
