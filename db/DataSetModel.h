// A Qt table model over a client dataset, so that any Qt item view (and the
// grids of the component layer) shows a dataset: one column per visible
// field with its display label as header, one row per record in index order,
// cells as the fields' display texts (get-text handlers included), numbers
// aligned right, the active record reported through currentRecordChanged.
// Edits made in the view go through the field's set-text handling.
#pragma once

#include <QAbstractTableModel>

namespace vcl {

class TClientDataSet;
class TDataSource;
class TField;

class TDataSetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Follows `dataSet` until it is freed or another one is set.
    explicit TDataSetTableModel(TClientDataSet* dataSet = nullptr, QObject* parent = nullptr);
    ~TDataSetTableModel() override;

    TClientDataSet* dataSet() const { return dataSet_; }
    void setDataSet(TClientDataSet* dataSet);
    // The dataset of a data source (as data-aware grids are bound).
    void setDataSource(TDataSource* source);
    // The field shown in a column; nullptr outside the columns.
    TField* fieldAt(int column) const;
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The dataset's cursor moved to `row` (0-based; -1 when there is no record).
    void currentRecordChanged(int row);

private:
    void Observe(int event);
    void RebuildColumns();

    TClientDataSet* dataSet_ = nullptr;
    std::vector<TField*> columns_;
    int rows_ = 0;
    bool readOnly_ = true;
};

}  // namespace vcl
