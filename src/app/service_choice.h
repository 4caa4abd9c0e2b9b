#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/child_service.h"
#include "common/text.h"
#include "platform/user_config.h"
#include "service/lookup_service.h"
#include "service/service_settings.h"

// The service the lookups go to: the configured one, zarkel-lookupd run as the program's
// child, or, when that program is missing, one started inside the program.
struct ServiceChoice final : public ServiceHosts {
    Text host;  // a configured host or the in-process service's; unused with a child
    std::unique_ptr<ChildService> child;
    std::unique_ptr<LookupService> embedded;  // must outlive any run

    Text CurrentHost() override { return child ? child->CurrentHost() : host; }
    void NoReplyFrom(const Text& from) override {
        if (child) child->NoReplyFrom(from);
    }
};

// zarkel-lookupd in the program's directory: beside the binary in the build tree and in a
// portable copy, and in bin/ of an installed tree.
std::string LookupdBesideProgram();

// A configured host starts nothing. Without one, `lookupdProgram` runs as a child on
// 127.0.0.1 with an ephemeral port; when it cannot be run, the service starts inside the
// program (with `settings`), likewise on loopback. A service that cannot start leaves no
// host: the program still runs, its lookups give empty cells.
ServiceChoice ChooseService(const Text& configuredHost, const ServiceSettings& settings,
                            const std::string& lookupdProgram,
                            std::vector<std::string> childEnvironment = {});

// The stored settings as "NAME=value" entries for the child's environment: keys kept in the
// keyring reach zarkel-lookupd only this way. Variables of the program's own environment win.
std::vector<std::string> ChildEnvironment(const ConfigValues& stored);
