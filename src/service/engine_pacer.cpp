#include "service/engine_pacer.h"

EnginePacer::EnginePacer(std::chrono::milliseconds interval, std::chrono::seconds backoff)
    : m_interval(interval), m_backoff(backoff) {}

bool EnginePacer::Begin() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_stopped || Clock::now() < m_blockedUntil) return false;
        if (!m_busy && Clock::now() >= m_nextStart) break;
        if (m_busy) {
            m_changed.wait(lock);
        } else {
            m_changed.wait_until(lock, m_nextStart);
        }
    }
    m_busy = true;
    return true;
}

void EnginePacer::End(bool blocked) {
    {
        std::lock_guard lock(m_mutex);
        m_busy = false;
        const auto now = Clock::now();
        m_nextStart = now + m_interval;
        if (blocked) m_blockedUntil = now + m_backoff;
    }
    m_changed.notify_all();
}

void EnginePacer::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}
