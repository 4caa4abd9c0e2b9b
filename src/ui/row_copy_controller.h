#pragma once

#include <QObject>

class Clipboard;
class MainWindow;

// Ctrl+C in the result list: the selected row's visible cells, tab-separated, on the clipboard.
// With no row selected the clipboard is left alone.
class RowCopyController final : public QObject {
    Q_OBJECT

  public:
    RowCopyController(MainWindow& window, Clipboard& clipboard);
};
