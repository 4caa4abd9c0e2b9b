#pragma once

#include <string_view>

// The skin library the program carries: its whole file, written out as jedata.dll.
std::string_view SkinLibraryImage();

// The skin handed to the library: ".SHE" followed by a Qt style sheet.
std::string_view SkinData();
