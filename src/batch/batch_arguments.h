#pragma once

#include <array>
#include <string>
#include <vector>

// What zarkel-batch was asked to do, from its command line.
struct BatchArguments {
    enum class Action { kRun, kHelp, kVersion };
    Action action = Action::kRun;
    std::string listPath;          // empty: the program's url.txt
    std::array<bool, 13> ticks{};  // by result column, 1 to 12
    std::string workbookPath;      // empty: no workbook
    std::string csvPath;           // empty: no CSV
    bool quiet = false;
};

struct ParsedBatchArguments {
    bool ok = false;
    BatchArguments arguments;
    std::string error;  // one line, when not ok
};

// `args` without the program name. Figures are named by their kind words ("ip,title") or by
// the captions of the window's check boxes in UTF-8 ("网站IP,网站标题"), comma-separated;
// without --figures the window's initial tick.
ParsedBatchArguments ParseBatchArguments(const std::vector<std::string>& args);

// The --help text, UTF-8.
std::string BatchUsage();
