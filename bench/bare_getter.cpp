#include "bare_getter.h"

#include <chrono>

#include "bare_get.h"
#include "query/lookup.h"

BareGetter::BareGetter(std::string service, std::function<std::string(int)> hostName)
    : m_service(std::move(service)),
      m_hostName(std::move(hostName)),
      m_thread([this] { Work(); }) {}

BareGetter::~BareGetter() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void BareGetter::Hand(int host) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(host);
    }
    m_changed.notify_all();
}

double BareGetter::WaitFor(int hosts) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_done >= hosts; });
    return m_seconds;
}

void BareGetter::Work() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty()) return;
        const int host = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        const auto start = Clock::now();
        for (const Metric& metric : kMetricCatalogue) {
            BareGet(BuildLookupUrl(m_service, metric, m_hostName(host)));
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        lock.lock();
        m_seconds += seconds;
        ++m_done;
        m_changed.notify_all();
    }
}
