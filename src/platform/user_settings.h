#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

// The user's own settings of the program: one file, zarkel/zarkel.conf in the user's XDG config
// folder ($XDG_CONFIG_HOME, else ~/.config). A value is written to the file when it is set.
class UserSettings final {
  public:
    // The file in the user's config folder as the environment names it now.
    static QString DefaultPath();

    explicit UserSettings(const QString& path = DefaultPath());

    QVariant Value(const QString& key, const QVariant& fallback = {}) const;
    void SetValue(const QString& key, const QVariant& value);

  private:
    mutable QSettings m_settings;
};
