#include "forms/grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QShortcut>
#include <QTableView>
#include <cmath>

namespace forms {

FlexGridModel::FlexGridModel(FlexGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(0, grid_->rows() - 1);
}

int FlexGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_->cols(); }

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole)
        return grid_->textMatrix(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= 1 && index.column() <= 2)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role == Qt::DisplayRole && o == Qt::Horizontal)
        return grid_->textMatrix(0, section);
    return QVariant();
}

FlexGrid::FlexGrid(QWidget* parent, const QString& name) : Control(parent, name)
{
    view_ = new QTableView(this);
    view_->setObjectName(name + QStringLiteral("View"));
    model_ = new FlexGridModel(this);
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->setVisible(false);
    view_->verticalHeader()->setDefaultSectionSize(16);
    view_->horizontalHeader()->setHighlightSections(false);
    view_->setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
    view_->horizontalHeader()->setFont(standInFont(QStringLiteral("MS Sans Serif"), 8.25));
    setInner(view_);
    watch(view_->viewport());
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* copy = new QShortcut(QKeySequence::Copy, view_);
    copy->setContext(Qt::WidgetWithChildrenShortcut);
    copy->setObjectName(name + QStringLiteral("Copy"));
    connect(copy, &QShortcut::activated, this, &FlexGrid::copySelection);
    // At start: the heading row and one empty row, two columns.
    setMatrix({QStringList{QString(), QString()}, QStringList{QString(), QString()}}, 2);
}

void FlexGrid::setMatrix(std::vector<QStringList> cells, int cols)
{
    cells_ = std::move(cells);
    cols_ = cols;
    for (QStringList& r : cells_)
        while (r.size() < cols_)
            r << QString();
    widths_.assign(size_t(cols_), -1);
    merge_.assign(size_t(cols_), false);
    row_ = std::min(row_, rows() - 1);
    col_ = std::min(col_, cols_ - 1);
    refresh();
}

QString FlexGrid::textMatrix(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        throw Error(381, QStringLiteral("Subscript out of range"));
    return cells_[size_t(row)][col];
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        throw Error(381, QStringLiteral("Subscript out of range"));
    cells_[size_t(row)][col] = text;
}

void FlexGrid::setColWidth(int col, double twips)
{
    if (col >= 0 && col < cols_)
        widths_[size_t(col)] = twips;
}

double FlexGrid::colWidth(int col) const { return col >= 0 && col < cols_ ? widths_[size_t(col)] : -1; }

void FlexGrid::setMergeCol(int col, bool merge)
{
    if (col >= 0 && col < cols_)
        merge_[size_t(col)] = merge;
}

bool FlexGrid::mergeCol(int col) const { return col >= 0 && col < cols_ && merge_[size_t(col)]; }

QString tabSeparated(const std::vector<QStringList>& rows)
{
    QStringList lines;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (QString cell : row)
            cells << cell.replace(QLatin1Char('\t'), QLatin1Char(' '))
                         .replace(QLatin1Char('\r'), QLatin1Char(' '))
                         .replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString FlexGrid::selectedText() const
{
    const QModelIndexList picked = view_->selectionModel()->selectedIndexes();
    if (picked.isEmpty())
        return QString();
    int top = picked.first().row(), bottom = top, left = picked.first().column(), right = left;
    for (const QModelIndex& i : picked) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    // The block from the first selected cell to the last; columns the grid hides are left out.
    std::vector<QStringList> rows;
    for (int r = top; r <= bottom; ++r) {
        QStringList row;
        for (int c = left; c <= right; ++c)
            if (!view_->isColumnHidden(c))
                row << (view_->selectionModel()->isSelected(model_->index(r, c)) ? textMatrix(r + 1, c) : QString());
        rows.push_back(row);
    }
    return tabSeparated(rows);
}

void FlexGrid::copySelection() const
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void FlexGrid::refresh()
{
    model_->reset();
    view_->clearSpans();
    for (int c = 0; c < cols_; ++c) {
        const double w = widths_[size_t(c)];
        if (w >= 0)
            view_->setColumnWidth(c, int(std::lround(toPixels(w))));
        view_->setColumnHidden(c, w == 0);
    }
    // Runs of equal cells in a merge column show as one cell; a run also ends
    // where the merge column to its left changes, so that groups stay apart.
    const int n = rows();
    std::vector<int> breaks(size_t(std::max(n, 1)), 0);  // run id of the column to the left
    for (int c = 0; c < cols_; ++c) {
        if (!merge_[size_t(c)])
            continue;
        std::vector<int> runs(size_t(n), 0);
        int id = 0;
        int start = 1;
        for (int r = 1; r <= n; ++r) {
            const bool ends = r == n || cells_[size_t(r)][c] != cells_[size_t(start)][c] || breaks[size_t(r)] != breaks[size_t(start)];
            if (ends) {
                if (r - start > 1)
                    view_->setSpan(start - 1, c, r - start, 1);
                for (int k = start; k < r; ++k)
                    runs[size_t(k)] = id;
                ++id;
                start = r;
            }
        }
        breaks = runs;
    }
}

}  // namespace forms
