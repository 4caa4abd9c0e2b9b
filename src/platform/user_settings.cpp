#include "platform/user_settings.h"

#include <QStandardPaths>

QString UserSettings::DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zarkel/zarkel.conf");
}

UserSettings::UserSettings(const QString& path) : m_settings(path, QSettings::IniFormat) {}

QVariant UserSettings::Value(const QString& key, const QVariant& fallback) const {
    return m_settings.value(key, fallback);
}

void UserSettings::SetValue(const QString& key, const QVariant& value) {
    m_settings.setValue(key, value);
    m_settings.sync();
}
