// Data sources and the field links of bound controls.
#include "Db.h"

#include <algorithm>

namespace vcl {

const TClassInfo& TDataSource::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TDataSource>("TDataSource", TComponent::StaticClass());
        TPropBuilder<TDataSource>(c)
            .Obj<TComponent>("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet)
            .Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled)
            .Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit)
            .Event("OnDataChange");
        return c;
    }();
    return info;
}

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    if (IFieldAccess* fields = Fields()) fields->SourceDetached(this);
    for (TFieldLink* link : links_) link->source_ = nullptr;
}

void TDataSource::SetDataSet(TComponent* dataSet) {
    if (dataSet == dataSet_) return DataChanged();
    if (IFieldAccess* fields = Fields()) fields->SourceDetached(this);
    dataSet_ = dataSet;
    if (IFieldAccess* fields = Fields()) fields->SourceAttached(this);
    DataChanged();
}

void TDataSource::SetEnabled(bool enabled) {
    enabled_ = enabled;
    DataChanged();
}

IFieldAccess* TDataSource::Fields() const { return dynamic_cast<IFieldAccess*>(dataSet_); }

void TDataSource::DataChanged() {
    std::vector<TFieldLink*> links = links_;
    for (TFieldLink* link : links) link->Refresh();
    OnDataChange(this);
}

TFieldLink::~TFieldLink() { SetDataSource(nullptr); }

void TFieldLink::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    if (source_) source_->links_.erase(std::remove(source_->links_.begin(), source_->links_.end(), this), source_->links_.end());
    source_ = source;
    if (source_) source_->links_.push_back(this);
    Refresh();
}

void TFieldLink::SetDataField(const std::string& field) {
    field_ = field;
    Refresh();
}

void TFieldLink::Refresh() {
    if (Active() && show_) show_(source_->Fields()->FieldText(field_));
}

bool TFieldLink::Store(const std::string& text) {
    if (!Active()) return false;
    return source_->Fields()->SetFieldText(field_, text);
}

}  // namespace vcl
