#include "service/site_page_source.h"

#include "service/html_text.h"
#include "service/out_links.h"
#include "service/page_charset.h"
#include "service/site_address.h"
#include "service/source_fetch.h"

SourceAnswer SitePageSource::Lookup(std::string_view kind, const SiteAddress& site) {
    WebFetchOptions options = SourceFetchOptions(m_context);
    options.publicTargetsOnly = m_context.refusePrivateTargets;
    const WebPage page = FetchWebPage("http://" + site.hostPort + "/", options);
    if (page.outcome != WebPage::Outcome::kOk || page.status >= 400) {
        return {std::string(kNoFigure), {}};
    }
    const std::string html = PageToUtf8(page.body, page.contentType);

    const auto title = FirstTitle(html);
    std::string titleFigure = title && !title->empty() ? *title : std::string(kNoFigure);
    std::string linksFigure =
        std::to_string(CountOutboundLinks(html, {site.host, UrlHost(page.finalUrl)}));
    // A run usually asks for both: the other one is ready when it does.
    if (kind == "title") return {std::move(titleFigure), {{"daochu", std::move(linksFigure)}}};
    return {std::move(linksFigure), {{"title", std::move(titleFigure)}}};
}
