// Class information, component ownership and published properties by name.
#include "Classes.h"

#include <algorithm>
#include <strings.h>

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

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
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

}  // namespace vcl
