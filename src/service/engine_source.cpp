#include "service/engine_source.h"

#include <ctime>

#include "service/engine_page.h"
#include "service/page_charset.h"
#include "service/service_query.h"
#include "service/site_address.h"
#include "service/source_fetch.h"

EngineSource::EngineSource(SourceContext context, std::string searchUrl)
    : m_context(context),
      m_searchUrl(std::move(searchUrl)),
      m_pacer(context.settings.engineInterval, context.settings.engineBackoff),
      m_session(std::make_unique<WebSession>()) {}

EngineSource::~EngineSource() = default;

void EngineSource::Stop() {
    m_pacer.Stop();
}

SourceAnswer EngineSource::Lookup(std::string_view kind, const SiteAddress& site) {
    std::string url = m_searchUrl + PercentEncode(site.host);
    if (kind == "sl1") {
        const long now = static_cast<long>(std::time(nullptr));
        url += "&gpc=" + PercentEncode("stf=" + std::to_string(now - 86400) + "," +
                                       std::to_string(now) + "|stftype=1");
    }
    if (!m_pacer.Begin()) return {std::string(kNoFigure), {}};
    WebFetchOptions options = SourceFetchOptions(m_context);
    options.session = m_session.get();
    const WebPage page = FetchWebPage(url, options);
    EngineReading reading;
    if (page.outcome == WebPage::Outcome::kOk) {
        reading =
            ReadEnginePage(PageToUtf8(page.body, page.contentType), page.finalUrl, page.status);
    }
    m_pacer.End(reading.kind == EngineReading::Kind::kBlocked);
    if (reading.kind != EngineReading::Kind::kCount) return {std::string(kNoFigure), {}};
    return {std::to_string(reading.count), {}};
}
