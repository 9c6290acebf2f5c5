// Late-bound calls by member name and the member table of in-process
// automation objects.
#include "Dispatch.h"

#include <algorithm>
#include <cctype>

#include "StrUtils.h"

namespace plat {

Arg ByRef(Variant& var) { return Arg{var, &var}; }
Arg ByVal(Variant value) { return Arg{std::move(value), nullptr}; }

std::string UnknownMemberText(const std::string& member) {
    return "Method '" + member + "' not supported by automation object";
}

Variant Invoke(const Variant& object, const std::string& member, InvokeKind kind, Args args) {
    DispatchRef target = object.ToDispatch();
    if (!target)
        throw EOleError(std::string("Variant does not reference an automation object (") + VarTypeName(object.Type()) + ")");
    Variant result = target->Invoke(member, kind, args);
    for (Arg& a : args)
        if (a.IsByRef()) *a.Target = std::move(a.Value);
    return result;
}

Variant CallMethod(const Variant& object, const std::string& member, Args args) {
    return Invoke(object, member, InvokeKind::Method, std::move(args));
}

Variant GetProperty(const Variant& object, const std::string& member, Args args) {
    return Invoke(object, member, InvokeKind::PropertyGet, std::move(args));
}

void SetProperty(const Variant& object, const std::string& member, Variant value) {
    Args args{ByVal(std::move(value))};
    Invoke(object, member, InvokeKind::PropertyPut, std::move(args));
}

const Variant& ArgAt(const Args& args, size_t i) {
    static const Variant kEmpty;
    return i < args.size() ? args[i].Value : kEmpty;
}

void AutomationObject::Method(const std::string& name, Handler handler) {
    members_[UpperCase(name)].call = std::move(handler);
}

void AutomationObject::Property(const std::string& name, Handler getter, Setter setter) {
    Member& m = members_[UpperCase(name)];
    m.call = std::move(getter);
    m.put = std::move(setter);
}

Variant AutomationObject::Invoke(const std::string& member, InvokeKind kind, Args& args) {
    auto it = members_.find(UpperCase(member));
    if (it == members_.end()) throw EOleError(UnknownMemberText(member));
    if (kind == InvokeKind::PropertyPut) {
        if (!it->second.put) throw EOleError("Property '" + member + "' is read-only");
        if (args.empty()) throw EOleError("Property '" + member + "' put without a value");
        Variant value = args.back().Value;
        Args index(args.begin(), args.end() - 1);
        it->second.put(index, value);
        return {};
    }
    if (!it->second.call) throw EOleError(UnknownMemberText(member));
    return it->second.call(args);
}

}  // namespace plat
