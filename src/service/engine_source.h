#pragma once

#include <memory>
#include <string>

#include "service/engine_pacer.h"
#include "service/figure_source.h"

class WebSession;

// One search engine's count of a site's indexed pages, read from its "site:" result page.
// The engine is asked politely: one request at a time, paced, left alone after a
// verification page. Baidu's source also answers the last day's count ("sl1").
class EngineSource final : public FigureSource {
  public:
    // searchUrl: the engine's result page; the percent-encoded host is appended.
    EngineSource(SourceContext context, std::string searchUrl);
    ~EngineSource() override;
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;
    void Stop() override;
    bool PacesItself() const override { return true; }

  private:
    SourceContext m_context;
    std::string m_searchUrl;
    EnginePacer m_pacer;
    std::unique_ptr<WebSession> m_session;  // cookies; one request at a time, as paced
};
