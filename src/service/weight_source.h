#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "service/aizhan_reply.h"
#include "service/figure_source.h"

// A search engine's weight of a site from the aizhan API store, with the user's key: one
// source per engine ("baidurank", "sogourank"). Lookups that come in within a short window
// share one request (the API takes up to 50 domains separated by "|"); a rate-limit answer
// quiets the source for a minute, during which lookups answer -1 at once. Without a key the
// answer is "未配置"; the key goes only to an https address (or to loopback, for tests).
class WeightSource final : public FigureSource {
  public:
    WeightSource(SourceContext context, std::string engine);
    SourceAnswer Lookup(std::string_view kind, const SiteAddress& site) override;
    void Stop() override;

  private:
    struct Batch;
    AizhanReply Request(const Batch& batch);

    SourceContext m_context;
    std::string m_engine;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::shared_ptr<Batch> m_open;  // the batch that new lookups join
    std::chrono::steady_clock::time_point m_quietUntil{};
    bool m_stopped = false;
};
