#include "platform/user_config.h"

#include <sys/stat.h>

#include <QSettings>
#include <QString>
#include <cstdlib>
#include <filesystem>

namespace {

const QString kGroup = QStringLiteral("service");

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::string UserConfigPath(const std::function<const char*(const char*)>& lookup) {
    if (const char* config = lookup("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
        return std::string(config) + "/zarkel/zarkel.conf";
    }
    if (const char* home = lookup("HOME"); home != nullptr && *home == '/') {
        return std::string(home) + "/.config/zarkel/zarkel.conf";
    }
    return {};
}

std::string UserConfigPath() {
    return UserConfigPath([](const char* name) { return std::getenv(name); });
}

ConfigValues ReadUserConfig(const std::string& path) {
    ConfigValues values;
    if (path.empty() || !std::filesystem::exists(path)) return values;
    QSettings file(FromUtf8(path), QSettings::IniFormat);
    file.beginGroup(kGroup);
    for (const QString& key : file.childKeys()) {
        values[key.toStdString()] = file.value(key).toString().toStdString();
    }
    return values;
}

bool WriteUserConfig(const std::string& path, const ConfigValues& values) {
    if (path.empty()) return false;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || chmod(folder.c_str(), 0700) != 0) return false;
    {
        QSettings file(FromUtf8(path), QSettings::IniFormat);
        file.beginGroup(kGroup);
        file.remove(QString());
        for (const auto& [name, value] : values) file.setValue(FromUtf8(name), FromUtf8(value));
        file.endGroup();
        file.sync();
        if (file.status() != QSettings::NoError) return false;
    }
    return chmod(path.c_str(), 0600) == 0;
}
