#include "app/service_choice.h"

#include <string>

#include "addresses/address_file.h"

std::string LookupdBesideProgram() {
    return ProgramDirectory() + "/zarkel-lookupd";
}

ServiceChoice ChooseService(const Text& configuredHost, const ServiceSettings& settings,
                            const std::string& lookupdProgram) {
    ServiceChoice choice;
    if (!configuredHost.empty()) {
        choice.host = configuredHost;
        return choice;
    }
    choice.child = ChildService::Start(lookupdProgram);
    if (choice.child) return choice;
    // Loopback only: the program's own service is not one for the network.
    choice.embedded = LookupService::Start(settings, "127.0.0.1", 0);
    if (choice.embedded) choice.host = "127.0.0.1:" + std::to_string(choice.embedded->Port());
    return choice;
}
