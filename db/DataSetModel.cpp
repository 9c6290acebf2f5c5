// The table model: columns from the visible fields, cells read with the
// record switched in place (no cursor moves, no scroll events).
#include "DataSetModel.h"

#include "DBClient.h"

namespace vcl {

TDataSetTableModel::TDataSetTableModel(TClientDataSet* dataSet, QObject* parent) : QAbstractTableModel(parent) {
    setDataSet(dataSet);
}

TDataSetTableModel::~TDataSetTableModel() {
    if (dataSet_) dataSet_->RemoveObserver(this);
}

void TDataSetTableModel::setDataSource(TDataSource* source) {
    setDataSet(source ? dynamic_cast<TClientDataSet*>(source->DataSet()) : nullptr);
}

void TDataSetTableModel::setDataSet(TClientDataSet* dataSet) {
    beginResetModel();
    if (dataSet_) dataSet_->RemoveObserver(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddObserver(this, [this](TDataEvent e) { Observe(static_cast<int>(e)); });
    RebuildColumns();
    endResetModel();
}

void TDataSetTableModel::RebuildColumns() {
    columns_.clear();
    rows_ = 0;
    if (!dataSet_ || !dataSet_->Active()) return;
    for (TField* f : dataSet_->FieldList())
        if (f->Visible()) columns_.push_back(f);
    rows_ = dataSet_->RecordCount();
}

void TDataSetTableModel::Observe(int event) {
    switch (static_cast<TDataEvent>(event)) {
        case TDataEvent::deDestroying:
            beginResetModel();
            dataSet_ = nullptr;
            columns_.clear();
            rows_ = 0;
            endResetModel();
            return;
        case TDataEvent::deLayoutChange:
        case TDataEvent::deDataSetChange:
            beginResetModel();
            RebuildColumns();
            endResetModel();
            break;
        case TDataEvent::deFieldChange:
        case TDataEvent::deRecordChange:
        case TDataEvent::deStateChange:
            if (rows_ > 0 && !columns_.empty())
                emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(columns_.size()) - 1));
            break;
        case TDataEvent::deScroll:
            break;
    }
    if (dataSet_) emit currentRecordChanged(dataSet_->RecNo() - 1);
}

TField* TDataSetTableModel::fieldAt(int column) const {
    return column >= 0 && column < static_cast<int>(columns_.size()) ? columns_[static_cast<size_t>(column)] : nullptr;
}

int TDataSetTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TDataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TDataSetTableModel::data(const QModelIndex& index, int role) const {
    TField* field = fieldAt(index.column());
    if (!field || !dataSet_ || index.row() < 0 || index.row() >= rows_) return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (field->Alignment() == 1 ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    QString text;
    dataSet_->WithRecord(index.row(), [&] {
        text = QString::fromStdString(role == Qt::EditRole ? field->Text() : field->DisplayText());
    });
    return text;
}

QVariant TDataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    TField* field = fieldAt(section);
    return field ? QString::fromStdString(field->DisplayLabel()) : QVariant();
}

Qt::ItemFlags TDataSetTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    TField* field = fieldAt(index.column());
    if (!readOnly_ && field && !field->ReadOnly()) f |= Qt::ItemIsEditable;
    return f;
}

bool TDataSetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TField* field = fieldAt(index.column());
    if (readOnly_ || role != Qt::EditRole || !field || !dataSet_) return false;
    dataSet_->SetRecNo(index.row() + 1);
    return dataSet_->SetFieldText(field->FieldName(), value.toString().toStdString());
}

}  // namespace vcl
