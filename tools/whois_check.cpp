// Measures the WHOIS reader on a folder of real registry replies with known creation dates:
// whois_check DIR prints every miss and "matched/total". Two sample layouts are understood,
// found anywhere under DIR:
//   whois/NAME + expected/NAME         the expected file holds "creation_date": ...
//   PREFIX_NAME + PREFIX_NAME.json     the JSON holds domain.created_date(_in_time)
//   TLD/CASE.txt + TLD/CASE.expected   "#created_on" then "%TIME{...}" or "== nil"
// A reply in a folder named "notfound" expects no date.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "service/whois_reply.h"

namespace fs = std::filesystem;

namespace {

struct Sample {
    std::string domain;
    fs::path reply;
    std::optional<std::string> expected;  // YYYY-MM-DD; nullopt: the reply holds none
    bool readable = true;                 // false: the expected value could not be read
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool IsIsoDate(const std::string& s) {
    if (s.size() < 10) return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[i] < '0' || s[i] > '9') return false;
    }
    return (s[4] == '-' || s[4] == '/' || s[4] == '.') && s[7] == s[4];
}

std::string IsoOf(const std::string& s) {
    std::string d = s.substr(0, 10);
    d[4] = d[7] = '-';
    return d;
}

// "creation_date": "1997-09-15 ...", [ "...", ... ], null, None or datetime.datetime(Y, M, D, ...
Sample FromExpectedFile(const std::string& name, const fs::path& reply, const std::string& text) {
    Sample sample{name, reply, std::nullopt, true};
    std::size_t at = text.find("\"creation_date\"");
    if (at == std::string::npos) return sample;
    at = text.find(':', at) + 1;
    while (at < text.size() && (text[at] == ' ' || text[at] == '[')) ++at;
    const std::string rest = text.substr(at, 64);
    if (rest.rfind("null", 0) == 0 || rest.rfind("None", 0) == 0) return sample;
    if (!rest.empty() && rest[0] == '"' && IsIsoDate(rest.substr(1))) {
        sample.expected = IsoOf(rest.substr(1));
        return sample;
    }
    int y = 0, m = 0, d = 0;
    if (std::sscanf(rest.c_str(), "datetime.datetime(%d, %d, %d", &y, &m, &d) == 3) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
        sample.expected = buffer;
        return sample;
    }
    sample.readable = false;
    return sample;
}

int MonthOf(const std::string& name) {
    static const char* kNames[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    std::string lower = name.substr(0, 3);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int i = 0; i < 12; ++i) {
        if (lower == kNames[i]) return i + 1;
    }
    return 0;
}

Sample FromJsonFile(const std::string& name, const fs::path& reply, const std::string& text) {
    Sample sample{name, reply, std::nullopt, true};
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.contains("domain")) return sample;
    const auto& domain = json["domain"];
    const std::string raw = domain.value("created_date", "");
    const std::string normal = domain.value("created_date_in_time", "");
    if (raw.empty() || raw.rfind("before", 0) == 0) return sample;
    if (IsIsoDate(raw)) {
        sample.expected = IsoOf(raw);
    } else if (raw.size() >= 8 && std::all_of(raw.begin(), raw.begin() + 8, ::isdigit)) {
        sample.expected = raw.substr(0, 4) + "-" + raw.substr(4, 2) + "-" + raw.substr(6, 2);
    } else if (IsIsoDate(normal)) {
        sample.expected = IsoOf(normal);
    } else {
        int day = 0, year = 0;
        char month[16] = {};
        if (std::sscanf(raw.c_str(), "%d %15s %d", &day, month, &year) == 3 && MonthOf(month)) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, MonthOf(month), day);
            sample.expected = buffer;
        } else {
            sample.readable = false;
        }
    }
    return sample;
}

// "#domain\n  %s == \"name\"" and "#created_on\n  %s %CLASS{time}\n  %s %TIME{1999-12-10 ...}".
Sample FromSpecFile(const fs::path& reply, const std::string& text) {
    Sample sample{"example." + reply.parent_path().filename().string(), reply, std::nullopt, true};
    std::size_t at = text.find("#domain\n");
    if (at != std::string::npos) {
        const std::size_t open = text.find("== \"", at);
        const std::size_t close = open == std::string::npos ? open : text.find('"', open + 4);
        if (close != std::string::npos && close - at < 64) {
            sample.domain = text.substr(open + 4, close - open - 4);
        }
    }
    at = text.find("#created_on\n");
    const std::size_t end = text.find("\n\n", at);
    const std::string block = text.substr(at, end == std::string::npos ? end : end - at);
    const std::size_t time = block.find("%TIME{");
    if (time != std::string::npos && IsIsoDate(block.substr(time + 6))) {
        sample.expected = IsoOf(block.substr(time + 6));
    } else if (block.find("== nil") == std::string::npos) {
        sample.readable = false;
    }
    return sample;
}

std::vector<Sample> Collect(const fs::path& root) {
    std::vector<Sample> samples;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const fs::path& path = entry.path();
        const std::string file = path.filename().string();
        const std::string folder = path.parent_path().filename().string();
        if (folder == "whois") {
            const fs::path expected = path.parent_path().parent_path() / "expected" / file;
            if (fs::exists(expected)) {
                samples.push_back(FromExpectedFile(file, path, ReadAll(expected)));
            }
            continue;
        }
        if (path.extension() == ".txt") {
            fs::path expected = path;
            expected.replace_extension(".expected");
            const std::string text = fs::exists(expected) ? ReadAll(expected) : std::string();
            if (text.find("#created_on\n") != std::string::npos) {
                samples.push_back(FromSpecFile(path, text));
            }
            continue;
        }
        if (path.extension() == ".json" || path.extension() == ".md") continue;
        const std::size_t cut = file.find('_');
        if (cut == std::string::npos) continue;
        const std::string domain = file.substr(cut + 1);
        if (folder == "notfound") {
            samples.push_back({domain, path, std::nullopt, true});
            continue;
        }
        fs::path json = path;
        json += ".json";
        if (fs::exists(json)) samples.push_back(FromJsonFile(domain, path, ReadAll(json)));
    }
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.reply < b.reply; });
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: whois_check SAMPLES_DIR\n");
        return 2;
    }
    int total = 0, matched = 0, wrong = 0, extra = 0, skipped = 0, quiet = 0;
    for (const Sample& sample : Collect(argv[1])) {
        // A top-level domain's own record (the root's reply) is never asked for a site.
        if (sample.domain.find('.') == std::string::npos) {
            ++skipped;
            continue;
        }
        const auto got = WhoisRegistrationDate(ReadAll(sample.reply), sample.domain);
        if (!sample.readable) {
            std::printf("UNKNOWN  %-28s the sample does not say; got %s  (%s)\n",
                        sample.domain.c_str(), got.value_or("-1").c_str(), sample.reply.c_str());
            ++skipped;
            continue;
        }
        const std::string shown = got.value_or("-1");
        if (!sample.expected) {
            if (got) {
                ++extra;
                std::printf("EXTRA  %-28s sample has none, got %s  (%s)\n", sample.domain.c_str(),
                            shown.c_str(), sample.reply.c_str());
            } else {
                ++quiet;
            }
            continue;
        }
        ++total;
        if (got == sample.expected) {
            ++matched;
        } else {
            if (got) ++wrong;
            std::printf("%s  %-28s expected %s, got %s  (%s)\n", got ? "WRONG" : "MISS ",
                        sample.domain.c_str(), sample.expected->c_str(), shown.c_str(),
                        sample.reply.c_str());
        }
    }
    std::printf(
        "matched %d/%d (%.1f%%), wrong dates %d; samples without a date: %d answered -1, "
        "%d answered a date; skipped %d\n",
        matched, total, total ? 100.0 * matched / total : 0.0, wrong, quiet, extra, skipped);
    return 0;
}
