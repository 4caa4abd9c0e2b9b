#include "service/weight_source.h"

#include <algorithm>
#include <vector>

#include "service/service_query.h"
#include "service/site_address.h"
#include "service/source_fetch.h"

namespace {

constexpr std::size_t kMaxDomainsPerRequest = 50;
constexpr std::chrono::seconds kRateLimitPause{60};
constexpr std::size_t kApiCap = 1024 * 1024;

}  // namespace

struct WeightSource::Batch {
    std::vector<std::string> domains;
    bool closed = false;
    bool done = false;
    AizhanReply reply;
};

WeightSource::WeightSource(SourceContext context, std::string engine)
    : m_context(context), m_engine(std::move(engine)) {}

void WeightSource::Stop() {
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

AizhanReply WeightSource::Request(const Batch& batch) {
    const ServiceSettings& settings = m_context.settings;
    std::string domains;
    for (const std::string& domain : batch.domains) {
        if (!domains.empty()) domains += "%7C";
        domains += PercentEncode(domain);
    }
    const std::string url = settings.aizhanUrl + "/" + m_engine + "/siteinfos/" +
                            PercentEncode(settings.aizhanKey) + "?domains=" + domains;
    WebFetchOptions options = SourceFetchOptions(m_context);
    options.cap = kApiCap;
    options.maxRedirects = 0;  // the key is in the path: it must not follow a redirect
    options.headers = {"Accept: application/json"};
    const WebPage page = FetchWebPage(url, options);
    AizhanReply reply;
    if (page.outcome != WebPage::Outcome::kOk) return reply;
    if (page.status == 429) {
        reply.kind = AizhanReply::Kind::kRateLimited;
        return reply;
    }
    return page.status == 200 ? ReadAizhanReply(page.body) : reply;
}

SourceAnswer WeightSource::Lookup(std::string_view /*kind*/, const SiteAddress& site) {
    const ServiceSettings& settings = m_context.settings;
    if (settings.aizhanKey.empty()) return {kNotConfigured, {}};
    if (site.numeric || !KeySafeUrl(settings.aizhanUrl)) return {std::string(kNoFigure), {}};
    std::unique_lock lock(m_mutex);
    if (m_stopped || std::chrono::steady_clock::now() < m_quietUntil) {
        return {std::string(kNoFigure), {}};
    }
    const bool leader = m_open == nullptr;
    if (leader) m_open = std::make_shared<Batch>();
    const std::shared_ptr<Batch> batch = m_open;
    if (std::find(batch->domains.begin(), batch->domains.end(), site.host) ==
        batch->domains.end()) {
        batch->domains.push_back(site.host);
    }
    if (batch->domains.size() >= kMaxDomainsPerRequest) {
        batch->closed = true;
        m_open.reset();
        m_changed.notify_all();
    }
    if (leader) {
        m_changed.wait_for(lock, settings.aizhanBatchWindow,
                           [&] { return batch->closed || m_stopped; });
        if (!batch->closed) {
            batch->closed = true;
            m_open.reset();
        }
        const bool send = !m_stopped && std::chrono::steady_clock::now() >= m_quietUntil;
        lock.unlock();
        AizhanReply reply = send ? Request(*batch) : AizhanReply{};
        lock.lock();
        if (reply.kind == AizhanReply::Kind::kRateLimited) {
            m_quietUntil = std::chrono::steady_clock::now() + kRateLimitPause;
        }
        batch->reply = std::move(reply);
        batch->done = true;
        m_changed.notify_all();
    } else {
        m_changed.wait(lock, [&] { return batch->done; });
    }
    const auto weight = batch->reply.weights.find(site.host);
    if (batch->reply.kind != AizhanReply::Kind::kFigures || weight == batch->reply.weights.end()) {
        return {std::string(kNoFigure), {}};
    }
    return {std::to_string(weight->second), {}};
}
