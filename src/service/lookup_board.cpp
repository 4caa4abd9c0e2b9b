#include "service/lookup_board.h"

namespace {

std::string KeyOf(std::string_view kind, const std::string& hostPort) {
    std::string key;
    key.reserve(kind.size() + 1 + hostPort.size());
    key.append(kind).append(1, ' ').append(hostPort);
    return key;
}

}  // namespace

LookupBoard::LookupBoard(std::size_t capacity, std::chrono::seconds readyLife)
    : m_capacity(capacity), m_readyLife(readyLife) {}

void LookupBoard::Stop() {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
    m_done.notify_all();
}

std::shared_ptr<LookupBoard::Entry> LookupBoard::Register(const std::string& hostPort,
                                                          std::span<const std::string> kinds) {
    auto entry = std::make_shared<Entry>();
    for (const std::string& kind : kinds) {
        std::string key = KeyOf(kind, hostPort);
        // A kind still ready from earlier work keeps that answer until it is asked for.
        if (!m_byKey.emplace(key, entry).second) continue;
        ++entry->live;
        entry->keys.push_back(std::move(key));
    }
    return entry;
}

void LookupBoard::Erase(Keys::iterator key) {
    Entry& entry = *key->second;
    if (entry.done) --m_readyKeys;
    --entry.live;
    m_byKey.erase(key);
}

// Forgets every key that still leads to `entry`.
void LookupBoard::Drop(const std::shared_ptr<Entry>& entry) {
    for (const std::string& key : entry->keys) {
        const auto found = m_byKey.find(key);
        if (found != m_byKey.end() && found->second == entry) Erase(found);
    }
}

void LookupBoard::PurgeLocked() {
    const auto now = Clock::now();
    while (!m_finished.empty()) {
        const auto& oldest = m_finished.front();
        if (oldest->live > 0 && m_readyKeys <= m_capacity && now < oldest->doneAt + m_readyLife) {
            break;
        }
        Drop(oldest);
        m_finished.pop_front();
    }
}

// Runs the work of `entry` and leaves its answers ready.
std::string LookupBoard::Run(const std::shared_ptr<Entry>& entry, const std::string& kind,
                             const Work& work) {
    SourceAnswer answer;
    try {
        answer = work();
    } catch (...) {
        std::lock_guard lock(m_mutex);
        Drop(entry);
        entry->done = true;
        m_done.notify_all();
        throw;
    }
    std::lock_guard lock(m_mutex);
    for (auto& [otherKind, figure] : answer.others) entry->answers[otherKind] = std::move(figure);
    entry->answers[kind] = answer.figure;
    entry->done = true;
    entry->doneAt = Clock::now();
    m_readyKeys += entry->live;
    m_finished.push_back(entry);
    m_done.notify_all();
    return std::move(answer.figure);
}

std::string LookupBoard::Take(const std::string& kind, const std::string& hostPort,
                              std::span<const std::string> kinds, const Work& work) {
    std::unique_lock lock(m_mutex);
    PurgeLocked();
    const std::string key = KeyOf(kind, hostPort);
    auto found = m_byKey.find(key);
    if (found == m_byKey.end()) {
        const auto entry = Register(hostPort, kinds);
        lock.unlock();
        std::string figure = Run(entry, kind, work);
        lock.lock();
        // This request's own answer is handed out here; the other kinds stay ready.
        found = m_byKey.find(key);
        if (found != m_byKey.end() && found->second == entry) Erase(found);
        PurgeLocked();
        return figure;
    }
    const std::shared_ptr<Entry> entry = found->second;
    m_done.wait(lock, [&] { return entry->done || m_stopping; });
    if (!entry->done) return std::string(kNoFigure);
    found = m_byKey.find(key);
    if (found != m_byKey.end() && found->second == entry) Erase(found);
    const auto answer = entry->answers.find(kind);
    return answer == entry->answers.end() ? std::string(kNoFigure) : answer->second;
}

void LookupBoard::Prepare(const std::string& kind, const std::string& hostPort,
                          std::span<const std::string> kinds, const Work& work) {
    std::unique_lock lock(m_mutex);
    if (m_stopping || m_byKey.contains(KeyOf(kind, hostPort))) return;
    const auto entry = Register(hostPort, kinds);
    lock.unlock();
    Run(entry, kind, work);
    lock.lock();
    PurgeLocked();
}
