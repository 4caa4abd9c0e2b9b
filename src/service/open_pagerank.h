#pragma once

#include <optional>
#include <string_view>

// The integer PageRank (0 to 10) of the first domain in an Open PageRank API reply; nullopt
// when the reply is not one or the domain is unknown to it.
std::optional<int> ReadOpenPageRank(std::string_view json);
