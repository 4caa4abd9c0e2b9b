#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "results/result_columns.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTextBrowser;
class ResultList;
class ResultModel;

// The program's working window: fixed 966 x 528 client area, every control at its place with
// objectName = its English name. It wires only the column check boxes and the clear-list
// button itself; other handlers connect through the accessors.
class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Asked on every close request (close button, Alt+F4, Esc); true lets the window close.
    // Without one the window simply closes.
    void SetCloseQuery(std::function<bool()> query) { m_closeQuery = std::move(query); }

    ResultModel& Results() const { return *m_results; }
    ResultList* ResultTable() const { return m_table; }

    // The metric check box of a result column (1 to 12); nullptr for any other column.
    QCheckBox* MetricCheck(int column) const;
    bool IsMetricTicked(int column) const;
    // Hides the columns of unticked metrics (done when a run starts).
    void HideUntickedColumns();

    QPushButton* StartButton() const { return m_start; }
    QPushButton* StopButton() const { return m_stop; }
    QPushButton* ExportButton() const { return m_export; }
    QPushButton* EditAddressesButton() const { return m_editAddresses; }
    QPushButton* UpgradeButton() const { return m_upgrade; }
    QPushButton* ClearListButton() const { return m_clearList; }
    QPushButton* ExitButton() const { return m_exit; }
    QPushButton* WeightFilterButton() const { return m_weightFilter; }
    QPushButton* PrFilterButton() const { return m_prFilter; }
    QLineEdit* WeightFilterEdit() const { return m_weightFilterEdit; }
    QLineEdit* PrFilterEdit() const { return m_prFilterEdit; }

    QLabel* StatusLabel() const { return m_status; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QLabel* FooterLabel() const { return m_footer; }
    QTextBrowser* AdPane() const { return m_adPane; }
    // "撤销" (Ctrl+Z): brings back the rows the last filter or clear took; enabled while there
    // are any.
    QAction* UndoAction() const { return m_undo; }

    // Holder labels: placed outside the client area; their captions are shared state.
    QLabel* CountLabel() const { return m_count; }
    QLabel* RunStateLabel() const { return m_runState; }
    QLabel* FileCheckLabel() const { return m_fileCheck; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildQueryGroup();
    void BuildFilterGroup();
    void BuildFunctionGroup();
    void BuildAdGroup();
    void BuildStatusAndResults();
    void BuildHolderLabels();
    void ConnectColumnRules();
    void BuildUndo();

    std::function<bool()> m_closeQuery;
    ResultModel* m_results;
    ResultList* m_table = nullptr;

    std::array<QCheckBox*, kResultColumnCount> m_metricChecks{};  // index = column, 0 unused
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_editAddresses = nullptr;
    QPushButton* m_upgrade = nullptr;
    QPushButton* m_clearList = nullptr;
    QPushButton* m_exit = nullptr;
    QPushButton* m_weightFilter = nullptr;
    QPushButton* m_prFilter = nullptr;
    QLineEdit* m_weightFilterEdit = nullptr;
    QLineEdit* m_prFilterEdit = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_footer = nullptr;
    QTextBrowser* m_adPane = nullptr;
    QAction* m_undo = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_runState = nullptr;
    QLabel* m_fileCheck = nullptr;
};
