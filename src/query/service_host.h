#pragma once

#include <utility>

#include "common/text.h"

// host[:port] of the batch-lookup service: the environment variable ZARKEL_SERVICE_HOST when
// it is set and not empty, else the value built into the program.
Text ServiceHost();

// Where the lookups go: asked for the host before each lookup, and told when a lookup got
// nothing back, so that a service the program runs can be looked at before the next one.
class ServiceHosts {
  public:
    virtual ~ServiceHosts() = default;
    // host[:port]; empty when there is no service to ask.
    virtual Text CurrentHost() = 0;
    virtual void NoReplyFrom(const Text& /*host*/) {}
};

class FixedServiceHost final : public ServiceHosts {
  public:
    explicit FixedServiceHost(Text host) : m_host(std::move(host)) {}
    Text CurrentHost() override { return m_host; }

  private:
    Text m_host;
};
