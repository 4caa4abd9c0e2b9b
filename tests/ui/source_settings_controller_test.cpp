// "数据源设置": opened from Ctrl+, and the tips pane's link, storing its values (no keyring
// here: the keys go to the config file, mode 0600) and handing them on at once.
#include "ui/source_settings_controller.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cstdlib>
#include <map>

#include "support/fakes.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

namespace {

template <typename T>
T* Find(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

class SourceSettingsControllerTest : public ::testing::Test {
  protected:
    SourceSettingsControllerTest() {
        // No keyring answers: a bus address where nothing listens.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home.File("no-bus")).c_str(), 1);
        new SourceSettingsController(
            window, store, messages,
            [this](const ConfigValues& values) { applied.push_back(values); },
            [this](const char* name) -> const char* {
                const auto found = environment.find(name);
                return found == environment.end() ? nullptr : found->second.c_str();
            },
            [this](QWidget*) { return QString::fromStdString(home.File("picked.csv")); });
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Runs `inDialog` once the dialog is up; `open` opens it and returns when it is closed.
    void WithDialog(const std::function<void()>& open,
                    const std::function<void(QDialog&)>& inDialog) {
        // Polled: the keyring is asked (in an event loop of its own) before the dialog shows.
        bool ran = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || ran) return;
            EXPECT_EQ(dialog->objectName(), QStringLiteral("SourceSettingsDialog"));
            ran = true;
            inDialog(*dialog);
        });
        poll.start(10);
        open();
        poll.stop();
        EXPECT_TRUE(ran);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    void PressCtrlComma() {
        QApplication::setActiveWindow(&window);
        QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
    }

    static void Ok(QDialog& dialog) {
        Find<QDialogButtonBox>(dialog, "SettingsButtons")->button(QDialogButtonBox::Ok)->click();
    }

    TempDir home;
    std::string configPath = home.path() + "/config/zarkel/zarkel.conf";
    SettingsStore store{configPath, {kOprKeyName, kAizhanKeyName}};
    std::map<std::string, std::string, std::less<>> environment;
    std::vector<ConfigValues> applied;
    FakeMessageBox messages;
    MainWindow window;
};

TEST_F(SourceSettingsControllerTest, OkStoresPrivatelyAndAppliesAtOnce) {
    WithDialog([this] { PressCtrlComma(); },
               [](QDialog& dialog) {
                   Find<QLineEdit>(dialog, "AizhanKeyEdit")->setText(QStringLiteral(" ak-123 "));
                   Find<QLineEdit>(dialog, "OprKeyEdit")->setText(QStringLiteral("opr-9"));
                   Find<QPushButton>(dialog, "RankFileBrowse")->click();
                   Find<QSpinBox>(dialog, "EngineIntervalSpin")->setValue(1500);
                   Find<QSpinBox>(dialog, "EngineBackoffSpin")->setValue(60);
                   Ok(dialog);
               });
    const ConfigValues expected = {
        {kAizhanKeyName, "ak-123"},
        {kOprKeyName, "opr-9"},
        {kRankListName, home.File("picked.csv")},
        {kIntervalName, "1500"},
        {kBackoffName, "60"},
    };
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], expected);
    EXPECT_EQ(ReadUserConfig(configPath), expected);
    EXPECT_EQ(ModeOf(configPath), 0600u);
    EXPECT_EQ(ModeOf(home.path() + "/config/zarkel"), 0700u);
    EXPECT_TRUE(messages.shown.empty());

    // Opened again from the tips pane's link, it shows what is stored; a cleared key and the
    // automatic list remove their values.
    WithDialog(
        [this] { Q_EMIT window.AdPane()->anchorClicked(QUrl(QString::fromLatin1(kSettingsLink))); },
        [](QDialog& dialog) {
            EXPECT_EQ(Find<QLineEdit>(dialog, "OprKeyEdit")->text(), QStringLiteral("opr-9"));
            EXPECT_TRUE(Find<QRadioButton>(dialog, "RankFileRadio")->isChecked());
            EXPECT_EQ(Find<QSpinBox>(dialog, "EngineIntervalSpin")->value(), 1500);
            Find<QLineEdit>(dialog, "AizhanKeyEdit")->clear();
            Find<QRadioButton>(dialog, "RankAutomaticRadio")->setChecked(true);
            Ok(dialog);
        });
    const ConfigValues stored = ReadUserConfig(configPath);
    EXPECT_FALSE(stored.contains(kAizhanKeyName));
    EXPECT_FALSE(stored.contains(kRankListName));
    EXPECT_EQ(stored.at(kOprKeyName), "opr-9");
    ASSERT_EQ(applied.size(), 2u);
    EXPECT_EQ(applied[1], stored);
}

TEST_F(SourceSettingsControllerTest, EnvironmentOverridesAreShownAndNotStored) {
    ASSERT_TRUE(WriteUserConfig(configPath, {{kOprKeyName, "stored-key"}, {kIntervalName, "900"}}));
    environment = {{kOprKeyName, "env-key"}, {kIntervalName, "5000"}};
    WithDialog(
        [this] { PressCtrlComma(); },
        [](QDialog& dialog) {
            auto* key = Find<QLineEdit>(dialog, "OprKeyEdit");
            EXPECT_FALSE(key->isEnabled());
            EXPECT_EQ(key->text(), QStringLiteral("env-key"));
            EXPECT_FALSE(Find<QSpinBox>(dialog, "EngineIntervalSpin")->isEnabled());
            EXPECT_EQ(Find<QSpinBox>(dialog, "EngineIntervalSpin")->value(), 5000);
            auto* note = Find<QLabel>(dialog, "OverrideNote_ZARKEL_LOOKUP_OPR_KEY");
            EXPECT_FALSE(note->isHidden());
            EXPECT_TRUE(note->text().contains(QStringLiteral("ZARKEL_LOOKUP_OPR_KEY")));
            EXPECT_TRUE(Find<QLabel>(dialog, "OverrideNote_ZARKEL_LOOKUP_AIZHAN_KEY")->isHidden());
            EXPECT_TRUE(Find<QLineEdit>(dialog, "AizhanKeyEdit")->isEnabled());
            Ok(dialog);
        });
    const ConfigValues stored = ReadUserConfig(configPath);
    EXPECT_EQ(stored.at(kOprKeyName), "stored-key");
    EXPECT_EQ(stored.at(kIntervalName), "900");
}

TEST_F(SourceSettingsControllerTest, CancelStoresNothing) {
    WithDialog([this] { PressCtrlComma(); },
               [](QDialog& dialog) {
                   Find<QLineEdit>(dialog, "AizhanKeyEdit")->setText(QStringLiteral("typed"));
                   Find<QDialogButtonBox>(dialog, "SettingsButtons")
                       ->button(QDialogButtonBox::Cancel)
                       ->click();
               });
    EXPECT_TRUE(applied.empty());
    EXPECT_TRUE(ReadUserConfig(configPath).empty());
}

}  // namespace
