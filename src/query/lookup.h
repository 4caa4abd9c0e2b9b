#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "platform/http_fetch.h"
#include "query/metric_catalogue.h"
#include "query/metric_lookup.h"
#include "query/service_host.h"

// "http://" host "/get.php?" kind "&" address "&" tag. The address goes in as the list holds
// it; the fetch makes the bytes safe for the wire.
Text BuildLookupUrl(std::string_view serviceHost, const Metric& metric, std::string_view address);

// The reply body of the GET of `url`; empty when no usable reply came.
std::string FetchReply(std::string_view url, const FetchLimits& limits = {});

// UTF-8 reply to code page 936 text, up to the first zero byte. A reply that is not wholly
// valid UTF-8 gives the empty text: no half-converted figures.
Text DecodeReply(std::string_view bytes);

// The service's "-1" (exactly that) shows as the fail mark; any other reply as it is.
Text CellText(const Text& reply);

// The body of "POST /plan": the client token, the ticked kinds and the addresses as their
// lookups will carry them (an address with "#" is left out: its lookup never reaches a
// figure). Built in one pass into one buffer.
std::string RunPlanBody(std::string_view client, const std::array<bool, 13>& ticks,
                        const std::vector<Text>& addresses);

// The lookup of the query run: one GET to the service per figure and address. When a run
// starts it tells the service the run's plan once, so the service can work ahead; a service
// that does not take it is not told again that run, and the lookups are the same either way.
class ServiceLookup final : public MetricLookup {
  public:
    // Always the same host.
    explicit ServiceLookup(Text serviceHost, FetchLimits limits = {});
    // The host asked before each lookup: a service the program runs as its child may be on
    // another port after a restart. No host: the cell stays empty.
    explicit ServiceLookup(ServiceHosts& hosts, FetchLimits limits = {});
    Text LookupMetric(const Metric& metric, const Text& address) override;
    void PlanRun(const std::vector<Text>& addresses, const std::array<bool, 13>& ticks) override;
    void CancelLookups() override { m_cancelled.store(true); }

  private:
    std::unique_ptr<ServiceHosts> m_ownHosts;
    ServiceHosts& m_hosts;
    FetchLimits m_limits;
    std::atomic<bool> m_cancelled{false};
    std::string m_client;  // this program's name for its plans: a new run's replaces the last
};
