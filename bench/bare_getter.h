#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// Makes the twelve bare GETs of each host handed to it, one host after another, on its own
// thread. The run benchmarks hand a host over while the run pauses after it, so that the
// bare GETs meet the same state of the shared machine as the run's own requests.
class BareGetter final {
  public:
    BareGetter(std::string service, std::function<std::string(int)> hostName);
    ~BareGetter();
    BareGetter(const BareGetter&) = delete;
    BareGetter& operator=(const BareGetter&) = delete;

    void Hand(int host);
    // The seconds spent in the GETs once `hosts` hosts are done.
    double WaitFor(int hosts);

  private:
    void Work();

    std::string m_service;
    std::function<std::string(int)> m_hostName;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<int> m_queue;
    bool m_stop = false;
    int m_done = 0;
    double m_seconds = 0;
    std::thread m_thread;
};
