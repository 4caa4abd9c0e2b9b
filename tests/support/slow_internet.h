#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A simulated internet on loopback for the service's work: web sites "siteN.test" and a WHOIS
// server, each answering after a fixed delay and counting what it is asked. Names of the form
// "siteN.test" resolve to 127.0.0.1 in any program that links slow_internet.cpp (it answers
// getaddrinfo for them and passes every other name on), so sites are reached as
// "siteN.test:PORT" by name, and WHOIS sees ordinary domains.
class SlowInternet final {
  public:
    explicit SlowInternet(std::chrono::milliseconds delay);
    ~SlowInternet();
    SlowInternet(const SlowInternet&) = delete;
    SlowInternet& operator=(const SlowInternet&) = delete;

    // The address of site n as a program's list holds it.
    std::string Site(int n) const;
    std::string SiteTitle(int n) const { return "Site " + std::to_string(n); }
    int sitePort() const { return m_sitePort; }
    int whoisPort() const { return m_whoisPort; }

    // Home page fetches per site ("siteN.test"), and WHOIS domain queries per domain.
    std::map<std::string, int> SiteRequests();
    std::map<std::string, int> WhoisQueries();
    int TotalSiteRequests();
    int TotalWhoisQueries();

  private:
    void ServeWhois();

    std::chrono::milliseconds m_delay;
    httplib::Server m_sites;
    std::thread m_sitesThread;
    int m_sitePort = 0;
    int m_whoisListener = -1;
    int m_whoisPort = 0;
    std::atomic<bool> m_stopping = false;
    std::thread m_whoisThread;
    std::vector<std::thread> m_whoisConnections;
    std::mutex m_mutex;
    std::map<std::string, int> m_siteRequests;
    std::map<std::string, int> m_whoisQueries;
};
