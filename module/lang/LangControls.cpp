// Kinds of controls as the localization units see them. Everything goes
// through published properties and the class names of the component layer,
// so a kind that is not built into the program is never matched.
#include "LangControls.h"

#include "lang/PropAccess.h"

using langprop::InheritsFromName;

namespace langcontrols {

namespace {

void MapLines(vcl::TStrings* lines, const TextMap& map) {
    if (!lines) return;
    lines->BeginUpdate();
    for (int i = 0; i < lines->Count(); ++i) lines->Put(i, map(lines->Strings(i)));
    lines->EndUpdate();
}

void MapText(vcl::TObject* object, const char* name, const TextMap& map) {
    if (langprop::IsTextProp(object, name))
        langprop::TrySetProp(object, name, plat::Variant(map(vcl::GetPropValue(object, name).ToString())));
}

}  // namespace

void ConvertStatusPanels(vcl::TComponent* component, const TextMap& map) {
    (void)component;
    (void)map;
}

void ConvertClassTexts(vcl::TComponent* component, bool deep, const TextMap& map) {
    if (InheritsFromName(component, "TTabSet")) {
        int index = langprop::IntProp(component, "TabIndex", -1);
        MapLines(langprop::StringsProp(component, "Tabs"), map);
        langprop::TrySetProp(component, "TabIndex", plat::Variant(index));
    }
    if (InheritsFromName(component, "TDBNavigator")) MapLines(langprop::StringsProp(component, "Hints"), map);
    if (InheritsFromName(component, "TSelectPanel")) {
        MapLines(langprop::StringsProp(component, "BeginWords"), map);
        MapLines(langprop::StringsProp(component, "FinalWords"), map);
        MapText(component, "HintWord", map);
    }
    if (InheritsFromName(component, "TMainMenu") || InheritsFromName(component, "TPopupMenu"))
        langprop::TrySetProp(component, "OwnerDraw", plat::Variant(true));
    (void)deep;
}

StepResult StepIntoEntry(vcl::TObject*& object, const std::string& segment, int index) {
    (void)object;
    (void)segment;
    (void)index;
    return StepResult::NotAKind;
}

bool SetEntryText(vcl::TObject* object, const std::string& property, const std::string& value) {
    (void)object;
    (void)property;
    (void)value;
    return false;
}

}  // namespace langcontrols
