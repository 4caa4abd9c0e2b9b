#include "platform/xlsx_text_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "common/file_io.h"

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

// A symbolic link stays a link: the file it points to is the one replaced.
std::string ResolvedTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// Creates a file beside `target` under a name no other file has. Opened with 0666, so the
// umask cuts the mode as for any new file, without reading the process-wide umask.
int CreateTemporary(const std::string& target, std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string tag;
        for (int i = 0; i < 6; ++i) tag += kLetters[pick(random)];
        name = TemporaryNameFor(target, tag);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

XlsxTextWriter::XlsxTextWriter(const std::string& path) : m_target(ResolvedTarget(path)) {
    // Leftovers of exports that were killed midway go when the next export writes here.
    const std::size_t slash = m_target.rfind('/');
    RemoveStaleTemporariesIn(slash == std::string::npos ? "." : m_target.substr(0, slash + 1));
    m_temporaryFd = CreateTemporary(m_target, m_temporary);
    if (m_temporaryFd >= 0) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        // libxlsxwriter opens the file by name only when it is closed, and truncates it then.
        m_workbook = workbook_new_opt(m_temporary.c_str(), &options);
    } else {
        m_temporary.clear();
    }
    if (m_workbook != nullptr) {
        m_sheet = workbook_add_worksheet(m_workbook, nullptr);
        m_textFormat = workbook_add_format(m_workbook);
        if (m_textFormat != nullptr) format_set_num_format(m_textFormat, "@");
    }
    m_failed = m_sheet == nullptr || m_textFormat == nullptr;
}

XlsxTextWriter::~XlsxTextWriter() {
    if (m_workbook != nullptr) workbook_close(m_workbook);
    DiscardTemporary();
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
    if (m_workbook == nullptr) {
        DiscardTemporary();
        return false;
    }
    const lxw_error error = workbook_close(m_workbook);
    m_workbook = nullptr;
    bool written = error == LXW_NO_ERROR && !m_failed;
    struct stat old {};
    if (written && ::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        written = ::fchmod(m_temporaryFd, old.st_mode & 07777) == 0;
    }
    // On disk before it takes the old file's place, so a crash leaves one of the two whole.
    written = written && ::fsync(m_temporaryFd) == 0;
    const bool closed = ::close(m_temporaryFd) == 0;
    m_temporaryFd = -1;
    if (!written || !closed || std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        DiscardTemporary();
        return false;
    }
    m_temporary.clear();
    return true;
}

void XlsxTextWriter::DiscardTemporary() {
    if (m_temporaryFd >= 0) ::close(m_temporaryFd);
    m_temporaryFd = -1;
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
    m_temporary.clear();
}
