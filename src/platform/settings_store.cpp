#include "platform/settings_store.h"

#include <algorithm>

SettingsStore::SettingsStore(std::string configPath, std::vector<std::string> secretNames)
    : m_configPath(std::move(configPath)),
      m_secretNames(std::move(secretNames)),
      m_keys(m_configPath) {}

bool SettingsStore::IsSecret(const std::string& name) const {
    return std::find(m_secretNames.begin(), m_secretNames.end(), name) != m_secretNames.end();
}

ConfigValues SettingsStore::Load() const {
    ConfigValues values = ReadUserConfig(m_configPath);
    for (const std::string& name : m_secretNames) {
        std::string key = m_keys.Read(name);
        if (key.empty()) {
            values.erase(name);
        } else {
            values[name] = std::move(key);
        }
    }
    return values;
}

bool SettingsStore::Save(const ConfigValues& values) const {
    bool stored = true;
    ConfigValues plain;
    for (const auto& [name, value] : values) {
        if (IsSecret(name)) {
            stored = m_keys.Write(name, value) != KeyStore::Place::kNowhere && stored;
        } else if (!value.empty()) {
            plain[name] = value;
        }
    }
    // Read again: keys that went to the file are in it now and stay.
    ConfigValues file = ReadUserConfig(m_configPath);
    for (const auto& [name, value] : values) {
        if (!IsSecret(name)) file.erase(name);
    }
    file.merge(plain);
    return WriteUserConfig(m_configPath, file) && stored;
}
