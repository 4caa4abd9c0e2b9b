#include "query/lookup.h"

#include <algorithm>
#include <random>
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

std::string RunPlanBody(std::string_view client, const std::array<bool, 13>& ticks,
                        const std::vector<Text>& addresses) {
    std::size_t size = 64 + client.size();
    for (const Text& address : addresses) size += address.size() + 1;
    std::string body;
    body.reserve(size + size / 8);
    body.append("zarkel-plan 1\nclient ").append(client).append("\nkinds");
    for (const Metric& metric : kMetricCatalogue) {
        if (ticks[static_cast<std::size_t>(metric.column)]) body.append(" ").append(metric.kind);
    }
    body.append("\n\n");
    for (const Text& address : addresses) {
        if (address.find('#') != Text::npos) continue;
        AppendRequestSafe(body, address);
        body += '\n';
    }
    return body;
}

namespace {

std::string NewClientToken() {
    std::random_device random;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 24; ++i) token += kHex[random() & 15];
    return token;
}

}  // namespace

ServiceLookup::ServiceLookup(Text serviceHost, FetchLimits limits)
    : m_ownHosts(std::make_unique<FixedServiceHost>(std::move(serviceHost))),
      m_hosts(*m_ownHosts),
      m_limits(limits),
      m_client(NewClientToken()) {
    m_limits.cancel = &m_cancelled;
}

ServiceLookup::ServiceLookup(ServiceHosts& hosts, FetchLimits limits)
    : m_hosts(hosts), m_limits(limits), m_client(NewClientToken()) {
    m_limits.cancel = &m_cancelled;
}

void ServiceLookup::PlanRun(const std::vector<Text>& addresses, const std::array<bool, 13>& ticks) {
    // Nothing ticked: the run asks nothing, so there is nothing to work ahead on.
    if (std::find(ticks.begin() + 1, ticks.end(), true) == ticks.end()) return;
    const Text host = m_hosts.CurrentHost();
    if (host.empty()) return;
    const std::string body = RunPlanBody(m_client, ticks, addresses);
    // Whatever comes back, the run goes on the same: the plan is only a hint, and the
    // lookups find out for themselves whether the service answers.
    HttpPost(ConcatText({"http://", host, "/plan"}), body, "text/plain", m_limits);
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
