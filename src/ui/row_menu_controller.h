#pragma once

#include <QObject>
#include <QPoint>

#include "results/row_menu.h"

class MainWindow;
class QMenu;

// The result list's pop-up menu ("RowMenu"), opened at the mouse by a right click in the
// rows area. Each item works on the row selected when it is chosen.
class RowMenuController final : public QObject {
    Q_OBJECT

  public:
    RowMenuController(MainWindow& window, const RowMenuServices& services);

  private:
    void Choose(RowMenuItem item);

    MainWindow& m_window;
    RowMenuServices m_services;
    QMenu* m_menu;
};
