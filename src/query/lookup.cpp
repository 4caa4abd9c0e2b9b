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
    : m_ownHosts(std::make_unique<FixedServiceHost>(std::move(serviceHost))),
      m_hosts(*m_ownHosts),
      m_limits(limits) {
    m_limits.cancel = &m_cancelled;
}

ServiceLookup::ServiceLookup(ServiceHosts& hosts, FetchLimits limits)
    : m_hosts(hosts), m_limits(limits) {
    m_limits.cancel = &m_cancelled;
}

Text ServiceLookup::LookupMetric(const Metric& metric, const Text& address) {
    if (m_cancelled.load()) return {};
    const Text host = m_hosts.CurrentHost();
    if (host.empty()) return {};
    const std::string reply = FetchReply(BuildLookupUrl(host, metric, address), m_limits);
    // The service always answers something, "-1" at least: nothing means it could not be
    // reached or broke off.
    if (reply.empty() && !m_cancelled.load()) m_hosts.NoReplyFrom(host);
    return CellText(DecodeReply(reply));
}
