// The string grid over QTableWidget with its own headings: Qt's header
// views stay hidden and the fixed rows and columns are ordinary cells that
// cannot be selected and are painted in the fixed colour. With goColSizing
// a column is resized by dragging its right edge inside a fixed row, as on
// the platform.
#include "Grids.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace vcl {

const std::vector<std::string>& GridOptionNames() {
    static const std::vector<std::string> names = {
        "goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
        "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
        "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"};
    return names;
}

namespace {

// Paints fixed cells in the fixed colour, like a heading.
class FixedCellDelegate : public QStyledItemDelegate {
public:
    explicit FixedCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid->Table()), grid_(grid) {}
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
            return handle_(static_cast<QMouseEvent*>(e), e->type());
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

TStringGrid::TStringGrid(TComponent* owner) : TWinControl(owner), table_(new QTableWidget(5, 5)) {
    SetWidget(table_);
    WatchMouse(table_->viewport());
    table_->resize(320, 120);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setMinimumSectionSize(0);
    table_->verticalHeader()->setMinimumSectionSize(0);
    table_->setItemDelegate(new FixedCellDelegate(this));
    table_->setTabKeyNavigation(false);
    SetTabStop(true);
    SetColor(clWindow);
    SetDefaultColWidth(64);
    SetDefaultRowHeight(24);
    UpdateFixed();
    ApplyOptions();
    MoveTo(fixedCols_, fixedRows_);
    // The current cell may not be fixed; OnSelectCell may refuse a cell.
    QObject::connect(table_, &QTableWidget::currentCellChanged, [this](int row, int col, int oldRow, int oldCol) {
        if (moving_ || row < 0 || col < 0) return;
        bool allow = row >= fixedRows_ && col >= fixedCols_;
        if (allow) OnSelectCell(this, col, row, allow);
        if (!allow) {
            moving_ = true;
            table_->setCurrentCell(oldRow, oldCol);
            moving_ = false;
            return;
        }
        Click();
    });
    table_->viewport()->installEventFilter(new SizingFilter(table_, [this](QMouseEvent* e, QEvent::Type type) {
        if (!(options_ & goColSizing)) return false;
        QPoint at = e->position().toPoint();
        if (type == QEvent::MouseButtonPress && e->button() == Qt::LeftButton) {
            int row = table_->rowAt(at.y());
            if (row < 0 || row >= fixedRows_) return false;
            for (int c = 0; c < ColCount(); ++c) {
                int edge = table_->columnViewportPosition(c) + table_->columnWidth(c);
                if (std::abs(at.x() - edge) <= 3) {
                    sizingCol_ = c;
                    sizingStart_ = at.x();
                    sizingWidth_ = table_->columnWidth(c);
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

int TStringGrid::ColCount() const { return table_->columnCount(); }
int TStringGrid::RowCount() const { return table_->rowCount(); }

void TStringGrid::SetColCount(int count) {
    count = std::max(1, count);
    int old = ColCount();
    table_->setColumnCount(count);
    for (int c = old; c < count; ++c) table_->setColumnWidth(c, defaultColWidth_);
    if (fixedCols_ >= count) fixedCols_ = count - 1;
    UpdateFixed();
    if (Col() >= count || Col() < fixedCols_) MoveTo(std::min(std::max(Col(), fixedCols_), count - 1), Row());
}

void TStringGrid::SetRowCount(int count) {
    count = std::max(1, count);
    int old = RowCount();
    // New rows come with the header's default size, which is the default row height.
    table_->setRowCount(count);
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

// Fixed cells are items that cannot be selected or edited.
void TStringGrid::UpdateFixed() {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) {
            bool fixed = r < fixedRows_ || c < fixedCols_;
            QTableWidgetItem* item = table_->item(r, c);
            if (!item) {
                if (!fixed) continue;
                item = new QTableWidgetItem;
                table_->setItem(r, c, item);
            }
            Qt::ItemFlags flags = Qt::ItemIsEnabled;
            if (!fixed) {
                flags |= Qt::ItemIsSelectable;
                if (options_ & goEditing) flags |= Qt::ItemIsEditable;
            }
            item->setFlags(flags);
        }
    table_->viewport()->update();
}

std::string TStringGrid::Cells(int col, int row) const {
    QTableWidgetItem* item = table_->item(row, col);
    return item ? item->text().toStdString() : std::string();
}

void TStringGrid::SetCell(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        throw plat::Exception("Grid index out of range (" + std::to_string(col) + ", " + std::to_string(row) + ")");
    QTableWidgetItem* item = table_->item(row, col);
    if (item) {
        item->setText(QString::fromStdString(text));
        return;
    }
    // A new item gets its text and flags before it joins the table, so that
    // the table hears of the cell once.
    item = new QTableWidgetItem(QString::fromStdString(text));
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (options_ & goEditing) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    table_->setItem(row, col, item);
}

void TStringGrid::ClearCells() {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (QTableWidgetItem* item = table_->item(r, c)) item->setText(QString());
}

void TStringGrid::SetDefaultColWidth(int width) {
    defaultColWidth_ = width;
    for (int c = 0; c < ColCount(); ++c) table_->setColumnWidth(c, width);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = height;
    // Resizes every row and sizes the rows added later: one call, not one per row.
    table_->verticalHeader()->setDefaultSectionSize(height);
}

int TStringGrid::ColWidths(int col) const { return table_->columnWidth(col); }

void TStringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= ColCount()) throw plat::Exception("Grid index out of range");
    table_->setColumnWidth(col, width);
}

int TStringGrid::RowHeights(int row) const { return table_->rowHeight(row); }

void TStringGrid::SetRowHeight(int row, int height) {
    if (row < 0 || row >= RowCount()) throw plat::Exception("Grid index out of range");
    if (table_->rowHeight(row) != height) table_->setRowHeight(row, height);
}

void TStringGrid::SetOptions(int options) {
    options_ = options;
    ApplyOptions();
    UpdateFixed();
}

void TStringGrid::ApplyOptions() {
    table_->setShowGrid(options_ & (goVertLine | goHorzLine));
    table_->setSelectionBehavior(options_ & goRowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    table_->setSelectionMode(options_ & goRangeSelect && !(options_ & goRowSelect) ? QAbstractItemView::ContiguousSelection
                                                                                   : QAbstractItemView::SingleSelection);
    table_->setEditTriggers(options_ & goEditing ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(options_ & goTabs);
    // The current cell shows selected again under the new selection rule.
    if (table_->currentRow() >= 0 && table_->currentColumn() >= 0) {
        QModelIndex current = table_->model()->index(table_->currentRow(), table_->currentColumn());
        table_->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                      (options_ & goRowSelect ? QItemSelectionModel::Rows
                                                                              : QItemSelectionModel::NoUpdate));
    }
}

void TStringGrid::SetFixedColor(TColor color) {
    fixedColor_ = color;
    table_->viewport()->update();
}

int TStringGrid::Col() const { return std::max(table_->currentColumn(), 0); }
int TStringGrid::Row() const { return std::max(table_->currentRow(), 0); }

void TStringGrid::MoveTo(int col, int row) {
    moving_ = true;
    table_->setCurrentCell(row, col);
    moving_ = false;
}

void TStringGrid::SetCol(int col) {
    if (col < fixedCols_ || col >= ColCount()) throw plat::Exception("Grid index out of range");
    if (col != Col()) table_->setCurrentCell(Row(), col);
}

void TStringGrid::SetRow(int row) {
    if (row < fixedRows_ || row >= RowCount()) throw plat::Exception("Grid index out of range");
    if (row != Row()) table_->setCurrentCell(row, Col());
}

int TStringGrid::TopRow() const {
    int row = table_->rowAt(0);
    return std::max(row, fixedRows_);
}

void TStringGrid::SetTopRow(int row) {
    if (QTableWidgetItem* item = table_->item(row, Col())) table_->scrollToItem(item, QAbstractItemView::PositionAtTop);
    else table_->scrollTo(table_->model()->index(row, Col()), QAbstractItemView::PositionAtTop);
}

}  // namespace vcl
