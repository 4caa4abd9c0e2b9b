#pragma once

#include <optional>
#include <string>
#include <string_view>

// A site as the service works with it: an ASCII host name (IDN in its xn-- form) or a
// numeric address, with the port when one was given.
struct SiteAddress {
    std::string host;      // lower case, no trailing dot; IPv6 without brackets
    std::string hostPort;  // as it goes into a URL: "host", "host:8080", "[::1]:8080"
    bool numeric = false;  // an IPv4 or IPv6 literal
};

// Reads an address as a user writes it: blanks around it, a scheme, a path or a trailing dot
// are tolerated; UTF-8 or GB18030 bytes are accepted. nullopt when no sound host remains.
std::optional<SiteAddress> ParseSiteAddress(std::string_view address);

// The registrable domain under the public suffix list ("www.example.com.cn" gives
// "example.com.cn"); the host itself for numeric addresses or when the list has no answer.
std::string RegisteredDomain(const std::string& host);

// The host without one leading "www.".
std::string_view WithoutWww(std::string_view host);
