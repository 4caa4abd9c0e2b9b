#include "service/lookup_service.h"

#include "platform/http_server.h"
#include "service/lookup_desk.h"
#include "service/plan_endpoint.h"
#include "service/run_plan.h"
#include "service/service_query.h"

struct LookupService::State {
    State(const ServiceSettings& settings, bool refusePrivate) : desk(settings, refusePrivate) {}
    LookupDesk desk;
    std::unique_ptr<HttpServer> server;
    bool stopped = false;
};

LookupService::LookupService(std::unique_ptr<State> state) : m_state(std::move(state)) {}

LookupService::~LookupService() {
    Stop();
}

std::unique_ptr<LookupService> LookupService::Start(const ServiceSettings& settings,
                                                    const std::string& bindAddress, int port) {
    auto state = std::make_unique<State>(settings, RefusesPrivateTargets(settings, bindAddress));
    LookupDesk& desk = state->desk;
    HttpServerOptions options;
    options.maxBodyBytes = kMaxRunPlanBytes;
    // Requests wait on engines' pacing and on slow sites, each on a worker of its own; a
    // client that is slow to send its request holds none (HttpServer).
    state->server = HttpServer::Start(
        bindAddress, port,
        [&desk](const HttpRequestHead& head, std::string body) {
            const std::string_view target = head.target;
            const std::string_view path = target.substr(0, target.find('?'));
            if (path == "/plan" && head.method == "POST") {
                return HttpAnswer{ServeRunPlan(desk, std::move(body)), "text/plain", {}};
            }
            if (path != "/get.php" || head.method == "POST") {
                return HttpAnswer{404, "text/plain; charset=utf-8", "Not Found"};
            }
            const auto query = ParseServiceQuery(target);
            return HttpAnswer{200, "text/plain; charset=utf-8",
                              query ? desk.Answer(query->kind, query->address, query->tag) : "-1"};
        },
        options);
    if (state->server == nullptr) return nullptr;
    return std::unique_ptr<LookupService>(new LookupService(std::move(state)));
}

int LookupService::Port() const {
    return m_state->server->Port();
}

void LookupService::Reconfigure(const ServiceSettings& settings) {
    m_state->desk.Reconfigure(settings);
}

void LookupService::Stop() {
    if (m_state == nullptr || m_state->stopped) return;
    m_state->stopped = true;
    // The desk first: lookups in progress are cut short, so the workers end soon.
    m_state->desk.Stop();
    m_state->server->Stop();
}
