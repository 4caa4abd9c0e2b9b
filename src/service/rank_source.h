#pragma once

#include <memory>
#include <mutex>

#include "service/figure_source.h"
#include "service/rank_download.h"
#include "service/rank_list.h"

// The site's rank in a public top-sites list ("alexa"): the user's own file when one is set,
// else the downloaded list. A site not in the list answers "无排名"; no list yet answers -1.
class RankSource final : public FigureSource {
  public:
    explicit RankSource(SourceContext context);
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;
    void Stop() override;

  private:
    std::shared_ptr<const RankList> CurrentList();

    SourceContext m_context;
    std::once_flag m_fileRead;
    std::shared_ptr<const RankList> m_fileList;
    std::unique_ptr<DownloadedRankList> m_downloaded;
};
