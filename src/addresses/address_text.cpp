#include "addresses/address_text.h"

#include <cstring>
#include <string_view>
#include <unordered_set>

#include "common/file_io.h"

Text LoadAddressText(const AddressFile& file) {
    return ReadWholeFile(file.Path());
}

bool SaveAddressText(const AddressFile& file, std::string_view bytes) {
    return WriteWholeFile(file.Path(), bytes);
}

namespace {

// Where the line that starts at `begin` ends: at the next CR LF, or at `end`. Lines are cut
// at every CR LF byte pair, the way the edit box shows them; for valid GB18030 this is the
// address list's own split, since no trail byte is a CR.
const char* LineEnd(const char* begin, const char* end) {
    const char* from = begin;
    while (from < end) {
        const auto* lf =
            static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
        if (lf == nullptr) break;
        if (lf > begin && lf[-1] == '\r') return lf - 1;
        from = lf + 1;
    }
    return end;
}

}  // namespace

Text DedupeAddressLines(std::string_view text) {
    Text result;
    result.reserve(text.size() + 2);
    std::unordered_set<std::string_view> seen;
    // An address list has short lines; a rough count avoids most rehashing.
    seen.reserve(text.size() / 16 + 16);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* lineEnd = LineEnd(p, end);
        const std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
        // An empty line is kept only as the first line of the result: before anything else
        // was kept it is a first occurrence; after that, a blank gap in the list.
        const bool keep = line.empty() ? result.empty() : seen.insert(line).second;
        if (keep) {
            result.append(line);
            result.append("\r\n");
        }
        p = lineEnd == end ? end : lineEnd + 2;
    }
    return result;
}
