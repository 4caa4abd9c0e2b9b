#include "ui/row_copy_controller.h"

#include "common/clipboard.h"
#include "results/row_text.h"
#include "ui/main_window.h"
#include "ui/result_list.h"

RowCopyController::RowCopyController(MainWindow& window, Clipboard& clipboard) : QObject(&window) {
    ResultList* table = window.ResultTable();
    connect(table, &ResultList::copyRequested, this, [table, &clipboard] {
        const int row = table->SelectedRow();
        if (row < 0) return;
        clipboard.SetText(TabSeparatedRow(
            table->Model(), row, [table](int column) { return !table->isColumnHidden(column); }));
    });
}
