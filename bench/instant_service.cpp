#include "instant_service.h"

#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/parent_link.h"

void ServeInstantlyIfChild(int argc, char** argv, const std::string& reply) {
    if (argc != 5 || std::string_view(argv[1]) != "--listen" ||
        std::string_view(argv[3]) != "--parent-fd") {
        return;
    }
    httplib::Server server;
    server.Get("/get.php", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(reply, "text/plain; charset=utf-8");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::yield();
    const int link = std::atoi(argv[4]);
    if (port <= 0 || !SendLineToParent(link, std::to_string(port)) || !ServeParentLink(link)) {
        std::_Exit(1);
    }
    serving.join();  // ends only with the process, when the parent is gone
    std::_Exit(0);
}

std::unique_ptr<ChildService> StartInstantService() {
    auto service = ChildService::Start("/proc/self/exe");
    if (!service || service->CurrentHost().empty()) {
        std::fprintf(stderr, "cannot start the instant service as a child\n");
        std::exit(1);
    }
    return service;
}
