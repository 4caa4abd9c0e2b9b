#include "service/rdap_source.h"

#include "service/source_fetch.h"

namespace {

constexpr std::size_t kReplyCap = 1024 * 1024;

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

RdapSource::RdapSource(SourceContext context) : m_context(context), m_bootstrap(context) {}

EnginePacer& RdapSource::PacerFor(const std::string& base) {
    std::lock_guard lock(m_mutex);
    auto& pacer = m_pacers[base];
    if (!pacer) {
        pacer = std::make_unique<EnginePacer>(std::chrono::milliseconds(0),
                                              m_context.settings.engineBackoff);
        if (m_stopped) pacer->Stop();
    }
    return *pacer;
}

void RdapSource::Stop() {
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    for (auto& [base, pacer] : m_pacers) pacer->Stop();
}

RdapAnswer RdapSource::Lookup(const std::string& domain) {
    // https only, but for a list served from loopback (tests).
    std::string base;
    for (const std::string& url : m_bootstrap.BaseUrls(domain)) {
        if (StartsWith(url, "https://") ||
            (m_bootstrap.FromLoopback() && StartsWith(url, "http://"))) {
            base = url;
            break;
        }
    }
    if (base.empty()) return {};
    const std::string url = base + (base.back() == '/' ? "" : "/") + "domain/" + domain;

    WebFetchOptions options = SourceFetchOptions(m_context);
    options.cap = kReplyCap;
    options.timeout = m_context.settings.rdapTimeout;
    options.connectTimeout = std::min(options.connectTimeout, options.timeout);
    options.maxRedirects = 3;  // registry to registrar
    options.publicTargetsOnly = m_context.refusePrivateTargets;
    options.headers = {"Accept: application/rdap+json, application/json"};

    EnginePacer& pacer = PacerFor(base);
    if (!pacer.Begin()) return {};
    const WebPage page = FetchWebPage(url, options);
    const bool ok = page.outcome == WebPage::Outcome::kOk;
    pacer.End(ok && (page.status == 429 || page.status >= 500));
    if (!ok) return {};
    if (page.status == 404) return {RdapAnswer::Kind::kNotRegistered, {}};
    if (page.status != 200) return {};
    const RdapRegistration read = ReadRdapRegistration(page.body);
    if (read.outcome != RdapRegistration::Outcome::kDate) return {};
    return {RdapAnswer::Kind::kDate, read.date};
}
