#include "service/rank_list.h"

#include <cstdlib>
#include <fstream>

#include "service/site_address.h"
#include "service/utf8.h"

RankList::RankList(std::string path) : m_path(std::move(path)) {}

void RankList::Load() {
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos || comma == 0) continue;
        char* end = nullptr;
        const long rank = std::strtol(line.c_str(), &end, 10);
        if (end != line.c_str() + comma || rank <= 0) continue;  // a header or a broken line
        std::string domain = AsciiLower(line.substr(comma + 1));
        while (!domain.empty() && (domain.back() == '.' || domain.back() == ' ')) domain.pop_back();
        if (domain.empty()) continue;
        m_ranks.try_emplace(std::move(domain), rank);
    }
}

std::optional<long> RankList::Rank(const std::string& host) {
    if (m_path.empty()) return std::nullopt;
    std::call_once(m_loaded, [this] { Load(); });
    for (const std::string& candidate :
         {host, std::string(WithoutWww(host)), RegisteredDomain(host)}) {
        const auto found = m_ranks.find(candidate);
        if (found != m_ranks.end()) return found->second;
    }
    return std::nullopt;
}
