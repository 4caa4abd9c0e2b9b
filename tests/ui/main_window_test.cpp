#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <optional>

#include "addresses/address_file.h"
#include "common/file_io.h"
#include "platform/qt_text.h"
#include "results/result_model.h"
#include "support/temp_dir.h"
#include "ui/main_window_creation.h"
#include "ui/result_list.h"

namespace {

// What a control shows: a label's or button's caption, an edit's text, a group's title.
std::optional<Text> Shown(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) return FromQString(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return FromQString(button->text());
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return FromQString(edit->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
        return FromQString(group->title());
    }
    return std::nullopt;
}

QRect ClientPlace(const QWidget& window, const QWidget* control) {
    return {control->mapTo(&window, QPoint(0, 0)), control->size()};
}

struct ControlAtStart {
    const char* name;
    const char* kind;
    QRect place;
    std::optional<Text> text;  // nullopt: not compared
    bool enabled = true;
    bool visible = true;
    std::optional<bool> ticked = std::nullopt;
};

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() : m_addresses(m_dir.path()) {}

    void WriteAddresses(std::string_view bytes) {
        ASSERT_TRUE(WriteWholeFile(m_addresses.Path(), bytes));
    }

    void Open(const CreationHooks& hooks = {}) {
        RunCreationHandler(m_window, m_addresses, hooks);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    TempDir m_dir;
    AddressFile m_addresses;
    MainWindow m_window;
};

TEST_F(MainWindowTest, EveryControlAsFirstDisplayed) {
    WriteAddresses("a.com\r\nb.com\r\nc.com\r\n");
    Open();

    const Text status = "查询内容出现×号,表示数据查询失败 ";
    const Text digits = "0 1 2 3 4 5 6 7 8 9";
    const ControlAtStart controls[] = {
        {"QueryGroup", "QGroupBox", {8, 8, 512, 72}, "数据查询"},
        {"BaiduWeightCheck", "QCheckBox", {16, 24, 80, 24}, "百度权重", true, true, true},
        {"PrCheck", "QCheckBox", {88, 24, 80, 24}, "谷歌PR", true, true, false},
        {"BaiduIndexCheck", "QCheckBox", {152, 24, 80, 24}, "百度收录", true, true, false},
        {"SiteIpCheck", "QCheckBox", {224, 24, 80, 24}, "网站IP", true, true, false},
        {"OutLinksCheck", "QCheckBox", {296, 24, 80, 24}, "导出链接", true, true, false},
        {"FoundedCheck", "QCheckBox", {368, 24, 80, 24}, "建站时间", true, true, false},
        {"SiteTitleCheck", "QCheckBox", {440, 24, 72, 24}, "网站标题", true, true, false},
        {"AlexaCheck", "QCheckBox", {16, 48, 80, 24}, "alexa", true, true, false},
        {"BaiduDayIndexCheck", "QCheckBox", {88, 48, 96, 24}, "百度一天收录", true, true, false},
        {"SogouIndexCheck", "QCheckBox", {224, 48, 80, 24}, "搜狗收录", true, true, false},
        {"SogouWeightCheck", "QCheckBox", {296, 48, 80, 24}, "搜狗权重", true, true, false},
        {"Index360Check", "QCheckBox", {368, 48, 72, 24}, "360收录", true, true, false},
        {"StartButton", "QPushButton", {440, 48, 64, 20}, "开始查询"},
        {"FilterGroup", "QGroupBox", {8, 88, 312, 72}, "数据筛选"},
        {"WeightFilterLabel", "QLabel", {16, 102, 48, 24}, "百度权重"},
        {"WeightFilterEdit", "QLineEdit", {72, 104, 128, 20}, digits},
        {"WeightFilterButton", "QPushButton", {208, 104, 56, 20}, "筛选"},
        {"PrFilterLabel", "QLabel", {16, 126, 40, 24}, "谷歌PR"},
        {"PrFilterEdit", "QLineEdit", {72, 128, 128, 20}, digits},
        {"PrFilterButton", "QPushButton", {208, 128, 56, 20}, "筛选"},
        {"FilterHintLabel", "QLabel", {272, 104, 40, 48}, "多个数据请用空格分隔"},
        {"FunctionGroup", "QGroupBox", {328, 88, 192, 72}, "功能区"},
        {"ExportButton", "QPushButton", {336, 104, 56, 20}, "导出数据", false},
        {"StopButton", "QPushButton", {396, 104, 56, 20}, "停止查询", false},
        {"EditAddressesButton", "QPushButton", {456, 104, 56, 20}, "编辑网址"},
        {"UpgradeButton", "QPushButton", {336, 128, 56, 20}, "软件升级"},
        {"ClearListButton", "QPushButton", {396, 128, 56, 20}, "清空列表", false},
        {"ExitButton", "QPushButton", {456, 128, 56, 20}, "退出程序"},
        {"AdGroup", "QGroupBox", {528, 8, 432, 184}, ""},
        {"AdFrame", "QFrame", {531, 16, 426, 172}, std::nullopt},
        {"AdPane", "QTextBrowser", {531, 16, 581, 256}, std::nullopt},
        {"StatusLabel", "QLabel", {8, 165, 512, 24}, std::nullopt},
        {"ResultList", "ResultList", {8, 195, 952, 317}, std::nullopt},
        {"ProgressBar", "QProgressBar", {8, 512, 952, 16}, std::nullopt, true, false},
        {"FooterLabel", "QLabel", {8, 512, 952, 16}, std::nullopt},
        {"CountLabel", "QLabel", {1032, 312, 80, 24}, "3"},
        {"RunStateLabel", "QLabel", {248, 912, 80, 24}, std::nullopt},
        {"FileCheckLabel", "QLabel", {144, 904, 80, 24}, "文件存在"},
    };
    for (const ControlAtStart& expected : controls) {
        SCOPED_TRACE(expected.name);
        const auto found = m_window.findChildren<QWidget*>(QLatin1String(expected.name));
        ASSERT_EQ(found.size(), 1);
        const QWidget* control = found.front();
        EXPECT_TRUE(control->inherits(expected.kind)) << control->metaObject()->className();
        EXPECT_EQ(ClientPlace(m_window, control), expected.place);
        if (expected.text) {
            EXPECT_EQ(Shown(control), expected.text);
        }
        EXPECT_EQ(control->isEnabled(), expected.enabled);
        EXPECT_EQ(control->isVisible(), expected.visible);
        if (expected.ticked) {
            EXPECT_EQ(qobject_cast<const QCheckBox*>(control)->isChecked(), *expected.ticked);
        }
    }

    // The status line: the failure hint, a blank, then the invitation.
    const Text shown = FromQString(m_window.StatusLabel()->text());
    EXPECT_EQ(shown.substr(0, status.size()), status);
    EXPECT_GT(shown.size(), status.size());
    EXPECT_EQ(m_window.StatusLabel()->frameShape(), QFrame::Box);
    // The status line shows hosts from url.txt: markup in them must show as typed.
    EXPECT_EQ(m_window.StatusLabel()->textFormat(), Qt::PlainText);
    EXPECT_FALSE(m_window.FooterLabel()->text().isEmpty());
    EXPECT_EQ(m_window.WeightFilterEdit()->maxLength(), std::numeric_limits<int>::max());

    const QProgressBar* progress = m_window.ProgressBar();
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_EQ(progress->value(), 0);
    // Shown, the bar lies over the footer.
    m_window.ProgressBar()->show();
    EXPECT_EQ(m_window.childAt(480, 520), m_window.ProgressBar());
}

TEST_F(MainWindowTest, WindowIsFixedTitledAndWithoutMaximise) {
    Open();
    EXPECT_EQ(m_window.windowTitle(), QStringLiteral("Zarkel V1.0"));
    EXPECT_EQ(m_window.size(), QSize(966, 528));
    EXPECT_EQ(m_window.minimumSize(), QSize(966, 528));
    EXPECT_EQ(m_window.maximumSize(), QSize(966, 528));
    const Qt::WindowFlags flags = m_window.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(m_window.windowIcon().availableSizes().contains(QSize(48, 48)));
    // The tips page is bundled and loaded.
    EXPECT_FALSE(m_window.AdPane()->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, HolderLabelsLieOutsideTheClientArea) {
    Open();
    for (const QLabel* holder :
         {m_window.CountLabel(), m_window.RunStateLabel(), m_window.FileCheckLabel()}) {
        SCOPED_TRACE(holder->objectName().toStdString());
        EXPECT_FALSE(m_window.rect().intersects(holder->geometry()));
        EXPECT_TRUE(holder->visibleRegion().isEmpty());
    }
}

TEST_F(MainWindowTest, CreationHandlerNotesTheAddressFile) {
    struct Case {
        const char* name;
        std::optional<std::string_view> file;  // nullopt: no url.txt
        Text count;
        Text note;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "0", "文件不存在"},
        {"empty", "", "0", "文件存在"},
        {"two lines", "a.com\r\nb.com\r\n", "2", "文件存在"},
        {"no final line end", "a.com\r\nb.com\r\nc.com", "3", "文件存在"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const AddressFile addresses(dir.path());
        if (c.file) {
            ASSERT_TRUE(WriteWholeFile(addresses.Path(), *c.file));
        }
        MainWindow window;
        std::vector<std::string> steps;
        RunCreationHandler(window, addresses,
                           {[&] { steps.push_back("skin"); },
                            [&] {
                                steps.push_back("missing");
                                // The buttons are disabled only after this step.
                                EXPECT_TRUE(window.StopButton()->isEnabled());
                            }});
        EXPECT_EQ(FromQString(window.CountLabel()->text()), c.count);
        EXPECT_EQ(FromQString(window.FileCheckLabel()->text()), c.note);
        const std::vector<std::string> expectedSteps =
            c.file ? std::vector<std::string>{"skin"} : std::vector<std::string>{"skin", "missing"};
        EXPECT_EQ(steps, expectedSteps);
        EXPECT_FALSE(window.StopButton()->isEnabled());
        EXPECT_FALSE(window.ExportButton()->isEnabled());
        EXPECT_FALSE(window.ClearListButton()->isEnabled());
        EXPECT_TRUE(window.StartButton()->isEnabled());
    }
}

TEST_F(MainWindowTest, EscapeAndCloseAskTheCloseQuery) {
    Open();
    int asked = 0;
    bool allow = false;
    m_window.SetCloseQuery([&] {
        ++asked;
        return allow;
    });

    // From the window and from controls that leave the key unused.
    QWidget* const receivers[] = {&m_window, m_window.WeightFilterEdit(), m_window.ResultTable(),
                                  m_window.StartButton()};
    for (QWidget* receiver : receivers) {
        SCOPED_TRACE(receiver->objectName().toStdString());
        const int before = asked;
        QTest::keyClick(receiver, Qt::Key_Escape);
        EXPECT_EQ(asked, before + 1);
        EXPECT_TRUE(m_window.isVisible());
    }
    QTest::keyClick(m_window.WeightFilterEdit(), Qt::Key_Return);
    EXPECT_EQ(asked, 4);

    allow = true;
    QTest::keyClick(&m_window, Qt::Key_Escape);
    EXPECT_EQ(asked, 5);
    EXPECT_FALSE(m_window.isVisible());
}

TEST_F(MainWindowTest, WithoutCloseQueryTheWindowCloses) {
    Open();
    EXPECT_TRUE(m_window.close());
    EXPECT_FALSE(m_window.isVisible());
}

}  // namespace
