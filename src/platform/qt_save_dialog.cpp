#include "platform/qt_save_dialog.h"

#include <QFile>
#include <QFileDialog>

std::optional<std::string> QtSaveDialog::AskSavePath() {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("*.xls"));
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    if (!m_lastPath.isEmpty()) dialog.selectFile(m_lastPath);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    m_lastPath = chosen.first();
    return QFile::encodeName(m_lastPath).toStdString();
}
