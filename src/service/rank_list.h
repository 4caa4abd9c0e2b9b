#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A site ranking in the "rank,domain" line format of the public top-sites lists. Compact, for
// the million-entry lists: the names in one buffer and an open-addressed index over them,
// about 30 bytes per entry.
class RankList final {
  public:
    // Reads a plain "rank,domain" file, or the first file of a zip archive when it is one.
    // nullptr when it cannot be read or holds no entry.
    static std::shared_ptr<const RankList> Load(const std::string& path);
    // The list in `text` ("rank,domain" lines); nullptr when it holds no entry.
    static std::shared_ptr<const RankList> FromText(std::string_view text);

    // The rank of the host, else of the host without "www.", else of its registered domain.
    std::optional<long> Rank(const std::string& host) const;
    std::size_t size() const { return m_entries.size(); }

  private:
    class Builder;
    struct Entry {
        std::uint32_t offset;
        std::uint32_t rank;
        std::uint16_t length;
    };

    void BuildIndexFromEntries();
    std::optional<long> Find(std::string_view name) const;
    std::string_view Name(const Entry& entry) const {
        return std::string_view(m_names).substr(entry.offset, entry.length);
    }

    std::string m_names;
    std::vector<Entry> m_entries;
    std::vector<std::uint32_t> m_slots;  // entry index + 1; 0 is empty
};
