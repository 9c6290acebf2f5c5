// Published-property helpers of the localization units.
#include "PropAccess.h"

#include "Graphics.h"
#include "StrUtils.h"

namespace langprop {

bool InheritsFromName(const vcl::TObject* object, const std::string& className) {
    if (!object) return false;
    const std::string key = NameKey(className);
    for (const vcl::TClassInfo* c = &object->ClassType(); c; c = c->Parent)
        if (NameKey(c->Name) == key) return true;
    return false;
}

bool IsTextProp(const vcl::TObject* object, const std::string& name) {
    if (!object || !vcl::IsPublishedProp(object, name)) return false;
    switch (vcl::PropType(object, name)) {
    case vcl::TTypeKind::String:
    case vcl::TTypeKind::LString:
    case vcl::TTypeKind::WString:
    case vcl::TTypeKind::Char:
    case vcl::TTypeKind::WChar:
        return true;
    default:
        return false;
    }
}

vcl::TObject* ObjectProp(const vcl::TObject* object, const std::string& name) {
    if (!object || !vcl::IsPublishedProp(object, name) || vcl::PropType(object, name) != vcl::TTypeKind::Class)
        return nullptr;
    try {
        return vcl::GetObjectProp(object, name);
    } catch (const std::exception&) {
        return nullptr;
    }
}

vcl::TStrings* StringsProp(const vcl::TObject* object, const std::string& name) {
    return dynamic_cast<vcl::TStrings*>(ObjectProp(object, name));
}

vcl::TFont* FontProp(const vcl::TObject* object, const std::string& name) {
    return dynamic_cast<vcl::TFont*>(ObjectProp(object, name));
}

int IntProp(const vcl::TObject* object, const std::string& name, int fallback) {
    if (!object || !vcl::IsPublishedProp(object, name)) return fallback;
    try {
        return vcl::GetPropValue(object, name).ToInt();
    } catch (const std::exception&) {
        return fallback;
    }
}

bool TrySetProp(vcl::TObject* object, const std::string& name, const plat::Variant& value) {
    if (!object || !vcl::IsPublishedProp(object, name)) return false;
    try {
        vcl::SetPropValue(object, name, value);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string NameKey(const std::string& name) { return plat::UpperCase(plat::Trim(name)); }

}  // namespace langprop
