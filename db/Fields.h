// Typed fields of a client dataset: one object per column, reading and
// writing the column of the dataset's active record, with the display
// properties controls and exports read (label, width, display and edit
// format, edit mask, visible, read-only) and the get-text, set-text,
// validate and change handlers that data modules attach.
//
// A field stores its value as a variant of its type: texts for the string
// kinds, integers, doubles (also currency and BCD), booleans, date values
// (Variant::FromDate), byte texts for bytes and blobs. Null means no value.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "DataPacket.h"
#include "Variant.h"

namespace vcl {

class TClientDataSet;
class TField;

enum class TFieldType : int {
    ftUnknown = plat::packet::ftUnknown,
    ftString = plat::packet::ftString,
    ftSmallint = plat::packet::ftSmallint,
    ftInteger = plat::packet::ftInteger,
    ftWord = plat::packet::ftWord,
    ftBoolean = plat::packet::ftBoolean,
    ftFloat = plat::packet::ftFloat,
    ftCurrency = plat::packet::ftCurrency,
    ftBCD = plat::packet::ftBCD,
    ftDate = plat::packet::ftDate,
    ftTime = plat::packet::ftTime,
    ftDateTime = plat::packet::ftDateTime,
    ftBytes = plat::packet::ftBytes,
    ftAutoInc = plat::packet::ftAutoInc,
    ftBlob = plat::packet::ftBlob,
    ftMemo = plat::packet::ftMemo,
    ftFixedChar = plat::packet::ftFixedChar,
    ftWideString = plat::packet::ftWideString,
    ftLargeint = plat::packet::ftLargeint,
    ftDataSet = plat::packet::ftDataSet,
};

const char* FieldTypeName(TFieldType type);

using TFieldNotifyEvent = TEvent<TField*>;
using TFieldGetTextEvent = TEvent<TField*, std::string&, bool>;   // (field, text, display text?)
using TFieldSetTextEvent = TEvent<TField*, const std::string&>;

// Raised for a value the field cannot take (text that is no number, a write
// outside edit or insert state, a read-only field).
class EDatabaseError : public plat::Exception {
public:
    using plat::Exception::Exception;
};

class TField : public TComponent {
    VCL_DECLARE_CLASS(TField)
public:
    TField(TComponent* owner, TFieldType type);
    ~TField() override;

    TClientDataSet* DataSet() const { return dataSet_; }
    const std::string& FieldName() const { return fieldName_; }
    TFieldType DataType() const { return type_; }
    int Index() const;                    // position in the dataset's field list
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }
    bool Required() const { return required_; }
    void SetRequired(bool on) { required_ = on; }
    bool IsKey() const { return key_; }
    void SetKey(bool on) { key_ = on; }

    // ---- display ----
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& label) { displayLabel_ = label; Changed(); }
    int DisplayWidth() const;
    void SetDisplayWidth(int width) { displayWidth_ = width; Changed(); }
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format) { displayFormat_ = format; Changed(); }
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(const std::string& format) { editFormat_ = format; }
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask) { editMask_ = mask; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    int Alignment() const;                // 0 left, 1 right (numbers)

    // ---- value of the active record ----
    plat::Variant Value() const;
    // Stores a value: the dataset must be editing or inserting and the field
    // writable. OnValidate sees the new value; raising there (EAbort for a
    // silent refusal) puts the old one back. OnChange follows.
    void SetValue(const plat::Variant& value);
    bool IsNull() const { return Value().IsEmptyOrNull(); }
    void Clear() { SetValue(plat::Variant::Null()); }
    // Raw conversions of the stored value (no handlers); Null reads as
    // "", 0, false.
    std::string AsString() const;
    void SetAsString(const std::string& text);
    int32_t AsInteger() const;
    void SetAsInteger(int32_t value) { SetValue(ConvertIn(plat::Variant(value))); }
    int64_t AsLargeInt() const;
    double AsFloat() const;
    void SetAsFloat(double value) { SetValue(ConvertIn(plat::Variant(value))); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetValue(ConvertIn(plat::Variant(value))); }
    double AsDateTime() const;
    void SetAsDateTime(double value) { SetValue(ConvertIn(plat::Variant::FromDate(value))); }

    // The text in edit form (Text) and display form (DisplayText): OnGetText
    // when assigned, else the type's own conversion with EditFormat or
    // DisplayFormat. SetText runs OnSetText when assigned, else SetAsString.
    std::string Text() const { return GetText(false); }
    std::string DisplayText() const { return GetText(true); }
    void SetText(const std::string& text);

    // Converts a value of any kind into this field's storage kind; raises
    // EDatabaseError for text that does not fit ("abc" into an integer).
    virtual plat::Variant ConvertIn(const plat::Variant& value) const;

    // Field kinds a sort or a key condition cares about.
    bool IsNumeric() const;
    bool IsBlob() const { return type_ == TFieldType::ftBlob || type_ == TFieldType::ftMemo; }

    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;

    // Description of this field in a data packet.
    virtual plat::packet::FieldDesc Describe() const;

protected:
    virtual std::string DefaultText(const plat::Variant& value, bool display) const;

private:
    friend class TClientDataSet;
    std::string GetText(bool display) const;
    void Changed();

    TClientDataSet* dataSet_ = nullptr;
    std::string fieldName_;
    TFieldType type_;
    int size_ = 0;
    bool required_ = false;
    bool key_ = false;
    std::string displayLabel_;
    int displayWidth_ = 0;             // 0: derived from the type and size
    std::string displayFormat_, editFormat_, editMask_;
    bool visible_ = true;
    bool readOnly_ = false;
};

// The kinds; each fixes its type, and the string kinds their size.
class TStringField : public TField {
    VCL_DECLARE_CLASS(TStringField)
public:
    explicit TStringField(TComponent* owner, TFieldType type = TFieldType::ftString) : TField(owner, type) {}
};
class TWideStringField : public TStringField {
    VCL_DECLARE_CLASS(TWideStringField)
public:
    explicit TWideStringField(TComponent* owner) : TStringField(owner, TFieldType::ftWideString) {}
};
class TFixedCharField : public TStringField {   // a CHAR(n) column: comes back blank-padded
    VCL_DECLARE_CLASS(TFixedCharField)
public:
    explicit TFixedCharField(TComponent* owner) : TStringField(owner, TFieldType::ftFixedChar) {}
};
class TIntegerField : public TField {
    VCL_DECLARE_CLASS(TIntegerField)
public:
    explicit TIntegerField(TComponent* owner, TFieldType type = TFieldType::ftInteger) : TField(owner, type) {}
};
class TSmallintField : public TIntegerField {
    VCL_DECLARE_CLASS(TSmallintField)
public:
    explicit TSmallintField(TComponent* owner) : TIntegerField(owner, TFieldType::ftSmallint) {}
};
class TWordField : public TIntegerField {
    VCL_DECLARE_CLASS(TWordField)
public:
    explicit TWordField(TComponent* owner) : TIntegerField(owner, TFieldType::ftWord) {}
};
class TAutoIncField : public TIntegerField {
    VCL_DECLARE_CLASS(TAutoIncField)
public:
    explicit TAutoIncField(TComponent* owner) : TIntegerField(owner, TFieldType::ftAutoInc) {}
};
class TLargeintField : public TIntegerField {
    VCL_DECLARE_CLASS(TLargeintField)
public:
    explicit TLargeintField(TComponent* owner) : TIntegerField(owner, TFieldType::ftLargeint) {}
};
class TFloatField : public TField {
    VCL_DECLARE_CLASS(TFloatField)
public:
    explicit TFloatField(TComponent* owner, TFieldType type = TFieldType::ftFloat) : TField(owner, type) {}
};
class TCurrencyField : public TFloatField {
    VCL_DECLARE_CLASS(TCurrencyField)
public:
    explicit TCurrencyField(TComponent* owner) : TFloatField(owner, TFieldType::ftCurrency) {}
};
class TBCDField : public TFloatField {
    VCL_DECLARE_CLASS(TBCDField)
public:
    explicit TBCDField(TComponent* owner) : TFloatField(owner, TFieldType::ftBCD) {}
};
class TBooleanField : public TField {
    VCL_DECLARE_CLASS(TBooleanField)
public:
    explicit TBooleanField(TComponent* owner) : TField(owner, TFieldType::ftBoolean) {}
};
class TDateTimeField : public TField {
    VCL_DECLARE_CLASS(TDateTimeField)
public:
    explicit TDateTimeField(TComponent* owner, TFieldType type = TFieldType::ftDateTime) : TField(owner, type) {}
};
class TDateField : public TDateTimeField {
    VCL_DECLARE_CLASS(TDateField)
public:
    explicit TDateField(TComponent* owner) : TDateTimeField(owner, TFieldType::ftDate) {}
};
class TTimeField : public TDateTimeField {
    VCL_DECLARE_CLASS(TTimeField)
public:
    explicit TTimeField(TComponent* owner) : TDateTimeField(owner, TFieldType::ftTime) {}
};
class TBytesField : public TField {
    VCL_DECLARE_CLASS(TBytesField)
public:
    explicit TBytesField(TComponent* owner) : TField(owner, TFieldType::ftBytes) {}
};
class TBlobField : public TField {
    VCL_DECLARE_CLASS(TBlobField)
public:
    explicit TBlobField(TComponent* owner, TFieldType type = TFieldType::ftBlob) : TField(owner, type) {}
};
class TMemoField : public TBlobField {
    VCL_DECLARE_CLASS(TMemoField)
public:
    explicit TMemoField(TComponent* owner) : TBlobField(owner, TFieldType::ftMemo) {}
};

// A field whose value is a dataset of detail records (one set per master
// record), shown through its nested client dataset.
class TDataSetField : public TField {
    VCL_DECLARE_CLASS(TDataSetField)
public:
    explicit TDataSetField(TComponent* owner);
    // The dataset of the active master record's details; created with the field.
    TClientDataSet* NestedDataSet() const { return nested_; }
    plat::packet::FieldDesc Describe() const override;

protected:
    std::string DefaultText(const plat::Variant& value, bool display) const override { return "(DataSet)"; }

private:
    TClientDataSet* nested_ = nullptr;
};

// Creates the field object of a type (TStringField for ftString, ...).
TField* CreateField(TComponent* owner, TFieldType type);

}  // namespace vcl
