#pragma once

#include <array>

#include "common/clipboard.h"
#include "common/message_box.h"
#include "common/shell_opener.h"
#include "common/text.h"
#include "common/web_pages.h"
#include "results/result_model.h"

// The result table's pop-up menu, in display order.
enum class RowMenuItem {
    OpenSite,
    CopyAddress,
    KeywordRank,
    BaiduBacklinks,
    BaiduIndexed,
    HomePage,
};

inline constexpr std::array<RowMenuItem, 6> kRowMenuItems{
    RowMenuItem::OpenSite,       RowMenuItem::CopyAddress,  RowMenuItem::KeywordRank,
    RowMenuItem::BaiduBacklinks, RowMenuItem::BaiduIndexed, RowMenuItem::HomePage,
};

// The home page item shows `homePage`'s caption.
Text RowMenuCaption(RowMenuItem item, const HomePage& homePage);

// The site address of the selected row (column 0), byte for byte; empty when no row is
// selected (-1) or the row has gone.
Text RowAddress(const ResultModel& model, int selectedRow);

// The lookup pages, with the address inserted byte for byte, without percent-encoding.
Text KeywordRankAddress(const Text& rowAddress);
Text BaiduBacklinksAddress(const Text& rowAddress);
Text BaiduIndexedAddress(const Text& rowAddress);

// What a menu item's handler needs.
struct RowMenuServices {
    ShellOpener& opener;
    Clipboard& clipboard;
    MessageBoxRoutine& box;
    const HomePage& homePage;
};

// Runs the chosen item for the selected row's address. Without an address every item but
// the home page shows its refusal in a box titled "操作失败" and touches nothing else.
void RunRowMenuItem(RowMenuItem item, const Text& rowAddress, const RowMenuServices& services);
