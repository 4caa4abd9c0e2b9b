#include "support/slow_internet.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

namespace {

bool IsSimulatedName(std::string_view name) {
    if (!name.starts_with("site") || !name.ends_with(".test")) return false;
    const std::string_view digits = name.substr(4, name.size() - 9);
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

// Every getaddrinfo of the program, libcurl's included, comes here first.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Real = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node != nullptr && IsSimulatedName(node)) node = "127.0.0.1";
    return real(node, service, hints, result);
}

SlowInternet::SlowInternet(std::chrono::milliseconds delay) : m_delay(delay) {
    m_sites.new_task_queue = [] { return new httplib::ThreadPool(64); };
    m_sites.Get("/", [this](const httplib::Request& request, httplib::Response& response) {
        std::string host = request.get_header_value("Host");
        host = host.substr(0, host.find(':'));
        {
            std::lock_guard lock(m_mutex);
            ++m_siteRequests[host];
        }
        std::this_thread::sleep_for(m_delay);  // the site's own latency
        const std::string n = host.substr(4, host.find('.') - 4);
        response.set_content("<html><head><title>Site " + n +
                                 "</title></head><body><a href=\"http://elsewhere" + n +
                                 ".test/\">x</a><a href=\"/local\">y</a></body></html>",
                             "text/html; charset=utf-8");
    });
    m_sitePort = m_sites.bind_to_any_port("127.0.0.1");
    m_sitesThread = std::thread([this] { m_sites.listen_after_bind(); });
    while (!m_sites.is_running()) std::this_thread::yield();

    m_whoisListener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(m_whoisListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_whoisListener, 256);
    getsockname(m_whoisListener, reinterpret_cast<sockaddr*>(&address), &length);
    m_whoisPort = ntohs(address.sin_port);
    m_whoisThread = std::thread([this] { ServeWhois(); });
}

SlowInternet::~SlowInternet() {
    m_stopping = true;
    m_sites.stop();
    m_sitesThread.join();
    m_whoisThread.join();
    for (auto& connection : m_whoisConnections) connection.join();
    close(m_whoisListener);
}

std::string SlowInternet::Site(int n) const {
    return "site" + std::to_string(n) + ".test:" + std::to_string(m_sitePort);
}

void SlowInternet::ServeWhois() {
    while (!m_stopping) {
        pollfd ready{m_whoisListener, POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0) continue;
        const int fd = accept(m_whoisListener, nullptr, nullptr);
        if (fd < 0) continue;
        m_whoisConnections.emplace_back([this, fd] {
            std::string query;
            char buffer[512];
            ssize_t n = 0;
            while (query.find('\n') == std::string::npos &&
                   (n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
                query.append(buffer, static_cast<std::size_t>(n));
            }
            query = query.substr(0, query.find_first_of("\r\n"));
            std::string reply;
            if (query.find('.') == std::string::npos) {
                reply = "refer: 127.0.0.1\r\n";  // the root names the TLD's server: itself
            } else {
                std::lock_guard lock(m_mutex);
                ++m_whoisQueries[query];
                reply = "Domain Name: " + query + "\r\nCreation Date: 2003-04-05T06:07:08Z\r\n";
            }
            std::this_thread::sleep_for(m_delay);
            send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            close(fd);
        });
    }
}

std::map<std::string, int> SlowInternet::SiteRequests() {
    std::lock_guard lock(m_mutex);
    return m_siteRequests;
}

std::map<std::string, int> SlowInternet::WhoisQueries() {
    std::lock_guard lock(m_mutex);
    return m_whoisQueries;
}

int SlowInternet::TotalSiteRequests() {
    int total = 0;
    for (const auto& [site, count] : SiteRequests()) total += count;
    return total;
}

int SlowInternet::TotalWhoisQueries() {
    int total = 0;
    for (const auto& [domain, count] : WhoisQueries()) total += count;
    return total;
}
