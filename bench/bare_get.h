#pragma once

#include <string>

// The plainest libcurl GET of a URL: the yardstick the lookup benchmarks compare against.
std::string BareGet(const std::string& url);
