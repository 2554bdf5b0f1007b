// The grid of chapters of the main window.
#include "gui/ChapterGrid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace quirebook {

namespace {

QTableWidgetItem* Cell(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                            : Qt::ItemIsEnabled);
    return item;
}

}  // namespace

ChapterGrid::ChapterGrid(QWidget* parent) : QTableWidget(0, 5, parent) {
    setObjectName("fileList");
    setHorizontalHeaderLabels({" <>", " No.", " File Name", " Chapter Title (Editable)", " Size"});
    const int widths[] = {27, 37, 170, 186, 33};
    for (int column = 0; column < 5; ++column) setColumnWidth(column, widths[column]);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionResizeMode(MarkerColumn, QHeaderView::Fixed);
    // The size column takes what room is left, so that its text is never cut.
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setMinimumSectionSize(18);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == FileColumn) emit FileClicked(row);
    });
}

void ChapterGrid::SetRows(const std::vector<ChapterRow>& rows) {
    clearContents();
    setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rowCount(); ++i) {
        const ChapterRow& row = rows[static_cast<std::size_t>(i)];
        setItem(i, MarkerColumn, Cell(QString(), false));
        setItem(i, NumberColumn, Cell(QString::number(i + 1), false));
        setItem(i, FileColumn, Cell(QString::fromStdString(row.FileName), false));
        setItem(i, TitleColumn, Cell(QString::fromStdString(row.Title), true));
        setItem(i, SizeColumn, Cell(QString::fromStdString(row.SizeText), false));
    }
}

std::vector<ChapterRow> ChapterGrid::Rows() const {
    std::vector<ChapterRow> rows;
    for (int i = 0; i < rowCount(); ++i) {
        rows.push_back({item(i, FileColumn)->text().toStdString(),
                        item(i, TitleColumn)->text().toStdString(),
                        item(i, SizeColumn)->text().toStdString()});
    }
    return rows;
}

void ChapterGrid::MoveRow(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= rowCount() || to >= rowCount()) return;
    QList<QTableWidgetItem*> cells;
    for (int column = 0; column < columnCount(); ++column) cells << takeItem(from, column);
    removeRow(from);
    insertRow(to);
    for (int column = 0; column < columnCount(); ++column) setItem(to, column, cells[column]);
}

void ChapterGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    m_dragRow = index.isValid() && index.column() != TitleColumn ? index.row() : -1;
    QTableWidget::mousePressEvent(event);
}

void ChapterGrid::mouseReleaseEvent(QMouseEvent* event) {
    const int target = rowAt(event->position().toPoint().y());
    const int dragged = m_dragRow;
    m_dragRow = -1;
    QTableWidget::mouseReleaseEvent(event);
    if (dragged >= 0 && target >= 0 && target != dragged) MoveRow(dragged, target);
}

}  // namespace quirebook
