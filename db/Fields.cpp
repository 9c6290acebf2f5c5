// Field objects: conversion of values into each field type, the edit and
// display texts, and the handlers around reading and writing.
#include "Fields.h"

#include <cmath>
#include <cstdio>

#include "DBClient.h"
#include "DateUtils.h"
#include "NumberFormat.h"
#include "StrUtils.h"

namespace vcl {

using plat::Variant;

namespace {

bool ParseDouble(const std::string& text, double& out) {
    std::string t = plat::Trim(text);
    if (t.empty()) return false;
    try {
        out = Variant(t).ToDouble();
        return true;
    } catch (const plat::Exception&) {
        return false;
    }
}

std::string DateText(double value, TFieldType type) {
    int y, m, d, h, n, s, ms;
    DecodeDate(value, y, m, d);
    DecodeTime(value, h, n, s, ms);
    char buf[48];
    if (type == TFieldType::ftDate) std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    else if (type == TFieldType::ftTime) std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, n, s);
    else std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, n, s);
    return buf;
}

// "2026-03-05", "2026/03/05 10:20:30", "20260305", "10:20" (time fields).
bool ParseDateTime(const std::string& text, TFieldType type, double& out) {
    std::string t = plat::Trim(text);
    int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0;
    if (type == TFieldType::ftTime) {
        if (std::sscanf(t.c_str(), "%d:%d:%d", &h, &n, &s) < 2) return false;
        if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59) return false;
        out = EncodeTime(h, n, s, 0);
        return true;
    }
    char sep1 = 0, sep2 = 0;
    if (t.size() >= 8 && t.find_first_not_of("0123456789") >= 8 &&
        std::sscanf(t.c_str(), "%4d%2d%2d", &y, &m, &d) == 3) {
    } else if (std::sscanf(t.c_str(), "%d%c%d%c%d", &y, &sep1, &m, &sep2, &d) != 5) {
        return false;
    }
    double date = 0;
    if (!TryEncodeDate(y, m, d, date)) return false;
    size_t blank = t.find(' ');
    if (blank != std::string::npos && type != TFieldType::ftDate) {
        if (std::sscanf(t.c_str() + blank + 1, "%d:%d:%d", &h, &n, &s) < 2) return false;
        date += EncodeTime(h, n, s, 0);
    }
    out = date;
    return true;
}

}  // namespace

const char* FieldTypeName(TFieldType type) {
    switch (type) {
        case TFieldType::ftString: return "String";
        case TFieldType::ftSmallint: return "Smallint";
        case TFieldType::ftInteger: return "Integer";
        case TFieldType::ftWord: return "Word";
        case TFieldType::ftBoolean: return "Boolean";
        case TFieldType::ftFloat: return "Float";
        case TFieldType::ftCurrency: return "Currency";
        case TFieldType::ftBCD: return "BCD";
        case TFieldType::ftDate: return "Date";
        case TFieldType::ftTime: return "Time";
        case TFieldType::ftDateTime: return "DateTime";
        case TFieldType::ftBytes: return "Bytes";
        case TFieldType::ftAutoInc: return "AutoInc";
        case TFieldType::ftBlob: return "Blob";
        case TFieldType::ftMemo: return "Memo";
        case TFieldType::ftFixedChar: return "FixedChar";
        case TFieldType::ftWideString: return "WideString";
        case TFieldType::ftLargeint: return "Largeint";
        case TFieldType::ftDataSet: return "DataSet";
        default: return "Unknown";
    }
}

// ---- class information ----

#define FIELD_CLASS(Cls, Base)                                                                    \
    const TClassInfo& Cls::StaticClass() {                                                        \
        static const TClassInfo info = [] {                                                       \
            TClassInfo c;                                                                         \
            c.Name = #Cls;                                                                        \
            c.Parent = &Base::StaticClass();                                                      \
            return c;                                                                             \
        }();                                                                                      \
        return info;                                                                              \
    }

const TClassInfo& TField::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c;
        c.Name = "TField";
        c.Parent = &TComponent::StaticClass();
        TPropBuilder<TField>(c)
            .Str("FieldName", &TField::FieldName, nullptr)
            .Str("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel)
            .Int("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth)
            .Str("DisplayFormat", &TField::DisplayFormat, &TField::SetDisplayFormat)
            .Str("EditFormat", &TField::EditFormat, &TField::SetEditFormat)
            .Str("EditMask", &TField::EditMask, &TField::SetEditMask)
            .Bool("Visible", &TField::Visible, &TField::SetVisible)
            .Bool("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly)
            .Bool("Required", &TField::Required, &TField::SetRequired)
            .Int("Size", &TField::Size, &TField::SetSize)
            .Event("OnGetText")
            .Event("OnSetText")
            .Event("OnValidate")
            .Event("OnChange");
        return c;
    }();
    return info;
}

FIELD_CLASS(TStringField, TField)
FIELD_CLASS(TWideStringField, TStringField)
FIELD_CLASS(TFixedCharField, TStringField)
FIELD_CLASS(TIntegerField, TField)
FIELD_CLASS(TSmallintField, TIntegerField)
FIELD_CLASS(TWordField, TIntegerField)
FIELD_CLASS(TAutoIncField, TIntegerField)
FIELD_CLASS(TLargeintField, TIntegerField)
FIELD_CLASS(TFloatField, TField)
FIELD_CLASS(TCurrencyField, TFloatField)
FIELD_CLASS(TBCDField, TFloatField)
FIELD_CLASS(TBooleanField, TField)
FIELD_CLASS(TDateTimeField, TField)
FIELD_CLASS(TDateField, TDateTimeField)
FIELD_CLASS(TTimeField, TDateTimeField)
FIELD_CLASS(TBytesField, TField)
FIELD_CLASS(TBlobField, TField)
FIELD_CLASS(TMemoField, TBlobField)
FIELD_CLASS(TDataSetField, TField)

// ---- TField ----

TField::TField(TComponent* owner, TFieldType type) : TComponent(owner), type_(type) {}

TField::~TField() {
    if (dataSet_) dataSet_->DetachField(this);
}

int TField::Index() const {
    if (!dataSet_) return -1;
    const auto& list = dataSet_->FieldList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == this) return static_cast<int>(i);
    return -1;
}

void TField::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void TField::Changed() {
    if (dataSet_) dataSet_->FieldLayoutChanged();
}

int TField::DisplayWidth() const {
    if (displayWidth_ > 0) return displayWidth_;
    switch (type_) {
        case TFieldType::ftString: case TFieldType::ftWideString: case TFieldType::ftFixedChar: case TFieldType::ftBytes:
            return size_ > 0 ? size_ : 20;
        case TFieldType::ftBoolean: return 5;
        case TFieldType::ftSmallint: case TFieldType::ftWord: return 6;
        case TFieldType::ftDate: case TFieldType::ftTime: return 10;
        case TFieldType::ftDateTime: return 19;
        default: return 10;
    }
}

int TField::Alignment() const { return IsNumeric() ? 1 : 0; }

bool TField::IsNumeric() const {
    switch (type_) {
        case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftWord: case TFieldType::ftAutoInc:
        case TFieldType::ftLargeint: case TFieldType::ftFloat: case TFieldType::ftCurrency: case TFieldType::ftBCD:
            return true;
        default:
            return false;
    }
}

Variant TField::Value() const {
    if (!dataSet_) throw EDatabaseError("Field '" + fieldName_ + "' has no dataset");
    return dataSet_->GetFieldValue(this);
}

void TField::SetValue(const Variant& value) {
    if (!dataSet_) throw EDatabaseError("Field '" + fieldName_ + "' has no dataset");
    dataSet_->SetFieldValue(this, value.IsEmptyOrNull() ? Variant::Null() : ConvertIn(value));
}

Variant TField::ConvertIn(const Variant& value) const {
    if (value.IsEmptyOrNull()) return Variant::Null();
    auto bad = [&]() -> EDatabaseError {
        std::string text;
        try { text = value.ToString(); } catch (const plat::Exception&) { text = "?"; }
        return EDatabaseError("'" + text + "' is not a valid value for field '" + fieldName_ + "'");
    };
    switch (type_) {
        case TFieldType::ftString: case TFieldType::ftWideString: case TFieldType::ftFixedChar:
        case TFieldType::ftMemo: case TFieldType::ftBlob: case TFieldType::ftBytes:
            if (value.IsArray() || value.IsDispatch()) throw bad();
            return Variant(value.ToString());
        case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftWord: case TFieldType::ftAutoInc: {
            double d = 0;
            if (value.IsString()) {
                if (!ParseDouble(value.ToString(), d)) {
                    if (plat::Trim(value.ToString()).empty()) return Variant::Null();
                    throw bad();
                }
            } else {
                try { d = value.ToDouble(); } catch (const plat::Exception&) { throw bad(); }
            }
            if (d != std::floor(d)) throw bad();
            if (type_ == TFieldType::ftSmallint && (d < -32768 || d > 32767)) throw bad();
            if (type_ == TFieldType::ftWord && (d < 0 || d > 65535)) throw bad();
            if (d < -2147483648.0 || d > 2147483647.0) throw bad();
            return Variant(static_cast<int32_t>(d));
        }
        case TFieldType::ftLargeint:
            try {
                if (value.IsString() && plat::Trim(value.ToString()).empty()) return Variant::Null();
                return Variant(value.IsString() ? static_cast<int64_t>(std::stoll(plat::Trim(value.ToString())))
                                                : value.ToInt64());
            } catch (const std::exception&) {
                throw bad();
            }
        case TFieldType::ftFloat: case TFieldType::ftCurrency: case TFieldType::ftBCD: {
            double d = 0;
            if (value.IsString()) {
                if (plat::Trim(value.ToString()).empty()) return Variant::Null();
                if (!ParseDouble(value.ToString(), d)) throw bad();
            } else {
                try { d = value.ToDouble(); } catch (const plat::Exception&) { throw bad(); }
            }
            return Variant(d);
        }
        case TFieldType::ftBoolean: {
            if (value.IsString()) {
                std::string t = plat::UpperCase(plat::Trim(value.ToString()));
                if (t.empty()) return Variant::Null();
                if (t == "TRUE" || t == "T" || t == "Y" || t == "YES" || t == "1" || t == "-1") return Variant(true);
                if (t == "FALSE" || t == "F" || t == "N" || t == "NO" || t == "0") return Variant(false);
                throw bad();
            }
            try { return Variant(value.ToBool()); } catch (const plat::Exception&) { throw bad(); }
        }
        case TFieldType::ftDate: case TFieldType::ftTime: case TFieldType::ftDateTime: {
            double d = 0;
            if (value.IsString()) {
                if (plat::Trim(value.ToString()).empty()) return Variant::Null();
                if (!ParseDateTime(value.ToString(), type_, d)) throw bad();
            } else {
                try { d = value.ToDouble(); } catch (const plat::Exception&) { throw bad(); }
            }
            if (type_ == TFieldType::ftDate) d = std::floor(d);
            return Variant::FromDate(d);
        }
        case TFieldType::ftDataSet:
            throw EDatabaseError("A dataset field takes no value: '" + fieldName_ + "'");
        default:
            return value;
    }
}

std::string TField::AsString() const {
    Variant v = Value();
    if (v.IsEmptyOrNull()) return {};
    return DefaultText(v, false);
}

void TField::SetAsString(const std::string& text) { SetValue(ConvertIn(Variant(text))); }

int32_t TField::AsInteger() const {
    Variant v = Value();
    if (v.IsEmptyOrNull()) return 0;
    try {
        return static_cast<int32_t>(std::llround(v.ToDouble()));
    } catch (const plat::Exception&) {
        throw EDatabaseError("'" + v.ToString() + "' is not a valid integer value for field '" + fieldName_ + "'");
    }
}

int64_t TField::AsLargeInt() const {
    Variant v = Value();
    if (v.IsEmptyOrNull()) return 0;
    try {
        return v.IsString() ? std::stoll(plat::Trim(v.ToString())) : v.ToInt64();
    } catch (const std::exception&) {
        throw EDatabaseError("'" + v.ToString() + "' is not a valid integer value for field '" + fieldName_ + "'");
    }
}

double TField::AsFloat() const {
    Variant v = Value();
    if (v.IsEmptyOrNull()) return 0;
    double d = 0;
    if (v.IsString() ? ParseDouble(v.ToString(), d) : (d = v.ToDouble(), true)) return d;
    throw EDatabaseError("'" + v.ToString() + "' is not a valid floating point value for field '" + fieldName_ + "'");
}

bool TField::AsBoolean() const {
    Variant v = Value();
    if (v.IsEmptyOrNull()) return false;
    if (v.IsString()) {
        std::string t = plat::UpperCase(plat::Trim(v.ToString()));
        return t == "TRUE" || t == "T" || t == "Y" || t == "YES" || t == "1" || t == "-1";
    }
    return v.ToBool();
}

double TField::AsDateTime() const {
    Variant v = Value();
    if (v.IsEmptyOrNull()) return 0;
    double d = 0;
    if (v.IsString()) {
        if (!ParseDateTime(v.ToString(), type_ == TFieldType::ftTime ? type_ : TFieldType::ftDateTime, d))
            throw EDatabaseError("'" + v.ToString() + "' is not a valid date for field '" + fieldName_ + "'");
        return d;
    }
    return v.ToDouble();
}

std::string TField::DefaultText(const Variant& v, bool display) const {
    switch (type_) {
        case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftWord: case TFieldType::ftAutoInc:
        case TFieldType::ftLargeint: case TFieldType::ftFloat: case TFieldType::ftCurrency: case TFieldType::ftBCD: {
            const std::string& mask = display ? displayFormat_ : editFormat_;
            if (v.IsString()) return v.ToString();
            if (mask.empty()) {
                if (type_ == TFieldType::ftLargeint) return std::to_string(v.ToInt64());
                return plat::FloatToStr(v.ToDouble());
            }
            return FormatFloat(mask, v.ToDouble());
        }
        case TFieldType::ftBoolean:
            return v.ToBool() ? "True" : "False";
        case TFieldType::ftDate: case TFieldType::ftTime: case TFieldType::ftDateTime:
            return v.IsString() ? v.ToString() : DateText(v.ToDouble(), type_);
        default:
            return v.ToString();
    }
}

std::string TField::GetText(bool display) const {
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<TField*>(this), text, display);
        return text;
    }
    Variant v = Value();
    if (v.IsEmptyOrNull()) return {};
    return DefaultText(v, display);
}

void TField::SetText(const std::string& text) {
    if (OnSetText) OnSetText(this, text);
    else SetAsString(text);
}

plat::packet::FieldDesc TField::Describe() const {
    plat::packet::FieldDesc d;
    d.Name = fieldName_;
    d.Type = static_cast<int>(type_);
    d.Size = size_;
    d.Required = required_;
    d.Key = key_;
    return d;
}

// ---- TDataSetField ----

TDataSetField::TDataSetField(TComponent* owner) : TField(owner, TFieldType::ftDataSet) {
    nested_ = TComponent::Create<TClientDataSet>(this);
    nested_->masterField_ = this;
}

plat::packet::FieldDesc TDataSetField::Describe() const {
    plat::packet::FieldDesc d = TField::Describe();
    for (TField* f : nested_->FieldList()) d.Nested.push_back(f->Describe());
    return d;
}

TField* CreateField(TComponent* owner, TFieldType type) {
    switch (type) {
        case TFieldType::ftString: return new TStringField(owner);
        case TFieldType::ftWideString: return new TWideStringField(owner);
        case TFieldType::ftFixedChar: return new TFixedCharField(owner);
        case TFieldType::ftSmallint: return new TSmallintField(owner);
        case TFieldType::ftInteger: return new TIntegerField(owner);
        case TFieldType::ftWord: return new TWordField(owner);
        case TFieldType::ftAutoInc: return new TAutoIncField(owner);
        case TFieldType::ftLargeint: return new TLargeintField(owner);
        case TFieldType::ftFloat: return new TFloatField(owner);
        case TFieldType::ftCurrency: return new TCurrencyField(owner);
        case TFieldType::ftBCD: return new TBCDField(owner);
        case TFieldType::ftBoolean: return new TBooleanField(owner);
        case TFieldType::ftDate: return new TDateField(owner);
        case TFieldType::ftTime: return new TTimeField(owner);
        case TFieldType::ftDateTime: return new TDateTimeField(owner);
        case TFieldType::ftBytes: return new TBytesField(owner);
        case TFieldType::ftBlob: return new TBlobField(owner);
        case TFieldType::ftMemo: return new TMemoField(owner);
        case TFieldType::ftDataSet: return new TDataSetField(owner);
        default: throw EDatabaseError(std::string("Unsupported field type ") + FieldTypeName(type));
    }
}

}  // namespace vcl
