#include "platform/user_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QFileInfo>

#include "support/temp_dir.h"

namespace {

// The file lies in the XDG config folder the environment names; a value set is in the file at
// once, so another instance (a later run) reads it.
TEST(UserSettings, LiveInTheXdgConfigFolderAndPersist) {
    TempDir config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    const QString expected = QString::fromStdString(config.File("zarkel/zarkel.conf"));
    EXPECT_EQ(UserSettings::DefaultPath(), expected);
    {
        UserSettings settings;
        EXPECT_EQ(settings.Value(QStringLiteral("a/b"), 7).toInt(), 7);
        settings.SetValue(QStringLiteral("a/b"), 3);
        EXPECT_TRUE(QFileInfo::exists(expected));
    }
    UserSettings again;
    EXPECT_EQ(again.Value(QStringLiteral("a/b")).toInt(), 3);
}

}  // namespace
