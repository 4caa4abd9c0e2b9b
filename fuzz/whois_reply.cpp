// A WHOIS reply, from the root or from the registry it names.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/whois_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    WhoisReferral(reply);
    if (const auto date = WhoisRegistrationDate(reply)) {
        if (date->size() != 10 || (*date)[4] != '-' || (*date)[7] != '-') std::abort();
    }
    return 0;
}
