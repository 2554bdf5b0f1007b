// The chapter grid: one row a chapter (number, file name, editable title, size), rows dragged to
// new places by their number or name, only the title cells selectable.
#pragma once

#include <QTableWidget>
#include <vector>

#include "app/BookForm.h"

namespace quirebook {

class ChapterGrid : public QTableWidget {
    Q_OBJECT
  public:
    enum Column { MarkerColumn, NumberColumn, FileColumn, TitleColumn, SizeColumn };

    explicit ChapterGrid(QWidget* parent = nullptr);

    // Shows the rows, numbered from 1 in the order given.
    void SetRows(const std::vector<ChapterRow>& rows);
    // The rows as the grid shows them now: its order, the titles as typed.
    std::vector<ChapterRow> Rows() const;
    // Moves the row `from` with all its cells to the place `to` (both from 0).
    void MoveRow(int from, int to);

  signals:
    // A file-name cell was clicked.
    void FileClicked(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int m_dragRow = -1;
};

}  // namespace quirebook
