// url.txt as it is read and de-duplicated: any bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "addresses/address_text.h"
#include "common/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SplitText(BytesToText(bytes), "\r\n");  // what ReadAddressList does with the file
    const Text once = DedupeAddressLines(bytes);
    if (DedupeAddressLines(once) != once) std::abort();  // a second press changes nothing
    return 0;
}
