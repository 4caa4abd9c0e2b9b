#pragma once

#include <string>
#include <string_view>

// The iconv name of the charset a page is written in: a byte-order mark first, then the
// Content-Type header, then a <meta> tag; without any, UTF-8 when the bytes are valid UTF-8,
// else GB18030 (what Chinese pages without a declaration mostly are).
std::string PageCharset(std::string_view body, std::string_view contentType);

// The page as UTF-8; bytes that are not in its charset become U+FFFD.
std::string PageToUtf8(std::string_view body, std::string_view contentType);
