#pragma once

#include <optional>
#include <string>
#include <string_view>

// The server a WHOIS root names for a top-level domain ("refer:" or "whois:" line).
std::optional<std::string> WhoisReferral(std::string_view reply);

// How a registry writes a numeric date whose day and month could be swapped ("06-04-2004").
enum class DayMonthOrder { kUnknown, kDayFirst, kMonthFirst };

// The registration date of `domain` (the registered domain that was asked for; its
// top-level domain picks the registry's rules) as YYYY-MM-DD, read from a registry's reply.
// Only the domain's own date counts: the root's part of a chained reply and the blocks of
// contacts and registrars are skipped. nullopt when the reply holds no exact date or its
// order cannot be known. A pure function of its input, safe on any bytes.
std::optional<std::string> WhoisRegistrationDate(std::string_view reply, std::string_view domain);

// A date written in one of the forms registries use, as YYYY-MM-DD. A numeric date whose day
// and month could be swapped is read in `order`, and not at all when that is unknown.
std::optional<std::string> ParseWhoisDate(std::string_view value,
                                          DayMonthOrder order = DayMonthOrder::kUnknown);
