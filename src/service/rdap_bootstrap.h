#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "service/figure_source.h"
#include "service/rdap_reply.h"

// IANA's list of RDAP servers: fetched on first need, kept in memory and in the cache folder,
// refreshed after a day; while a refresh fails the stale copy serves, and the next attempt
// waits a few minutes so that lookups do not each pay a time-out.
class RdapBootstrap final {
  public:
    explicit RdapBootstrap(SourceContext context);

    // The base URLs of the RDAP servers for a registered domain; empty when none is known.
    std::vector<std::string> BaseUrls(std::string_view domain);

    // Whether the list comes from loopback (tests): its servers may then be plain http.
    bool FromLoopback() const { return m_fromLoopback; }

  private:
    void LoadFile();
    void Refresh();

    SourceContext m_context;
    std::filesystem::path m_file;  // empty: memory only
    bool m_fromLoopback;
    std::mutex m_mutex;
    bool m_fileTried = false;
    std::shared_ptr<const RdapServices> m_services;
    std::filesystem::file_time_type m_fetchedAt{};
    std::chrono::steady_clock::time_point m_nextTry{};
};
