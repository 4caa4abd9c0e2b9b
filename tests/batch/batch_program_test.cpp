// The built zarkel-batch against a lookup service on 127.0.0.1, and the same run through the
// main window for comparison.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "export/csv_writing.h"
#include "export/workbook_writing.h"
#include "history/history_store.h"
#include "query/lookup.h"
#include "results/result_model.h"
#include "support/loopback_server.h"
#include "support/qt_wait.h"
#include "support/temp_dir.h"
#include "support/workbook_reader.h"
#include "ui/main_window.h"
#include "ui/query_controller.h"
#include "ui/run_window_bridge.h"

namespace {

namespace fs = std::filesystem;

// The lookup service: answers "KIND=ADDRESS", and "-1" for hosts starting with "bad"; it
// knows no run plan.
std::string Answer(const std::string& head) {
    const auto kind = head.find('?') + 1;
    const auto address = head.find('&', kind) + 1;
    const std::string host = head.substr(address, head.find('&', address) - address);
    if (host.rfind("bad", 0) == 0) return "-1";
    return head.substr(kind, address - 1 - kind) + "=" + host;
}

LoopbackServer::Script Service() {
    return [](LoopbackServer::Connection& c) {
        if (c.request().rfind("GET ", 0) != 0) {
            c.Send(LoopbackServer::HttpReply("", "404 Not Found"));
        } else {
            c.Send(LoopbackServer::HttpReply(Answer(c.request())));
        }
        c.Finish();
    };
}

struct Outcome {
    int status = -1;
    std::string standardError;
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The user's folders of every batch run here: never the real ones.
const TempDir& UserHome() {
    static const TempDir home;
    return home;
}

std::string HistoryFile() {
    return UserHome().File("data/zarkel/history.sqlite");
}

// Starts zarkel-batch; `whileRunning` is called once it runs, before waiting for its end.
Outcome RunBatch(const QStringList& args, const std::string& serviceHost,
                 const std::function<void(QProcess&)>& whileRunning = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZARKEL_SERVICE_HOST"), QString::fromStdString(serviceHost));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), Q(UserHome().File("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), Q(UserHome().File("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), Q(UserHome().File("cache")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZARKEL_BATCH_BINARY), args);
    if (!process.waitForStarted()) return {};
    if (whileRunning) whileRunning(process);
    process.waitForFinished(60'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardError().toStdString()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

TEST(BatchProgram, RefusesBadArgumentsAndFilesWritingNothing) {
    TempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("list.txt"), "a.com\r\n"));
    fs::create_directory(dir.File("folder"));
    const std::string out = dir.File("r.xlsx");
    const struct {
        QStringList args;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--figures"), QStringLiteral("ip,nope"), QStringLiteral("--out"), Q(out)},
         "unknown figure 'nope'"},
        {{QStringLiteral("--list"), Q(dir.File("missing.txt")), QStringLiteral("--out"), Q(out)},
         "cannot read the host list"},
        {{QStringLiteral("--list"), Q(dir.File("folder")), QStringLiteral("--out"), Q(out)},
         "cannot read the host list"},
        {{QStringLiteral("--list"), Q(dir.File("list.txt")), QStringLiteral("--out"),
          Q(dir.File("no/such/r.xlsx"))},
         "cannot write"},
        {{QStringLiteral("--list"), Q(dir.File("list.txt")), QStringLiteral("--csv"),
          Q(dir.File("folder"))},
         "cannot write"},
    };
    LoopbackServer service(Service());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Outcome outcome = RunBatch(c.args, service.host());
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.standardError.find(c.says), std::string::npos) << outcome.standardError;
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_TRUE(service.Requests().empty());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder", "list.txt"}));
}

TEST(BatchProgram, WritesTheWorkbookAndTheCsv) {
    TempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("list.txt"), "a.com\r\nbad.com\r\n\xCD\xF8.cn\r\n"));
    LoopbackServer service(Service());
    const Outcome outcome =
        RunBatch({QStringLiteral("--list"), Q(dir.File("list.txt")), QStringLiteral("--figures"),
                  QStringLiteral("ip,网站标题"), QStringLiteral("--out"), Q(dir.File("r.xlsx")),
                  QStringLiteral("--csv"), Q(dir.File("r.csv")), QStringLiteral("--quiet")},
                 service.host());
    ASSERT_EQ(outcome.status, 0) << outcome.standardError;
    EXPECT_EQ(outcome.standardError, "");
    const auto requests = service.Requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const std::string& head) { return head.rfind("GET ", 0) == 0; }),
              6);

    const std::string csv = ReadWholeFile(dir.File("r.csv"));
    const auto lines = Lines(csv);
    ASSERT_EQ(lines.size(), 4u) << csv;
    EXPECT_EQ(lines[1], "a.com,,,,ip=a.com,,,title=a.com,,,,,");
    EXPECT_EQ(lines[2], Utf8(u8"bad.com,,,,×,,,×,,,,,"));
    EXPECT_EQ(lines[3], Utf8(u8"网.cn,,,,ip=%CD%F8.cn,,,title=%CD%F8.cn,,,,,"));

    const ReadBackWorkbook book = ReadWorkbook(dir.File("r.xlsx"));
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.maxRow, 4);
    EXPECT_EQ(book.maxColumn, 13);
    EXPECT_EQ(book.cells.at("E1").utf8, Utf8(u8"网站ip"));
    EXPECT_EQ(book.cells.at("A4").utf8, Utf8(u8"网.cn"));
    EXPECT_EQ(book.cells.at("H3").utf8, Utf8(u8"×"));
    EXPECT_EQ(book.cells.at("E2").utf8, "ip=a.com");
    EXPECT_EQ(book.cells.at("E2").format, "@");

    // The history the window shows has the run and its cells.
    HistoryStore history(HistoryFile());
    const auto entries = history.HostHistory(Text("a.com"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].value, "ip=a.com");
    EXPECT_EQ(entries[1].value, "title=a.com");
    ASSERT_FALSE(history.Runs().empty());
    EXPECT_EQ(history.Runs().back().outcome, RunOutcome::Completed);
    EXPECT_EQ(history.Runs().back().figures, "ip title");
}

TEST(BatchProgram, StopsOnSigintAndWritesWhatWasFound) {
    TempDir dir;
    std::string list;
    for (int i = 0; i < 200; ++i) list += "h" + std::to_string(i) + ".com\r\n";
    ASSERT_TRUE(WriteWholeFile(dir.File("list.txt"), list));
    LoopbackServer service(Service());
    const Outcome outcome =
        RunBatch({QStringLiteral("--list"), Q(dir.File("list.txt")), QStringLiteral("--figures"),
                  QStringLiteral("ip"), QStringLiteral("--out"), Q(dir.File("r.xlsx")),
                  QStringLiteral("--csv"), Q(dir.File("r.csv"))},
                 service.host(), [&service](QProcess& process) {
                     // The run plan and the GETs of h0 to h4: h4 is under way, so it finishes.
                     ASSERT_TRUE(service.WaitForRequests(6));
                     ::kill(static_cast<pid_t>(process.processId()), SIGINT);
                 });
    EXPECT_EQ(outcome.status, 2) << outcome.standardError;
    EXPECT_NE(outcome.standardError.find("stopped"), std::string::npos);
    const auto lines = Lines(ReadWholeFile(dir.File("r.csv")));
    // The header, h0 to h4 at least, and the row of the host whose start saw the stop.
    ASSERT_GE(lines.size(), 6u);
    EXPECT_LT(lines.size(), 150u);
    EXPECT_EQ(lines[1], "h0.com,,,,ip=h0.com,,,,,,,,");
    EXPECT_TRUE(ReadWorkbook(dir.File("r.xlsx")).ok);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"list.txt", "r.csv", "r.xlsx"}));
}

TEST(BatchProgram, GivesTheCellsOfTheWindowsRun) {
    TempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("url.txt"), "a.com\r\nbad.org\r\n\r\nx y\r\n"));
    LoopbackServer service(Service());
    const Outcome outcome =
        RunBatch({QStringLiteral("--list"), Q(dir.File("url.txt")), QStringLiteral("--figures"),
                  QStringLiteral("baidupr,ip,title,haosousl"), QStringLiteral("--csv"),
                  Q(dir.File("r.csv"))},
                 service.host());
    ASSERT_EQ(outcome.status, 0) << outcome.standardError;

    const AddressFile addresses(dir.path());
    MainWindow window;
    RunWindowBridge bridge(window);
    ServiceLookup lookup(Text(service.host()));
    QueryController controller(window, bridge, addresses, lookup);
    for (int column = 1; column <= 12; ++column) window.MetricCheck(column)->setChecked(false);
    for (const int column : {1, 4, 7, 12}) window.MetricCheck(column)->setChecked(true);
    window.StartButton()->click();
    ASSERT_TRUE(WaitUntil([] { return OpenMessage() != nullptr; }));
    OpenMessage()->button(QMessageBox::Ok)->click();
    ASSERT_TRUE(WaitUntil([&controller] { return !controller.IsRunActive(); }));

    const auto lines = Lines(ReadWholeFile(dir.File("r.csv")));
    const ExportRows rows = TakeExportRows(window.Results());
    ASSERT_EQ(lines.size(), rows.size() + 1);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(lines[row + 1], CsvLine(rows[row]));
    }
}

}  // namespace
