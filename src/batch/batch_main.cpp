// zarkel-batch: the window's query run without a window, for cron and systemd timers.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "addresses/address_file.h"
#include "app/file_layout.h"
#include "app/service_choice.h"
#include "app/skin.h"
#include "batch/batch_arguments.h"
#include "batch/headless_run_window.h"
#include "batch/progress_report.h"
#include "common/file_io.h"
#include "export/csv_writing.h"
#include "export/workbook_writing.h"
#include "query/lookup.h"
#include "query/query_run.h"
#include "query/service_host.h"

namespace {

constexpr int kCompleted = 0;
constexpr int kFileError = 1;
constexpr int kStopped = 2;
constexpr int kInterrupted = 130;  // a second SIGINT: 128 + the signal, as shells report it

void Error(const std::string& message) {
    std::cerr << "zarkel-batch: " << message << '\n';
}

// Stop requests arrive here, on a thread of their own, never in a signal handler. The first
// SIGINT or SIGTERM stops the run like the Stop button; a second one quits at once, unless a
// result file is being written: then as soon as it is in place.
class SignalWatch final {
  public:
    explicit SignalWatch(const sigset_t& signals) : m_signals(signals) {}

    void Start(RunWindow& window, bool quiet) {
        std::thread([this, &window, quiet] {
            int received = 0;
            while (sigwait(&m_signals, &received) == 0) {
                if (!m_stopRequested.exchange(true)) {
                    RequestStop(window);
                    if (!quiet) {
                        std::cerr << "\nzarkel-batch: stopping after the host under way "
                                     "(again to quit at once)\n";
                    }
                } else if (m_writing) {
                    m_quitAfterWrite = true;
                } else {
                    std::_Exit(kInterrupted);
                }
            }
        }).detach();
    }

    void SetWriting(bool writing) { m_writing = writing; }
    bool QuitAfterWrite() const { return m_quitAfterWrite; }

  private:
    sigset_t m_signals;
    std::atomic<bool> m_stopRequested = false;
    std::atomic<bool> m_writing = false;
    std::atomic<bool> m_quitAfterWrite = false;
};

bool WriteResults(const BatchArguments& arguments, const std::vector<HeadlessRunWindow::Row>& rows,
                  SignalWatch& signals) {
    bool ok = true;
    signals.SetWriting(true);
    if (!arguments.workbookPath.empty() && !WriteWorkbook(arguments.workbookPath, rows)) {
        Error("cannot write " + arguments.workbookPath);
        ok = false;
    }
    if (signals.QuitAfterWrite()) std::_Exit(kInterrupted);
    if (!arguments.csvPath.empty() && !WriteCsv(arguments.csvPath, rows)) {
        Error("cannot write " + arguments.csvPath);
        ok = false;
    }
    if (signals.QuitAfterWrite()) std::_Exit(kInterrupted);
    signals.SetWriting(false);
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    const ParsedBatchArguments parsed =
        ParseBatchArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        Error(parsed.error + " (see zarkel-batch --help)");
        return kFileError;
    }
    const BatchArguments& arguments = parsed.arguments;
    if (arguments.action == BatchArguments::Action::kHelp) {
        std::cout << BatchUsage();
        return kCompleted;
    }
    if (arguments.action == BatchArguments::Action::kVersion) {
        std::cout << "zarkel-batch " ZARKEL_VERSION "\n";
        return kCompleted;
    }

    // The window's url.txt, wherever the program's layout keeps it.
    const AddressFile addresses =
        arguments.listPath.empty()
            ? AddressFile(ChooseFileLayout(ProgramDirectory(), WorkingDirectory(),
                                           UserFoldersFromEnvironment())
                              .addressDirectory)
            : AddressFile::AtPath(arguments.listPath);
    if (!IsReadableFile(addresses.Path())) {
        Error("cannot read the host list " + addresses.Path());
        return kFileError;
    }
    for (const std::string* output : {&arguments.workbookPath, &arguments.csvPath}) {
        if (!output->empty() && !CanCreateFileBeside(*output)) {
            Error("cannot write " + *output);
            return kFileError;
        }
    }

    // Blocked before any thread starts, so that every thread inherits the mask and only the
    // watch's sigwait sees the signals.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    SignalWatch watch(signals);

    ServiceChoice service =
        ChooseService(ServiceHost(), ServiceSettingsFromEnvironment(), LookupdBesideProgram());
    ServiceLookup lookup(service);
    ProgressReport progress(::isatty(STDERR_FILENO) == 1,
                            [](std::string_view text) { std::cerr << text << std::flush; });
    HeadlessRunWindow window(arguments.ticks, addresses.CountText(),
                             [&progress, &arguments](int done, int total) {
                                 if (!arguments.quiet) progress.Update(done, total);
                             });
    watch.Start(window, arguments.quiet);
    // The window's pace: at least 50 ms after every host.
    QueryRun run(window, addresses, lookup,
                 [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    run.Run();

    const auto rows = window.Rows();
    const bool completed = window.Completed();
    if (!arguments.quiet) progress.Finish(window.HostsDone(), completed);
    if (!WriteResults(arguments, rows, watch)) return kFileError;
    return completed ? kCompleted : kStopped;
}
