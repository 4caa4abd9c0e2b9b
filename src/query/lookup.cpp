#include "query/lookup.h"

#include <utility>

#include "platform/encoding.h"

Text BuildLookupUrl(std::string_view serviceHost, const Metric& metric, std::string_view address) {
    return ConcatText(
        {"http://", serviceHost, "/get.php?", metric.kind, "&", address, "&", metric.tag});
}

std::string FetchReply(std::string_view url, const FetchLimits& limits) {
    return HttpGet(url, limits);
}

Text DecodeReply(std::string_view bytes) {
    if (bytes.empty()) return {};
    const std::optional<std::string> converted = Utf8ToGb18030(bytes);
    return converted ? BytesToText(*converted) : Text();
}

Text CellText(const Text& reply) {
    return CompareText(reply, "-1") == 0 ? Text(kFailMark) : reply;
}

ServiceLookup::ServiceLookup(Text serviceHost, FetchLimits limits)
    : m_serviceHost(std::move(serviceHost)), m_limits(limits) {
    m_limits.cancel = &m_cancelled;
}

Text ServiceLookup::LookupMetric(const Metric& metric, const Text& address) {
    return CellText(
        DecodeReply(FetchReply(BuildLookupUrl(m_serviceHost, metric, address), m_limits)));
}
