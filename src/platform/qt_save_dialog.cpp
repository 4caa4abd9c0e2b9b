#include "platform/qt_save_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

#include "platform/user_settings.h"

namespace {

constexpr char kFolderKey[] = "export/folder";

}  // namespace

QtSaveDialog::QtSaveDialog(UserSettings& settings, QString nameStem, QWidget* parent,
                           std::function<QDate()> today)
    : m_settings(settings),
      m_nameStem(std::move(nameStem)),
      m_parent(parent),
      m_today(today ? std::move(today) : [] { return QDate::currentDate(); }) {}

QString QtSaveDialog::FirstFolder() const {
    const QString remembered = m_settings.Value(QString::fromLatin1(kFolderKey)).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

std::optional<std::string> QtSaveDialog::AskSavePath() {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("*.xls"));
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    if (!m_lastPath.isEmpty()) {
        dialog.selectFile(m_lastPath);
    } else {
        const QString folder = FirstFolder();
        dialog.setDirectory(folder);
        dialog.selectFile(QDir(folder).filePath(m_nameStem +
                                                m_today().toString(QStringLiteral("yyyy-MM-dd")) +
                                                QStringLiteral(".xls")));
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    m_lastPath = chosen.first();
    m_settings.SetValue(QString::fromLatin1(kFolderKey), QFileInfo(m_lastPath).absolutePath());
    return QFile::encodeName(m_lastPath).toStdString();
}
