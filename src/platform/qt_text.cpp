#include "platform/qt_text.h"

#include "platform/iconv_converter.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsEscapedByte(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}
bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

QString ToQString(const Text& text) {
    thread_local IconvConverter converter("UTF-16LE", "GB18030");
    QString result;
    std::string utf16;
    std::string_view rest = text;
    while (!rest.empty()) {
        utf16.clear();
        std::size_t consumed = 0;
        const auto stop = converter.Convert(rest.data(), rest.size(), utf16, consumed);
        result.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(utf16.data()),
                                         static_cast<qsizetype>(utf16.size() / 2)));
        if (stop == IconvConverter::Stop::kDone) break;
        const auto bad = static_cast<unsigned char>(rest[consumed]);
        result.append(QChar(static_cast<char16_t>(kEscapeBase + bad)));
        rest.remove_prefix(consumed + 1);
    }
    return result;
}

Text FromQString(const QString& text) {
    thread_local IconvConverter converter("GB18030", "UTF-16LE");
    Text result;
    const char16_t* data = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype j = i;
        while (j < size && !IsEscapedByte(data[j])) {
            const bool pair =
                IsHighSurrogate(data[j]) && j + 1 < size && IsLowSurrogate(data[j + 1]);
            j += pair ? 2 : 1;
        }
        const char* run = reinterpret_cast<const char*>(data + i);
        std::size_t runSize = static_cast<std::size_t>(j - i) * 2;
        while (runSize > 0) {
            std::size_t consumed = 0;
            if (converter.Convert(run, runSize, result, consumed) == IconvConverter::Stop::kDone) {
                break;
            }
            // A lone surrogate that is no escaped byte cannot be written; it becomes "?".
            result.push_back('?');
            const std::size_t skip = consumed + 2 <= runSize ? consumed + 2 : runSize;
            run += skip;
            runSize -= skip;
        }
        for (; j < size && IsEscapedByte(data[j]); ++j) {
            result.push_back(static_cast<char>(data[j] - kEscapeBase));
        }
        i = j;
    }
    return result;
}
