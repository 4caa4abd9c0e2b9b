#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// A byte string in code page 936 (GBK / GB18030): a byte with its high bit set begins a
// double-byte character. Lengths and positions are in bytes. The empty text also stands for
// "nothing". Narrow literals in this project are compiled to GB18030, so "×" is A1 C1.
using Text = std::string;

// The bytes of each part in order.
Text ConcatText(std::initializer_list<std::string_view> parts);

// Byte-wise unsigned comparison; a proper prefix is the smaller. Negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);

// 1-based byte position of the first occurrence of `sought` at or after `start`, or -1.
// The scan steps over whole characters, so a match never begins on a trail byte. An empty
// `sought` gives 1 when at least one byte lies in the scanned part.
int FindText(std::string_view text, std::string_view sought, int start = 1);

Text IntToText(std::int32_t value);

// Reads the decimal number at the start (full-width forms count as ASCII); 0 when none.
double TextToNumber(std::string_view text);

// The bytes before the first zero byte.
Text BytesToText(std::string_view bytes);

// Splits at every `separator`, never inside a double-byte character. Empty members between
// separators stay; a separator at the end adds none; an empty text gives no members.
std::vector<Text> SplitText(std::string_view text, std::string_view separator);
