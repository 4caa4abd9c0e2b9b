#include "service/service_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "query/metric_catalogue.h"
#include "service/service_query.h"

FakeWeb::FakeWeb() {
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        std::lock_guard lock(m_mutex);
        m_seen.push_back({request.target, request.headers, std::chrono::steady_clock::now()});
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

FakeWeb::~FakeWeb() {
    m_server.stop();
    if (m_thread.joinable()) m_thread.join();
}

void FakeWeb::Start() {
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running()) std::this_thread::yield();
}

std::vector<FakeWeb::Seen> FakeWeb::Requests() {
    std::lock_guard lock(m_mutex);
    return m_seen;
}

ServiceSettings LoopbackSettings() {
    ServiceSettings settings;
    settings.baiduUrl = "http://127.0.0.1:9/baidu?wd=site%3A";
    settings.sogouUrl = "http://127.0.0.1:9/sogou?query=site%3A";
    settings.so360Url = "http://127.0.0.1:9/so?q=site%3A";
    settings.whoisServer = "127.0.0.1";
    settings.whoisPort = 9;
    settings.openPageRankUrl = "http://127.0.0.1:9/opr";
    settings.rdapBootstrapUrl = "http://127.0.0.1:9/rdap/dns.json";
    settings.engineInterval = std::chrono::milliseconds(0);
    settings.fetchTimeout = std::chrono::milliseconds(5000);
    settings.whoisTimeout = std::chrono::milliseconds(5000);
    return settings;
}

std::string TagOf(const std::string& kind) {
    for (const Metric& metric : kMetricCatalogue) {
        if (metric.kind == kind) return std::string(metric.tag);
    }
    return "00000";
}

std::string GetHttp10(int port, const std::string& target) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string request = "GET " + target + " HTTP/1.0\r\nAccept: */*\r\n\r\n";
        if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
            char buffer[4096];
            ssize_t n = 0;
            while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
                reply.append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    close(fd);
    const std::size_t body = reply.find("\r\n\r\n");
    return body == std::string::npos ? "<no reply>" : reply.substr(body + 4);
}

std::string Ask(const LookupService& service, const std::string& kind, const std::string& address) {
    return GetHttp10(service.Port(),
                     "/get.php?" + kind + "&" + PercentEncode(address) + "&" + TagOf(kind));
}

bool WaitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

FakeWhois::FakeWhois(std::function<std::string(const std::string&)> answer)
    : m_answer(std::move(answer)) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_listener, 16);
    socklen_t size = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

FakeWhois::~FakeWhois() {
    shutdown(m_listener, SHUT_RDWR);  // wakes accept
    m_thread.join();
    close(m_listener);
}

std::vector<std::string> FakeWhois::Queries() {
    std::lock_guard lock(m_mutex);
    return m_queries;
}

void FakeWhois::Serve() {
    for (;;) {
        const int client = accept(m_listener, nullptr, nullptr);
        if (client < 0) return;
        std::string query;
        char c = 0;
        while (recv(client, &c, 1, 0) == 1 && c != '\n') query += c;
        if (!query.empty() && query.back() == '\r') query.pop_back();
        {
            std::lock_guard lock(m_mutex);
            m_queries.push_back(query);
        }
        const std::string reply = m_answer(query);
        send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        close(client);
    }
}
