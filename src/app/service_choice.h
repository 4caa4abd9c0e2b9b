#pragma once

#include <memory>

#include "common/text.h"
#include "service/lookup_service.h"
#include "service/service_settings.h"

// The service the lookups go to: the configured one, or one started inside the program.
struct ServiceChoice {
    Text host;  // host[:port]; empty when none is configured and none could be started
    std::unique_ptr<LookupService> embedded;  // the service started here; must outlive any run
};

// An empty `configuredHost` starts the service on 127.0.0.1 with an ephemeral port; any other
// starts nothing. A service that cannot start leaves the host empty: the program still runs,
// its lookups give empty cells.
ServiceChoice ChooseService(const Text& configuredHost, const ServiceSettings& settings);
