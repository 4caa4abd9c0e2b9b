#include "platform/xlsx_text_writer.h"

#include <xlsxwriter.h>

namespace {

// The byte length of the first `characters` UTF-8 characters of `utf8`.
std::size_t PrefixBytes(const std::string& utf8, std::size_t characters) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80;
        if (!continuation && seen++ == characters) return i;
    }
    return utf8.size();
}

}  // namespace

XlsxTextWriter::XlsxTextWriter(const std::string& path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    m_workbook = workbook_new_opt(path.c_str(), &options);
    if (m_workbook != nullptr) {
        m_sheet = workbook_add_worksheet(m_workbook, nullptr);
        m_textFormat = workbook_add_format(m_workbook);
        if (m_textFormat != nullptr) format_set_num_format(m_textFormat, "@");
    }
    m_failed = m_sheet == nullptr || m_textFormat == nullptr;
}

XlsxTextWriter::~XlsxTextWriter() {
    if (m_workbook != nullptr) workbook_close(m_workbook);
}

void XlsxTextWriter::WriteText(int row, int column, const std::string& utf8) {
    if (m_failed) return;
    const auto rowNumber = static_cast<lxw_row_t>(row);
    const auto columnNumber = static_cast<lxw_col_t>(column);
    lxw_error error = LXW_NO_ERROR;
    // Only a text of more bytes than the limit can hold more characters than it.
    if (utf8.size() > kMaxCellCharacters && PrefixBytes(utf8, kMaxCellCharacters) < utf8.size()) {
        const std::string cut = utf8.substr(0, PrefixBytes(utf8, kMaxCellCharacters));
        error = worksheet_write_string(m_sheet, rowNumber, columnNumber, cut.c_str(), m_textFormat);
    } else {
        error =
            worksheet_write_string(m_sheet, rowNumber, columnNumber, utf8.c_str(), m_textFormat);
    }
    if (error != LXW_NO_ERROR) m_failed = true;
}

bool XlsxTextWriter::Close() {
    if (m_workbook == nullptr) return false;
    const lxw_error error = workbook_close(m_workbook);
    m_workbook = nullptr;
    return error == LXW_NO_ERROR && !m_failed;
}
