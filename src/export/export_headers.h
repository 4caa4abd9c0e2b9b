#pragma once

#include <array>
#include <string_view>

#include "results/result_columns.h"

// Row 1 of an exported workbook. These are the export's own texts: two differ from the
// table's titles ("网站ip", "360收录(好搜)").
inline constexpr std::array<std::string_view, kResultColumnCount> kExportHeaders{{
    "网址",
    "百度权重",
    "PR",
    "百度收录",
    "网站ip",
    "导出链接",
    "建站时间",
    "网站标题",
    "alexa",
    "百度一天收录",
    "搜狗收录",
    "搜狗权重",
    "360收录(好搜)",
}};
