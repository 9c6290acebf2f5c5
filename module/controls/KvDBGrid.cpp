// The data-aware grid: a Qt table view over the dataset's table model, with
// the window's colours, check-box fields and title clicks.
#include "KvDBGrid.h"

#include <QBrush>
#include <algorithm>
#include <vector>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include "DBClient.h"
#include "DataSetModel.h"
#include "ImgList.h"
#include "StrUtils.h"

// The table model with the grid's colours, check boxes and title images.
class KvDBGridModel : public vcl::TDataSetTableModel {
public:
    explicit KvDBGridModel(TKvDBGrid* grid) : grid_(grid) {}

    QVariant data(const QModelIndex& index, int role) const override {
        vcl::TField* field = fieldAt(index.column());
        if (!field) return {};
        std::string values = grid_->CheckBoxValues(field->FieldName());
        if (!values.empty() && (role == Qt::DisplayRole || role == Qt::CheckStateRole)) {
            if (role == Qt::DisplayRole) return {};
            std::string text;
            dataSet()->WithRecord(index.row(), [&] { text = plat::Trim(field->AsString()); });
            return static_cast<int>(text == plat::GetToken(values, ";", 1) ? Qt::Checked : Qt::Unchecked);
        }
        if (role == Qt::BackgroundRole || role == Qt::ForegroundRole) {
            vcl::TColor background, font;
            grid_->CellColors(index.row(), index.column(), background, font);
            return QBrush(vcl::ColorToQColor(role == Qt::BackgroundRole ? background : font));
        }
        return vcl::TDataSetTableModel::data(index, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::BackgroundRole)
            return QBrush(vcl::ColorToQColor(grid_->TitleColor(section)));
        if (orientation == Qt::Horizontal && role == Qt::DecorationRole) {
            int image = grid_->TitleImage(section);
            if (image >= 0 && grid_->TitleImageList()) return grid_->TitleImageList()->Icon(image);
            return {};
        }
        return vcl::TDataSetTableModel::headerData(section, orientation, role);
    }

private:
    TKvDBGrid* grid_;
};

const vcl::TClassInfo& TKvDBGrid::StaticClass() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo c = vcl::MakeComponentClass<TKvDBGrid>("TKvDBGrid", vcl::TWinControl::StaticClass());
        vcl::TPropBuilder<TKvDBGrid>(c)
            .Obj<vcl::TDataSource>("DataSource", &TKvDBGrid::DataSource, &TKvDBGrid::SetDataSource)
            .Bool("ReadOnly", &TKvDBGrid::ReadOnly, &TKvDBGrid::SetReadOnly)
            .Bool("TitleButtons", &TKvDBGrid::TitleButtons, &TKvDBGrid::SetTitleButtons)
            .Event("OnDblClick");
        return c;
    }();
    return info;
}

TKvDBGrid::TKvDBGrid(vcl::TComponent* owner) : vcl::TWinControl(owner), view_(new QTableView) {
    model_ = new KvDBGridModel(this);
    model_->setParent(view_);
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->setDefaultSectionSize(20);
    SetWidget(view_);
    SetTabStop(true);
    QObject::connect(model_, &vcl::TDataSetTableModel::currentRecordChanged, view_, [this](int row) { vcl::Guarded([&] { FollowCursor(row); }); });
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, view_,
                     [this](const QModelIndex& current, const QModelIndex&) {
                         if (syncing_ || !current.isValid()) return;
                         vcl::Guarded([&] {
                             if (vcl::TClientDataSet* ds = DataSet(); ds && ds->Active() && ds->RecNo() != current.row() + 1)
                                 ds->SetRecNo(current.row() + 1);
                         });
                     });
    QObject::connect(model_, &QAbstractItemModel::modelReset, view_, [this] { vcl::Guarded([this] { ApplyColumnLayout(); }); });
    QObject::connect(view_->horizontalHeader(), &QHeaderView::sectionResized, view_, [this](int column, int, int pixels) {
        if (laying_) return;
        if (vcl::TField* field = ColumnField(column)) userWidths_[plat::UpperCase(field->FieldName())] = pixels;
    });
    QObject::connect(view_->horizontalHeader(), &QHeaderView::sectionMoved, view_, [this](int, int, int) {
        if (laying_) return;
        for (int c = 0; c < ColumnCount(); ++c)
            if (vcl::TField* field = ColumnField(c))
                positions_[plat::UpperCase(field->FieldName())] = view_->horizontalHeader()->visualIndex(c);
    });
    QObject::connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, view_, [this](int column) { vcl::Guarded([&] { TitleClick(column); }); });
    QObject::connect(view_, &QTableView::doubleClicked, view_, [this](const QModelIndex&) { vcl::Guarded([this] { DblClick(); }); });
}

TKvDBGrid::~TKvDBGrid() { model_->setDataSet(nullptr); }

void TKvDBGrid::SetDataSource(vcl::TDataSource* source) {
    source_ = source;
    model_->setDataSource(source);
}

vcl::TClientDataSet* TKvDBGrid::DataSet() const { return model_->dataSet(); }

void TKvDBGrid::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    model_->setReadOnly(readOnly);
    view_->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : QAbstractItemView::AllEditTriggers);
}

int TKvDBGrid::ColumnCount() const { return model_->columnCount(); }
vcl::TField* TKvDBGrid::ColumnField(int column) const { return model_->fieldAt(column); }

vcl::TField* TKvDBGrid::SelectedField() const {
    int column = view_->currentIndex().isValid() ? view_->currentIndex().column() : 0;
    return model_->fieldAt(column);
}

void TKvDBGrid::SetSelectedField(vcl::TField* field) {
    for (int c = 0; c < ColumnCount(); ++c)
        if (ColumnField(c) == field) {
            int row = view_->currentIndex().isValid() ? view_->currentIndex().row() : 0;
            syncing_ = true;
            view_->setCurrentIndex(model_->index(row, c));
            syncing_ = false;
            return;
        }
}

void TKvDBGrid::SetCheckBoxField(const std::string& fieldName, const std::string& values) {
    checkFields_[plat::UpperCase(fieldName)] = values;
}

std::string TKvDBGrid::CheckBoxValues(const std::string& fieldName) const {
    auto it = checkFields_.find(plat::UpperCase(fieldName));
    return it == checkFields_.end() ? std::string() : it->second;
}

void TKvDBGrid::CellColors(int row, int column, vcl::TColor& background, vcl::TColor& font) const {
    background = Color();
    font = vcl::clWindowText;
    vcl::TField* field = model_->fieldAt(column);
    vcl::TClientDataSet* ds = DataSet();
    if (!field || !ds) return;
    bool active = ds->RecNo() == row + 1;
    if (OnCalcCellColors) {
        TCalcCellColorsEvent handler = OnCalcCellColors;
        handler(const_cast<TKvDBGrid*>(this), field, row + 1, active, background, font);
    }
}

vcl::TColor TKvDBGrid::TitleColor(int column) const {
    vcl::TColor color = vcl::clBtnFace;
    if (vcl::TField* field = model_->fieldAt(column)) OnCalcTitleAttributes(const_cast<TKvDBGrid*>(this), field, color);
    return color;
}

int TKvDBGrid::TitleImage(int column) const {
    int image = -1;
    if (vcl::TField* field = model_->fieldAt(column)) OnCalcTitleImage(const_cast<TKvDBGrid*>(this), field, image);
    return image;
}

void TKvDBGrid::TitleClick(int column) {
    vcl::TField* field = model_->fieldAt(column);
    if (!field || !titleButtons_) return;
    OnTitleButtonClick(this, field->FieldName());
    model_->headerDataChanged(Qt::Horizontal, 0, std::max(0, ColumnCount() - 1));
}

void TKvDBGrid::FollowCursor(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    int column = view_->currentIndex().isValid() ? view_->currentIndex().column() : 0;
    syncing_ = true;
    view_->setCurrentIndex(model_->index(row, column));
    syncing_ = false;
}

// ---- column widths and places ----

int TKvDBGrid::PixelsOfDisplayWidth(int displayWidth) const {
    return std::max(1, displayWidth) * QFontMetrics(view_->font()).horizontalAdvance(QLatin1Char('0')) + 4;
}

int TKvDBGrid::DisplayWidthOfPixels(int pixels) const {
    const int perCharacter = std::max(1, QFontMetrics(view_->font()).horizontalAdvance(QLatin1Char('0')));
    return std::max(1, (pixels - 4 + perCharacter / 2) / perCharacter);
}

int TKvDBGrid::ColumnWidth(int column) const { return view_->columnWidth(column); }

void TKvDBGrid::SetColumnWidth(int column, int pixels) { view_->horizontalHeader()->resizeSection(column, pixels); }

void TKvDBGrid::KeepColumnWidths() {
    // Taken out first: each new display width lays the columns out again.
    std::map<std::string, int> widths;
    widths.swap(userWidths_);
    vcl::TClientDataSet* ds = DataSet();
    if (!ds) return;
    for (const auto& [name, pixels] : widths)
        if (vcl::TField* field = ds->FindField(name)) field->SetDisplayWidth(DisplayWidthOfPixels(pixels));
}

int TKvDBGrid::ColumnOf(const vcl::TField* field) const {
    for (int c = 0; c < ColumnCount(); ++c)
        if (ColumnField(c) == field) return c;
    return -1;
}

int TKvDBGrid::ColumnPosition(const vcl::TField* field) const {
    int column = ColumnOf(field);
    return column < 0 ? -1 : view_->horizontalHeader()->visualIndex(column);
}

void TKvDBGrid::SetColumnPosition(const vcl::TField* field, int position) {
    if (!field) return;
    positions_[plat::UpperCase(field->FieldName())] = position;
    ApplyColumnLayout();
}

// After every re-layout of the dataset (a field shown, hidden or given
// another width) the header starts afresh: widths come from the fields (or
// the title, when wider), places from what was asked, nearest place first.
void TKvDBGrid::ApplyColumnLayout() {
    laying_ = true;
    QHeaderView* header = view_->horizontalHeader();
    const QFontMetrics metrics(header->font());
    std::vector<std::pair<int, int>> wanted;   // (place, column)
    for (int c = 0; c < ColumnCount(); ++c) {
        vcl::TField* field = ColumnField(c);
        const int title = metrics.horizontalAdvance(QString::fromStdString(field->DisplayLabel())) + 4;
        auto user = userWidths_.find(plat::UpperCase(field->FieldName()));
        view_->setColumnWidth(c, user != userWidths_.end() ? user->second
                                                          : std::max(PixelsOfDisplayWidth(field->DisplayWidth()), title));
        auto place = positions_.find(plat::UpperCase(field->FieldName()));
        if (place != positions_.end()) wanted.emplace_back(place->second, c);
    }
    std::sort(wanted.begin(), wanted.end());
    for (const auto& [place, column] : wanted)
        if (place >= 0 && place < ColumnCount()) header->moveSection(header->visualIndex(column), place);
    laying_ = false;
}
