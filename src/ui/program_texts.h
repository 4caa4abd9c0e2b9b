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

// The page of usage tips shown in the advert pane; bundled, never fetched.
inline constexpr std::string_view kAdPageAddress = "qrc:/zarkel/tips.html";
