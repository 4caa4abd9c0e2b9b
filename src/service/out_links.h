#pragma once

#include <string>
#include <string_view>
#include <vector>

// The number of distinct link targets on a page whose host is not one of the site's own
// (a leading "www." ignored on both sides). Relative links stay on the site; targets that
// differ only in scheme or fragment count once.
long CountOutboundLinks(std::string_view htmlUtf8, const std::vector<std::string>& ownHosts);

// The host of an absolute or scheme-relative URL, lower case without port; empty otherwise.
std::string UrlHost(std::string_view url);
