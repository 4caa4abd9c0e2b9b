#include "service/figure_sources.h"

#include "service/engine_source.h"
#include "service/founding_date_source.h"
#include "service/ip_source.h"
#include "service/page_rank_source.h"
#include "service/rank_source.h"
#include "service/site_page_source.h"
#include "service/weight_source.h"

void FigureRoutes::Add(std::unique_ptr<FigureSource> source,
                       std::initializer_list<const char*> kinds) {
    for (const char* kind : kinds) byKind[kind] = source.get();
    sources.push_back(std::move(source));
}

FigureRoutes StandardFigureRoutes(const SourceContext& context) {
    const ServiceSettings& settings = context.settings;
    FigureRoutes routes;
    routes.Add(std::make_unique<IpSource>(context), {"ip"});
    routes.Add(std::make_unique<SitePageSource>(context), {"title", "daochu"});
    routes.Add(std::make_unique<FoundingDateSource>(context), {"whois"});
    routes.Add(std::make_unique<EngineSource>(context, settings.baiduUrl), {"baidu", "sl1"});
    routes.Add(std::make_unique<EngineSource>(context, settings.sogouUrl), {"sogousl"});
    routes.Add(std::make_unique<EngineSource>(context, settings.so360Url), {"haosousl"});
    routes.Add(std::make_unique<RankSource>(context), {"alexa"});
    routes.Add(std::make_unique<PageRankSource>(context), {"pr"});
    routes.Add(std::make_unique<WeightSource>(context, "baidurank"), {"baidupr"});
    routes.Add(std::make_unique<WeightSource>(context, "sogourank"), {"sogoupr"});
    return routes;
}
