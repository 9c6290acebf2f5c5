// Class information, component ownership and published properties by name.
#include "Classes.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

#include "StrUtils.h"

namespace vcl {

namespace {

bool SameText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// Resolves "A.B.C" to the object holding property C and the property itself.
const TPropInfo* ResolveProperty(const TObject*& object, const std::string& path) {
    std::string rest = path;
    for (;;) {
        if (!object) return nullptr;
        size_t dot = rest.find('.');
        const TPropInfo* info = object->ClassType().FindProperty(rest.substr(0, dot));
        if (!info || dot == std::string::npos) return info;
        if (info->Kind != TTypeKind::Class || !info->GetObject) return nullptr;
        object = info->GetObject(object);
        rest = rest.substr(dot + 1);
    }
}

const TPropInfo& RequireProperty(const TObject*& object, const std::string& name) {
    const TObject* original = object;
    const TPropInfo* info = ResolveProperty(object, name);
    if (!info) throw plat::Exception("Property " + name + " does not exist in " + (original ? original->ClassName() : "nil"));
    return *info;
}

}  // namespace

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == &other) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const TPropInfo& p : c->Properties)
            if (SameText(p.Name, name)) return &p;
    return nullptr;
}

TClassInfo& TClassInfo::AddProperty(TPropInfo info) {
    Properties.push_back(std::move(info));
    return *this;
}

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info{"TObject", nullptr, {}, nullptr};
    return info;
}

const TClassInfo& TPersistent::StaticClass() {
    static const TClassInfo info{"TPersistent", &TObject::StaticClass(), {}, nullptr};
    return info;
}

const TClassInfo& TComponent::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TComponent>("TComponent", TPersistent::StaticClass());
        c.AddProperty({"Name", TTypeKind::LString,
                       [](const TObject* o) { return plat::Variant(static_cast<const TComponent*>(o)->Name()); },
                       [](TObject* o, const plat::Variant& v) { static_cast<TComponent*>(o)->SetName(v.ToString()); },
                       nullptr});
        c.AddProperty({"Tag", TTypeKind::Integer,
                       [](const TObject* o) { return plat::Variant(static_cast<const TComponent*>(o)->Tag()); },
                       [](TObject* o, const plat::Variant& v) { static_cast<TComponent*>(o)->SetTag(v.ToInt()); },
                       nullptr});
        return c;
    }();
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

// Owned components go while the whole owner still exists, last-created
// first; each removes itself from the list.
void TComponent::DestroyComponents() {
    while (!components_.empty()) components_.back()->Free();
}

void TComponent::Free() {
    if (destroying_) return;
    destroying_ = true;
    BeforeDestruction();
    DestroyComponents();
    delete this;
}

void TComponent::BeforeDestruction() {}

void TComponent::SetName(const std::string& name) {
    if (SameText(name, name_)) {
        name_ = name;
        return;
    }
    if (owner_)
        if (TComponent* other = owner_->FindComponent(name); other && other != this)
            throw plat::Exception("A component named " + name + " already exists");
    name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (TComponent* other = FindComponent(component->Name()); other && other != component)
        throw plat::Exception("A component named " + component->Name() + " already exists");
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

bool IsPublishedProp(const TObject* object, const std::string& name) { return ResolveProperty(object, name) != nullptr; }

TTypeKind PropType(const TObject* object, const std::string& name) { return RequireProperty(object, name).Kind; }

plat::Variant GetPropValue(const TObject* object, const std::string& name) {
    const TPropInfo& info = RequireProperty(object, name);
    if (!info.Get) throw plat::Exception("Property " + name + " has no value of its own");
    return info.Get(object);
}

void SetPropValue(TObject* object, const std::string& name, const plat::Variant& value) {
    const TObject* target = object;
    const TPropInfo& info = RequireProperty(target, name);
    if (!info.Set) throw plat::Exception("Property " + name + " is read-only");
    info.Set(const_cast<TObject*>(target), value);
}

TObject* GetObjectProp(const TObject* object, const std::string& name) {
    const TPropInfo& info = RequireProperty(object, name);
    return info.GetObject ? info.GetObject(object) : nullptr;
}

void SetObjectProp(TObject* object, const std::string& name, TObject* value) {
    const TObject* target = object;
    const TPropInfo& info = RequireProperty(target, name);
    if (!info.SetObject) throw plat::Exception("Property " + name + " cannot be assigned an object");
    info.SetObject(const_cast<TObject*>(target), value);
}

std::string GetPropText(const TObject* object, const std::string& name) {
    const TPropInfo& info = RequireProperty(object, name);
    if (!info.Get) throw plat::Exception("Property " + name + " has no value of its own");
    plat::Variant v = info.Get(object);
    switch (info.Kind) {
    case TTypeKind::Enumeration: {
        int ordinal = v.Type() == plat::VarType::Boolean ? (v.ToBool() ? 1 : 0) : v.ToInt();
        if (ordinal >= 0 && ordinal < static_cast<int>(info.EnumNames.size())) return info.EnumNames[ordinal];
        return std::to_string(ordinal);
    }
    case TTypeKind::Set: return SetToText(info.EnumNames, v.ToInt());
    case TTypeKind::Integer: {
        std::string ident;
        if (info.Idents && IntToIdent(v.ToInt(), ident, *info.Idents)) return ident;
        return v.ToString();
    }
    default: return v.ToString();
    }
}

namespace {

bool ParseInt(const std::string& text, int& value) {
    std::string t = plat::Trim(text);
    if (t.empty()) return false;
    size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) return false;
    for (size_t k = i; k < t.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
    value = std::stoi(t);
    return true;
}

}  // namespace

int EnumValueOf(const std::vector<std::string>& names, const std::string& property, const std::string& text) {
    std::string t = plat::Trim(text);
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], t)) return static_cast<int>(i);
    int value = 0;
    if (ParseInt(t, value) && value >= 0 && (names.empty() || value < static_cast<int>(names.size()))) return value;
    throw plat::Exception("Invalid property value " + t + " for " + property);
}

int SetValueOf(const std::vector<std::string>& names, const std::string& property, const std::string& text) {
    std::string t = plat::Trim(text);
    int number = 0;
    if (ParseInt(t, number)) return number;
    if (!t.empty() && t.front() == '[') t.erase(0, 1);
    if (!t.empty() && t.back() == ']') t.pop_back();
    int mask = 0;
    size_t start = 0;
    while (start <= t.size()) {
        size_t comma = t.find(',', start);
        std::string element = plat::Trim(t.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!element.empty()) mask |= 1 << EnumValueOf(names, property, element);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return mask;
}

std::string SetToText(const std::vector<std::string>& names, int value) {
    std::string text = "[";
    for (size_t i = 0; i < names.size() && i < 31; ++i)
        if (value & (1 << i)) {
            if (text.size() > 1) text += ",";
            text += names[i];
        }
    return text + "]";
}

bool IdentToInt(const std::string& ident, int& value, const TIdentMap& map) {
    std::string t = plat::Trim(ident);
    for (const TIdentMapEntry& e : map)
        if (SameText(e.Name, t)) {
            value = e.Value;
            return true;
        }
    return false;
}

bool IntToIdent(int value, std::string& ident, const TIdentMap& map) {
    for (const TIdentMapEntry& e : map)
        if (e.Value == value) {
            ident = e.Name;
            return true;
        }
    return false;
}

// ---- TStrings ----

const TClassInfo& TStrings::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TStrings", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TStrings>(c)
            .Int("Count", &TStrings::Count, nullptr)
            .Str("Text", &TStrings::Text, &TStrings::SetText)
            .Str("CommaText", &TStrings::CommaText, &TStrings::SetCommaText);
        return c;
    }();
    return info;
}

void TStrings::NotifyChanged() {
    if (updating_ > 0) {
        pending_ = true;
        return;
    }
    pending_ = false;
    if (Changed) Changed();
    OnChange(this);
}

void TStrings::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0 && pending_) NotifyChanged();
}

void TStrings::Put(int index, const std::string& line) {
    lines_[index] = line;
    NotifyChanged();
}

TObject* TStrings::Objects(int index) const {
    (void)lines_[index];   // raises for an index out of range
    return objects_[static_cast<size_t>(index)];
}

void TStrings::PutObject(int index, TObject* object) {
    (void)lines_[index];
    objects_[static_cast<size_t>(index)] = object;
}

int TStrings::Add(const std::string& line) { return AddObject(line, nullptr); }

int TStrings::AddObject(const std::string& line, TObject* object) {
    int index = lines_.Add(line);
    objects_.push_back(object);
    NotifyChanged();
    return index;
}

void TStrings::Insert(int index, const std::string& line) {
    if (index < 0 || index > Count()) throw plat::Exception("List index out of bounds (" + std::to_string(index) + ")");
    lines_.Add(line);
    for (int i = Count() - 1; i > index; --i) lines_[i] = lines_[i - 1];
    lines_[index] = line;
    objects_.insert(objects_.begin() + index, nullptr);
    NotifyChanged();
}

void TStrings::Delete(int index) {
    lines_.Delete(index);
    objects_.erase(objects_.begin() + index);
    NotifyChanged();
}

void TStrings::Clear() {
    if (Count() == 0) return;
    lines_.Clear();
    objects_.clear();
    NotifyChanged();
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    std::string line = lines_[from];
    TObject* object = Objects(from);
    (void)lines_[to];
    BeginUpdate();
    Delete(from);
    Insert(to, line);
    objects_[static_cast<size_t>(to)] = object;
    EndUpdate();
}

void TStrings::Exchange(int a, int b) {
    std::swap(lines_[a], lines_[b]);
    std::swap(objects_[static_cast<size_t>(a)], objects_[static_cast<size_t>(b)]);
    NotifyChanged();
}

int TStrings::IndexOf(const std::string& line) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(lines_[i], line)) return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i] == object) return static_cast<int>(i);
    return -1;
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    int before = Count();
    int at = IndexOfName(name);
    lines_.SetValue(name, value);
    if (Count() < before) objects_.erase(objects_.begin() + at);
    else if (Count() > before) objects_.push_back(nullptr);
    NotifyChanged();
}

void TStrings::SetText(const std::string& text) {
    lines_.SetText(text);
    objects_.assign(static_cast<size_t>(Count()), nullptr);
    NotifyChanged();
}

std::string TStrings::CommaText() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        if (i) text += ",";
        const std::string& line = lines_[i];
        bool quote = line.empty() || line.find_first_of(" ,\"") != std::string::npos;
        if (!quote) {
            text += line;
            continue;
        }
        text += '"';
        for (char ch : line) {
            if (ch == '"') text += '"';
            text += ch;
        }
        text += '"';
    }
    return text;
}

void TStrings::SetCommaText(const std::string& text) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
        if (i >= text.size()) break;
        std::string line;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') { line += '"'; i += 2; continue; }
                    ++i;
                    break;
                }
                line += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != ' ') line += text[i++];
        }
        lines.push_back(line);
    }
    Assign(lines);
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> v;
    for (int i = 0; i < Count(); ++i) v.push_back(lines_[i]);
    return v;
}

void TStrings::Assign(const TStrings& other) {
    if (&other == this) return;
    lines_.Clear();
    for (int i = 0; i < other.Count(); ++i) lines_.Add(other[i]);
    objects_ = other.objects_;
    NotifyChanged();
}

void TStrings::Assign(const std::vector<std::string>& lines) {
    lines_.Clear();
    for (const std::string& l : lines) lines_.Add(l);
    objects_.assign(lines.size(), nullptr);
    NotifyChanged();
}

}  // namespace vcl
