#pragma once

#include <string>
#include <string_view>

#include "common/web_pages.h"

// The about page the program carries: share/zarkel/about.html of an install tree, else
// about.html beside the binary (the build tree and an unpacked folder). Empty when neither
// exists.
std::string AboutPageFile(const std::string& programDirectory);

// `path` as a file:// URL; every byte but letters, digits and "/-._~" percent-encoded, so the
// URL is plain ASCII whatever the path's encoding.
Text FileUrl(const std::string& path);

// `setting` is the build's home page: a web address, used as it is, or empty for the about
// page (opened as a file:// URL, captioned "关于Zarkel").
HomePage ChooseHomePage(std::string_view setting, const std::string& programDirectory);
