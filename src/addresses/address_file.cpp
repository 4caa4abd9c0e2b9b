#include "addresses/address_file.h"

#include <filesystem>
#include <system_error>

#include "common/file_io.h"

std::string ProgramDirectory() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error).string();
    return self.parent_path().string();
}

AddressFile::AddressFile(std::string directory)
    : m_directory(std::move(directory)), m_path(m_directory + "/url.txt") {}

AddressFile AddressFile::AtPath(const std::string& path) {
    return AddressFile(std::filesystem::path(path).parent_path().string(), path);
}

bool AddressFile::Exists() const {
    std::error_code error;
    return std::filesystem::exists(m_path, error);
}

std::vector<Text> AddressFile::ReadAddressList() const {
    return SplitText(BytesToText(ReadWholeFile(m_path)), "\r\n");
}

Text AddressFile::CountText() const {
    return IntToText(static_cast<std::int32_t>(ReadAddressList().size()));
}
