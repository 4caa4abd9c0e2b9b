#include "common/text.h"

#include <gtest/gtest.h>

namespace {

using Members = std::vector<Text>;

struct SplitCase {
    const char* name;
    Text text;
    Text separator;
    Members members;
};

TEST(SplitText, Cases) {
    const SplitCase cases[] = {
        {"two lines", "a\r\nb", "\r\n", {"a", "b"}},
        {"two lines and a final break", "a\r\nb\r\n", "\r\n", {"a", "b"}},
        {"empty line between", "a\r\n\r\nb", "\r\n", {"a", "", "b"}},
        {"two breaks at the end", "a\r\n\r\n", "\r\n", {"a", ""}},
        {"only a break", "\r\n", "\r\n", {""}},
        {"empty text", "", "\r\n", {}},
        {"lone LF is no separator", "a\nb", "\r\n", {"a\nb"}},
        {"lone CR is no separator", "a\rb", "\r\n", {"a\rb"}},
        {"empty separator", "abc", "", {"abc"}},
        {"lead byte swallows the CR", "a\xB0\r\nb", "\r\n", {"a\xB0\r\nb"}},
        {"double-byte separator found only on a character start",
         "\xB0\xA1\xA1\xA1x",
         "\xA1\xA1",
         {"\xB0\xA1", "x"}},
        {"blank separator", "3  5", " ", {"3", "", "5"}},
        {"leading blank", " 3", " ", {"", "3"}},
        {"trailing blank", "3 ", " ", {"3"}},
        {"UTF-8 BOM stays",
         "\xEF\xBB\xBF"
         "a\r\nb",
         "\r\n",
         {"\xEF\xBB\xBF"
          "a",
          "b"}},
        {"lead byte at the very end", "a\r\n\xB0", "\r\n", {"a", "\xB0"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separator), c.members) << c.name;
    }
}

struct FindCase {
    Text text;
    Text sought;
    int start;
    int position;
};

TEST(FindText, Cases) {
    const FindCase cases[] = {
        {"abc", "c", 1, 3},          {"abc", "d", 1, -1},
        {"abc", "", 1, 1},           {"", "", 1, -1},
        {"×1", "1", 1, 3},                                // steps over A1 C1 as one character
        {"\xA1\xC1", "\xC1", 1, -1},                      // a trail byte never starts a match
        {"Abc", "a", 1, -1},                              // case matters
        {"abcabc", "abc", 2, 4},     {"abc", "a", 0, 1},  // a start below 1 counts as 1
        {"abc", "", 4, -1},                               // nothing left to scan
        {"ab\xB0", "x", 1, -1},                           // lead byte at the end ends the scan
        {"abc", "abcd", 1, -1},      {"www.example.com\r\n", "example.com\r\n", 1, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.text, c.sought, c.start), c.position)
            << "'" << c.text << "' / '" << c.sought << "' from " << c.start;
    }
}

TEST(CompareText, UnsignedBytesAndPrefixes) {
    EXPECT_EQ(CompareText("-1", "-1"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("abc", "ab"), 0);
    EXPECT_GT(CompareText("\xB0", "a"), 0);  // 0xB0 is above 'a' as an unsigned byte
    EXPECT_EQ(CompareText("", ""), 0);
}

TEST(IntAndNumberText, Cases) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(IntToText(2147483647), "2147483647");
    EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");

    const std::pair<Text, double> numbers[] = {
        {"12", 12},
        {"", 0},
        {"１２", 12},
        {"  7x", 7},
        {"-3.5", -3.5},
        {"abc", 0},
        {"1e3", 1000},
        {"inf", 0},
        {"nan", 0},
        {"0x10", 0},
        {"\xA1\xA1"
         "5",
         5},
        {"+4", 4},
        {".5", 0.5},
        {"×", 0},
    };
    for (const auto& [text, value] : numbers) EXPECT_DOUBLE_EQ(TextToNumber(text), value) << text;
}

TEST(BytesAndConcat, Cases) {
    EXPECT_EQ(BytesToText(std::string("a\0b", 3)), "a");
    EXPECT_EQ(BytesToText("abc"), "abc");
    EXPECT_EQ(BytesToText(std::string("\xFF\xFE"
                                      "a\0b\0",
                                      6)),
              "\xFF\xFE"
              "a");  // UTF-16
    EXPECT_EQ(ConcatText({"a", "", "bc"}), "abc");
    EXPECT_EQ(ConcatText({}), "");
}

}  // namespace
