#include "platform/encoding.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/qt_text.h"

namespace {

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(Utf8ToGb18030, ConvertsValidTextAndRefusesAnythingElse) {
    struct Case {
        std::string utf8;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {"", std::string()},
        {"-1", std::string("-1")},
        {Utf8(u8"网站标题 ×"), std::string("网站标题 ×")},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {Utf8(u8"\U0001F600"), std::string("\x94\x39\xFC\x36")},
        {"\xCD\xF8\xD5\xBE", std::nullopt},                     // GBK bytes
        {"ok\xE7\xBD", std::nullopt},                           // cut in the middle of a character
        {"\xC0\xAF", std::nullopt},                             // overlong "/"
        {"\xED\xA0\x80", std::nullopt},                         // a surrogate
        {"\xEF\xBB\xBF-1", std::string("\x84\x31\x95\x33-1")},  // a byte-order mark is text too
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToGb18030(c.utf8), c.text) << c.utf8;
    }
}

TEST(Gb18030ToUtf8, ReplacesWhatIsNotGb18030) {
    EXPECT_EQ(Gb18030ToUtf8("网站 ×"), Utf8(u8"网站 ×"));
    EXPECT_EQ(Gb18030ToUtf8("a\x80"
                            "b\xFF"),
              Utf8(u8"a\uFFFDb\uFFFD"));
    EXPECT_EQ(Gb18030ToUtf8("a\xB0"), Utf8(u8"a\uFFFD"));  // lead byte at the end
    EXPECT_EQ(Gb18030ToUtf8(""), "");
}

TEST(QtText, ShowsCharactersAndGivesBackEveryByte) {
    struct Case {
        Text text;
        QString shown;
    };
    const Case cases[] = {
        {"", QString()},
        {"a\r\nb", QStringLiteral("a\r\nb")},
        {"a\rb\n", QStringLiteral("a\rb\n")},
        {"网站标题", QStringView(u"网站标题").toString()},
        {"\x94\x39\xFC\x36", QStringView(u"\U0001F600").toString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToQString(c.text), c.shown);
        EXPECT_EQ(FromQString(ToQString(c.text)), c.text);
    }
}

TEST(QtText, UndecodableBytesRoundTrip) {
    const Text samples[] = {
        "\x80",
        "\xFF",
        "a\xB0",
        "a\xB0\r\nb",
        "\xB0\r",
        "\x81\x30\x81",
        "\xFE\x39\xFE\x39",
        "\xDC\x80",
        std::string("x\0y", 3),
    };
    for (const auto& text : samples) {
        EXPECT_EQ(FromQString(ToQString(text)), text) << text;
    }
    std::mt19937 random(936);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 12);
    for (int i = 0; i < 20000; ++i) {
        Text text;
        for (int n = length(random); n > 0; --n) text += static_cast<char>(byte(random));
        ASSERT_EQ(FromQString(ToQString(text)), text) << i;
    }
}

TEST(QtText, TypedCharactersBecomeGb18030) {
    EXPECT_EQ(FromQString(QStringView(u"百度 ×\U0001F600").toString()), "百度 ×\x94\x39\xFC\x36");
    // A lone surrogate typed into a widget cannot be written; it becomes "?".
    EXPECT_EQ(FromQString(QString(QChar(0xD800)) + QLatin1Char('a')), "?a");
}

}  // namespace
