#include "service/answer_cache.h"

AnswerCache::AnswerCache(std::chrono::seconds lifetime, std::size_t capacity)
    : m_lifetime(lifetime), m_capacity(capacity) {}

std::optional<std::string> AnswerCache::Find(const std::string& key) {
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(key);
    if (found == m_entries.end()) return std::nullopt;
    if (Clock::now() >= found->second.expires) {
        m_entries.erase(found);
        return std::nullopt;
    }
    return found->second.answer;
}

void AnswerCache::Store(const std::string& key, const std::string& answer) {
    if (m_lifetime.count() <= 0) return;
    const auto now = Clock::now();
    std::lock_guard lock(m_mutex);
    if (m_entries.size() >= m_capacity) {
        std::erase_if(m_entries, [now](const auto& entry) { return entry.second.expires <= now; });
        if (m_entries.size() >= m_capacity) m_entries.clear();
    }
    m_entries[key] = Entry{answer, now + m_lifetime};
}

void AnswerCache::EraseKinds(std::initializer_list<std::string_view> kinds) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&kinds](const auto& entry) {
        const std::string_view key = entry.first;
        for (std::string_view kind : kinds) {
            if (key.size() > kind.size() && key.starts_with(kind) && key[kind.size()] == ' ') {
                return true;
            }
        }
        return false;
    });
}
