// The rank list at its real size: a synthetic one-million-line list in the downloaded form
// (a zip), its load time, the memory it holds and the lookups per second once loaded.
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "service/rank_list.h"

namespace {

constexpr int kEntries = 1'000'000;
constexpr double kLookupTarget = 100'000;  // per second
constexpr double kMemoryTargetMb = 64;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

// Names shaped like the real list's: a word, sometimes a subdomain, a mix of suffixes.
std::string Domain(int i) {
    static const char* suffixes[] = {".com", ".net", ".org", ".com.cn", ".co.uk", ".de", ".io"};
    std::string name = "site" + std::to_string(i * 7919 % 10'000'019);
    if (i % 5 == 0) name = "cdn" + std::to_string(i % 97) + "." + name;
    return name + suffixes[i % 7];
}

std::string WriteZippedList(const std::string& directory) {
    std::string text;
    text.reserve(static_cast<std::size_t>(kEntries) * 24);
    for (int i = 1; i <= kEntries; ++i) text += std::to_string(i) + "," + Domain(i) + "\r\n";
    const std::string path = directory + "/top-1m.csv.zip";
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
    zip_file_add(archive, "top-1m.csv", source, ZIP_FL_OVERWRITE);
    zip_close(archive);  // reads `text`, so it goes before `text` does
    return path;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

bool Report(const char* name, double value, const char* unit, const char* relation, double target) {
    std::printf("%s: %.3f %s (target: %s %g %s)\n", name, value, unit, relation, target, unit);
    return relation[0] == '>' ? value >= target : value <= target;
}

}  // namespace

int main() {
    const std::string directory =
        (std::filesystem::temp_directory_path() / "zarkel-bench-rank-list").string();
    std::filesystem::create_directories(directory);
    const std::string path = WriteZippedList(directory);

    const long before = ResidentKb();
    const auto loadStart = std::chrono::steady_clock::now();
    const double loadCpuStart = ThreadCpuSeconds();
    const auto list = RankList::Load(path);
    const double loadCpuMs = (ThreadCpuSeconds() - loadCpuStart) * 1000;
    const double loadMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loadStart)
            .count();
    const double memoryMb = static_cast<double>(ResidentKb() - before) / 1024.0;
    std::filesystem::remove_all(directory);
    if (list == nullptr || list->size() != static_cast<std::size_t>(kEntries)) {
        std::printf("rank_list: the synthetic list did not load\n");
        return 1;
    }

    // Hosts as users write them: listed names, their www. form, subdomains of listed names
    // (found through the registered domain) and unlisted names.
    std::vector<std::string> hosts;
    for (int i = 1; i <= 20'000; ++i) {
        const int n = i * 37 % kEntries + 1;
        switch (i % 4) {
            case 0:
                hosts.push_back(Domain(n));
                break;
            case 1:
                hosts.push_back("www." + Domain(n));
                break;
            case 2:
                hosts.push_back("blog." + Domain(n));
                break;
            default:
                hosts.push_back("unlisted" + std::to_string(i) + ".example");
                break;
        }
    }
    long found = 0;
    constexpr int kRounds = 10;
    const auto lookupStart = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    for (int round = 0; round < kRounds; ++round) {
        for (const std::string& host : hosts) found += list->Rank(host).has_value() ? 1 : 0;
    }
    const double cpuSeconds = ThreadCpuSeconds() - cpuStart;
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - lookupStart).count();
    const double lookups = static_cast<double>(hosts.size()) * kRounds;
    if (found == 0) return 1;

    std::printf("rank_list_load_1m: %.0f ms (reported; %.0f ms of CPU time)\n", loadMs, loadCpuMs);
    std::printf("rank_list_lookups_wall_clock: %.0f per s (reported; the machine is shared)\n",
                lookups / wallSeconds);
    // Per second of the looking thread's own CPU time: what a lookup costs, whatever else
    // the shared machine runs.
    bool met = Report("rank_list_lookups", lookups / cpuSeconds, "per cpu s", ">=", kLookupTarget);
    met = Report("rank_list_memory_1m", memoryMb, "MB", "<=", kMemoryTargetMb) && met;
    return met ? 0 : 1;
}
