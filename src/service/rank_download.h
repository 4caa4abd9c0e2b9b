#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "service/figure_source.h"
#include "service/rank_list.h"

// The public top-sites list kept in the user's cache folder: read from there on first need,
// fetched in the background when it is missing or older than its maximum age, and replaced
// atomically once a download has been read whole. A failed download keeps the copy there is
// and is tried again later. While there is no list at all, lookups wait a while for the
// first download.
class DownloadedRankList final {
  public:
    explicit DownloadedRankList(SourceContext context);
    ~DownloadedRankList();
    DownloadedRankList(const DownloadedRankList&) = delete;
    DownloadedRankList& operator=(const DownloadedRankList&) = delete;

    // The list loaded now, nullptr while there is none; starts a download when one is due.
    std::shared_ptr<const RankList> Current();
    // Ends a download under way; none starts after.
    void Stop();

  private:
    using Clock = std::chrono::system_clock;
    void Download();

    SourceContext m_context;
    std::string m_file;
    std::atomic<bool> m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::shared_ptr<const RankList> m_list;
    bool m_fileRead = false;
    bool m_downloading = false;
    Clock::time_point m_listTime{};  // when the list in use was downloaded
    Clock::time_point m_nextTry{};
    std::thread m_download;
};
