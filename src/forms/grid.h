#pragma once
// A flexible grid: a text matrix with one fixed heading row and one fixed
// column, per-column widths in twips, merge columns (runs of equal cells
// shown as one), and a current cell. Shown through a Qt table view.

#include "forms/controls.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class QTableView;

namespace forms {

class FlexGrid;

// Rows of cells as tab-separated text, a line a row; tabs and line breaks
// inside a cell become blanks, so that the rows and columns stay as they are.
QString tabSeparated(const std::vector<QStringList>& rows);

class FlexGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Owned by its grid.
    explicit FlexGridModel(FlexGrid* grid);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    FlexGrid* grid_;
};

class FlexGrid : public Control {
    Q_OBJECT
    Q_PROPERTY(int Rows READ rows)
    Q_PROPERTY(int Cols READ cols)
    Q_PROPERTY(int Row READ row WRITE setRow)
    Q_PROPERTY(int Col READ col WRITE setCol)

public:
    FlexGrid(QWidget* parent, const QString& name);
    int rows() const { return int(cells_.size()); }
    int cols() const { return cols_; }
    // Replaces the whole matrix (row 0 is the heading row).
    void setMatrix(std::vector<QStringList> cells, int cols);
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    void setColWidth(int col, double twips);
    double colWidth(int col) const;
    void setMergeCol(int col, bool merge);
    bool mergeCol(int col) const;
    int row() const { return row_; }
    int col() const { return col_; }
    void setRow(int r) { row_ = r; }
    void setCol(int c) { col_ = c; }
    // The text of the current cell.
    QString text() const { return textMatrix(row_, col_); }
    QTableView* view() const { return view_; }
    // Shows the matrix: headings, widths and merged runs.
    void refresh();
    // The cells selected in the view as tab-separated text (a line a row,
    // from the first selected row and column to the last), which Ctrl+C
    // puts on the clipboard; empty when nothing is selected.
    QString selectedText() const;
    void copySelection() const;

private:
    std::vector<QStringList> cells_;
    int cols_ = 0;
    int row_ = 0, col_ = 0;
    std::vector<double> widths_;
    std::vector<bool> merge_;
    QTableView* view_;
    FlexGridModel* model_;
};

}  // namespace forms
