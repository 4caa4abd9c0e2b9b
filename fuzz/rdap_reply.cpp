// RDAP JSON: IANA's bootstrap file and a registry's domain object.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/rdap_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    if (const auto services = ReadRdapBootstrap(json)) RdapBaseUrls(*services, "example.com");
    const RdapRegistration registration = ReadRdapRegistration(json);
    if (registration.outcome == RdapRegistration::Outcome::kDate &&
        (registration.date.size() != 10 || registration.date[4] != '-')) {
        std::abort();
    }
    return 0;
}
