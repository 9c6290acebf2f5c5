// The string grid over QTableView with its own headings: Qt's header views
// stay hidden and the fixed rows and columns are ordinary cells that cannot
// be selected and are painted in the fixed colour. With goColSizing a column
// is resized by dragging its right edge inside a fixed row, as on the
// platform.
//
// The cells live in StringGridModel as plain strings, one flat row-major
// vector, so that a grid of a hundred thousand rows costs a string per cell
// and nothing per row in Qt: rows take the vertical header's default size,
// and only a row given a height of its own makes a call on the header.
#include "Grids.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>

#include <climits>

namespace vcl {

const std::vector<std::string>& GridOptionNames() {
    static const std::vector<std::string> names = {
        "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
        "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
        "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"};
    return names;
}

// The cells of a TStringGrid: rowCount() x columnCount() strings, row-major.
// A cell answers its text for the display and edit roles; fixed cells are
// enabled only, the others selectable, and editable under goEditing.
class StringGridModel : public QAbstractTableModel {
public:
    StringGridModel(TStringGrid* grid, int rows, int cols, QObject* parent)
        : QAbstractTableModel(parent), grid_(grid), rows_(rows), cols_(cols),
          cells_(static_cast<size_t>(rows) * static_cast<size_t>(cols)) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : cols_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!Contains(index.column(), index.row())) return {};
        if (role != Qt::DisplayRole && role != Qt::EditRole) return grid_->CellLook(index.column(), index.row(), role);
        return QString::fromStdString(Cell(index.column(), index.row()));
    }

    // The editor's text; any other role is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if ((role != Qt::DisplayRole && role != Qt::EditRole) || !Contains(index.column(), index.row())) return false;
        SetCell(index.column(), index.row(), value.toString().toStdString());
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!Contains(index.column(), index.row())) return Qt::NoItemFlags;
        if (grid_->IsFixed(index.column(), index.row())) return Qt::ItemIsEnabled;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (grid_->Options() & goEditing) flags |= Qt::ItemIsEditable;
        return flags;
    }

    bool Contains(int col, int row) const { return col >= 0 && row >= 0 && col < cols_ && row < rows_; }
    // Only for a cell that Contains().
    const std::string& Cell(int col, int row) const { return cells_[Offset(col, row)]; }

    // A cell whose text does not change is not reported to the view.
    void SetCell(int col, int row, std::string text) {
        std::string& cell = cells_[Offset(col, row)];
        if (cell == text) return;
        cell = std::move(text);
        if (updates_ > 0) {
            dirtyTop_ = std::min(dirtyTop_, row);
            dirtyBottom_ = std::max(dirtyBottom_, row);
            dirtyLeft_ = std::min(dirtyLeft_, col);
            dirtyRight_ = std::max(dirtyRight_, col);
            return;
        }
        QModelIndex at = index(row, col);
        emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
    }

    void BeginUpdate() {
        if (updates_++ == 0) ResetDirty();
    }

    // The changed cells that are still in the grid, reported once.
    void EndUpdate() {
        if (updates_ == 0 || --updates_ > 0) return;
        int bottom = std::min(dirtyBottom_, rows_ - 1), right = std::min(dirtyRight_, cols_ - 1);
        bool any = dirtyTop_ <= bottom && dirtyLeft_ <= right;
        int top = dirtyTop_, left = dirtyLeft_;
        ResetDirty();
        if (any) emit dataChanged(index(top, left), index(bottom, right), {Qt::DisplayRole, Qt::EditRole});
    }

    // Added rows are empty; removed rows lose their text.
    void SetRowCount(int count) {
        if (count > rows_) {
            beginInsertRows(QModelIndex(), rows_, count - 1);
            cells_.resize(static_cast<size_t>(count) * static_cast<size_t>(cols_));
            rows_ = count;
            endInsertRows();
        } else if (count < rows_) {
            beginRemoveRows(QModelIndex(), count, rows_ - 1);
            rows_ = count;
            cells_.resize(static_cast<size_t>(count) * static_cast<size_t>(cols_));
            // A grid emptied after a long list gives its memory back.
            if (cells_.capacity() > 2 * cells_.size() + 4096) cells_.shrink_to_fit();
            endRemoveRows();
        }
    }

    // Added columns are empty; removed columns lose their text.
    void SetColCount(int count) {
        if (count > cols_) {
            beginInsertColumns(QModelIndex(), cols_, count - 1);
            Relayout(count);
            endInsertColumns();
        } else if (count < cols_) {
            beginRemoveColumns(QModelIndex(), count, cols_ - 1);
            Relayout(count);
            endRemoveColumns();
        }
    }

    void ClearCells() {
        bool changed = false;
        for (std::string& cell : cells_)
            if (!cell.empty()) {
                cell.clear();
                changed = true;
            }
        if (changed) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::DisplayRole, Qt::EditRole});
    }

private:
    void ResetDirty() {
        dirtyTop_ = dirtyLeft_ = INT_MAX;
        dirtyBottom_ = dirtyRight_ = -1;
    }
    size_t Offset(int col, int row) const {
        return static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
    }
    // Moves the cells to a stride of cols columns.
    void Relayout(int cols) {
        std::vector<std::string> next(static_cast<size_t>(rows_) * static_cast<size_t>(cols));
        const int kept = std::min(cols, cols_);
        for (int r = 0; r < rows_; ++r)
            for (int c = 0; c < kept; ++c)
                next[static_cast<size_t>(r) * static_cast<size_t>(cols) + static_cast<size_t>(c)] =
                    std::move(cells_[Offset(c, r)]);
        cells_.swap(next);
        cols_ = cols;
    }

    TStringGrid* grid_;
    int rows_;
    int cols_;
    std::vector<std::string> cells_;   // row-major, rows_ * cols_
    int updates_ = 0;                  // open BeginUpdate calls
    int dirtyTop_ = INT_MAX;           // rectangle of the cells changed while updates_ > 0
    int dirtyLeft_ = INT_MAX;
    int dirtyBottom_ = -1;
    int dirtyRight_ = -1;
};

namespace {

// Paints fixed cells in the fixed colour, like a heading.
class FixedCellDelegate : public QStyledItemDelegate {
public:
    explicit FixedCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid->View()), grid_(grid) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.row() < grid_->FixedRows() || index.column() < grid_->FixedCols()) {
            p->fillRect(option.rect, ColorToQColor(grid_->FixedColor()));
            QStyleOptionViewItem plain = option;
            plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
            QStyledItemDelegate::paint(p, plain, index);
            p->setPen(ColorToQColor(clBtnShadow));
            p->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
            p->drawLine(option.rect.topRight(), option.rect.bottomRight());
            return;
        }
        QStyledItemDelegate::paint(p, option, index);
    }

private:
    TStringGrid* grid_;
};

// Column sizing by the edges of the fixed row.
class SizingFilter : public QObject {
public:
    SizingFilter(QObject* parent, std::function<bool(QMouseEvent*, QEvent::Type)> handle)
        : QObject(parent), handle_(std::move(handle)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseMove ||
            e->type() == QEvent::MouseButtonRelease)
            return GuardedOr(true, [&] { return handle_(static_cast<QMouseEvent*>(e), e->type()); });
        return false;
    }

private:
    std::function<bool(QMouseEvent*, QEvent::Type)> handle_;
};

}  // namespace

const TClassInfo& TStringGrid::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TStringGrid>("TStringGrid", TWinControl::StaticClass());
        TPropBuilder<TStringGrid>(c)
            .Int("ColCount", &TStringGrid::ColCount, &TStringGrid::SetColCount)
            .Int("RowCount", &TStringGrid::RowCount, &TStringGrid::SetRowCount)
            .Int("FixedCols", &TStringGrid::FixedCols, &TStringGrid::SetFixedCols)
            .Int("FixedRows", &TStringGrid::FixedRows, &TStringGrid::SetFixedRows)
            .Int("DefaultColWidth", &TStringGrid::DefaultColWidth, &TStringGrid::SetDefaultColWidth)
            .Int("DefaultRowHeight", &TStringGrid::DefaultRowHeight, &TStringGrid::SetDefaultRowHeight)
            .Set("Options", &TStringGrid::Options, &TStringGrid::SetOptions, GridOptionNames())
            .Int("FixedColor", &TStringGrid::FixedColor, &TStringGrid::SetFixedColor, &ColorIdents())
            .Int("Col", &TStringGrid::Col, &TStringGrid::SetCol)
            .Int("Row", &TStringGrid::Row, &TStringGrid::SetRow)
            .Int("TopRow", &TStringGrid::TopRow, &TStringGrid::SetTopRow)
            .Event("OnSelectCell");
        return c;
    }();
    return info;
}

TStringGrid::TStringGrid(TComponent* owner) : TWinControl(owner), model_(nullptr), view_(new QTableView) {
    model_ = new StringGridModel(this, 5, 5, view_);
    view_->setModel(model_);
    SetWidget(view_);
    WatchMouse(view_->viewport());
    view_->resize(320, 120);
    view_->horizontalHeader()->hide();
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setMinimumSectionSize(0);
    view_->verticalHeader()->setMinimumSectionSize(0);
    view_->setItemDelegate(new FixedCellDelegate(this));
    // A cell shows as much of its text as fits, clipped at its edge, like the
    // grids the windows are designed for: an ellipsis in a narrow column
    // ("0…") would hide the very digits that tell two lines apart.
    view_->setTextElideMode(Qt::ElideNone);
    // Nor does a cell wrap: Chinese text would break between characters and
    // the cut line end in an ellipsis after all.
    view_->setWordWrap(false);
    view_->setTabKeyNavigation(false);
    SetTabStop(true);
    SetColor(clWindow);
    SetDefaultColWidth(64);
    SetDefaultRowHeight(24);
    UpdateFixed();
    ApplyOptions();
    MoveTo(fixedCols_, fixedRows_);
    // The current cell may not be fixed; OnSelectCell may refuse a cell.
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentChanged,
                     [this](const QModelIndex& current, const QModelIndex& previous) {
                         int row = current.row(), col = current.column();
                         if (moving_ || row < 0 || col < 0) return;
                         bool allow = row >= fixedRows_ && col >= fixedCols_;
                         Guarded([&] {
                             if (allow) OnSelectCell(this, col, row, allow);
                             if (!allow) {
                                 MoveTo(previous.column(), previous.row());
                                 return;
                             }
                             Click();
                         });
                     });
    view_->viewport()->installEventFilter(new SizingFilter(view_, [this](QMouseEvent* e, QEvent::Type type) {
        if (!(options_ & goColSizing)) return false;
        QPoint at = e->position().toPoint();
        if (type == QEvent::MouseButtonPress && e->button() == Qt::LeftButton) {
            int row = view_->rowAt(at.y());
            if (row < 0 || row >= fixedRows_) return false;
            for (int c = 0; c < ColCount(); ++c) {
                int edge = view_->columnViewportPosition(c) + view_->columnWidth(c);
                if (std::abs(at.x() - edge) <= 3) {
                    sizingCol_ = c;
                    sizingStart_ = at.x();
                    sizingWidth_ = view_->columnWidth(c);
                    return true;
                }
            }
            return false;
        }
        if (sizingCol_ < 0) return false;
        if (type == QEvent::MouseMove) SetColWidth(sizingCol_, std::max(0, sizingWidth_ + at.x() - sizingStart_));
        if (type == QEvent::MouseButtonRelease) sizingCol_ = -1;
        return true;
    }));
}

int TStringGrid::ColCount() const { return model_->columnCount(); }
int TStringGrid::RowCount() const { return model_->rowCount(); }

void TStringGrid::SetColCount(int count) {
    count = std::max(1, count);
    int old = ColCount();
    model_->SetColCount(count);
    for (int c = old; c < count; ++c) view_->setColumnWidth(c, defaultColWidth_);
    if (fixedCols_ >= count) fixedCols_ = count - 1;
    UpdateFixed();
    if (Col() >= count || Col() < fixedCols_) MoveTo(std::min(std::max(Col(), fixedCols_), count - 1), Row());
}

void TStringGrid::SetRowCount(int count) {
    count = std::max(1, count);
    // New rows come with the header's default size, which is the default row height.
    model_->SetRowCount(count);
    if (fixedRows_ >= count) fixedRows_ = count - 1;
    UpdateFixed();
    if (Row() >= count || Row() < fixedRows_) MoveTo(Col(), std::min(std::max(Row(), fixedRows_), count - 1));
}

void TStringGrid::SetFixedCols(int count) {
    if (count < 0 || count >= ColCount()) throw plat::Exception("Fixed column count must be less than column count");
    fixedCols_ = count;
    UpdateFixed();
    if (Col() < fixedCols_) MoveTo(fixedCols_, Row());
}

void TStringGrid::SetFixedRows(int count) {
    if (count < 0 || count >= RowCount()) throw plat::Exception("Fixed row count must be less than row count");
    fixedRows_ = count;
    UpdateFixed();
    if (Row() < fixedRows_) MoveTo(Col(), fixedRows_);
}

// The model answers the flags of fixed cells from fixedRows_ and fixedCols_;
// the view only has to draw them again.
void TStringGrid::UpdateFixed() { view_->viewport()->update(); }

std::string TStringGrid::Cells(int col, int row) const {
    return model_->Contains(col, row) ? model_->Cell(col, row) : std::string();
}

void TStringGrid::SetCell(int col, int row, std::string text) {
    if (!model_->Contains(col, row))
        throw plat::Exception("Grid index out of range (" + std::to_string(col) + ", " + std::to_string(row) + ")");
    model_->SetCell(col, row, std::move(text));
}

void TStringGrid::BeginUpdate() { model_->BeginUpdate(); }
void TStringGrid::EndUpdate() { model_->EndUpdate(); }

std::string TStringGrid::DisplayText(int col, int row) const {
    return model_->index(row, col).data(Qt::DisplayRole).toString().toStdString();
}

void TStringGrid::ClearCells() { model_->ClearCells(); }

void TStringGrid::SetDefaultColWidth(int width) {
    defaultColWidth_ = width;
    for (int c = 0; c < ColCount(); ++c) view_->setColumnWidth(c, width);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = height;
    // Resizes every row and sizes the rows added later: one call, not one per row.
    view_->verticalHeader()->setDefaultSectionSize(height);
}

int TStringGrid::ColWidths(int col) const { return view_->columnWidth(col); }

void TStringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= ColCount()) throw plat::Exception("Grid index out of range");
    view_->setColumnWidth(col, width);
}

int TStringGrid::RowHeights(int row) const { return view_->rowHeight(row); }

void TStringGrid::SetRowHeight(int row, int height) {
    if (row < 0 || row >= RowCount()) throw plat::Exception("Grid index out of range");
    if (view_->rowHeight(row) != height) view_->setRowHeight(row, height);
}

void TStringGrid::SetOptions(int options) {
    options_ = options;
    ApplyOptions();
    UpdateFixed();
}

void TStringGrid::ApplyOptions() {
    view_->setShowGrid(options_ & (goVertLine | goHorzLine));
    view_->setSelectionBehavior(options_ & goRowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    view_->setSelectionMode(options_ & goRangeSelect && !(options_ & goRowSelect) ? QAbstractItemView::ContiguousSelection
                                                                                  : QAbstractItemView::SingleSelection);
    view_->setEditTriggers(options_ & goEditing ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    view_->setTabKeyNavigation(options_ & goTabs);
    // The current cell shows selected again under the new selection rule.
    QModelIndex current = view_->currentIndex();
    if (current.isValid())
        view_->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                     (options_ & goRowSelect ? QItemSelectionModel::Rows
                                                                             : QItemSelectionModel::NoUpdate));
}

void TStringGrid::SetFixedColor(TColor color) {
    fixedColor_ = color;
    view_->viewport()->update();
}

int TStringGrid::Col() const { return std::max(view_->currentIndex().column(), 0); }
int TStringGrid::Row() const { return std::max(view_->currentIndex().row(), 0); }

void TStringGrid::MoveTo(int col, int row) {
    moving_ = true;
    view_->setCurrentIndex(model_->index(row, col));
    moving_ = false;
}

void TStringGrid::SetCol(int col) {
    if (col < fixedCols_ || col >= ColCount()) throw plat::Exception("Grid index out of range");
    if (col != Col()) view_->setCurrentIndex(model_->index(Row(), col));
}

void TStringGrid::SetRow(int row) {
    if (row < fixedRows_ || row >= RowCount()) throw plat::Exception("Grid index out of range");
    if (row != Row()) view_->setCurrentIndex(model_->index(row, Col()));
}

int TStringGrid::TopRow() const {
    int row = view_->rowAt(0);
    return std::max(row, fixedRows_);
}

// A row outside the grid leaves the view where it is. Rows added since the
// view last laid itself out are not yet in its scroll range, so it lays
// itself out first.
void TStringGrid::SetTopRow(int row) {
    QModelIndex at = model_->index(row, Col());
    if (!at.isValid()) return;
    view_->doItemsLayout();
    view_->scrollTo(at, QAbstractItemView::PositionAtTop);
}

void TStringGrid::CellLooksChanged() { view_->viewport()->update(); }

}  // namespace vcl
