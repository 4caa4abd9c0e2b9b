#pragma once

#include <string>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A workbook of one sheet whose cells all hold text: every written cell gets the number
// format "@", so a spreadsheet keeps "007", "2024-01-01" or "=1+1" as typed. Written in
// constant-memory mode, so rows must come in ascending order. The workbook goes to a
// temporary file beside the target, which Close() renames over it once the whole file is
// written: a failed write leaves an existing file as it was.
class XlsxTextWriter final {
  public:
    // The most characters a cell can hold; longer texts are cut there.
    static constexpr std::size_t kMaxCellCharacters = 32767;

    explicit XlsxTextWriter(const std::string& path);
    ~XlsxTextWriter();  // without a successful Close() the target is left untouched
    XlsxTextWriter(const XlsxTextWriter&) = delete;
    XlsxTextWriter& operator=(const XlsxTextWriter&) = delete;

    // `utf8` must be valid UTF-8; the empty text leaves a blank text-formatted cell. Row and
    // column count from 0.
    void WriteText(int row, int column, const std::string& utf8);

    // Writes the file and puts it in place of the target, keeping the permission bits of a
    // file it replaces. True only when every cell was taken and the file was written whole.
    bool Close();

  private:
    void DiscardTemporary();

    std::string m_target;
    std::string m_temporary;
    int m_temporaryFd = -1;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_textFormat = nullptr;
    bool m_failed = false;
};
