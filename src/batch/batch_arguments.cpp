#include "batch/batch_arguments.h"

#include <string_view>

#include "platform/encoding.h"
#include "query/metric_catalogue.h"

namespace {

// The column of a figure named by its kind word or its check box's caption; 0 when none.
int FigureColumn(std::string_view name) {
    for (const Metric& metric : kMetricCatalogue) {
        if (name == metric.kind || name == Gb18030ToUtf8(metric.caption)) return metric.column;
    }
    return 0;
}

bool ReadFigures(std::string_view list, std::array<bool, 13>& ticks, std::string& error) {
    ticks = {};
    bool any = false;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        if (!name.empty()) {
            const int column = FigureColumn(name);
            if (column == 0) {
                error = "unknown figure '" + std::string(name) + "'";
                return false;
            }
            ticks[static_cast<std::size_t>(column)] = true;
            any = true;
        }
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    if (!any) error = "--figures names no figure";
    return any;
}

}  // namespace

ParsedBatchArguments ParseBatchArguments(const std::vector<std::string>& args) {
    ParsedBatchArguments parsed;
    BatchArguments& out = parsed.arguments;
    out.ticks[static_cast<std::size_t>(kInitiallyTickedColumn)] = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out.action = BatchArguments::Action::kHelp;
            parsed.ok = true;
            return parsed;
        }
        if (arg == "--version") {
            out.action = BatchArguments::Action::kVersion;
            parsed.ok = true;
            return parsed;
        }
        if (arg == "--quiet" || arg == "-q") {
            out.quiet = true;
            continue;
        }
        std::string* target = nullptr;
        if (arg == "--list") target = &out.listPath;
        if (arg == "--out") target = &out.workbookPath;
        if (arg == "--csv") target = &out.csvPath;
        const bool figures = arg == "--figures";
        if (target == nullptr && !figures) {
            parsed.error = "unknown option '" + arg + "'";
            return parsed;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            parsed.error = arg + " needs a value";
            return parsed;
        }
        const std::string& value = args[++i];
        if (figures) {
            if (!ReadFigures(value, out.ticks, parsed.error)) return parsed;
        } else {
            *target = value;
        }
    }
    parsed.ok = true;
    return parsed;
}

std::string BatchUsage() {
    std::string figures;
    for (const Metric& metric : kMetricCatalogue) {
        figures += "  " + std::string(metric.kind) + std::string(10 - metric.kind.size(), ' ') +
                   Gb18030ToUtf8(metric.caption) + "\n";
    }
    return "Usage: zarkel-batch [--list FILE] [--figures LIST] [--out FILE.xlsx] [--csv FILE]\n"
           "                    [--quiet]\n"
           "Looks up figures for every host of a list, as the window's query run does, and\n"
           "writes the results.\n\n"
           "  --list FILE      the host list (code page 936, one host per line); default: the\n"
           "                   program's url.txt\n"
           "  --figures LIST   comma-separated kind words or check box captions; default:\n"
           "                   baidupr\n"
           "  --out FILE       write the workbook, as the window's export does\n"
           "  --csv FILE       write UTF-8 CSV with a header row\n"
           "  --quiet, -q      print nothing but errors\n"
           "  --help, -h       print this text\n"
           "  --version        print the version\n\n"
           "Figures:\n" +
           figures +
           "\nExit status: 0 the run completed, 1 usage or file error (nothing written),\n"
           "2 stopped by SIGINT or SIGTERM (what was found is written; a second SIGINT quits\n"
           "at once).\n";
}
