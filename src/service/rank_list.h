#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

// A site ranking in the "rank,domain" line format of the public top-sites lists, read from
// its file on first use.
class RankList final {
  public:
    explicit RankList(std::string path);

    // The rank of the host, else of the host without "www.", else of its registered domain.
    std::optional<long> Rank(const std::string& host);

  private:
    void Load();

    std::string m_path;
    std::once_flag m_loaded;
    std::unordered_map<std::string, long> m_ranks;
};
