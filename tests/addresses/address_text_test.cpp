#include "addresses/address_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace {

TEST(DedupeAddressLines, Cases) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"abc\r\nbc\r\nxy\r\nabc", "abc\r\nbc\r\nxy\r\n"},  // a tail of a kept line stays
        {"bc\r\nabc", "bc\r\nabc\r\n"},
        {"Abc\r\nabc", "Abc\r\nabc\r\n"},            // byte-exact, case matters
        {"abc \r\nabc\r\nabc ", "abc \r\nabc\r\n"},  // a trailing blank makes another line
        {"a\r\n\r\nb", "a\r\nb\r\n"},
        {"\r\na", "\r\na\r\n"},  // an empty first line stays, once
        {"\r\n\r\n", "\r\n"},
        {"a\r\n\r\nb\r\n\r\n", "a\r\nb\r\n"},
        {"b\r\na\r\nb\r\na\r\n", "b\r\na\r\n"},  // first occurrence wins, never sorted
        {"a\nb\r\na\nb\r\na", "a\nb\r\na\r\n"},  // a lone LF stays inside its line
        {"x\r\r\nx\r\r\nx", "x\r\r\nx\r\n"},
        {"\xD6\xD0\xCE\xC4\r\n\xD6\xD0\xCE\xC4\r\n\xFF", "\xD6\xD0\xCE\xC4\r\n\xFF\r\n"},
        // A stray lead byte takes the CR as its trail byte: that CR LF ends no line, as in the
        // count.
        {"\xB0\r\nq\r\n\xB0\r\nq", "\xB0\r\nq\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DedupeAddressLines(c.in), c.out) << "input: " << c.in;
        // A second pass over the result changes nothing.
        EXPECT_EQ(DedupeAddressLines(c.out), c.out) << "input: " << c.in;
    }
}

TEST(DedupeAddressLines, KeepsZeroBytesInsideLines) {
    const std::string in("a\0b\r\na\0b\r\na", 11);
    EXPECT_EQ(DedupeAddressLines(in), std::string("a\0b\r\na\r\n", 8));
}

TEST(AddressText, LoadAndSaveAreByteExact) {
    TempDir dir;
    const AddressFile file(dir.path());
    EXPECT_EQ(LoadAddressText(file), "");  // missing reads as empty

    const std::string bytes("a\r\nb\nc\r\xFF\x80\0tail\r\n", 16);
    ASSERT_TRUE(SaveAddressText(file, bytes));
    EXPECT_EQ(LoadAddressText(file), bytes);

    ASSERT_TRUE(SaveAddressText(file, ""));
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(std::filesystem::file_size(file.Path()), 0u);
    EXPECT_EQ(file.CountText(), "0");
}

TEST(AddressText, FailedSaveLeavesNothingBehind) {
    TempDir dir;
    std::ofstream(dir.File("plain")) << "x";
    const AddressFile underFile(dir.File("plain"));  // its "directory" is a regular file
    EXPECT_FALSE(SaveAddressText(underFile, "a\r\n"));

    std::filesystem::create_directory(dir.File("url.txt"));
    const AddressFile shadowed(dir.path());  // url.txt is a directory
    EXPECT_FALSE(SaveAddressText(shadowed, "a\r\n"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("url.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
