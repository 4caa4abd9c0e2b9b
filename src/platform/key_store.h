#pragma once

#include <string>

// API keys: in the desktop's keyring through QtKeychain (service "zarkel"), and where no
// keyring answers, in the user's config file (mode 0600) under the same name. Blocks until
// the keyring has answered; needs a running QCoreApplication.
class KeyStore final {
  public:
    explicit KeyStore(std::string configPath) : m_configPath(std::move(configPath)) {}

    // The key, from the keyring when it holds one, else from the file; empty when neither.
    std::string Read(const std::string& name) const;

    enum class Place { kKeyring, kFile, kNowhere };
    // Stores the key (an empty one removes it) in the keyring, and then removes any copy in
    // the file; in the file when the keyring does not answer.
    Place Write(const std::string& name, const std::string& value) const;

  private:
    std::string m_configPath;
};
