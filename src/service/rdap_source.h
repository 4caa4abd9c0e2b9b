#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "service/engine_pacer.h"
#include "service/figure_source.h"
#include "service/rdap_bootstrap.h"

// What RDAP says about a registered domain.
struct RdapAnswer {
    enum class Kind {
        kDate,           // the registration date
        kNotRegistered,  // the registry's server answered 404
        kNoAnswer,       // no server, no reply, a busy server, or no registration event
    };
    Kind kind = Kind::kNoAnswer;
    std::string date;
};

// The registration date from the registry's RDAP server that IANA's bootstrap names: one
// request at a time per server, and a server that answers 429 or 5xx is left alone for the
// engines' back-off time.
class RdapSource final {
  public:
    explicit RdapSource(SourceContext context);
    RdapAnswer Lookup(const std::string& domain);
    void Stop();

  private:
    EnginePacer& PacerFor(const std::string& base);

    SourceContext m_context;
    RdapBootstrap m_bootstrap;
    std::mutex m_mutex;
    bool m_stopped = false;
    std::map<std::string, std::unique_ptr<EnginePacer>> m_pacers;  // by base URL
};
