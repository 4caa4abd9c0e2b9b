#include "app/home_page.h"

#include <filesystem>
#include <system_error>

#include "app/file_layout.h"

namespace {

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '-' || c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string AboutPageFile(const std::string& programDirectory) {
    for (const std::string& candidate : {InstalledDataDirectory(programDirectory) + "/about.html",
                                         programDirectory + "/about.html"}) {
        if (IsRegularFile(candidate)) return candidate;
    }
    return {};
}

Text FileUrl(const std::string& path) {
    constexpr char kHex[] = "0123456789ABCDEF";
    Text url = "file://";
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (IsUnreserved(c)) {
            url += byte;
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0xF];
        }
    }
    return url;
}

HomePage ChooseHomePage(std::string_view setting, const std::string& programDirectory) {
    if (!setting.empty()) return {Text(setting), Text(setting)};
    const std::string about = AboutPageFile(programDirectory);
    // A build always carries the page; should it be gone, the place it belongs is opened.
    return {FileUrl(about.empty() ? programDirectory + "/about.html" : about), "关于Zarkel"};
}
