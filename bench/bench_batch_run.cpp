// zarkel-batch's run of 1,000 hosts with all twelve metrics against an instant loopback
// service: the window's QueryRun through the headless window, with the program's pause. As
// for the window's run, its cost must stay small next to the 50 ms pause per host and the
// same 12,000 GETs made with bare libcurl (made while the run pauses after each host).
#include <curl/curl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "addresses/address_file.h"
#include "bare_getter.h"
#include "batch/headless_run_window.h"
#include "common/file_io.h"
#include "instant_service.h"
#include "query/lookup.h"
#include "query/query_run.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHosts = 1000;
constexpr double kPauseSeconds = 0.050;
constexpr double kTarget = 1.05;

std::string HostName(int i) {
    return "host" + std::to_string(i) + ".example.com";
}

}  // namespace

int main(int argc, char** argv) {
    ServeInstantlyIfChild(argc, argv, "1");
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // The service in a child process, as zarkel-batch runs it.
    const auto child = StartInstantService();
    const std::string service = child->CurrentHost();

    const auto directory = std::filesystem::temp_directory_path() /
                           ("zarkel-bench-batch-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    std::string list;
    for (int i = 0; i < kHosts; ++i) list += HostName(i) + "\r\n";
    const AddressFile addresses(directory.string());
    WriteWholeFile(addresses.Path(), list);

    BareGetter bareGetter(service, HostName);
    std::array<bool, 13> ticks{};
    ticks.fill(true);
    HeadlessRunWindow window(ticks, addresses.CountText(),
                             [&bareGetter](int done, int) { bareGetter.Hand(done - 1); });
    ServiceLookup lookup(*child);
    QueryRun run(window, addresses, lookup,
                 [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    const auto start = Clock::now();
    run.Run();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double bare = bareGetter.WaitFor(kHosts);

    const auto rows = window.Rows();
    bool complete = window.Completed() && rows.size() == kHosts;
    for (std::size_t column = 0; complete && column <= 12; ++column) {
        complete = rows.back()[column] == (column == 0 ? HostName(kHosts - 1) : "1");
    }
    std::filesystem::remove_all(directory);

    const double limit = kTarget * (kHosts * kPauseSeconds + bare);
    std::fprintf(stderr, "batch run overhead beyond pauses and bare GETs: %.2f ms per host\n",
                 (seconds - kHosts * kPauseSeconds - bare) * 1000.0 / kHosts);
    std::printf(
        "batch_run_1000_hosts_12_metrics: %.2f s (target: <= %.2f s = %.2f x (%d x 50 ms + %.2f "
        "s of %d bare libcurl GETs))\n",
        seconds, limit, kTarget, kHosts, bare, kHosts * 12);
    if (!complete) std::printf("batch_run_rows_complete: 0 bool (target: 1)\n");
    return complete && seconds <= limit ? 0 : 1;
}
