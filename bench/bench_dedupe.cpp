// De-duplicating a 1,000,000-line url.txt (read, de-duplicate, write) against
// awk '!seen[$0]++' on the same file, measured in the same run; and the address editor's
// load, de-duplication and saves of that file.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "addresses/address_file.h"
#include "addresses/address_text.h"
#include "common/file_io.h"
#include "common/message_box.h"
#include "ui/editor_window.h"

namespace {

constexpr int kLines = 1000000;
constexpr int kRuns = 3;
constexpr double kTargetRatio = 1.5;

class SilentBox final : public MessageBoxRoutine {
  protected:
    int ShowBox(const Text&, int, const Text&) override { return kResultOk; }
};

// Hosts as users collect them: many repeats, short lines, CR LF after each.
std::string MakeAddressFile() {
    std::string text;
    text.reserve(kLines * 24);
    std::uint32_t state = 12345;
    for (int i = 0; i < kLines; ++i) {
        state = state * 1664525u + 1013904223u;
        const std::uint32_t site = (state >> 8) % 400000;
        text += (site % 3 == 0 ? "www.site" : "blog.host") + std::to_string(site) +
                (site % 2 == 0 ? ".com" : ".cn") + "\r\n";
    }
    return text;
}

template <typename F>
double BestMilliseconds(F&& run) {
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, std::chrono::duration<double, std::milli>(elapsed).count());
    }
    return best;
}

template <typename F>
double Milliseconds(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    char pattern[] = "/tmp/zarkel-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const std::string dir = pattern;
    const AddressFile file(dir);
    const std::string input = dir + "/input.txt";
    const std::string ours = dir + "/ours.txt";
    const std::string awks = dir + "/awk.txt";
    if (!WriteWholeFile(input, MakeAddressFile())) return 1;

    const double oursMs =
        BestMilliseconds([&] { WriteWholeFile(ours, DedupeAddressLines(ReadWholeFile(input))); });
    const std::string awkCommand = "awk '!seen[$0]++' '" + input + "' > '" + awks + "'";
    int awkStatus = 0;
    const double awkMs = BestMilliseconds([&] { awkStatus = std::system(awkCommand.c_str()); });
    const bool same = awkStatus == 0 && ReadWholeFile(ours) == ReadWholeFile(awks);
    const double ratio = oursMs / awkMs;

    // The editor on the same file: load, de-duplicate, unchanged save, edited save.
    WriteWholeFile(file.Path(), ReadWholeFile(input));
    SilentBox box;
    double loadMs = 0;
    double dedupeMs = 0;
    double unchangedSaveMs = 0;
    double editedSaveMs = 0;
    {
        std::unique_ptr<EditorWindow> editor;
        loadMs = Milliseconds([&] { editor = std::make_unique<EditorWindow>(box, file, nullptr); });
        unchangedSaveMs = Milliseconds([&] { editor->SaveButton()->click(); });
    }
    {
        EditorWindow editor(box, file, nullptr);
        QTest::keyClick(editor.AddressEdit(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(editor.AddressEdit(), QStringLiteral("x"));
        editedSaveMs = Milliseconds([&] { editor.SaveButton()->click(); });
    }
    {
        EditorWindow editor(box, file, nullptr);
        dedupeMs = Milliseconds([&] { editor.DedupeButton()->click(); });
    }
    std::string cleanup = "rm -rf '" + dir + "'";
    std::system(cleanup.c_str());

    std::printf("dedupe_1m_lines: %.1f ms (target: <= %.1f x awk)\n", oursMs, kTargetRatio);
    std::printf("dedupe_awk_1m_lines: %.1f ms (target: reference)\n", awkMs);
    std::printf("dedupe_vs_awk_ratio: %.3f ratio (target: <= %.2f)\n", ratio, kTargetRatio);
    std::printf("dedupe_same_output_as_awk: %d bool (target: 1)\n", same ? 1 : 0);
    std::printf("editor_load_1m_lines: %.0f ms (target: reported)\n", loadMs);
    std::printf("editor_dedupe_1m_lines: %.0f ms (target: reported)\n", dedupeMs);
    std::printf("editor_save_unchanged_1m_lines: %.0f ms (target: reported)\n", unchangedSaveMs);
    std::printf("editor_save_edited_1m_lines: %.0f ms (target: reported)\n", editedSaveMs);
    return ratio <= kTargetRatio && same ? 0 : 1;
}
