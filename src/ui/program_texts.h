#pragma once

#include <string_view>

// Texts of the program's own wording, kept together so they are changed in one place.
// Narrow literals are code page 936 text.

inline constexpr std::string_view kWindowTitle = "Zarkel V1.0";

// The status line before the first run: the failure hint, a blank, the user-group invitation.
inline constexpr std::string_view kFailHint = "查询内容出现×号,表示数据查询失败";
inline constexpr std::string_view kUserGroupInvitation =
    "欢迎加入Zarkel用户交流群，一起交流使用心得";

inline constexpr std::string_view kFooterText = "Copyright (C) 2026 Zarkel 开发组  保留所有权利";

// Undo of the last filter or clear: the window's action and the hint on the buttons that delete.
inline constexpr std::string_view kUndoActionText = "撤销";
inline constexpr std::string_view kUndoHint = "删错了？按 Ctrl+Z 撤销，删掉的行回到原处";

// The progress bar's text during a run: "i/n", then the time left once the pace is known.
inline constexpr std::string_view kTimeLeft = "剩余约 ";
// Durations: "1小时05分", "3分20秒", "45秒".
inline constexpr std::string_view kHoursUnit = "小时";
inline constexpr std::string_view kMinutesUnit = "分";
inline constexpr std::string_view kSecondsUnit = "秒";

// The footer for a while after a run: "上次查询：12 个网址，3 项查询失败，用时 1分05秒".
inline constexpr std::string_view kRunSummaryStart = "上次查询：";
inline constexpr std::string_view kRunSummaryStoppedStart = "上次查询（已停止）：";
inline constexpr std::string_view kRunSummaryHosts = " 个网址，";
inline constexpr std::string_view kRunSummaryFailed = " 项查询失败，用时 ";

// The export's proposed file name: this stem, the date as YYYY-MM-DD, ".xls".
inline constexpr std::string_view kExportNameStem = "查询结果_";

// The address editor: the reminder's tick and the question when it closes with unsaved edits.
inline constexpr std::string_view kDontRemindTick = "不再提示";
inline constexpr std::string_view kEditorSaveQuestion =
    "网址已修改，是否保存到本软件目录下的url.txt？";

// The page of usage tips shown in the advert pane; bundled, never fetched.
inline constexpr std::string_view kAdPageAddress = "qrc:/zarkel/tips.html";
