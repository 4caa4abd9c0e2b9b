#pragma once

#include <QObject>

class MainWindow;
class MessageBoxRoutine;

// The two filter buttons: each thins the result table by the values of its edit box.
class FilterController final : public QObject {
    Q_OBJECT

  public:
    FilterController(MainWindow& window, MessageBoxRoutine& box);
};
