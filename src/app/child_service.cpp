#include "app/child_service.h"

#include <charconv>
#include <optional>
#include <utility>

#include "platform/child_process.h"

namespace {

std::optional<int> ParsePort(const std::string& line) {
    int port = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), port);
    if (error != std::errc() || end != line.data() + line.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

}  // namespace

std::unique_ptr<ChildService> ChildService::Start(std::string program, Limits limits, Clock clock,
                                                  std::vector<std::string> environment) {
    std::unique_ptr<ChildService> service(
        new ChildService(std::move(program), limits, std::move(clock), std::move(environment)));
    std::lock_guard lock(service->m_mutex);
    if (!service->StartChild()) return nullptr;
    return service;
}

ChildService::ChildService(std::string program, Limits limits, Clock clock,
                           std::vector<std::string> environment)
    : m_program(std::move(program)),
      m_limits(limits),
      m_clock(std::move(clock)),
      m_environment(std::move(environment)) {}

void ChildService::SetEnvironment(std::vector<std::string> environment) {
    std::lock_guard lock(m_mutex);
    m_environment = std::move(environment);
    m_child.reset();
    m_host.clear();
}

ChildService::~ChildService() = default;

Text ChildService::CurrentHost() {
    std::lock_guard lock(m_mutex);
    if (m_child && !m_child->Running()) {
        m_child.reset();
        m_host.clear();
    }
    if (!m_child && !StartChild()) return {};
    if (m_host.empty()) {
        const std::optional<std::string> line = m_child->ReadLine(m_limits.ready);
        const std::optional<int> port = line ? ParsePort(*line) : std::nullopt;
        if (!port) {
            m_child.reset();
            return {};
        }
        m_host = "127.0.0.1:" + std::to_string(*port);
    }
    return m_host;
}

void ChildService::NoReplyFrom(const Text& host) {
    std::lock_guard lock(m_mutex);
    if (!m_child || host != m_host) return;
    if (!m_child->Responds(m_limits.ready)) {
        m_child.reset();
        m_host.clear();
    }
}

int ChildService::ChildId() {
    std::lock_guard lock(m_mutex);
    return m_child && m_child->Running() ? m_child->Id() : 0;
}

int ChildService::Starts() {
    std::lock_guard lock(m_mutex);
    return m_starts;
}

bool ChildService::StartChild() {
    const auto now = m_clock();
    while (!m_recentStarts.empty() && now - m_recentStarts.front() >= m_limits.window) {
        m_recentStarts.pop_front();
    }
    if (static_cast<int>(m_recentStarts.size()) >= m_limits.starts) return false;
    m_recentStarts.push_back(now);
    // Loopback only: the program's service is its own, not one for the network.
    m_child = ChildProcess::Start(
        m_program,
        {"--listen", "127.0.0.1:0", "--parent-fd", std::to_string(ChildProcess::kLinkFd)},
        m_environment);
    if (!m_child) return false;
    ++m_starts;
    return true;
}
