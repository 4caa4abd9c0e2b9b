#pragma once

#include <QTableView>
#include <functional>

class QTimer;
class ResultModel;
class ResultViewModel;

// The result table's view: thirteen fixed columns over a ResultModel, one full row selected
// at a time, shown selected only while the list has the focus. A column of width 0 is hidden
// and comes back with its next positive width.
class ResultList final : public QTableView {
    Q_OBJECT

  public:
    ResultList(ResultModel& model, QWidget* parent = nullptr);

    ResultModel& Model() const { return m_model; }

    // Scrolls vertically, if needed, so that the row is entirely visible; the horizontal
    // position stays. A row outside the table: nothing happens.
    void ScrollToRow(int row);
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    int SelectedRow() const;  // -1 when no row is selected

    // Hides every metric column (1 to 12) whose box `isTicked` says is not ticked; a ticked
    // column keeps its width.
    void HideUntickedColumns(const std::function<bool(int column)>& isTicked);

    // For a caller that appends many rows in a row from another thread: rows appended during
    // the next moments are shown together, so the list re-lays out and repaints once for
    // them; a scroll asked for meanwhile is done then. The model itself is always current.
    void DeferNewRows();
    void ScrollToRowDeferred(int row);

  Q_SIGNALS:
    // A right click in the rows area, after the row under the mouse has been selected (or
    // the selection cleared below the last row).
    void rowMenuRequested(QPoint globalPos);
    // Ctrl+C (the platform's copy keys) while the list has the focus.
    void copyRequested();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void CatchUp();
    void ShowSelection(bool shown);

    ResultModel& m_model;
    ResultViewModel* m_shown;
    QTimer* m_catchUp;
    int m_pendingScrollRow = -1;
};
