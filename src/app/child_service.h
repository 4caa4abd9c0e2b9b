#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/text.h"
#include "query/service_host.h"

class ChildProcess;

struct ChildServiceLimits {
    // At most this many starts within `window`: a service that dies at once, or on every
    // lookup, is not restarted in a tight loop; lookups give empty cells meanwhile.
    int starts = 5;
    std::chrono::seconds window{60};
    // How long a new child may take to report its port, or a running one to answer a check.
    std::chrono::milliseconds ready{5000};
};

// zarkel-lookupd run by the program as its child on 127.0.0.1 with an ephemeral port, which
// the child reports once it listens. Each lookup asks here for the host: a child that has
// ended is replaced then, so a crash of the service costs the lookups in flight, not the run.
// The child ends with this object, and by itself when the program is killed.
class ChildService final : public ServiceHosts {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Limits = ChildServiceLimits;

    // Starts `program` at once without waiting for it; nullptr when it cannot be run at all
    // (missing, not executable).
    // `environment` ("NAME=value") is added to what each child gets (ChildProcess::Start).
    static std::unique_ptr<ChildService> Start(std::string program, Limits limits = {},
                                               Clock clock = std::chrono::steady_clock::now,
                                               std::vector<std::string> environment = {});
    ~ChildService() override;
    ChildService(const ChildService&) = delete;
    ChildService& operator=(const ChildService&) = delete;

    // "127.0.0.1:PORT" of a running child, started anew when the last one has ended; empty
    // when none could be started. Callable from any thread.
    Text CurrentHost() override;
    // A lookup got nothing from `host`: when that is the current child and it does not
    // answer a check on its link, it is ended, and the next lookup starts a new one.
    void NoReplyFrom(const Text& host) override;

    // Ends the current child; the next lookup starts one with `environment` (new settings).
    void SetEnvironment(std::vector<std::string> environment);

    // The process id of the current child, 0 when there is none; and how many were started.
    int ChildId();
    int Starts();

  private:
    ChildService(std::string program, Limits limits, Clock clock,
                 std::vector<std::string> environment);
    bool StartChild();  // with m_mutex held

    const std::string m_program;
    const Limits m_limits;
    const Clock m_clock;
    std::mutex m_mutex;
    std::vector<std::string> m_environment;
    std::unique_ptr<ChildProcess> m_child;
    Text m_host;  // empty until the current child has reported its port
    std::deque<std::chrono::steady_clock::time_point> m_recentStarts;
    int m_starts = 0;
};
