#include "app/service_choice.h"

#include <string>

ServiceChoice ChooseService(const Text& configuredHost, const ServiceSettings& settings) {
    ServiceChoice choice;
    if (!configuredHost.empty()) {
        choice.host = configuredHost;
        return choice;
    }
    // Loopback only: the embedded service is the program's own, not one for the network.
    choice.embedded = LookupService::Start(settings, "127.0.0.1", 0);
    if (choice.embedded) choice.host = "127.0.0.1:" + std::to_string(choice.embedded->Port());
    return choice;
}
