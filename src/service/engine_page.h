#pragma once

#include <string_view>

// What a search engine's "site:" result page says.
struct EngineReading {
    enum class Kind { kCount, kBlocked, kUnknown };
    Kind kind = Kind::kUnknown;
    long long count = 0;
};

// Reads the result count from the page's count phrase (commas, 万 and 亿 understood); a
// verification or captcha page, or a refusal status, is kBlocked and never a count. A page
// that says nothing was found counts 0.
EngineReading ReadEnginePage(std::string_view pageUtf8, std::string_view finalUrl, long status);
