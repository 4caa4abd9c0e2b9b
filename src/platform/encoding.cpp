#include "platform/encoding.h"

#include "platform/iconv_converter.h"

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
    thread_local IconvConverter converter("GB18030", "UTF-8");
    std::string out;
    std::size_t consumed = 0;
    if (converter.Convert(utf8.data(), utf8.size(), out, consumed) != IconvConverter::Stop::kDone) {
        return std::nullopt;
    }
    return out;
}

std::string Gb18030ToUtf8(std::string_view text) {
    thread_local IconvConverter converter("UTF-8", "GB18030");
    std::string out;
    while (!text.empty()) {
        std::size_t consumed = 0;
        if (converter.Convert(text.data(), text.size(), out, consumed) ==
            IconvConverter::Stop::kDone) {
            break;
        }
        out.append("\xEF\xBF\xBD", 3);
        text.remove_prefix(consumed + 1);
    }
    return out;
}
