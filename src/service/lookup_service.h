#pragma once

#include <memory>
#include <string>

#include "service/service_settings.h"

// The batch-lookup service: answers "GET /get.php?KIND&ADDRESS&TAG" over HTTP/1.0 and 1.1
// with the figure as UTF-8 text, "-1" when it cannot be had. The program runs one inside
// itself; zarkel-lookupd runs one on its own.
class LookupService final {
  public:
    // Listens on bindAddress:port (port 0: an ephemeral one) and serves on its own threads.
    // nullptr when the address cannot be bound.
    static std::unique_ptr<LookupService> Start(const ServiceSettings& settings,
                                                const std::string& bindAddress, int port);
    ~LookupService();
    LookupService(const LookupService&) = delete;
    LookupService& operator=(const LookupService&) = delete;

    int Port() const;
    // Takes new settings at once: later lookups use sources built over them.
    void Reconfigure(const ServiceSettings& settings);
    // Stops listening and waits for the serving threads; called by the destructor too.
    void Stop();

  private:
    struct State;
    explicit LookupService(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};
