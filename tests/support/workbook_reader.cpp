#include "support/workbook_reader.h"

#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <vector>

namespace {

// openpyxl refuses names ending in .xls, so the file object is handed over instead.
constexpr char kReadScript[] = R"py(
import sys, openpyxl
wb = openpyxl.load_workbook(open(sys.argv[1], "rb"))
ws = wb.worksheets[0]
print(len(wb.worksheets), ws.max_row, ws.max_column)
for row in ws.iter_rows():
    for c in row:
        v = c.value
        text = "-" if v is None else ("x" + str(v).encode("utf-8").hex())
        print(c.coordinate, c.data_type, text, c.number_format.encode("utf-8").hex() or "-")
)py";

std::string RunPython(const char* script, const std::string& path) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl("/usr/bin/python3", "python3", "-c", script, path.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) out.append(buffer, got);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : std::string();
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

}  // namespace

ReadBackWorkbook ReadWorkbook(const std::string& path) {
    ReadBackWorkbook book;
    std::istringstream out(RunPython(kReadScript, path));
    if (!(out >> book.sheets >> book.maxRow >> book.maxColumn)) return book;
    std::string address, type, value, format;
    while (out >> address >> type >> value >> format) {
        WorkbookCell& cell = book.cells[address];
        cell.type = type.empty() ? '?' : type[0];
        cell.hasValue = value != "-";
        if (cell.hasValue) cell.utf8 = FromHex(value.substr(1));
        cell.format = format == "-" ? std::string() : FromHex(format);
    }
    book.ok = true;
    return book;
}
