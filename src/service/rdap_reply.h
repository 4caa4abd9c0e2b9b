#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Readers of RDAP JSON (RFC 9083, RFC 9224). Pure functions of the bytes they are given, safe
// on any input: nesting, sizes and counts are bounded.

// IANA's DNS bootstrap file: each top-level domain (or suffix, lower case) with its RDAP base
// URLs in the file's order. nullopt when the text is not such a file.
using RdapServices = std::map<std::string, std::vector<std::string>, std::less<>>;
std::optional<RdapServices> ReadRdapBootstrap(std::string_view json);

// The base URLs for `domain` (an ASCII name): those of its longest suffix in the file.
std::vector<std::string> RdapBaseUrls(const RdapServices& services, std::string_view domain);

// What a domain object says about its registration.
struct RdapRegistration {
    enum class Outcome { kDate, kNoEvent, kNotJson };
    Outcome outcome = Outcome::kNotJson;
    std::string date;  // YYYY-MM-DD with kDate
};

// The date of the first event whose eventAction is "registration", as written.
RdapRegistration ReadRdapRegistration(std::string_view json);
