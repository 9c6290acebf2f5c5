// The component core: objects that know their class by name and ancestry,
// components with a Name, an Owner and the ordered list of components they
// own, published properties read and written by name, and assignable event
// handlers that can be saved, replaced and restored.
#pragma once

#include <functional>
#include <type_traits>
#include <memory>
#include <string>
#include <vector>

#include "StringList.h"
#include "Variant.h"

namespace vcl {

class TObject;
class TComponent;
struct TClassInfo;

// Kinds of published properties, as the runtime's type information names them.
enum class TTypeKind { Unknown, Integer, Char, Enumeration, Float, String, Set, Class, Method, WChar, LString, WString, Variant };

// An identifier that stands for an integer value of a property ("clBtnFace"
// for a colour, "crHourGlass" for a cursor).
struct TIdentMapEntry {
    int Value;
    const char* Name;
};
using TIdentMap = std::vector<TIdentMapEntry>;

// Identifier lookups, compared without case; false when there is no match.
bool IdentToInt(const std::string& ident, int& value, const TIdentMap& map);
bool IntToIdent(int value, std::string& ident, const TIdentMap& map);

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::Unknown;
    std::function<plat::Variant(const TObject*)> Get;        // value kinds
    std::function<void(TObject*, const plat::Variant&)> Set; // nullptr when read-only
    std::function<TObject*(const TObject*)> GetObject;       // class kind: the object it holds
    std::function<void(TObject*, TObject*)> SetObject = nullptr;   // class kind, when assignable
    const TIdentMap* Idents = nullptr;                             // integer kind: identifiers it accepts
    std::vector<std::string> EnumNames = {};                       // enumeration and set kinds: element names
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

// Handlers reached from the window system (signals, events, posted messages,
// timers) run inside Guarded: what they throw never unwinds through Qt. It
// ends in the application's exception handling (TApplication, Forms): an
// abort ends the action silently, any other error is shown and logged, and
// the program goes on. Call HandleEventException only inside a catch block.
void HandleEventException() noexcept;

template <class F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        HandleEventException();
    }
}

// Guarded for handlers that answer: `onError` when the handler threw.
template <class R, class F>
R GuardedOr(R onError, F&& handler) noexcept {
    try {
        return handler();
    } catch (...) {
        HandleEventException();
        return onError;
    }
}

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
    // Two components of one owner never share a name (compared without case):
    // a name in use is refused with an exception, as lookups by name would
    // otherwise reach the wrong one.
    virtual void SetName(const std::string& name);
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
// Assigns an object to a class-kind property; raises when it cannot be assigned.
void SetObjectProp(TObject* object, const std::string& name, TObject* value);
// An enumeration property's value as its identifier ("alClient"), a set
// property's as "[fsBold,fsItalic]", an integer with identifiers as its
// identifier when it has one; other kinds as their text.
std::string GetPropText(const TObject* object, const std::string& name);

// Converts text to the value of a property of the given information: an
// enumeration identifier or ordinal, a set written "[a,b]" (brackets
// optional), an integer or its identifier. Raises plat::Exception for text
// the property cannot take.
int EnumValueOf(const std::vector<std::string>& names, const std::string& property, const std::string& text);
int SetValueOf(const std::vector<std::string>& names, const std::string& property, const std::string& text);
std::string SetToText(const std::vector<std::string>& names, int value);

// Declares the published properties of class `C` without writing a lambda
// pair for each: getters and setters are member functions (or any callables
// taking the object) of C or of its ancestors.
//
//   TPropBuilder<TEdit>(info)
//       .Str("Text", &TEdit::Text, &TEdit::SetText)
//       .Int("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength);
template <class C>
class TPropBuilder {
public:
    explicit TPropBuilder(TClassInfo& info) : info_(info) {}

    template <class G, class S>
    TPropBuilder& Int(const std::string& name, G get, S set, const TIdentMap* idents = nullptr) {
        TPropInfo p{name, TTypeKind::Integer, Getter<int>(get), nullptr, nullptr};
        p.Idents = idents;
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.Set = [set, idents](TObject* o, const plat::Variant& v) {
                std::invoke(set, *static_cast<C*>(o), IntOf(v, idents));
            };
        info_.AddProperty(std::move(p));
        return *this;
    }
    template <class G, class S>
    TPropBuilder& Str(const std::string& name, G get, S set) {
        TPropInfo p{name, TTypeKind::LString, Getter<std::string>(get), nullptr, nullptr};
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.Set = [set](TObject* o, const plat::Variant& v) { std::invoke(set, *static_cast<C*>(o), v.ToString()); };
        info_.AddProperty(std::move(p));
        return *this;
    }
    template <class G, class S>
    TPropBuilder& Bool(const std::string& name, G get, S set) {
        TPropInfo p{name, TTypeKind::Enumeration, Getter<bool>(get), nullptr, nullptr};
        p.EnumNames = {"False", "True"};
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.Set = [set](TObject* o, const plat::Variant& v) { std::invoke(set, *static_cast<C*>(o), BoolOf(v)); };
        info_.AddProperty(std::move(p));
        return *this;
    }
    // An enumeration of type E whose values are 0..names.size()-1.
    template <class E, class G, class S>
    TPropBuilder& Enum(const std::string& name, G get, S set, std::vector<std::string> names) {
        TPropInfo p{name, TTypeKind::Enumeration, nullptr, nullptr, nullptr};
        p.Get = [get](const TObject* o) {
            return plat::Variant(static_cast<int32_t>(std::invoke(get, *static_cast<const C*>(o))));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.Set = [set, names, name](TObject* o, const plat::Variant& v) {
                int ordinal = v.IsString() ? EnumValueOf(names, name, v.ToString()) : v.ToInt();
                std::invoke(set, *static_cast<C*>(o), static_cast<E>(ordinal));
            };
        p.EnumNames = std::move(names);
        info_.AddProperty(std::move(p));
        return *this;
    }
    // A set held as a bit mask: element i is bit i.
    template <class G, class S>
    TPropBuilder& Set(const std::string& name, G get, S set, std::vector<std::string> names) {
        TPropInfo p{name, TTypeKind::Set, Getter<int>(get), nullptr, nullptr};
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.Set = [set, names, name](TObject* o, const plat::Variant& v) {
                std::invoke(set, *static_cast<C*>(o), v.IsString() ? SetValueOf(names, name, v.ToString()) : v.ToInt());
            };
        p.EnumNames = std::move(names);
        info_.AddProperty(std::move(p));
        return *this;
    }
    // An object-valued property; `set` (optional) assigns another object.
    template <class T, class G, class S = std::nullptr_t>
    TPropBuilder& Obj(const std::string& name, G get, S set = nullptr) {
        TPropInfo p{name, TTypeKind::Class, nullptr, nullptr, nullptr};
        p.GetObject = [get](const TObject* o) -> TObject* {
            return const_cast<TObject*>(static_cast<const TObject*>(std::invoke(get, *static_cast<const C*>(o))));
        };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetObject = [set, name](TObject* o, TObject* value) {
                T* typed = dynamic_cast<T*>(value);
                if (value && !typed) throw plat::Exception("Invalid property value for " + name);
                std::invoke(set, *static_cast<C*>(o), typed);
            };
        info_.AddProperty(std::move(p));
        return *this;
    }
    // An event: published so that it can be found by name; handlers are
    // assigned through the typed member.
    TPropBuilder& Event(const std::string& name) {
        info_.AddProperty(TPropInfo{name, TTypeKind::Method, nullptr, nullptr, nullptr});
        return *this;
    }

private:
    template <class R, class G>
    static std::function<plat::Variant(const TObject*)> Getter(G get) {
        return [get](const TObject* o) { return plat::Variant(static_cast<R>(std::invoke(get, *static_cast<const C*>(o)))); };
    }
    static int IntOf(const plat::Variant& v, const TIdentMap* idents) {
        if (idents && v.IsString()) {
            int value = 0;
            if (IdentToInt(v.ToString(), value, *idents)) return value;
        }
        return v.ToInt();
    }
    static bool BoolOf(const plat::Variant& v) { return v.ToBool(); }

    TClassInfo& info_;
};

// A list of text lines that also reads as name=value pairs, with an
// optional object per line and a change notification, as the lists behind
// Items, Lines and the like are. The lines are kept in plat::TStringList.
class TStrings : public TPersistent {
    VCL_DECLARE_CLASS(TStrings)
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    int Count() const { return lines_.Count(); }
    // Line `index`; raises plat::Exception outside 0..Count-1.
    const std::string& Strings(int index) const { return lines_[index]; }
    const std::string& operator[](int index) const { return lines_[index]; }
    void Put(int index, const std::string& line);
    TObject* Objects(int index) const;
    void PutObject(int index, TObject* object);

    int Add(const std::string& line);
    int AddObject(const std::string& line, TObject* object);
    void Insert(int index, const std::string& line);
    void Delete(int index);
    void Clear();
    void Move(int from, int to);
    void Exchange(int a, int b);
    // First line equal to `line` without regard to case; -1 when none.
    int IndexOf(const std::string& line) const;
    int IndexOfObject(const TObject* object) const;

    std::string Names(int index) const { return lines_.Names(index); }
    int IndexOfName(const std::string& name) const { return lines_.IndexOfName(name); }
    std::string Values(const std::string& name) const { return lines_.Values(name); }
    void SetValue(const std::string& name, const std::string& value);

    std::string Text() const { return lines_.Text(); }
    void SetText(const std::string& text);
    // Lines separated by commas, lines with blanks or commas in double quotes.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    std::vector<std::string> ToVector() const;
    void Assign(const TStrings& other);
    void Assign(const std::vector<std::string>& lines);

    // Changes between BeginUpdate and the matching EndUpdate report once.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();
    int UpdateCount() const { return updating_; }

    TNotifyEvent OnChange;
    // Lets the control that shows the list follow it: called after every
    // change outside an update bracket (and once at its end).
    std::function<void()> Changed;

protected:
    void NotifyChanged();

private:
    plat::TStringList lines_;
    std::vector<TObject*> objects_;
    int updating_ = 0;
    bool pending_ = false;
};
}  // namespace vcl
