#include "batch/batch_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Utf8(std::u8string_view text) {
    return {text.begin(), text.end()};
}

struct Case {
    std::vector<std::string> args;
    bool ok;
    std::vector<int> ticked;  // when ok
};

TEST(BatchArguments, ReadsFiguresByKindWordOrCaption) {
    const Case cases[] = {
        {{}, true, {1}},  // the window's initial tick
        {{"--figures", "ip,title"}, true, {4, 7}},
        {{"--figures", Utf8(u8"网站IP,网站标题,alexa")}, true, {4, 7, 8}},
        {{"--figures", "title,,ip,"}, true, {4, 7}},
        {{"--figures", "ip,nope"}, false, {}},
        {{"--figures", "IP"}, false, {}},  // kind words are exact
        {{"--figures", ","}, false, {}},
        {{"--figures"}, false, {}},
        {{"--out"}, false, {}},
        {{"--list", ""}, false, {}},
        {{"--bogus"}, false, {}},
        {{"r.xlsx"}, false, {}},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.args) shown += a + " ";
        SCOPED_TRACE(shown);
        const ParsedBatchArguments parsed = ParseBatchArguments(c.args);
        ASSERT_EQ(parsed.ok, c.ok) << parsed.error;
        if (!c.ok) {
            EXPECT_FALSE(parsed.error.empty());
            continue;
        }
        std::vector<int> ticked;
        for (int column = 1; column <= 12; ++column) {
            if (parsed.arguments.ticks[static_cast<std::size_t>(column)]) ticked.push_back(column);
        }
        EXPECT_EQ(ticked, c.ticked);
    }
}

TEST(BatchArguments, TakesPathsAndActions) {
    const auto parsed =
        ParseBatchArguments({"--list", "l.txt", "--out", "r.xlsx", "--csv", "r.csv", "--quiet"});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.arguments.listPath, "l.txt");
    EXPECT_EQ(parsed.arguments.workbookPath, "r.xlsx");
    EXPECT_EQ(parsed.arguments.csvPath, "r.csv");
    EXPECT_TRUE(parsed.arguments.quiet);
    EXPECT_EQ(ParseBatchArguments({"--bogus", "--help"}).ok, false);
    EXPECT_EQ(ParseBatchArguments({"--quiet", "--help"}).arguments.action,
              BatchArguments::Action::kHelp);
    EXPECT_EQ(ParseBatchArguments({"--version"}).arguments.action,
              BatchArguments::Action::kVersion);
}

}  // namespace
