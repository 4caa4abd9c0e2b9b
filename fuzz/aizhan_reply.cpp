// A reply of the aizhan API store's site-weight calls.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/aizhan_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AizhanReply reply =
        ReadAizhanReply(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [domain, weight] : reply.weights) {
        if (domain.empty() || domain.size() > 253 || weight < 0 || weight > 10) std::abort();
    }
    return 0;
}
