// A WHOIS reply, from the root or from the registry it names. The input's first line is the
// domain asked for (it picks the registry's rules), the rest the reply.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/whois_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string_view domain = input.substr(0, lineEnd);
    const std::string_view reply =
        lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1);
    WhoisReferral(reply);
    if (const auto date = WhoisRegistrationDate(reply, domain)) {
        if (date->size() != 10 || (*date)[4] != '-' || (*date)[7] != '-') std::abort();
    }
    return 0;
}
