// Late-bound automation: objects whose members are called by name as method,
// property get or property put, with arguments that may be passed by
// reference (the callee writes them back). The host shell, the application
// server objects and the spreadsheet application all speak this way.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Variant.h"

namespace plat {

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// One argument of an automation call. A by-reference argument points at the
// caller's variable, and whatever the callee leaves in Value is copied back.
struct Arg {
    Variant Value;
    Variant* Target = nullptr;   // caller's variable when passed by reference
    bool IsByRef() const { return Target != nullptr; }
};

// Passes `var` by reference: the callee's changes reach the caller's variable.
Arg ByRef(Variant& var);
Arg ByVal(Variant value);

using Args = std::vector<Arg>;

// An automation object. Member names are compared without regard to case.
class IDispatch : public std::enable_shared_from_this<IDispatch> {
public:
    virtual ~IDispatch() = default;
    // Runs a member. Raise EOleError for an unknown member or a failing call.
    virtual Variant Invoke(const std::string& member, InvokeKind kind, Args& args) = 0;
};

// Calls on a variant that must hold an automation object; raise EOleError
// when it does not. By-reference arguments are written back after the call.
Variant Invoke(const Variant& object, const std::string& member, InvokeKind kind, Args args);
Variant CallMethod(const Variant& object, const std::string& member, Args args = {});
Variant GetProperty(const Variant& object, const std::string& member, Args args = {});
void SetProperty(const Variant& object, const std::string& member, Variant value);

// The error text of an unknown member, as the runtime words it.
std::string UnknownMemberText(const std::string& member);

// A convenient base for in-process automation objects: members are
// registered by name with handlers that receive the argument list.
class AutomationObject : public IDispatch {
public:
    using Handler = std::function<Variant(Args&)>;
    using Setter = std::function<void(Args&, const Variant&)>;

    Variant Invoke(const std::string& member, InvokeKind kind, Args& args) override;

protected:
    // A method; also answers a property get of the same name (the runtime
    // does not tell the two apart for members without arguments).
    void Method(const std::string& name, Handler handler);
    // A readable property, optionally writable.
    void Property(const std::string& name, Handler getter, Setter setter = nullptr);

private:
    struct Member {
        Handler call;
        Setter put;
    };
    std::map<std::string, Member> members_;  // keys upper-cased
};

// Reads argument `i` or Empty when the caller passed fewer.
const Variant& ArgAt(const Args& args, size_t i);

}  // namespace plat
