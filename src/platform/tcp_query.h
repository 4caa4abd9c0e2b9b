#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// One request-reply exchange over TCP (WHOIS style): connects to host:port, sends `request`,
// reads until the peer closes. nullopt when it cannot connect, the whole exchange outlasts
// `timeout`, the reply grows past `cap` bytes, or `cancel` becomes true.
std::optional<std::string> TcpQuery(const std::string& host, int port, std::string_view request,
                                    std::chrono::milliseconds timeout, std::size_t cap,
                                    const std::atomic<bool>* cancel = nullptr);
