#include "service/lookup_service.h"

#include <httplib.h>

#include <atomic>
#include <thread>

#include "platform/listen_socket.h"
#include "service/lookup_desk.h"
#include "service/plan_endpoint.h"
#include "service/service_query.h"

namespace {

// Requests wait on engines' pacing and on slow sites: enough threads that eight clients
// never queue behind them.
constexpr std::size_t kServingThreads = 16;

}  // namespace

struct LookupService::State {
    State(const ServiceSettings& settings, bool refusePrivate) : desk(settings, refusePrivate) {}
    LookupDesk desk;
    httplib::Server server;
    std::thread listener;
    std::atomic<bool> listenerEnded = false;
    int port = 0;
    bool stopped = false;
};

LookupService::LookupService(std::unique_ptr<State> state) : m_state(std::move(state)) {}

LookupService::~LookupService() {
    Stop();
}

std::unique_ptr<LookupService> LookupService::Start(const ServiceSettings& settings,
                                                    const std::string& bindAddress, int port) {
    auto state = std::make_unique<State>(settings, RefusesPrivateTargets(settings, bindAddress));
    State* s = state.get();
    s->server.new_task_queue = [] { return new httplib::ThreadPool(kServingThreads); };
    s->server.set_socket_options([](int socket) { SetListenSocketOptions(socket); });
    // Headers and body go out in separate writes: without this a keep-alive client waits
    // for a delayed acknowledgement on every request.
    s->server.set_tcp_nodelay(true);
    s->server.set_read_timeout(10, 0);
    s->server.set_write_timeout(10, 0);
    s->server.Get("/get.php", [s](const httplib::Request& request, httplib::Response& response) {
        const auto query = ParseServiceQuery(request.target);
        const std::string answer =
            query ? s->desk.Answer(query->kind, query->address, query->tag) : "-1";
        response.set_content(answer, "text/plain; charset=utf-8");
    });
    s->server.Post("/plan", [s](const httplib::Request& request, httplib::Response& response,
                                const httplib::ContentReader& content) {
        ServeRunPlan(s->desk, request, response, content);
    });
    if (port == 0) {
        s->port = s->server.bind_to_any_port(bindAddress);
    } else if (s->server.bind_to_port(bindAddress, port)) {
        s->port = port;
    } else {
        s->port = -1;
    }
    if (s->port <= 0) return nullptr;
    // The socket already listens: requests made before this thread runs wait in the backlog.
    s->listener = std::thread([s] {
        s->server.listen_after_bind();
        s->listenerEnded = true;
    });
    // Stop is only heard by a server that has started listening.
    while (!s->server.is_running() && !s->listenerEnded) std::this_thread::yield();
    return std::unique_ptr<LookupService>(new LookupService(std::move(state)));
}

int LookupService::Port() const {
    return m_state->port;
}

void LookupService::Reconfigure(const ServiceSettings& settings) {
    m_state->desk.Reconfigure(settings);
}

void LookupService::Stop() {
    if (m_state == nullptr || m_state->stopped) return;
    m_state->stopped = true;
    m_state->desk.Stop();
    m_state->server.stop();
    if (m_state->listener.joinable()) m_state->listener.join();
}
