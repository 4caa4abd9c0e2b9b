#pragma once

#include <string>
#include <vector>

#include "platform/key_store.h"
#include "platform/user_config.h"

// The settings the user keeps for the lookup service: the secret ones (API keys) through the
// keyring (KeyStore), the others in the config file.
class SettingsStore final {
  public:
    SettingsStore(std::string configPath, std::vector<std::string> secretNames);

    const std::string& ConfigPath() const { return m_configPath; }
    // Every stored value, keys included.
    ConfigValues Load() const;
    // Stores `values`; a name given with an empty value is removed. False when anything
    // could not be stored.
    bool Save(const ConfigValues& values) const;

  private:
    bool IsSecret(const std::string& name) const;

    std::string m_configPath;
    std::vector<std::string> m_secretNames;
    KeyStore m_keys;
};
