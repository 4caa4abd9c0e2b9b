#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between the program's code page 936 text and UTF-8, through iconv.

// Strict: nullopt when any sequence of `utf8` is invalid or incomplete.
std::optional<std::string> Utf8ToGb18030(std::string_view utf8);

// Lenient: bytes that are not GB18030 become U+FFFD, so the result is always valid UTF-8.
std::string Gb18030ToUtf8(std::string_view text);
