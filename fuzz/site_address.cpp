// A site address as a request names it: any bytes, UTF-8 or GB18030.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/site_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto site = ParseSiteAddress(bytes);
    if (!site) return 0;
    for (const char c : site->hostPort) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F) std::abort();  // ASCII, no blanks or control bytes
    }
    const auto again = ParseSiteAddress(site->hostPort);
    if (!again || again->hostPort != site->hostPort) std::abort();
    RegisteredDomain(site->host);
    WithoutWww(site->host);
    return 0;
}
