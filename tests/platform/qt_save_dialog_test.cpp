#include "platform/qt_save_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/temp_dir.h"

namespace {

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

TEST(QtSaveDialogTest, BareNameGetsXlsAndIsOfferedNextTime) {
    TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    QtSaveDialog saveDialog;

    WhenDialogOpens([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("*.xls")});
        EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        dialog.setDirectory(folder);
        FileNameEdit(dialog).setText(QStringLiteral("book"));
        QTest::keyClick(&FileNameEdit(dialog), Qt::Key_Return);
    });
    EXPECT_EQ(saveDialog.AskSavePath(), dir.File("book.xls"));

    QStringList offered;
    WhenDialogOpens([&](QFileDialog& dialog) {
        offered = dialog.selectedFiles();
        dialog.reject();
    });
    EXPECT_EQ(saveDialog.AskSavePath(), std::nullopt);
    EXPECT_EQ(offered, QStringList{folder + QStringLiteral("/book.xls")});

    // A cancel leaves the remembered path as it was.
    WhenDialogOpens([&](QFileDialog& dialog) {
        offered = dialog.selectedFiles();
        dialog.reject();
    });
    saveDialog.AskSavePath();
    EXPECT_EQ(offered, QStringList{folder + QStringLiteral("/book.xls")});
}

}  // namespace
