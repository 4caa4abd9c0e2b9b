#pragma once

#include <chrono>
#include <cstddef>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// Answers by key for a fixed lifetime, shared by the service's threads. A lifetime of zero
// keeps nothing.
class AnswerCache final {
  public:
    explicit AnswerCache(std::chrono::seconds lifetime, std::size_t capacity = 200000);

    std::optional<std::string> Find(const std::string& key);
    void Store(const std::string& key, const std::string& answer);
    // Drops the answers whose key starts with one of the kinds and a blank.
    void EraseKinds(std::initializer_list<std::string_view> kinds);

  private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        std::string answer;
        Clock::time_point expires;
    };

    std::chrono::seconds m_lifetime;
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
};
