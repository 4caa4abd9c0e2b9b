#pragma once

#include <string_view>

// Every fixed web address the program opens, in one place.

// The maker's home page: the row menu's last item (also its caption), the exit paths and
// the upgrade button.
inline constexpr std::string_view kHomePage = "https://www.zarkel.example/";

// Hosts of the lookup pages the row menu opens for a site.
inline constexpr std::string_view kKeywordRankHost = "rank.chinaz.com";
inline constexpr std::string_view kBaiduSearchHost = "www.baidu.com";
