#include "platform/qt_save_dialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/qt_translations.h"
#include "platform/user_settings.h"
#include "support/temp_dir.h"

namespace {

// The user's config folder for the whole program: the dialog's own state, the documents folder it
// names and our settings stay here, never in the real one.
struct ConfigHome {
    ConfigHome() {
        setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
        std::filesystem::create_directories(documents());
        std::ofstream(dir.File("user-dirs.dirs"))
            << "XDG_DOCUMENTS_DIR=\"" << documents() << "\"\n";
    }
    std::string documents() const { return dir.File("documents"); }

    TempDir dir;
};
const ConfigHome kConfigHome;

QString Q(const std::string& path) {
    return QString::fromStdString(path);
}

// Runs `act` on the file dialog once it is open, as the user would.
void WhenDialogOpens(const std::function<void(QFileDialog&)>& act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start(10);
}

QLineEdit& FileNameEdit(QFileDialog& dialog) {
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(edit, nullptr);
    return *edit;
}

// What the dialog offers when it opens, then a cancel.
QStringList Offered(QtSaveDialog& saveDialog) {
    QStringList offered;
    WhenDialogOpens([&](QFileDialog& dialog) {
        offered = dialog.selectedFiles();
        dialog.reject();
    });
    EXPECT_EQ(saveDialog.AskSavePath(), std::nullopt);
    return offered;
}

QDate Today() {
    return {2026, 12, 11};
}

const QString kProposed = QStringView(u"/查询结果_2026-12-11.xls").toString();
const QString kStem = QStringView(u"查询结果_").toString();

TEST(QtSaveDialogTest, ProposesADatedNameInDocumentsThenRemembersTheFolder) {
    TempDir dir;
    TempDir chosenFolder;
    const QString settingsFile = Q(dir.File("zarkel.conf"));
    UserSettings settings(settingsFile);
    QtSaveDialog saveDialog(settings, kStem, nullptr, Today);

    // The first time: the documents folder, today's name.
    EXPECT_EQ(Offered(saveDialog), QStringList{Q(kConfigHome.documents()) + kProposed});

    WhenDialogOpens([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("*.xls")});
        EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        dialog.setDirectory(Q(chosenFolder.path()));
        FileNameEdit(dialog).setText(QStringLiteral("book"));
        QTest::keyClick(&FileNameEdit(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(saveDialog.AskSavePath(), chosenFolder.File("book.xls"));

    // In the same run the path chosen last comes back, also after a cancel.
    const QStringList chosen{Q(chosenFolder.File("book.xls"))};
    EXPECT_EQ(Offered(saveDialog), chosen);
    EXPECT_EQ(Offered(saveDialog), chosen);

    // The next run starts in the folder chosen last, with today's name.
    UserSettings nextRunSettings(settingsFile);
    QtSaveDialog nextRun(nextRunSettings, kStem, nullptr, Today);
    EXPECT_EQ(Offered(nextRun), QStringList{Q(chosenFolder.path()) + kProposed});

    // A remembered folder that has gone: the documents folder again.
    std::filesystem::remove_all(chosenFolder.path());
    QtSaveDialog afterRemoval(nextRunSettings, kStem, nullptr, Today);
    EXPECT_EQ(Offered(afterRemoval), QStringList{Q(kConfigHome.documents()) + kProposed});
}

// With Qt's translations the dialog's own buttons speak Chinese.
TEST(QtSaveDialogTest, ButtonsAreChineseWithQtsTranslations) {
    ASSERT_TRUE(InstallQtTranslations(*qApp));
    TempDir dir;
    UserSettings settings(Q(dir.File("zarkel.conf")));
    QtSaveDialog saveDialog(settings, kStem, nullptr, Today);
    QStringList captions;
    WhenDialogOpens([&](QFileDialog& dialog) {
        for (const QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>()) {
            for (const QAbstractButton* button : box->buttons()) captions.append(button->text());
        }
        dialog.reject();
    });
    saveDialog.AskSavePath();
    captions.sort();
    EXPECT_EQ(captions.join(QLatin1Char('|')), QStringView(u"保存(&S)|取消").toString());
}

}  // namespace
