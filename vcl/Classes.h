// The component core: objects that know their class by name and ancestry,
// components with a Name, an Owner and the ordered list of components they
// own, published properties read and written by name, and assignable event
// handlers that can be saved, replaced and restored.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Variant.h"

namespace vcl {

class TObject;
class TComponent;
struct TClassInfo;

// Kinds of published properties, as the runtime's type information names them.
enum class TTypeKind { Unknown, Integer, Char, Enumeration, Float, String, Set, Class, Method, WChar, LString, WString, Variant };

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::Unknown;
    std::function<plat::Variant(const TObject*)> Get;        // value kinds
    std::function<void(TObject*, const plat::Variant&)> Set; // nullptr when read-only
    std::function<TObject*(const TObject*)> GetObject;       // class kind: the object it holds
};

// Run-time class information: name, parent, published properties and the
// virtual constructor (nullptr for classes that cannot be created by reference).
struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::vector<TPropInfo> Properties;
    std::function<TComponent*(TComponent* owner)> Create;

    bool InheritsFrom(const TClassInfo& other) const;
    const TPropInfo* FindProperty(const std::string& name) const;   // searches the ancestors too
    TClassInfo& AddProperty(TPropInfo info);
};

// A class reference, as a Delphi "class of" variable holds it.
using TClass = const TClassInfo*;

// Declares the run-time class information of a class.
#define VCL_DECLARE_CLASS(Cls)                                                   \
public:                                                                          \
    static const ::vcl::TClassInfo& StaticClass();                               \
    const ::vcl::TClassInfo& ClassType() const override { return StaticClass(); }

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType().Name; }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

class TPersistent : public TObject {
    VCL_DECLARE_CLASS(TPersistent)
};

// An assignable event handler. `Owner` identifies whose handler it is, so
// that code which installs its own handlers can recognise them later (a
// handler cannot be compared by its code).
template <class... A>
class TEvent {
public:
    using Fn = std::function<void(A...)>;
    TEvent() = default;
    TEvent(Fn fn, const void* owner = nullptr) : fn_(std::move(fn)), owner_(owner) {}
    explicit operator bool() const { return static_cast<bool>(fn_); }
    void operator()(A... args) const { if (fn_) fn_(std::forward<A>(args)...); }
    const void* Owner() const { return owner_; }
    bool BelongsTo(const void* owner) const { return fn_ && owner_ == owner; }

private:
    Fn fn_;
    const void* owner_ = nullptr;
};

using TNotifyEvent = TEvent<TObject*>;

// A component: named, owned, owning. Owned components are freed with their
// owner, the last-created first.
class TComponent : public TPersistent {
    VCL_DECLARE_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Frees the component: runs BeforeDestruction, then deletes it. Always
    // free components this way, so that destroy events see the whole object.
    void Free();

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    const std::vector<TComponent*>& ComponentList() const { return components_; }
    // Owned component by name, compared without case; nullptr when none.
    TComponent* FindComponent(const std::string& name) const;
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    bool Destroying() const { return destroying_; }

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    // Creates a component of class `T`, runs its AfterConstruction and
    // returns it; the owner frees it unless it is freed first.
    template <class T, class... A>
    static T* Create(A&&... args) {
        T* object = new T(std::forward<A>(args)...);
        object->AfterConstruction();
        return object;
    }

    virtual void AfterConstruction() {}

protected:
    virtual void BeforeDestruction();
    void DestroyComponents();

private:
    std::string name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    int tag_ = 0;
    bool destroying_ = false;
};

// Builds the class information of a component class whose constructor takes
// the owner: name, parent and the virtual constructor.
template <class T>
TClassInfo MakeComponentClass(const std::string& name, const TClassInfo& parent) {
    TClassInfo info;
    info.Name = name;
    info.Parent = &parent;
    info.Create = [](TComponent* owner) -> TComponent* { return TComponent::Create<T>(owner); };
    return info;
}

// Published properties by name. Names may be dotted ("Font.Name") to reach a
// property of an object-valued property. GetPropValue raises plat::Exception
// for an unknown property; IsPublishedProp answers without raising.
bool IsPublishedProp(const TObject* object, const std::string& name);
TTypeKind PropType(const TObject* object, const std::string& name);
plat::Variant GetPropValue(const TObject* object, const std::string& name);
void SetPropValue(TObject* object, const std::string& name, const plat::Variant& value);
TObject* GetObjectProp(const TObject* object, const std::string& name);

}  // namespace vcl
