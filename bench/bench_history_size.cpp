// The history file after 100,000 hosts x 12 figures x 30 daily runs, 5% of the values changing
// per run, written straight through the store's database layer (the writer thread's path), set
// against the same data as a CSV of changes: one "host,figure,time,value" line per stored value.
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "history/history_database.h"
#include "query/metric_catalogue.h"

namespace {

constexpr double kTargetRatio = 3.0;
constexpr HistoryTime kStart = 1'700'000'000;
constexpr HistoryTime kDay = 86400;

// What the service gives for each figure: small weights, counts, an address, a date, a title.
Text Value(const Metric& metric, int host, std::mt19937& random) {
    const std::string kind(metric.kind);
    if (kind == "ip") {
        return "10." + std::to_string(random() % 256) + "." + std::to_string(random() % 256) + "." +
               std::to_string(host % 256);
    }
    if (kind == "whois")
        return "20" + std::to_string(10 + random() % 15) + "-0" + std::to_string(1 + random() % 9) +
               "-1" + std::to_string(random() % 10);
    if (kind == "title")
        return "站点" + std::to_string(host) + " - 首页 " + std::to_string(random() % 1000);
    if (kind == "baidupr" || kind == "sogoupr" || kind == "pr")
        return std::to_string(random() % 10);
    return std::to_string(random() % 2'000'000);
}

std::size_t CsvLine(const Text& host, std::string_view kind, const Text& value) {
    // host,kind,2026-12-11 10:00:00,value\n (values here hold no comma or quote)
    return host.size() + 1 + kind.size() + 1 + 19 + 1 + value.size() + 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int hosts = argc > 1 ? std::atoi(argv[1]) : 100'000;
    constexpr int kRuns = 30;
    const auto directory = std::filesystem::temp_directory_path() /
                           ("zarkel-bench-history-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    const std::string path = (directory / "history.sqlite").string();

    std::mt19937 random(7);
    std::vector<std::array<Text, kMetricCount>> current(static_cast<std::size_t>(hosts));
    std::size_t csvBytes = 0;
    const auto started = std::chrono::steady_clock::now();
    bool ok = true;
    {
        HistoryDatabase db;
        HistoryOptions options;
        options.cacheKiB = 256 * 1024;
        ok = db.Open(path, options) == SQLITE_OK;
        // Only the size is measured here: no waiting for the disk between batches.
        ok = ok && db.Exec("PRAGMA synchronous=OFF") == SQLITE_OK;
        std::vector<HistoryCell> batch;
        for (int run = 0; ok && run < kRuns; ++run) {
            const HistoryTime time = kStart + run * kDay;
            std::int64_t id = 0;
            ok = db.BeginRun(time, "all", &id) == SQLITE_OK;
            for (int host = 0; ok && host < hosts; ++host) {
                const Text name = "www.site" + std::to_string(host) + ".com";
                for (std::size_t m = 0; m < kMetricCatalogue.size(); ++m) {
                    Text& value = current[static_cast<std::size_t>(host)][m];
                    if (run == 0 || random() % 100 < 5) {
                        value = Value(kMetricCatalogue[m], host, random);
                        csvBytes += CsvLine(name, kMetricCatalogue[m].kind, value);
                    }
                    batch.push_back({name, std::string(kMetricCatalogue[m].kind), value, time});
                }
                if (batch.size() >= 12'000) {
                    ok = db.Record(batch, time) == SQLITE_OK;
                    batch.clear();
                }
            }
            if (ok && !batch.empty()) ok = db.Record(batch, time) == SQLITE_OK;
            batch.clear();
        }
        if (ok) {
            const int code = db.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
            ok = code == SQLITE_OK;
            if (!ok) std::fprintf(stderr, "checkpoint: %d\n", code);
        } else {
            std::fprintf(stderr, "writing failed\n");
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        bytes += entry.file_size();
    }
    std::filesystem::remove_all(directory);

    const double mb = static_cast<double>(bytes) / 1e6;
    const double csvMb = static_cast<double>(csvBytes) / 1e6;
    std::fprintf(stderr, "%d hosts x 12 x %d runs written in %.1f s\n", hosts, kRuns, seconds);
    std::printf(
        "history_store_size_%d_hosts_30_runs: %.1f MB (target: <= %.1f MB = %.0f x %.1f MB "
        "CSV of changes)\n",
        hosts, mb, kTargetRatio * csvMb, kTargetRatio, csvMb);
    if (!ok) std::printf("history_store_written: 0 bool (target: 1)\n");
    return ok && mb <= kTargetRatio * csvMb ? 0 : 1;
}
