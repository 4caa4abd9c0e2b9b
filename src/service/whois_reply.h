#pragma once

#include <optional>
#include <string>
#include <string_view>

// The server a WHOIS root names for a top-level domain ("refer:" or "whois:" line).
std::optional<std::string> WhoisReferral(std::string_view reply);

// The domain's registration date as YYYY-MM-DD, from the first line that names it
// ("Creation Date:", "Registration Time:", "created:", "Registered on:", "[Created on]" ...).
std::optional<std::string> WhoisRegistrationDate(std::string_view reply);

// A date written in one of the common WHOIS forms, as YYYY-MM-DD.
std::optional<std::string> ParseWhoisDate(std::string_view value);
