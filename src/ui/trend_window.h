#pragma once

#include <QWidget>
#include <functional>

#include "common/text.h"
#include "history/history_types.h"

class HistoryStore;
class MessageBoxRoutine;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QVBoxLayout;

// One host's history: a line chart per numeric figure over time, the changes of the text
// figures with their dates, a range choice and a way to delete the host's history. It reads
// the store when opened and whenever Reload() is called (new values, a deletion).
class TrendWindow final : public QWidget {
    Q_OBJECT

  public:
    enum class Range { Days30 = 0, Year = 1, All = 2 };
    using Clock = std::function<HistoryTime()>;

    // `clock` gives "now" for the range; empty means the system clock.
    TrendWindow(HistoryStore& store, MessageBoxRoutine& box, Text host, Clock clock = {},
                QWidget* parent = nullptr);

    const Text& Host() const { return m_host; }
    void Reload();
    void SetRange(Range range);

    // What is shown, for tests and the benchmark.
    int ChartCount() const { return m_charts; }
    int TextChangeCount() const;
    bool ShowsNoHistory() const;

  private:
    void AskToDelete();
    HistoryTime RangeStart() const;

    HistoryStore& m_store;
    MessageBoxRoutine& m_box;
    Text m_host;
    Clock m_clock;
    int m_charts = 0;

    QComboBox* m_range;
    QPushButton* m_delete;
    QLabel* m_noHistory;
    QScrollArea* m_scroll;
    QWidget* m_content = nullptr;
};
