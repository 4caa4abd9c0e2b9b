#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "common/text.h"

class AddressFile;
class MetricLookup;
class RunRecorder;
class RunWindow;

// The captions of RunStateLabel that matter: the worker writes the first when a run begins,
// the stop button the second. Any other caption counts as running.
inline constexpr std::string_view kRunStateRunning = "正常运行";
inline constexpr std::string_view kRunStateStop = "停止";

inline constexpr std::string_view kStopCaption = "停止查询";
inline constexpr std::string_view kStoppingCaption = "正在停止";
inline constexpr std::string_view kStoppingStatus = "正在停止...";
inline constexpr std::string_view kStoppedStatus = "ok,已停止";
inline constexpr std::string_view kDoneStatus = "全部查询完成";
inline constexpr std::string_view kDoneMessage = "OK，查询完成";
inline constexpr std::string_view kNoAddressesMessage = "没有网址数据，请点击功能区 编辑网址";

// The status line while address `index` of `count` is looked up.
Text QueryStatusText(int index, const Text& count, const Text& address);

// One pass over url.txt on the calling (worker) thread: a row per address, the ticked
// metrics looked up one after another, progress in the status line and the progress bar.
// It stops at the next of three checks per address once RunStateLabel reads "停止".
class QueryRun final {
  public:
    // Called after every completed address; the program waits at least 50 ms there.
    using Pause = std::function<void()>;

    // `recorder`, when given, is told the run's start, every filled cell and the end.
    QueryRun(RunWindow& window, const AddressFile& addresses, MetricLookup& lookup, Pause pause,
             RunRecorder* recorder = nullptr);

    void Run();

  private:
    using Steps = std::function<void(RunWindow&)>;

    void LookUpGroup(int row, const Text& address, std::array<bool, 13> ticks, int firstColumn,
                     int lastColumn, const Steps& after);

    RunWindow& m_window;
    const AddressFile& m_addresses;
    MetricLookup& m_lookup;
    Pause m_pause;
    RunRecorder* m_recorder;
};

// What the stop button does, on the GUI thread: it only asks; the worker sees the request
// at its next check.
void RequestStop(RunWindow& window);
