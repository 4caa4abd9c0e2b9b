#include "ui/query_controller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "platform/qt_text.h"
#include "query/lookup.h"
#include "results/result_model.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/result_list.h"
#include "ui/run_window_bridge.h"

namespace {

constexpr int kWaitMs = 10'000;

// Serves the GUI thread's events until `done`; unlike QTest::qWaitFor it never sleeps between
// rounds, so the worker's blocking window calls are carried out at once.
bool WaitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(kWaitMs);
    QTimer tick;  // wakes the loop for conditions that no event announces
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// A gate the worker can be stopped at until the test opens it.
class Gate {
  public:
    void Arrive() {
        std::unique_lock lock(m_mutex);
        m_waiting = true;
        m_changed.wait(lock, [this] { return m_open; });
        m_waiting = false;
    }
    bool Waiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }
    void Open() {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_waiting = false;
    bool m_open = false;
};

// The lookup service on 127.0.0.1: answers "<kind>=<address>" unless a reply is scripted for a
// request target, and can hold one chosen target until released.
class ScriptedService {
  public:
    static constexpr const char* kNoReply = "\x01no reply";

    ScriptedService() : m_server([this](LoopbackServer::Connection& c) { Serve(c); }) {}
    ~ScriptedService() { m_hold.Open(); }

    std::string host() const { return m_server.host(); }
    void Script(const std::string& target, std::string body) { m_replies[target] = body; }
    void Hold(const std::string& target) { m_held = target; }
    Gate& HoldGate() { return m_hold; }

    std::vector<std::string> Targets() const {
        std::vector<std::string> targets;
        for (const std::string& head : m_server.Requests()) {
            const auto start = head.find(' ') + 1;
            targets.push_back(head.substr(start, head.find(' ', start) - start));
        }
        return targets;
    }

  private:
    void Serve(LoopbackServer::Connection& c) {
        const auto start = c.request().find(' ') + 1;
        const std::string target = c.request().substr(start, c.request().find(' ', start) - start);
        if (target == m_held) m_hold.Arrive();
        const auto scripted = m_replies.find(target);
        const std::string body =
            scripted != m_replies.end() ? scripted->second : DefaultBody(target);
        if (body != kNoReply) c.Send(LoopbackServer::HttpReply(body));
        c.Finish();
    }
    static std::string DefaultBody(const std::string& target) {
        // "/get.php?kind&address&tag"
        const auto kind = target.find('?') + 1;
        const auto address = target.find('&', kind) + 1;
        return target.substr(kind, address - 1 - kind) + "=" +
               target.substr(address, target.find('&', address) - address);
    }

    std::map<std::string, std::string> m_replies;  // set before the run starts
    std::string m_held;
    Gate m_hold;
    LoopbackServer m_server;
};

std::string Target(const std::string& kind, const std::string& address, const std::string& tag) {
    return "/get.php?" + kind + "&" + address + "&" + tag;
}

std::vector<QMessageBox*> OpenMessages() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) boxes.push_back(box);
    }
    return boxes;
}

QMessageBox* WaitForMessage() {
    if (!WaitUntil([] { return !OpenMessages().empty(); })) return nullptr;
    const auto boxes = OpenMessages();
    return boxes.size() == 1 ? boxes.front() : nullptr;
}

void Close(QMessageBox* box) {
    box->button(QMessageBox::Ok)->click();
}

struct QueryWindowTest : ::testing::Test {
    TempDir dir;
    AddressFile file{dir.path()};
    ScriptedService service;
    MainWindow window;
    RunWindowBridge bridge{window};
    ServiceLookup lookup{service.host()};
    std::unique_ptr<QueryController> controller;
    // Pauses after completed addresses, counted from 1; `holdPause` stops the worker at one.
    int pauses = 0;
    int holdPause = 0;
    Gate pauseGate;

    void SetUp() override { window.show(); }
    void TearDown() override {
        pauseGate.Open();
        service.HoldGate().Open();
        for (QMessageBox* box : OpenMessages()) Close(box);
        if (controller) {
            EXPECT_TRUE(WaitUntil([&] { return !controller->IsRunActive(); }));
        }
    }

    void Addresses(const std::string& bytes, const char* count) {
        ASSERT_TRUE(WriteWholeFile(file.Path(), bytes));
        window.CountLabel()->setText(ToQString(count));
    }
    void Tick(std::initializer_list<int> columns) {
        for (int c = 1; c <= 12; ++c) window.MetricCheck(c)->setChecked(false);
        for (const int c : columns) window.MetricCheck(c)->setChecked(true);
    }
    // The program's own 50 ms pause, or one that can hold the worker.
    void MakeController(bool realPause) {
        QueryRun::Pause pause;
        if (!realPause) {
            pause = [this] {
                if (++pauses == holdPause) pauseGate.Arrive();
            };
        }
        controller = std::make_unique<QueryController>(window, bridge, file, lookup, pause);
    }
    void ClickStart() { QTest::mouseClick(window.StartButton(), Qt::LeftButton); }
    void ClickStop() { QTest::mouseClick(window.StopButton(), Qt::LeftButton); }
    bool WaitForEnd() {
        return WaitUntil([&] { return !controller->IsRunActive(); });
    }

    Text Caption(QLabel* label) { return FromQString(label->text()); }
    Text Caption(QPushButton* button) { return FromQString(button->text()); }
    Text Cell(int row, int column) { return window.Results().GetCell(row, column); }
    std::vector<Text> Row(int row) {
        std::vector<Text> cells;
        for (int c = 0; c < 13; ++c) cells.push_back(Cell(row, c));
        return cells;
    }
    std::vector<Text> MakeRow(const Text& address, std::map<int, Text> cells) {
        std::vector<Text> row(13);
        row[0] = address;
        for (const auto& [column, text] : cells) row[static_cast<std::size_t>(column)] = text;
        return row;
    }

    std::vector<QWidget*> RunDisabledControls() {
        std::vector<QWidget*> controls = {window.StartButton(),     window.WeightFilterButton(),
                                          window.ExportButton(),    window.PrFilterButton(),
                                          window.ClearListButton(), window.EditAddressesButton()};
        for (int c = 1; c <= 12; ++c) controls.push_back(window.MetricCheck(c));
        return controls;
    }
    void ExpectRunningControls() {
        for (QWidget* control : RunDisabledControls())
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_TRUE(window.StopButton()->isEnabled());
        EXPECT_TRUE(window.ProgressBar()->isVisible());
    }
    void ExpectIdleControls() {
        for (QWidget* control : RunDisabledControls())
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_FALSE(window.StopButton()->isEnabled());
        EXPECT_FALSE(window.ProgressBar()->isVisible());
        EXPECT_EQ(window.ProgressBar()->value(), 0);
    }
};

TEST_F(QueryWindowTest, RunFillsTheTableHostByHostWithoutBlockingTheWindow) {
    Addresses("a.com\r\nb.com\r\nc.com\r\n", "3");
    Tick({1, 4, 7, 11});
    const char8_t title[] = u8"标题";
    service.Script(Target("title", "a.com", "52610"), reinterpret_cast<const char*>(title));
    service.Script(Target("ip", "b.com", "30472"), "-1");
    service.Script(Target("sogoupr", "c.com", "16290"), ScriptedService::kNoReply);
    service.Hold(Target("title", "b.com", "52610"));
    MakeController(true);
    QSignalSpy positions(window.ProgressBar(), &QProgressBar::valueChanged);
    ClickStart();

    // While a lookup hangs, the worker is in the middle of the second address.
    ASSERT_TRUE(WaitUntil([&] { return service.HoldGate().Waiting(); }));
    EXPECT_EQ(Caption(window.StatusLabel()), "正在查询：（2/3）b.com");
    EXPECT_EQ(Caption(window.RunStateLabel()), "正常运行");
    EXPECT_EQ(window.ProgressBar()->maximum(), 3);
    EXPECT_EQ(window.ProgressBar()->value(), 1);
    EXPECT_EQ(window.Results().RowCount(), 2);
    ExpectRunningControls();
    // ... and the window still takes clicks.
    const auto firstRow = [&] {
        return window.ResultTable()
            ->visualRect(window.ResultTable()->model()->index(0, 0))
            .center();
    };
    ASSERT_TRUE(WaitUntil([&] { return window.ResultTable()->indexAt(firstRow()).row() == 0; }));
    QTest::mouseClick(window.ResultTable()->viewport(), Qt::LeftButton, {}, firstRow());
    EXPECT_EQ(window.ResultTable()->SelectedRow(), 0);
    service.HoldGate().Open();

    QMessageBox* done = WaitForMessage();
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(FromQString(done->text()), "OK，查询完成");
    EXPECT_EQ(FromQString(done->windowTitle()), "信息：");
    EXPECT_EQ(done->parentWidget(), &window);
    EXPECT_FALSE(done->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Caption(window.StatusLabel()), "全部查询完成");
    EXPECT_FALSE(window.ProgressBar()->isVisible());
    // The worker waits for the message: the run has not ended yet.
    EXPECT_TRUE(controller->IsRunActive());
    EXPECT_FALSE(window.StartButton()->isEnabled());
    Close(done);
    ASSERT_TRUE(WaitForEnd());

    // The run's plan goes to the service once, before the lookups.
    std::vector<std::string> targets = {"/plan"};
    for (const std::string a : {"a.com", "b.com", "c.com"}) {
        targets.push_back(Target("baidupr", a, "61038"));
        targets.push_back(Target("ip", a, "30472"));
        targets.push_back(Target("title", a, "52610"));
        targets.push_back(Target("sogoupr", a, "16290"));
    }
    EXPECT_EQ(service.Targets(), targets);
    EXPECT_EQ(Row(0),
              MakeRow("a.com",
                      {{1, "baidupr=a.com"}, {4, "ip=a.com"}, {7, "标题"}, {11, "sogoupr=a.com"}}));
    EXPECT_EQ(Row(1),
              MakeRow("b.com",
                      {{1, "baidupr=b.com"}, {4, "×"}, {7, "title=b.com"}, {11, "sogoupr=b.com"}}));
    EXPECT_EQ(Row(2),
              MakeRow("c.com", {{1, "baidupr=c.com"}, {4, "ip=c.com"}, {7, "title=c.com"}}));
    EXPECT_EQ(window.Results().RowCount(), 3);
    std::vector<int> seen;
    for (const auto& args : positions) seen.push_back(args.at(0).toInt());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(window.ProgressBar()->maximum(), 3);
    EXPECT_EQ(Caption(window.StopButton()), "停止查询");
    ExpectIdleControls();
}

TEST_F(QueryWindowTest, EmptyOrMissingFileEndsWithTheUsualMessage) {
    for (const bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "empty");
        if (missing) {
            window.CountLabel()->setText(QStringLiteral("0"));
        } else {
            Addresses("", "0");
        }
        if (!controller) MakeController(true);
        ClickStart();
        QMessageBox* box = WaitForMessage();
        ASSERT_NE(box, nullptr);
        if (missing) {
            EXPECT_EQ(FromQString(box->text()), "没有网址数据，请点击功能区 编辑网址");
            EXPECT_EQ(box->parentWidget(), &window);
            // Still starting: the start button is enabled, but a second press starts nothing.
            EXPECT_TRUE(window.StartButton()->isEnabled());
            ClickStart();
            QCoreApplication::processEvents();
            EXPECT_EQ(OpenMessages().size(), 1u);
            Close(box);
            ASSERT_TRUE(WaitUntil([] {
                const auto boxes = OpenMessages();
                return boxes.size() == 1 &&
                       FromQString(boxes[0]->text()) != "没有网址数据，请点击功能区 编辑网址";
            }));
            box = OpenMessages().front();
        }
        EXPECT_EQ(FromQString(box->text()), "OK，查询完成");
        Close(box);
        ASSERT_TRUE(WaitForEnd());
        EXPECT_TRUE(OpenMessages().empty());
        EXPECT_EQ(window.Results().RowCount(), 0);
        EXPECT_EQ(Caption(window.StatusLabel()), "全部查询完成");
        ExpectIdleControls();
    }
    EXPECT_TRUE(service.Targets().empty());
}

TEST_F(QueryWindowTest, NoMetricTickedShowsAddressesOnly) {
    Addresses("a.com\r\nb.com\r\nc.com\r\n", "3");
    Tick({});
    MakeController(false);
    ClickStart();
    QMessageBox* done = WaitForMessage();
    ASSERT_NE(done, nullptr);
    Close(done);
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(window.Results().RowCount(), 3);
    EXPECT_EQ(Row(2), MakeRow("c.com", {}));
    EXPECT_EQ(window.ResultTable()->ColumnWidth(0), 150);
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(window.ResultTable()->ColumnWidth(c), 0) << c;
    EXPECT_TRUE(service.Targets().empty());
    EXPECT_EQ(pauses, 3);
}

// Stop pressed while the worker is held at a chosen place of the second address (or of the third,
// the last one), then released.
TEST_F(QueryWindowTest, StopTakesEffectAtTheNextCheck) {
    struct Case {
        const char* name;
        std::string heldTarget;
        int heldPause;
        std::vector<std::vector<Text>> rows;
        std::vector<int> positions;
    };
    const auto full = [this](const Text& a) {
        return MakeRow(a, {{1, "baidupr=" + a}, {4, "ip=" + a}, {11, "sogoupr=" + a}});
    };
    const auto firstGroup = [this](const Text& a) {
        return MakeRow(a, {{1, "baidupr=" + a}, {4, "ip=" + a}});
    };
    const std::vector<Case> cases = {
        {"during a lookup of columns 1 to 9",
         Target("ip", "b.com", "30472"),
         0,
         {full("a.com"), firstGroup("b.com")},
         {1, 0}},
        {"during a lookup of columns 10 to 12",
         Target("sogoupr", "b.com", "16290"),
         0,
         {full("a.com"), full("b.com")},
         {1, 0}},
        {"at the next address's first check (pressed during the pause)",
         "",
         1,
         {full("a.com"), MakeRow("b.com", {})},
         {1, 0}},
        {"after the last address's third check",
         "",
         3,
         {full("a.com"), full("b.com"), full("c.com")},
         {1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedService caseService;
        ServiceLookup caseLookup(caseService.host());
        Addresses("a.com\r\nb.com\r\nc.com\r\n", "3");
        Tick({1, 4, 11});
        caseService.Hold(c.heldTarget);
        pauses = 0;
        holdPause = c.heldPause;
        Gate gate;
        QueryController caseController(window, bridge, file, caseLookup, [&] {
            if (++pauses == holdPause) gate.Arrive();
        });
        QSignalSpy positions(window.ProgressBar(), &QProgressBar::valueChanged);
        QTest::mouseClick(window.StartButton(), Qt::LeftButton);
        Gate& held = c.heldTarget.empty() ? gate : caseService.HoldGate();
        ASSERT_TRUE(WaitUntil([&] { return held.Waiting(); }));

        ClickStop();
        EXPECT_EQ(Caption(window.StopButton()), "正在停止");
        EXPECT_EQ(Caption(window.StatusLabel()), "正在停止...");
        EXPECT_EQ(Caption(window.RunStateLabel()), "停止");
        held.Open();
        ASSERT_TRUE(WaitUntil([&] { return !caseController.IsRunActive(); }));

        std::vector<std::vector<Text>> rows;
        for (int r = 0; r < window.Results().RowCount(); ++r) rows.push_back(Row(r));
        EXPECT_EQ(rows, c.rows);
        std::vector<int> seen;
        for (const auto& args : positions) seen.push_back(args.at(0).toInt());
        EXPECT_EQ(seen, c.positions);
        EXPECT_EQ(Caption(window.StatusLabel()), "ok,已停止");
        EXPECT_EQ(Caption(window.StopButton()), "停止查询");
        EXPECT_TRUE(OpenMessages().empty());
        ExpectIdleControls();
    }
}

// The final message belongs to the window and comes with the stop button disabled: a click on the
// window leaves it open above it, and no stop can be asked for the ended run. The next run starts
// with the stop button's own caption.
TEST_F(QueryWindowTest, FinalMessageStaysWithTheWindowAndNoStopCanBeAskedMeanwhile) {
    Addresses("a.com\r\n", "1");
    Tick({1});
    MakeController(false);
    ClickStart();
    QMessageBox* done = WaitForMessage();
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->parentWidget(), &window);
    EXPECT_FALSE(window.StopButton()->isEnabled());
    ClickStop();
    EXPECT_EQ(Caption(window.StatusLabel()), "全部查询完成");
    EXPECT_EQ(Caption(window.RunStateLabel()), "正常运行");
    const auto firstRow = [&] {
        return window.ResultTable()
            ->visualRect(window.ResultTable()->model()->index(0, 0))
            .center();
    };
    ASSERT_TRUE(WaitUntil([&] { return window.ResultTable()->indexAt(firstRow()).row() == 0; }));
    QTest::mouseClick(window.ResultTable()->viewport(), Qt::LeftButton, {}, firstRow());
    EXPECT_EQ(window.ResultTable()->SelectedRow(), 0);
    EXPECT_TRUE(done->isVisible());
    Close(done);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Caption(window.StatusLabel()), "全部查询完成");
    EXPECT_EQ(Caption(window.StopButton()), "停止查询");

    // Whatever caption the button was left with, a run shows its own.
    window.StopButton()->setText(ToQString("正在停止"));
    Addresses("b.com\r\n", "1");
    service.Hold(Target("baidupr", "b.com", "61038"));
    ClickStart();
    ASSERT_TRUE(WaitUntil([&] { return service.HoldGate().Waiting(); }));
    EXPECT_EQ(Caption(window.StopButton()), "停止查询");
    EXPECT_TRUE(window.StopButton()->isEnabled());
    service.HoldGate().Open();
    done = WaitForMessage();
    ASSERT_NE(done, nullptr);
    Close(done);
    ASSERT_TRUE(WaitForEnd());
    ASSERT_EQ(window.Results().RowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "b.com");
}

// url.txt has three hosts, CountLabel still holds an older count: the loop covers the file, the
// status line and the bar's maximum use the old count (far past 32767 in the second case).
TEST_F(QueryWindowTest, ChangedFileIsCoveredWhileTheOldCountStays) {
    for (const char* count : {"120", "100000"}) {
        SCOPED_TRACE(count);
        ScriptedService caseService;
        ServiceLookup caseLookup(caseService.host());
        Addresses("a.com\r\nb.com\r\nc.com\r\n", count);
        Tick({1});
        caseService.Hold(Target("baidupr", "c.com", "61038"));
        QueryController caseController(window, bridge, file, caseLookup, [] {});
        ClickStart();
        ASSERT_TRUE(WaitUntil([&] { return caseService.HoldGate().Waiting(); }));
        EXPECT_EQ(Caption(window.StatusLabel()), "正在查询：（3/" + std::string(count) + "）c.com");
        EXPECT_EQ(window.ProgressBar()->maximum(), std::stoi(count));
        EXPECT_EQ(window.ProgressBar()->value(), 2);
        caseService.HoldGate().Open();
        QMessageBox* done = WaitForMessage();
        ASSERT_NE(done, nullptr);
        Close(done);
        ASSERT_TRUE(WaitUntil([&] { return !caseController.IsRunActive(); }));
        EXPECT_EQ(window.Results().RowCount(), 3);
        EXPECT_EQ(Cell(2, 1), "baidupr=c.com");
    }
}

// The program is ending mid-run: the controller goes first, and its destruction returns once the
// worker has finished, without anything more reaching the window.
TEST_F(QueryWindowTest, DestroyingTheControllerMidRunAbandonsTheRun) {
    Addresses("a.com\r\nb.com\r\n", "2");
    Tick({1});
    service.Hold(Target("baidupr", "a.com", "61038"));
    MakeController(false);
    ClickStart();
    ASSERT_TRUE(WaitUntil([&] { return service.HoldGate().Waiting(); }));
    // The service never answers the request in flight: the destruction cancels it.
    controller.reset();
    EXPECT_EQ(window.Results().RowCount(), 1);
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_EQ(service.Targets(),
              (std::vector<std::string>{"/plan", Target("baidupr", "a.com", "61038")}));
    EXPECT_TRUE(window.StopButton()->isEnabled());  // the run's end never reached the window

    // The worker waiting for its final message: closing the main window still ends the program (the
    // message does not keep it going), and the destruction closes the message.
    Addresses("a.com\r\n", "1");
    MakeController(false);
    controller->StartQueryRun();  // the abandoned run left the start button disabled
    ASSERT_NE(WaitForMessage(), nullptr);
    QTimer::singleShot(0, &window, [&] { window.close(); });
    QTimer stillGoing;  // ends the loop if the close did not
    stillGoing.setSingleShot(true);
    QObject::connect(&stillGoing, &QTimer::timeout, qApp, &QCoreApplication::quit);
    stillGoing.start(kWaitMs);
    QApplication::exec();
    EXPECT_TRUE(stillGoing.isActive()) << "the open message kept the program going";
    controller.reset();
    EXPECT_TRUE(OpenMessages().empty());
}

}  // namespace
