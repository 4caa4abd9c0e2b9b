// A reply of the PageRank API.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/open_pagerank.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto rank = ReadOpenPageRank(std::string_view(reinterpret_cast<const char*>(data), size));
    if (rank && (*rank < 0 || *rank > 10)) std::abort();
    return 0;
}
