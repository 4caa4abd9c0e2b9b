// The code page 936 text primitives on arbitrary bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "common/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string sought = input.ConsumeRandomLengthString(16);
    const int start = input.ConsumeIntegral<int>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    const int at = FindText(text, sought, start);
    if (at != -1 && (at < 1 || static_cast<std::size_t>(at) > text.size() + 1)) std::abort();
    std::size_t total = 0;
    const auto parts = SplitText(text, sought);
    for (const Text& part : parts) total += part.size();
    if (total > text.size()) std::abort();
    if (!sought.empty() && SplitText(text, "\r\n").size() > text.size() + 1) std::abort();
    TextToNumber(text);
    if (BytesToText(text).size() > text.size()) std::abort();
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    if (sign(CompareText(text, sought)) != -sign(CompareText(sought, text))) std::abort();
    return 0;
}
