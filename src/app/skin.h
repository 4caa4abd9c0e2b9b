#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

// The window skin: where its library is loaded from and how it is applied. Every failure
// leaves the program unskinned, without a message.
class Skin final {
  public:
    // `systemDirectory` is where a shared copy of the library may lie ("/usr/lib").
    Skin(std::string programDirectory, std::string systemDirectory, std::string_view image,
         std::string_view data);

    // The carried library and skin, with /usr/lib as the system directory.
    explicit Skin(std::string programDirectory);

    // Writes the library the program carries to `path`; false when it could not be written.
    bool WriteLibrary(const std::string& path) const;

    // Chooses the library file: `path` without blanks at its ends; when that does not exist,
    // SkinH_EL.dll of the program directory, and over that SkinH_EL.dll of the system
    // directory, whichever exist.
    void SetSkinLibraryPath(std::string_view path);
    const Text& SkinLibraryPath() const { return m_path; }

    // Loads the chosen library, if it is the one the program carries, and hands it the skin.
    // True when the skin was handed over.
    bool ApplySkin(int hue, int saturation, int brightness) const;

  private:
    std::string m_programDirectory;
    std::string m_systemDirectory;
    std::string_view m_image;
    std::string_view m_data;
    Text m_path;
};

// The process's current directory; empty when it cannot be had (it was removed, say).
std::string WorkingDirectory();

// jedata.dll in `workingDirectory` (relative to the current directory when that is unknown).
std::string SkinLibraryFile(const std::string& workingDirectory);

// The first start-up steps: the carried library is written to jedata.dll in the working
// directory, whatever the outcome chosen as the skin library.
void PrepareSkin(Skin& skin, const std::string& workingDirectory);

// The same with the file given (the installed layout's); an empty path writes nothing and
// leaves the choice to the fallbacks.
void PrepareSkinAt(Skin& skin, const std::string& libraryFile);
