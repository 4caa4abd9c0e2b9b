#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>

// One iconv descriptor per thread and direction, opened on first use and reset per call.
class IconvConverter final {
  public:
    IconvConverter(const char* to, const char* from);
    ~IconvConverter();
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    enum class Stop { kDone, kInvalid, kIncomplete };

    // Converts as much of [in, in + size) as it can, appending to `out`. `consumed` tells how
    // many input bytes were used; on kInvalid / kIncomplete the next byte could not be read.
    Stop Convert(const char* in, std::size_t size, std::string& out, std::size_t& consumed);

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  private:
    iconv_t m_cd;
};
