// The worker's side of filling the result table: every call one host costs through the
// window face, with the window shown and 100,000 rows already in it; and the memory that
// 100,000 rows take.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "common/text.h"
#include "results/result_columns.h"
#include "results/result_model.h"
#include "ui/main_window.h"
#include "ui/run_window_bridge.h"

namespace {

constexpr int kPrefilledRows = 100'000;
constexpr int kTimedHosts = 3'000;
constexpr double kHostTargetMs = 2.0;
constexpr double kMemoryTargetMb = 64.0;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

// About ten bytes, different in every row.
Text CellText(int row, int column) {
    return ConcatText({"c", IntToText(column), "-", IntToText(1'000'000 + row)});
}

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Report(const char* name, double value, const char* unit, double target) {
    std::printf("%s: %.3f %s (target: <= %g %s)\n", name, value, unit, target, unit);
    return value <= target;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    Settle();

    const long emptyKb = ResidentKb();
    ResultModel& results = window.Results();
    for (int row = 0; row < kPrefilledRows; ++row) {
        results.AppendRow();
        for (int column = 0; column < kResultColumnCount; ++column) {
            results.SetCell(row, column, CellText(row, column));
        }
    }
    Settle();
    const double memoryMb = static_cast<double>(ResidentKb() - emptyKb) / 1024.0;

    RunWindowBridge face(window);
    double perHostMs = 0;
    std::thread worker([&] {
        const auto start = std::chrono::steady_clock::now();
        for (int host = 0; host < kTimedHosts; ++host) {
            const int row = face.AppendRow();
            for (int column = 0; column < kResultColumnCount; ++column) {
                face.SetCell(row, column, CellText(row, column));
            }
            face.SetCaption(RunWindow::Control::StatusLabel,
                            ConcatText({"正在查询 ", IntToText(host)}));
            face.SetProgressPosition(host % 100);
            face.ScrollToRow(face.RowCount() - 1);
        }
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        perHostMs = spent.count() / kTimedHosts;
        QMetaObject::invokeMethod(&app, &QApplication::quit, Qt::QueuedConnection);
    });
    QApplication::exec();
    worker.join();

    bool met = Report("result_table_worker_calls_per_host", perHostMs, "ms", kHostTargetMs);
    met = Report("result_table_memory_100k_rows", memoryMb, "MB", kMemoryTargetMb) && met;
    return met ? 0 : 1;
}
