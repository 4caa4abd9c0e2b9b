#include "ui/row_menu_controller.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/qt_text.h"
#include "results/result_model.h"
#include "support/fake_clipboard.h"
#include "support/fakes.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

namespace {

class RowMenuControllerTest : public ::testing::Test {
  protected:
    RowMenuControllerTest() : m_controller(m_window, {m_opener, m_clipboard, m_box, m_home}) {
        for (const char* site : {"a.cn", "b.cn", "c.cn"}) {
            m_window.Results().SetCell(m_window.Results().AppendRow(), 0, site);
        }
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    QWidget* Rows() const { return m_window.ResultTable()->viewport(); }

    QPoint RowCentre(int row) const {
        const ResultList& list = *m_window.ResultTable();
        return list.visualRect(list.model()->index(row, 0)).center();
    }

    // Right-clicks `at` in the rows area, then clicks the item whose caption is `caption`;
    // returns the captions the menu showed.
    std::vector<Text> RightClickAndChoose(QPoint at, const Text& caption) {
        std::vector<Text> captions;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, &captions, caption] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr || !menu->isVisible()) return;
            poll->stop();
            poll->deleteLater();
            EXPECT_EQ(menu->objectName(), QStringLiteral("RowMenu"));
            for (QAction* action : menu->actions()) {
                captions.push_back(FromQString(action->text()));
                if (captions.back() == caption) {
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
                    return;
                }
            }
            menu->close();
        });
        poll->start(10);
        QTest::mouseClick(Rows(), Qt::RightButton, {}, at);
        return captions;
    }

    MainWindow m_window;
    FakeShellOpener m_opener;
    FakeClipboard m_clipboard;
    FakeMessageBox m_box;
    const HomePage m_home{"file:///usr/share/zarkel/about.html", "关于Zarkel"};
    RowMenuController m_controller;
};

TEST_F(RowMenuControllerTest, ItemsWorkOnTheRowUnderTheRightClick) {
    m_window.ResultTable()->selectRow(0);

    const std::vector<Text> captions = RightClickAndChoose(RowCentre(2), "no such item");
    EXPECT_EQ(captions, (std::vector<Text>{"打开网站", "复制网址", "查看词库", "百度反链",
                                           "百度收录内容", "关于Zarkel"}));
    EXPECT_TRUE(m_opener.pages.empty());

    RightClickAndChoose(RowCentre(2), "打开网站");
    RightClickAndChoose(RowCentre(1), "复制网址");
    RightClickAndChoose(RowCentre(1), "百度收录内容");

    EXPECT_EQ(m_opener.pages, (std::vector<Text>{"c.cn", "https://www.baidu.com/s?&wd=site:b.cn"}));
    EXPECT_EQ(m_clipboard.texts, std::vector<Text>{"http://b.cn/"});
    EXPECT_TRUE(m_box.shown.empty());
}

TEST_F(RowMenuControllerTest, BelowTheLastRowOnlyTheHomePageWorks) {
    const QPoint belowRows(40, RowCentre(2).y() + 60);

    RightClickAndChoose(belowRows, "复制网址");
    RightClickAndChoose(belowRows, "查看词库");
    RightClickAndChoose(belowRows, "关于Zarkel");

    ASSERT_EQ(m_box.shown.size(), 2u);
    EXPECT_EQ(m_box.shown[0].text, "请移动鼠标到网址处进行复制");
    EXPECT_EQ(m_box.shown[1].text, "请移动鼠标到网址处进行查看");
    EXPECT_EQ(m_box.shown[1].caption, "操作失败");
    EXPECT_TRUE(m_clipboard.texts.empty());
    EXPECT_EQ(m_opener.pages, std::vector<Text>{"file:///usr/share/zarkel/about.html"});
}

}  // namespace
