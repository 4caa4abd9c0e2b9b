// A fetched page: its Content-Type, then the body; the charset, the title and the links.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "service/html_text.h"
#include "service/out_links.h"
#include "service/page_charset.h"
#include "service/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string contentType = input.ConsumeRandomLengthString(64);
    const std::string body = input.ConsumeRemainingBytesAsString();
    const std::string page = PageToUtf8(body, contentType);
    if (!IsValidUtf8(page)) std::abort();
    if (const auto title = FirstTitle(page); title && !IsValidUtf8(*title)) std::abort();
    if (CountOutboundLinks(page, {"example.com"}) < 0) std::abort();
    StripTags(page);
    // The readers take any bytes, not only what PageToUtf8 gives.
    FirstTitle(body);
    LinkTargets(body);
    return 0;
}
