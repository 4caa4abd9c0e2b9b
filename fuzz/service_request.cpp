// A request as the lookup service reads it off the wire: the head, then the query.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/http_request_head.h"
#include "service/service_query.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t end = HttpHeadEnd(bytes);
    if (end != std::string_view::npos && end > bytes.size()) std::abort();
    if (const auto head = ParseHttpRequestHead(bytes.substr(0, end))) {
        if (head->target.empty() || head->target.front() != '/') std::abort();
        ParseServiceQuery(head->target);
    }
    ParseServiceQuery(bytes);
    if (PercentDecode(PercentEncode(bytes)) != bytes) std::abort();
    return 0;
}
