// What the program does with a reply of the lookup service, and the request target it makes
// from a url.txt line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/http_fetch.h"
#include "query/lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CellText(DecodeReply(bytes));
    const std::string url =
        SafeRequestUrl(BuildLookupUrl("127.0.0.1:1", kMetricCatalogue[0], bytes));
    for (const char c : url) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F) std::abort();  // nothing that cannot stand in a request line
    }
    return 0;
}
