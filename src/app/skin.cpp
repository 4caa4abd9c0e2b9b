#include "app/skin.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/embedded_skin.h"
#include "common/file_io.h"
#include "platform/skin_loader.h"

namespace {

constexpr const char* kSharedLibraryName = "SkinH_EL.dll";
constexpr const char* kSystemDirectory = "/usr/lib";

bool Exists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

// Drops ASCII blanks and the full-width blank (A1 A1) at both ends. The end is found by
// walking whole characters, so a trail byte A1 never counts as half a blank.
Text TrimBlanks(std::string_view text) {
    std::size_t first = 0;
    for (;;) {
        if (first < text.size() && text[first] == ' ') {
            ++first;
        } else if (text.substr(first, 2) == "\xA1\xA1") {
            first += 2;
        } else {
            break;
        }
    }
    std::size_t last = first;
    std::size_t p = first;
    while (p < text.size()) {
        const bool lead = (static_cast<unsigned char>(text[p]) & 0x80) != 0;
        const std::size_t width = lead && p + 1 < text.size() ? 2 : 1;
        const std::string_view character = text.substr(p, width);
        p += width;
        if (character != " " && character != "\xA1\xA1") last = p;
    }
    return Text(text.substr(first, last - first));
}

}  // namespace

Skin::Skin(std::string programDirectory, std::string systemDirectory, std::string_view image,
           std::string_view data)
    : m_programDirectory(std::move(programDirectory)),
      m_systemDirectory(std::move(systemDirectory)),
      m_image(image),
      m_data(data) {}

Skin::Skin(std::string programDirectory)
    : Skin(std::move(programDirectory), kSystemDirectory, SkinLibraryImage(), SkinData()) {}

bool Skin::WriteLibrary(const std::string& path) const {
    return WriteWholeFile(path, m_image);
}

void Skin::SetSkinLibraryPath(std::string_view path) {
    m_path = TrimBlanks(path);
    if (Exists(m_path)) return;
    const std::string inProgramDirectory = m_programDirectory + "/" + kSharedLibraryName;
    if (Exists(inProgramDirectory)) m_path = inProgramDirectory;
    std::string inSystemDirectory = m_systemDirectory;
    if (inSystemDirectory.empty() || inSystemDirectory.back() != '/') inSystemDirectory += '/';
    inSystemDirectory += kSharedLibraryName;
    if (Exists(inSystemDirectory)) m_path = inSystemDirectory;
}

bool Skin::ApplySkin(int hue, int saturation, int brightness) const {
    if (!Exists(m_path)) return false;
    return AttachSkinLibrary(m_path, m_image, m_data, hue, saturation, brightness);
}

std::string WorkingDirectory() {
    std::error_code error;
    std::string directory = std::filesystem::current_path(error).string();
    return error ? std::string() : directory;
}

std::string SkinLibraryFile(const std::string& workingDirectory) {
    if (workingDirectory.empty()) return "jedata.dll";
    return workingDirectory + "/jedata.dll";
}

void PrepareSkin(Skin& skin, const std::string& workingDirectory) {
    PrepareSkinAt(skin, SkinLibraryFile(workingDirectory));
}

void PrepareSkinAt(Skin& skin, const std::string& libraryFile) {
    // A failure is no reason to stop: the fallbacks apply.
    if (!libraryFile.empty()) skin.WriteLibrary(libraryFile);
    skin.SetSkinLibraryPath(libraryFile);
}
