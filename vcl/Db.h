// The data source: the link between a data set and the controls that show
// its fields. A data set takes part by implementing IFieldAccess; a control
// takes part through a TFieldLink (DataSource plus DataField), which shows the
// field's text whenever the data source reports a change and writes an
// edited text back.
#pragma once

#include <string>
#include <vector>

#include "Classes.h"

namespace vcl {

// What a data set offers the controls bound to it.
class IFieldAccess {
public:
    virtual ~IFieldAccess() = default;
    // The display text of a field of the current record; empty when there is none.
    virtual std::string FieldText(const std::string& field) const = 0;
    // Stores a text into a field of the current record; false when refused.
    virtual bool SetFieldText(const std::string& field, const std::string& text) = 0;
    // A data source started or stopped showing this data set, so that the
    // data set can tell it about changes.
    virtual void SourceAttached(class TDataSource*) {}
    virtual void SourceDetached(class TDataSource*) {}
};

class TFieldLink;

class TDataSource : public TComponent {
    VCL_DECLARE_CLASS(TDataSource)
public:
    explicit TDataSource(TComponent* owner);
    ~TDataSource() override;

    // The data set (a component that implements IFieldAccess), or nullptr.
    TComponent* DataSet() const { return dataSet_; }
    void SetDataSet(TComponent* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }

    // The data set calls this when the current record or its values changed:
    // every bound control shows its field again.
    void DataChanged();
    IFieldAccess* Fields() const;

    TNotifyEvent OnDataChange;

private:
    friend class TFieldLink;
    TComponent* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    std::vector<TFieldLink*> links_;
};

// The binding of one control to one field.
class TFieldLink {
public:
    explicit TFieldLink(std::function<void(const std::string&)> show) : show_(std::move(show)) {}
    ~TFieldLink();
    TFieldLink(const TFieldLink&) = delete;
    TFieldLink& operator=(const TFieldLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    const std::string& DataField() const { return field_; }
    void SetDataField(const std::string& field);
    bool Active() const { return source_ && source_->Enabled() && !field_.empty() && source_->Fields(); }
    // Shows the field's current text in the control.
    void Refresh();
    // Writes the control's text into the field; false when there is no
    // active binding or the data set refused it.
    bool Store(const std::string& text);

private:
    friend class TDataSource;
    TDataSource* source_ = nullptr;
    std::string field_;
    std::function<void(const std::string&)> show_;
};

}  // namespace vcl
