#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

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

// The lookup of the query run: one GET to the service per figure and address.
class ServiceLookup final : public MetricLookup {
  public:
    // Always the same host.
    explicit ServiceLookup(Text serviceHost, FetchLimits limits = {});
    // The host asked before each lookup: a service the program runs as its child may be on
    // another port after a restart. No host: the cell stays empty.
    explicit ServiceLookup(ServiceHosts& hosts, FetchLimits limits = {});
    Text LookupMetric(const Metric& metric, const Text& address) override;
    void CancelLookups() override { m_cancelled.store(true); }

  private:
    std::unique_ptr<ServiceHosts> m_ownHosts;
    ServiceHosts& m_hosts;
    FetchLimits m_limits;
    std::atomic<bool> m_cancelled{false};
};
