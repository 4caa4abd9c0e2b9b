#pragma once

#include <string>
#include <string_view>

// Narrow literals are GB18030 in this project: UTF-8 text is written as u8"..." and turned
// into std::string here.
inline std::string U8(std::u8string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

bool IsValidUtf8(std::string_view bytes);

// The bytes with every ill-formed part replaced by U+FFFD the way browsers decode UTF-8:
// surrogates, overlong forms, anything past U+10FFFF and the old 5- and 6-byte forms.
std::string ValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of a code point; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t code);

// Lower-cases ASCII letters only.
std::string AsciiLower(std::string_view text);
