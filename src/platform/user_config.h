#pragma once

#include <functional>
#include <map>
#include <string>

// Settings by name, as the environment variables that would set them are named.
using ConfigValues = std::map<std::string, std::string, std::less<>>;

// The user's config file: $XDG_CONFIG_HOME/zarkel/zarkel.conf, else ~/.config/zarkel/...;
// empty when neither variable gives an absolute folder. `lookup` is getenv in the program.
std::string UserConfigPath(const std::function<const char*(const char*)>& lookup);
std::string UserConfigPath();

// The values of the file's [service] group; none when there is no file.
ConfigValues ReadUserConfig(const std::string& path);
// Replaces the [service] group with `values`. The folder is made private (0700) and the file
// is left readable by its owner only (0600): it may hold API keys. False when it failed.
bool WriteUserConfig(const std::string& path, const ConfigValues& values);
