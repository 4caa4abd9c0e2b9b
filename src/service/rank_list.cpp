#include "service/rank_list.h"

#include <zip.h>

#include <fstream>
#include <functional>

#include "service/site_address.h"
#include "service/utf8.h"

namespace {

// Bounds against a hostile or broken file: no real list comes near them.
constexpr std::size_t kMaxEntries = 4'000'000;
constexpr std::size_t kMaxLine = 512;
constexpr std::size_t kMaxNameBytes = 253;
constexpr std::uint64_t kMaxTextBytes = 512ull * 1024 * 1024;

std::size_t HashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

}  // namespace

// Takes the text in pieces of any size and keeps the sound lines.
class RankList::Builder final {
  public:
    void Feed(std::string_view piece) {
        while (!piece.empty() && !Full()) {
            const std::size_t newline = piece.find('\n');
            const std::string_view part = piece.substr(0, newline);
            if (!m_overlong) {
                if (m_line.size() + part.size() > kMaxLine) {
                    m_overlong = true;
                } else {
                    m_line.append(part);
                }
            }
            if (newline == std::string_view::npos) return;
            EndLine();
            piece.remove_prefix(newline + 1);
        }
    }

    std::shared_ptr<const RankList> Finish() {
        EndLine();
        if (m_list->m_entries.empty()) return nullptr;
        m_list->m_names.shrink_to_fit();
        m_list->m_entries.shrink_to_fit();
        m_list->BuildIndexFromEntries();
        return std::move(m_list);
    }

    bool Full() const { return m_list->m_entries.size() >= kMaxEntries; }

  private:
    void EndLine() {
        if (!m_overlong) AddLine(m_line);
        m_line.clear();
        m_overlong = false;
    }

    void AddLine(std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos || comma == 0 || comma > 9) return;
        std::uint32_t rank = 0;
        for (char c : line.substr(0, comma)) {
            if (c < '0' || c > '9') return;  // a header or a broken line
            rank = rank * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (rank == 0) return;
        std::string domain = AsciiLower(line.substr(comma + 1));
        while (!domain.empty() && (domain.back() == '.' || domain.back() == ' ')) domain.pop_back();
        if (domain.empty() || domain.size() > kMaxNameBytes) return;
        RankList& list = *m_list;
        list.m_entries.push_back({static_cast<std::uint32_t>(list.m_names.size()), rank,
                                  static_cast<std::uint16_t>(domain.size())});
        list.m_names += domain;
    }

    std::shared_ptr<RankList> m_list = std::make_shared<RankList>();
    std::string m_line;
    bool m_overlong = false;
};

void RankList::BuildIndexFromEntries() {
    std::size_t slots = 16;
    while (slots < m_entries.size() * 2) slots *= 2;
    m_slots.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string_view name = Name(m_entries[i]);
        for (std::size_t at = HashOf(name) & mask;; at = (at + 1) & mask) {
            if (m_slots[at] == 0) {
                m_slots[at] = static_cast<std::uint32_t>(i + 1);
                break;
            }
            if (Name(m_entries[m_slots[at] - 1]) == name) break;  // the first line wins
        }
    }
}

std::optional<long> RankList::Find(std::string_view name) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = HashOf(name) & mask; m_slots[at] != 0; at = (at + 1) & mask) {
        const Entry& entry = m_entries[m_slots[at] - 1];
        if (Name(entry) == name) return entry.rank;
    }
    return std::nullopt;
}

std::optional<long> RankList::Rank(const std::string& host) const {
    if (const auto rank = Find(host)) return rank;
    if (const auto rank = Find(WithoutWww(host))) return rank;
    // The registered domain is one of the host's suffixes: when none is listed there is no
    // rank, and the public suffix list (the costly part) need not be asked.
    bool suffixListed = false;
    for (std::size_t dot = host.find('.'); dot != std::string::npos && !suffixListed;
         dot = host.find('.', dot + 1)) {
        suffixListed = Find(std::string_view(host).substr(dot + 1)).has_value();
    }
    return suffixListed ? Find(RegisteredDomain(host)) : std::nullopt;
}

std::shared_ptr<const RankList> RankList::FromText(std::string_view text) {
    Builder builder;
    builder.Feed(text);
    return builder.Finish();
}

std::shared_ptr<const RankList> RankList::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    if (!in.read(magic, sizeof magic)) return nullptr;
    Builder builder;
    std::vector<char> buffer(1 << 16);
    std::uint64_t total = 0;
    if (std::string_view(magic, 4) != std::string_view("PK\x03\x04", 4)) {
        builder.Feed(std::string_view(magic, 4));
        while (!builder.Full() && total < kMaxTextBytes) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            if (in.gcount() <= 0) break;
            total += static_cast<std::uint64_t>(in.gcount());
            builder.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
        }
        return builder.Finish();
    }
    in.close();
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) return nullptr;
    zip_file_t* file = zip_fopen_index(archive, 0, 0);
    bool whole = file != nullptr;
    while (file != nullptr && !builder.Full() && total < kMaxTextBytes) {
        const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
        if (got < 0) whole = false;  // a damaged archive gives no list, not half of one
        if (got <= 0) break;
        total += static_cast<std::uint64_t>(got);
        builder.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    if (file != nullptr) zip_fclose(file);
    zip_discard(archive);
    return whole ? builder.Finish() : nullptr;
}
