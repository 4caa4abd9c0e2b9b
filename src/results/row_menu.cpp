#include "results/row_menu.h"

#include "common/web_pages.h"

namespace {

constexpr char kRefusalCaption[] = "操作失败";
constexpr char kMoveToAddress[] = "请移动鼠标到网址处进行操作";

// The refusal an item shows when there is no address; empty for the home page.
Text RefusalText(RowMenuItem item) {
    switch (item) {
        case RowMenuItem::OpenSite:
            return "请移动鼠标到网址处打开网站";
        case RowMenuItem::CopyAddress:
            return "请移动鼠标到网址处进行复制";
        case RowMenuItem::KeywordRank:
            return "请移动鼠标到网址处进行查看";
        case RowMenuItem::BaiduBacklinks:
        case RowMenuItem::BaiduIndexed:
            return kMoveToAddress;
        case RowMenuItem::HomePage:
            break;
    }
    return {};
}

}  // namespace

Text RowMenuCaption(RowMenuItem item, const HomePage& homePage) {
    switch (item) {
        case RowMenuItem::OpenSite:
            return "打开网站";
        case RowMenuItem::CopyAddress:
            return "复制网址";
        case RowMenuItem::KeywordRank:
            return "查看词库";
        case RowMenuItem::BaiduBacklinks:
            return "百度反链";
        case RowMenuItem::BaiduIndexed:
            return "百度收录内容";
        case RowMenuItem::HomePage:
            return homePage.caption;
    }
    return {};
}

Text RowAddress(const ResultModel& model, int selectedRow) {
    return model.GetCell(selectedRow, 0);
}

Text KeywordRankAddress(const Text& rowAddress) {
    return ConcatText({"http://", kKeywordRankHost, "/baidusort.aspx?host=", rowAddress});
}

Text BaiduBacklinksAddress(const Text& rowAddress) {
    return ConcatText({"https://", kBaiduSearchHost, "/s?&wd=\"", rowAddress, "\""});
}

Text BaiduIndexedAddress(const Text& rowAddress) {
    return ConcatText({"https://", kBaiduSearchHost, "/s?&wd=site:", rowAddress});
}

void RunRowMenuItem(RowMenuItem item, const Text& rowAddress, const RowMenuServices& services) {
    if (item == RowMenuItem::HomePage) {
        services.opener.OpenInExplorer(services.homePage.address);
        return;
    }
    // Checked before anything is touched, the clipboard included.
    if (rowAddress.empty()) {
        services.box.Show(RefusalText(item), MessageBoxRoutine::kOk, kRefusalCaption);
        return;
    }
    switch (item) {
        case RowMenuItem::OpenSite:
            services.opener.OpenInExplorer(rowAddress);
            break;
        case RowMenuItem::CopyAddress:
            services.clipboard.SetText(ConcatText({"http://", rowAddress, "/"}));
            break;
        case RowMenuItem::KeywordRank:
            services.opener.OpenInExplorer(KeywordRankAddress(rowAddress));
            break;
        case RowMenuItem::BaiduBacklinks:
            services.opener.OpenInExplorer(BaiduBacklinksAddress(rowAddress));
            break;
        case RowMenuItem::BaiduIndexed:
            services.opener.OpenInExplorer(BaiduIndexedAddress(rowAddress));
            break;
        case RowMenuItem::HomePage:
            break;
    }
}
