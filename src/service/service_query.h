#pragma once

#include <optional>
#include <string>
#include <string_view>

// One request of the lookup protocol: "/get.php?KIND&ADDRESS&TAG".
struct ServiceQuery {
    std::string kind;
    std::string address;  // percent-decoded bytes
    std::string tag;
};

// Reads the query part of a request target. The kind ends at the first "&" and the tag
// starts after the last, so an address that holds "&" arrives whole. nullopt without two
// "&".
std::optional<ServiceQuery> ParseServiceQuery(std::string_view target);

std::string PercentDecode(std::string_view text);

// Encodes every byte but unreserved ASCII.
std::string PercentEncode(std::string_view text);
