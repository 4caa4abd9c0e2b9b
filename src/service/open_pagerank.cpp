#include "service/open_pagerank.h"

#include <cstdlib>
#include <string>

namespace {

// The number after "key": in `object`, or nullopt.
std::optional<double> NumberField(std::string_view object, std::string_view key) {
    std::string quoted(1, '"');
    quoted.append(key).push_back('"');
    std::size_t at = object.find(quoted);
    if (at == std::string_view::npos) return std::nullopt;
    at = object.find(':', at + quoted.size());
    if (at == std::string_view::npos) return std::nullopt;
    ++at;
    while (at < object.size() && (object[at] == ' ' || object[at] == '"')) ++at;
    const std::string number(object.substr(at, 24));
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end == number.c_str()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<int> ReadOpenPageRank(std::string_view json) {
    const std::size_t response = json.find("\"response\"");
    if (response == std::string_view::npos) return std::nullopt;
    const std::size_t open = json.find('{', response);
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = json.find('}', open);
    const std::string_view first =
        json.substr(open, close == std::string_view::npos ? std::string_view::npos : close - open);
    const auto status = NumberField(first, "status_code");
    const auto rank = NumberField(first, "page_rank_integer");
    // Written so that "nan" fails too: converting it to int is undefined.
    if (!status || *status != 200 || !rank || !(*rank >= 0 && *rank <= 10)) return std::nullopt;
    return static_cast<int>(*rank);
}
