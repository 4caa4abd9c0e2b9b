#include "platform/iconv_converter.h"

#include <cerrno>

IconvConverter::IconvConverter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}

IconvConverter::~IconvConverter() {
    if (ok()) iconv_close(m_cd);
}

IconvConverter::Stop IconvConverter::Convert(const char* in, std::size_t size, std::string& out,
                                             std::size_t& consumed) {
    consumed = 0;
    if (!ok()) return Stop::kInvalid;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    std::size_t left = size;
    const std::size_t start = out.size();
    out.resize(start + size * 2 + 16);
    char* dst = out.data() + start;
    std::size_t room = out.size() - start;
    Stop stop = Stop::kDone;
    while (left > 0) {
        if (iconv(m_cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            room = out.size() - used;
            continue;
        }
        stop = errno == EINVAL ? Stop::kIncomplete : Stop::kInvalid;
        break;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    consumed = size - left;
    return stop;
}
