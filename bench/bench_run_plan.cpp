// A run of 200 hosts with ip, outbound links, founding date and title ticked, through the
// real query run and its 50 ms pause, against the service on a simulated internet: every site
// and the WHOIS server answer after 300 ms. Once with the run plan (the service works ahead),
// once without it (each figure waits for the one before). The fake sites are reached by name
// ("siteN.test:PORT"): this program resolves those names to 127.0.0.1 itself. W and P come
// from ZARKEL_LOOKUP_AHEAD_HOSTS and ZARKEL_LOOKUP_AHEAD_LOOKUPS when set.
#include <unistd.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "query/lookup.h"
#include "query/query_runner.h"
#include "query/run_window.h"
#include "service/lookup_service.h"
#include "support/slow_internet.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kHosts = 200;
constexpr double kPauseSeconds = 0.050;
constexpr double kTarget = 1.5;

// A main window without widgets: keeps what the run writes and notes its final message.
class HeadlessWindow final : public RunWindow {
  public:
    Text Caption(Control control) override {
        std::lock_guard lock(m_mutex);
        return m_captions[control];
    }
    void SetCaption(Control control, const Text& caption) override {
        std::lock_guard lock(m_mutex);
        m_captions[control] = caption;
    }
    void SetEnabled(Control, bool) override {}
    bool IsMetricTicked(int column) override { return column >= 4 && column <= 7; }
    void SetMetricChecksEnabled(bool) override {}
    void HideUntickedColumns() override {}
    void DeleteAllRows() override {
        std::lock_guard lock(m_mutex);
        m_rows.clear();
    }
    int AppendRow() override {
        std::lock_guard lock(m_mutex);
        m_rows.emplace_back(13);
        return static_cast<int>(m_rows.size()) - 1;
    }
    void SetCell(int row, int column, const Text& text) override {
        std::lock_guard lock(m_mutex);
        m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    }
    int RowCount() override {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(m_rows.size());
    }
    void ScrollToRow(int) override {}
    void SetProgressVisible(bool) override {}
    void SetProgressMaximum(int) override {}
    int ProgressPosition() override {
        std::lock_guard lock(m_mutex);
        return m_position;
    }
    void SetProgressPosition(int position) override {
        std::lock_guard lock(m_mutex);
        m_position = position;
    }
    void ShowMessage(const Text&) override {
        std::lock_guard lock(m_mutex);
        m_ended = Clock::now();
        m_messageShown = true;
        m_changed.notify_all();
    }

    Clock::time_point WaitForFinalMessage() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_messageShown; });
        return m_ended;
    }
    std::vector<std::vector<Text>> Rows() {
        std::lock_guard lock(m_mutex);
        return m_rows;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<Control, Text> m_captions;
    std::vector<std::vector<Text>> m_rows;
    int m_position = 0;
    bool m_messageShown = false;
    Clock::time_point m_ended;
};

// The service's lookups without the plan: a program that never tells one.
class WithoutPlan final : public MetricLookup {
  public:
    explicit WithoutPlan(MetricLookup& lookup) : m_lookup(lookup) {}
    Text LookupMetric(const Metric& metric, const Text& address) override {
        return m_lookup.LookupMetric(metric, address);
    }

  private:
    MetricLookup& m_lookup;
};

struct RunResult {
    double seconds = 0;
    bool correct = false;
};

// One run from the start press to the final message, on a fresh simulated internet and
// a fresh service (nothing cached).
RunResult TimedRun(bool withPlan, const std::filesystem::path& directory) {
    SlowInternet net(300ms);
    ServiceSettings settings = ServiceSettingsFromEnvironment();
    settings.baiduUrl = settings.sogouUrl = settings.so360Url = "http://127.0.0.1:9/";
    settings.openPageRankUrl = "http://127.0.0.1:9/";
    settings.whoisServer = "127.0.0.1";
    settings.whoisPort = net.whoisPort();
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    if (!service) return {};

    std::string list;
    for (int i = 0; i < kHosts; ++i) list += net.Site(i) + "\r\n";
    const AddressFile addresses(directory.string());
    WriteWholeFile(addresses.Path(), list);

    HeadlessWindow window;
    window.SetCaption(RunWindow::Control::CountLabel, std::to_string(kHosts));
    ServiceLookup serviceLookup("127.0.0.1:" + std::to_string(service->Port()));
    WithoutPlan planless(serviceLookup);
    MetricLookup& lookup = withPlan ? static_cast<MetricLookup&>(serviceLookup) : planless;
    RunResult result;
    {
        // Default options: the program's own 50 ms pause after each host.
        QueryRunner runner(window, addresses, lookup, {});
        const auto pressed = Clock::now();
        runner.StartQueryRun();
        result.seconds =
            std::chrono::duration<double>(window.WaitForFinalMessage() - pressed).count();
    }
    service->Stop();

    const auto rows = window.Rows();
    result.correct = rows.size() == kHosts;
    for (int i = 0; result.correct && i < kHosts; ++i) {
        const auto& row = rows[static_cast<std::size_t>(i)];
        result.correct = row[0] == net.Site(i) && row[4] == "127.0.0.1" && row[5] == "1" &&
                         row[6] == "2003-04-05" && row[7] == net.SiteTitle(i);
    }
    return result;
}

// Telling a plan of a million hosts: the body built, sent and read by the service.
double MillionHostPlanSeconds() {
    ServiceSettings settings;
    auto service = LookupService::Start(settings, "127.0.0.1", 0);
    if (!service) return -1;
    std::vector<Text> hosts;
    hosts.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) hosts.push_back("host" + std::to_string(i) + ".example.com");
    std::array<bool, 13> ticks{};
    ticks[4] = true;
    ServiceLookup lookup("127.0.0.1:" + std::to_string(service->Port()));
    const auto start = Clock::now();
    lookup.PlanRun(hosts, ticks);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

// --plan-only skips the slow run without the plan (for trying other W and P).
int main(int argc, char** argv) {
    const bool planOnly = argc > 1 && std::string(argv[1]) == "--plan-only";
    const auto directory = std::filesystem::temp_directory_path() /
                           ("zarkel-bench-plan-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    const RunResult planned = TimedRun(true, directory);
    const RunResult plain = planOnly ? RunResult{0, true} : TimedRun(false, directory);
    std::filesystem::remove_all(directory);

    const double millionPlan = MillionHostPlanSeconds();
    const double limit = kTarget * kHosts * kPauseSeconds;
    std::printf(
        "run_plan_200_hosts_4_figures_300ms_internet: %.2f s (target: <= %.2f s = %.1f x (%d x "
        "50 ms))\n",
        planned.seconds, limit, kTarget, kHosts);
    if (!planOnly) {
        std::printf(
            "run_without_plan_200_hosts_4_figures_300ms_internet: %.2f s = %.0f ms per host "
            "(target: "
            "none, reported)\n",
            plain.seconds, plain.seconds * 1000.0 / kHosts);
    }
    std::printf("run_plan_post_1000000_hosts: %.0f ms (target: none, reported)\n",
                millionPlan * 1000.0);
    if (!planned.correct || !plain.correct) {
        std::printf("run_plan_rows_complete: 0 bool (target: 1)\n");
        return 1;
    }
    return planned.seconds <= limit ? 0 : 1;
}
