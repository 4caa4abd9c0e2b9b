#pragma once

#include <string>
#include <string_view>

// Loads the skin library at `path` and hands it the skin through its SkinH_AttachRes, with
// no password. Only a file whose bytes are exactly `expectedImage` is loaded, so a stale or
// planted file is never run. False when the file differs, cannot be loaded or lacks the
// export; the library's own result is not looked at. A loaded library stays loaded.
bool AttachSkinLibrary(const std::string& path, std::string_view expectedImage,
                       std::string_view skin, int hue, int saturation, int brightness);
