// Small helpers over the published-property interface that the code
// converter and the language readers share: class tests by class name (so
// that kinds of controls can be recognised without including their units),
// and typed access to string, string-list and font properties. None of them
// raises: a property that is missing or of another kind answers "none".
#pragma once

#include <string>

#include "Classes.h"

namespace vcl {
class TFont;
}

namespace langprop {

// True when the object's class or one of its ancestors is named `className`
// (compared without case, as class names are).
bool InheritsFromName(const vcl::TObject* object, const std::string& className);

// True when `name` is a published text property (string or character kinds).
bool IsTextProp(const vcl::TObject* object, const std::string& name);
// The object held by a class-kind property; nullptr when none.
vcl::TObject* ObjectProp(const vcl::TObject* object, const std::string& name);
vcl::TStrings* StringsProp(const vcl::TObject* object, const std::string& name);
vcl::TFont* FontProp(const vcl::TObject* object, const std::string& name);
// An integer (or enumeration) property, `fallback` when there is none.
int IntProp(const vcl::TObject* object, const std::string& name, int fallback);
// Sets a property; false (and nothing changed) when it cannot be set.
bool TrySetProp(vcl::TObject* object, const std::string& name, const plat::Variant& value);

// Upper-cased ASCII and trimmed blanks, for comparing names.
std::string NameKey(const std::string& name);

}  // namespace langprop
