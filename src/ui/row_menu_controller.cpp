#include "ui/row_menu_controller.h"

#include <QAction>
#include <QMenu>

#include "platform/qt_text.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

RowMenuController::RowMenuController(MainWindow& window, const RowMenuServices& services)
    : QObject(&window), m_window(window), m_services(services), m_menu(new QMenu(&window)) {
    m_menu->setObjectName(QStringLiteral("RowMenu"));
    for (const RowMenuItem item : kRowMenuItems) {
        QAction* action = m_menu->addAction(ToQString(RowMenuCaption(item, m_services.homePage)));
        connect(action, &QAction::triggered, this, [this, item] { Choose(item); });
    }
    connect(window.ResultTable(), &ResultList::rowMenuRequested, m_menu,
            [this](QPoint globalPos) { m_menu->exec(globalPos); });
}

void RowMenuController::Choose(RowMenuItem item) {
    const Text address = RowAddress(m_window.Results(), m_window.ResultTable()->SelectedRow());
    RunRowMenuItem(item, address, m_services);
}
