#include "ui/source_settings_controller.h"

#include <QFileDialog>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

#include "common/message_box.h"
#include "platform/qt_text.h"
#include "ui/main_window.h"

SourceSettingsController::SourceSettingsController(MainWindow& window, const SettingsStore& store,
                                                   MessageBoxRoutine& box, Applied applied,
                                                   SourceSettingsDialog::Environment environment,
                                                   SourceSettingsDialog::FileChooser chooseFile)
    : QObject(&window),
      m_window(window),
      m_store(store),
      m_box(box),
      m_applied(std::move(applied)),
      m_environment(std::move(environment)),
      m_chooseFile(std::move(chooseFile)) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), &window);
    connect(shortcut, &QShortcut::activated, this, &SourceSettingsController::Open);
    connect(window.AdPane(), &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url == QUrl(QString::fromLatin1(kSettingsLink))) Open();
    });
}

void SourceSettingsController::Open() {
    if (m_open) return;
    m_open = true;
    SourceSettingsDialog dialog(m_store.Load(), m_environment, m_chooseFile, &m_window);
    if (dialog.exec() == QDialog::Accepted) {
        if (!m_store.Save(dialog.Values())) {
            m_box.Show("数据源设置无法保存到 " + m_store.ConfigPath(), MessageBoxRoutine::kOk,
                       "错误");
        }
        m_applied(m_store.Load());
    }
    m_open = false;
}

QString ChooseRankListFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, ToQString("选择排名列表"), QString(),
                                        ToQString("排名列表 (*.csv *.txt *.zip);;所有文件 (*)"));
}
