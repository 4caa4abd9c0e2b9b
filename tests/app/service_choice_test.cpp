#include "app/service_choice.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "platform/qt_text.h"
#include "query/lookup.h"
#include "query/service_host.h"
#include "results/result_model.h"
#include "support/qt_wait.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/query_controller.h"
#include "ui/run_window_bridge.h"

namespace {

constexpr const char* kHostVariable = "ZARKEL_SERVICE_HOST";

// Sets or unsets ZARKEL_SERVICE_HOST for one test and puts back what was there.
class HostVariable {
  public:
    explicit HostVariable(const char* value) {
        if (const char* old = std::getenv(kHostVariable)) m_old = old;
        if (value) {
            setenv(kHostVariable, value, 1);
        } else {
            unsetenv(kHostVariable);
        }
    }
    ~HostVariable() {
        if (m_old) {
            setenv(kHostVariable, m_old->c_str(), 1);
        } else {
            unsetenv(kHostVariable);
        }
    }
    HostVariable(const HostVariable&) = delete;
    HostVariable& operator=(const HostVariable&) = delete;

  private:
    std::optional<std::string> m_old;
};

// What main() does, with zarkel-lookupd at `lookupd`.
ServiceChoice ChooseAsTheProgramDoes(const std::string& lookupd = LOOKUPD_BINARY) {
    return ChooseService(ServiceHost(), ServiceSettingsFromEnvironment(), lookupd);
}

// A web site on 127.0.0.1 with an ephemeral port and a Chinese UTF-8 title.
class LoopbackSite {
  public:
    LoopbackSite() {
        m_server.Get("/", [](const httplib::Request&, httplib::Response& response) {
            const char8_t page[] = u8"<html><head><title>首页</title></head><body></body></html>";
            response.set_content(reinterpret_cast<const char*>(page), "text/html; charset=utf-8");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running()) std::this_thread::yield();
    }
    ~LoopbackSite() {
        m_server.stop();
        m_thread.join();
    }
    LoopbackSite(const LoopbackSite&) = delete;
    LoopbackSite& operator=(const LoopbackSite&) = delete;

    std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }

  private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

TEST(ServiceChoiceTest, ConfiguredHostIsUsedAndNothingStarts) {
    const HostVariable configured("lookup.example:8080");
    ServiceChoice choice = ChooseAsTheProgramDoes();
    EXPECT_EQ(choice.CurrentHost(), "lookup.example:8080");
    EXPECT_EQ(choice.child, nullptr);
    EXPECT_EQ(choice.embedded, nullptr);
}

// Without a configured host the program's own service answers a whole run: the window,
// the worker and the HTTP lookups as main() wires them. That service is zarkel-lookupd as a
// child, or, when that program is missing, the service inside the program.
TEST(ServiceChoiceTest, WithoutConfiguredHostARunGetsIpAndTitleOfLoopbackSite) {
    const HostVariable unset(nullptr);
    if (!ServiceHost().empty()) GTEST_SKIP() << "a service host is built into this build";
    TempDir empty;
    for (const bool lookupdThere : {true, false}) {
        SCOPED_TRACE(lookupdThere ? "child" : "in the program");
        ServiceChoice choice =
            ChooseAsTheProgramDoes(lookupdThere ? LOOKUPD_BINARY : empty.File("zarkel-lookupd"));
        EXPECT_EQ(choice.child != nullptr, lookupdThere);
        EXPECT_EQ(choice.embedded != nullptr, !lookupdThere);
        const Text host = choice.CurrentHost();
        ASSERT_EQ(host.rfind("127.0.0.1:", 0), 0u) << host;
        EXPECT_GT(std::stoi(host.substr(10)), 0);

        LoopbackSite site;
        TempDir dir;
        const AddressFile addresses(dir.path());
        ASSERT_TRUE(WriteWholeFile(addresses.Path(), site.HostPort() + "\r\n"));
        MainWindow window;
        window.CountLabel()->setText(ToQString("1"));
        RunWindowBridge bridge(window);
        ServiceLookup lookup(choice);
        QueryController controller(window, bridge, addresses, lookup);
        window.show();
        for (int c = 1; c <= 12; ++c) window.MetricCheck(c)->setChecked(c == 4 || c == 7);

        QTest::mouseClick(window.StartButton(), Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([] { return OpenMessage() != nullptr; }));
        EXPECT_EQ(FromQString(OpenMessage()->text()), "OK，查询完成");
        OpenMessage()->button(QMessageBox::Ok)->click();
        ASSERT_TRUE(WaitUntil([&] { return !controller.IsRunActive(); }));

        ASSERT_EQ(window.Results().RowCount(), 1);
        EXPECT_EQ(window.Results().GetCell(0, 0), site.HostPort());
        EXPECT_EQ(window.Results().GetCell(0, 4), "127.0.0.1");
        // The UTF-8 title arrives as its GB18030 bytes.
        EXPECT_EQ(window.Results().GetCell(0, 7), "首页");
    }
}

}  // namespace
