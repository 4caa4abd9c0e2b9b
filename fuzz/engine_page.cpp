// A search engine's result page (UTF-8 after conversion), its final URL and status.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "service/engine_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const long status = input.ConsumeIntegralInRange<long>(100, 599);
    const std::string url = input.ConsumeRandomLengthString(64);
    const std::string page = input.ConsumeRemainingBytesAsString();
    const EngineReading reading = ReadEnginePage(page, url, status);
    if (reading.kind == EngineReading::Kind::kCount && reading.count < 0) std::abort();
    return 0;
}
