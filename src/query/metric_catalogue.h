#pragma once

#include <array>
#include <string_view>

// One figure the service can look up: its result column (also its order), the check box
// that selects it, the kind word the service knows it by and the tag it expects with it.
struct Metric {
    int column;
    std::string_view checkBox;  // objectName of the main window's check box
    std::string_view caption;   // the check box's caption
    std::string_view kind;
    std::string_view tag;
};

inline constexpr int kMetricCount = 12;

// Catalogue order is query order and column order.
inline constexpr std::array<Metric, kMetricCount> kMetricCatalogue{{
    {1, "BaiduWeightCheck", "百度权重", "baidupr", "61038"},
    {2, "PrCheck", "谷歌PR", "pr", "27593"},
    {3, "BaiduIndexCheck", "百度收录", "baidu", "36259"},
    {4, "SiteIpCheck", "网站IP", "ip", "30472"},
    {5, "OutLinksCheck", "导出链接", "daochu", "18065"},
    {6, "FoundedCheck", "建站时间", "whois", "70249"},
    {7, "SiteTitleCheck", "网站标题", "title", "52610"},
    {8, "AlexaCheck", "alexa", "alexa", "94305"},
    {9, "BaiduDayIndexCheck", "百度一天收录", "sl1", "25147"},
    {10, "SogouIndexCheck", "搜狗收录", "sogousl", "80931"},
    {11, "SogouWeightCheck", "搜狗权重", "sogoupr", "16290"},
    {12, "Index360Check", "360收录", "haosousl", "48061"},
}};

// The one metric whose box is ticked when the program starts: 百度权重.
inline constexpr int kInitiallyTickedColumn = 1;

// What a failed lookup shows: the service's "-1".
inline constexpr std::string_view kFailMark = "×";
