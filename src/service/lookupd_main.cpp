// zarkel-lookupd: the lookup service on its own, for a team that shares one.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/parent_link.h"
#include "platform/user_config.h"
#include "service/lookup_service.h"

namespace {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: zarkel-lookupd [--listen ADDRESS:PORT] [--parent-fd FD]\n"
                 "  default 127.0.0.1:8080; settings come from the ZARKEL_LOOKUP_* variables,\n"
                 "  else from the [service] group of ~/.config/zarkel/zarkel.conf\n"
                 "  --parent-fd: a socket from the program that started the service; the\n"
                 "  bound port goes there as a line, and the service ends when it closes\n");
}

// "host:port" or "[v6]:port".
bool SplitListen(const std::string& text, std::string& host, int& port) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    host = text.substr(0, colon);
    if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    char* end = nullptr;
    const long value = std::strtol(text.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

bool ParseDescriptor(const char* text, int& fd) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535) return false;
    fd = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string host = "127.0.0.1";
    int port = 8080;
    int parentFd = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--listen" && i + 1 < argc) {
            if (!SplitListen(argv[++i], host, port)) {
                PrintUsage();
                return 2;
            }
        } else if (arg == "--parent-fd" && i + 1 < argc) {
            if (!ParseDescriptor(argv[++i], parentFd)) {
                PrintUsage();
                return 2;
            }
        } else {
            PrintUsage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    // Block the stop signals before any thread starts, then wait for one here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Every client waiting on a slow lookup holds a descriptor: take all the system allows.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    // The program's own config file too, under the environment.
    const ServiceSettings settings =
        ServiceSettingsFromEnvironmentAnd(ReadUserConfig(UserConfigPath()));
    auto service = LookupService::Start(settings, host, port);
    if (!service) {
        std::fprintf(stderr, "zarkel-lookupd: cannot listen on %s:%d\n", host.c_str(), port);
        return 1;
    }
    if (parentFd >= 0) {
        // Started by the program: it reads the port here and needs no message on stdout.
        if (!SendLineToParent(parentFd, std::to_string(service->Port())) ||
            !ServeParentLink(parentFd)) {
            return 1;
        }
    } else {
        const bool guarded = RefusesPrivateTargets(settings, host);
        std::printf("zarkel-lookupd: listening on %s:%d%s\n", host.c_str(), service->Port(),
                    guarded ? " (private and loopback sites refused)" : "");
        std::fflush(stdout);
    }
    int received = 0;
    sigwait(&stopSignals, &received);
    service->Stop();
    return 0;
}
