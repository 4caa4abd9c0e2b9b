#include "results/row_menu.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/fake_clipboard.h"
#include "support/fakes.h"

namespace {

struct Services {
    FakeShellOpener opener;
    FakeClipboard clipboard;
    FakeMessageBox box;
    const HomePage home{"file:///usr/share/zarkel/about.html", "关于Zarkel"};

    void Run(RowMenuItem item, const Text& address) {
        RunRowMenuItem(item, address, {opener, clipboard, box, home});
    }
};

TEST(RowMenuTest, CaptionsInDisplayOrder) {
    std::vector<Text> captions;
    const HomePage home{"https://zarkel.example.org/", "https://zarkel.example.org/"};
    for (RowMenuItem item : kRowMenuItems) captions.push_back(RowMenuCaption(item, home));
    EXPECT_EQ(captions, (std::vector<Text>{"打开网站", "复制网址", "查看词库", "百度反链",
                                           "百度收录内容", "https://zarkel.example.org/"}));
}

TEST(RowMenuTest, RowAddressIsColumnZeroOfTheSelectedRow) {
    ResultModel model;
    for (const char* address : {"a.com", " b.com\t", ""}) {
        model.SetCell(model.AppendRow(), 0, address);
    }
    model.SetCell(1, 1, "5");

    EXPECT_EQ(RowAddress(model, 1), " b.com\t");
    EXPECT_EQ(RowAddress(model, 2), "");
    EXPECT_EQ(RowAddress(model, -1), "");
    EXPECT_EQ(RowAddress(model, 3), "");
}

TEST(RowMenuTest, ItemsWithAnAddressOpenOrCopyIt) {
    struct Case {
        RowMenuItem item;
        Text address;
        std::vector<Text> pages;
        std::vector<Text> copied;
    };
    const std::vector<Case> cases = {
        {RowMenuItem::OpenSite, "www.example.com", {"www.example.com"}, {}},
        {RowMenuItem::CopyAddress, "www.example.com", {}, {"http://www.example.com/"}},
        {RowMenuItem::KeywordRank,
         "www.example.com",
         {"http://rank.chinaz.com/baidusort.aspx?host=www.example.com"},
         {}},
        {RowMenuItem::BaiduBacklinks,
         "www.example.com",
         {"https://www.baidu.com/s?&wd=\"www.example.com\""},
         {}},
        {RowMenuItem::BaiduIndexed,
         "www.example.com",
         {"https://www.baidu.com/s?&wd=site:www.example.com"},
         {}},
        {RowMenuItem::HomePage, "www.example.com", {"file:///usr/share/zarkel/about.html"}, {}},
        // Byte for byte: not trimmed, no scheme touched, nothing percent-encoded.
        {RowMenuItem::OpenSite, " http://例子.cn/a b ", {" http://例子.cn/a b "}, {}},
        {RowMenuItem::CopyAddress, " 例子.cn&x ", {}, {"http:// 例子.cn&x /"}},
        {RowMenuItem::BaiduBacklinks, "a b&c", {"https://www.baidu.com/s?&wd=\"a b&c\""}, {}},
        {RowMenuItem::BaiduIndexed, "例子.cn ", {"https://www.baidu.com/s?&wd=site:例子.cn "}, {}},
        {RowMenuItem::KeywordRank, "#x", {"http://rank.chinaz.com/baidusort.aspx?host=#x"}, {}},
    };
    for (const Case& c : cases) {
        Services services;
        SCOPED_TRACE(RowMenuCaption(c.item, services.home) + " / " + c.address);

        services.Run(c.item, c.address);

        EXPECT_EQ(services.opener.pages, c.pages);
        EXPECT_EQ(services.clipboard.texts, c.copied);
        EXPECT_TRUE(services.opener.files.empty());
        EXPECT_TRUE(services.box.shown.empty());
    }
}

TEST(RowMenuTest, ItemsWithoutAnAddressRefuseAndTouchNothing) {
    const std::vector<std::pair<RowMenuItem, Text>> refusals = {
        {RowMenuItem::OpenSite, "请移动鼠标到网址处打开网站"},
        {RowMenuItem::CopyAddress, "请移动鼠标到网址处进行复制"},
        {RowMenuItem::KeywordRank, "请移动鼠标到网址处进行查看"},
        {RowMenuItem::BaiduBacklinks, "请移动鼠标到网址处进行操作"},
        {RowMenuItem::BaiduIndexed, "请移动鼠标到网址处进行操作"},
    };
    for (const auto& [item, message] : refusals) {
        Services services;
        SCOPED_TRACE(RowMenuCaption(item, services.home));

        services.Run(item, "");

        ASSERT_EQ(services.box.shown.size(), 1u);
        EXPECT_EQ(services.box.shown[0].text, message);
        EXPECT_EQ(services.box.shown[0].caption, "操作失败");
        EXPECT_EQ(services.box.shown[0].style, MessageBoxRoutine::kOk);
        EXPECT_TRUE(services.opener.pages.empty());
        EXPECT_TRUE(services.clipboard.texts.empty());
    }

    Services services;
    services.Run(RowMenuItem::HomePage, "");
    EXPECT_EQ(services.opener.pages, std::vector<Text>{"file:///usr/share/zarkel/about.html"});
    EXPECT_TRUE(services.box.shown.empty());
}

}  // namespace
