#pragma once

#include <array>
#include <string_view>

// The thirteen columns of the result table: column 0 is the site address, columns 1 to 12
// the metrics in catalogue order. `width` is the width at start and the width a column's
// check box restores.
struct ResultColumn {
    std::string_view title;
    int width;
    bool centred;
};

inline constexpr int kResultColumnCount = 13;

inline constexpr std::array<ResultColumn, kResultColumnCount> kResultColumns{{
    {"网址", 150, false},
    {"百度权重", 60, true},
    {"PR", 30, true},
    {"百度收录", 60, true},
    {"网站IP", 100, true},
    {"导出链接", 60, true},
    {"建站时间", 60, true},
    {"网站标题", 100, true},
    {"alexa", 50, true},
    {"百度一天收录", 84, true},
    {"搜狗收录", 60, true},
    {"搜狗权重", 60, true},
    {"360收录", 60, true},
}};
