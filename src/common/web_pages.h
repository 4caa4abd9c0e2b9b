#pragma once

#include <string_view>

#include "common/text.h"

// Every fixed web address the program opens, in one place.

// The maker's home page, opened by the row menu's last item, the exit paths and the upgrade
// button. A build setting (app/home_page.h): a web address, or the about page the program
// carries. `caption` is the row menu item's.
struct HomePage {
    Text address;
    Text caption;
};

// Hosts of the lookup pages the row menu opens for a site.
inline constexpr std::string_view kKeywordRankHost = "rank.chinaz.com";
inline constexpr std::string_view kBaiduSearchHost = "www.baidu.com";
