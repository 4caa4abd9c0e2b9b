#include "app/shell_controller.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

#include "support/fakes.h"
#include "ui/main_window.h"

namespace {

constexpr int kOk = MessageBoxRoutine::kResultOk;
constexpr int kCancel = MessageBoxRoutine::kResultCancel;
const Text kHome = "file:///usr/share/zarkel/about.html";

class ShellControllerTest : public ::testing::Test {
  protected:
    ShellControllerTest() {
        new ShellController(window, messages, opener, kHome, [this](int code) {
            ended.push_back(code);
            pagesWhenEnded = opener.pages.size();
        });
        window.show();
    }

    void ExpectAskedOnce() const {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "您确定要退出程序吗");
        EXPECT_EQ(messages.shown[0].style, MessageBoxRoutine::kOkCancelInformation);
        EXPECT_EQ(messages.shown[0].caption, "信息：");
    }

    FakeMessageBox messages;
    FakeShellOpener opener;
    MainWindow window;
    std::vector<int> ended;
    std::size_t pagesWhenEnded = 0;
};

TEST_F(ShellControllerTest, ExitAsksThenOpensTheHomePageAndEnds) {
    messages.answers = {kCancel};
    QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
    ExpectAskedOnce();
    EXPECT_TRUE(opener.pages.empty());
    EXPECT_TRUE(ended.empty());
    EXPECT_TRUE(window.isVisible());

    messages.answers = {kOk};
    QTest::mouseClick(window.ExitButton(), Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), 2u);  // asked once more, and no close query after it
    EXPECT_EQ(opener.pages, std::vector<Text>{kHome});
    EXPECT_EQ(ended, std::vector<int>{0});
    EXPECT_EQ(pagesWhenEnded, 1u);  // the page is requested before the end
}

TEST_F(ShellControllerTest, CloseRequestsAskFirst) {
    // The title bar's close button and Alt+F4 arrive as a close; Esc is turned into one.
    const std::function<void()> requests[] = {
        [this] { window.close(); },
        [this] { QTest::keyClick(&window, Qt::Key_Escape); },
    };
    for (const auto& request : requests) {
        messages.shown.clear();
        messages.answers = {kCancel};
        request();
        ExpectAskedOnce();
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(opener.pages.empty());
    }
    messages.answers = {kOk};
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(opener.pages, std::vector<Text>{kHome});
    EXPECT_TRUE(ended.empty());  // the closed window ends the event loop, not the process
}

TEST_F(ShellControllerTest, UpgradeOpensTheHomePageOnly) {
    QTest::mouseClick(window.UpgradeButton(), Qt::LeftButton);
    EXPECT_EQ(opener.pages, std::vector<Text>{kHome});
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(ended.empty());
    EXPECT_TRUE(window.isVisible());
}

TEST(EndProcessAtOnce, EndsWithCodeZeroWhileAnotherThreadWorks) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<bool> started = false;
            std::thread worker([&started] {
                started = true;
                for (;;) std::this_thread::yield();
            });
            while (!started) std::this_thread::yield();
            EndProcessAtOnce(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
