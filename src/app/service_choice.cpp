#include "app/service_choice.h"

#include <chrono>
#include <string>

#include "addresses/address_file.h"

std::string LookupdBesideProgram() {
    return ProgramDirectory() + "/zarkel-lookupd";
}

ServiceChoice ChooseService(const Text& configuredHost, const ServiceSettings& settings,
                            const std::string& lookupdProgram,
                            std::vector<std::string> childEnvironment) {
    ServiceChoice choice;
    if (!configuredHost.empty()) {
        choice.host = configuredHost;
        return choice;
    }
    choice.child = ChildService::Start(lookupdProgram, {}, std::chrono::steady_clock::now,
                                       std::move(childEnvironment));
    if (choice.child) return choice;
    // Loopback only: the program's own service is not one for the network.
    choice.embedded = LookupService::Start(settings, "127.0.0.1", 0);
    if (choice.embedded) choice.host = "127.0.0.1:" + std::to_string(choice.embedded->Port());
    return choice;
}

std::vector<std::string> ChildEnvironment(const ConfigValues& stored) {
    std::vector<std::string> entries;
    for (const auto& [name, value] : stored) {
        // Only the service's own settings, whatever else the file holds.
        if (name.starts_with("ZARKEL_LOOKUP_") && !value.empty()) {
            entries.push_back(name + "=" + value);
        }
    }
    return entries;
}
