// Kinds of controls as the localization units see them. Everything goes
// through published properties and the class names of the component layer,
// so a kind that is not built into the program is never matched.
#include "LangControls.h"

#include "ComCtrls.h"
#include "Grids.h"
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
    auto* bar = dynamic_cast<vcl::TStatusBar*>(component);
    if (!bar) return;
    vcl::TStatusPanels* panels = bar->Panels();
    for (int i = 0; i < panels->Count(); ++i) panels->Items(i)->SetText(map(panels->Items(i)->Text()));
}

namespace {

void ConvertListItems(vcl::TListItems* items, const TextMap& map) {
    if (!items) return;
    for (int i = 0; i < items->Count(); ++i) {
        vcl::TListItem* item = items->Item(i);
        item->SetCaption(map(item->Caption()));
        MapLines(item->SubItems(), map);
    }
}

}  // namespace

void ConvertClassTexts(vcl::TComponent* component, bool deep, const TextMap& map) {
    if (auto* list = dynamic_cast<vcl::TListView*>(component)) {
        for (int i = 0; i < list->Columns()->Count(); ++i)
            list->Columns()->Items(i)->SetCaption(map(list->Columns()->Items(i)->Caption()));
        ConvertListItems(list->Items(), map);
    }
    if (InheritsFromName(component, "TTabSet")) {
        int index = langprop::IntProp(component, "TabIndex", -1);
        MapLines(langprop::StringsProp(component, "Tabs"), map);
        langprop::TrySetProp(component, "TabIndex", plat::Variant(index));
    }
    if (InheritsFromName(component, "TDBNavigator")) MapLines(langprop::StringsProp(component, "Hints"), map);
    if (InheritsFromName(component, "TSelectPanel")) {
        ConvertListItems(dynamic_cast<vcl::TListItems*>(langprop::ObjectProp(component, "Items")), map);
        MapLines(langprop::StringsProp(component, "BeginWords"), map);
        MapLines(langprop::StringsProp(component, "FinalWords"), map);
        MapText(component, "HintWord", map);
    }
    if (InheritsFromName(component, "TMainMenu") || InheritsFromName(component, "TPopupMenu"))
        langprop::TrySetProp(component, "OwnerDraw", plat::Variant(true));
    if (!deep) return;
    if (auto* tree = dynamic_cast<vcl::TTreeView*>(component)) {
        vcl::TTreeNodes* nodes = tree->Items();
        nodes->BeginUpdate();
        for (vcl::TTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNext()) node->SetText(map(node->Text()));
        nodes->EndUpdate();
    }
    if (auto* grid = dynamic_cast<vcl::TStringGrid*>(component)) {
        for (int row = 0; row < grid->RowCount(); ++row)
            for (int col = 0; col < grid->ColCount(); ++col) {
                std::string text = grid->Cells(col, row);
                if (!text.empty()) grid->SetCell(col, row, map(text));
            }
    }
}

StepResult StepIntoEntry(vcl::TObject*& object, const std::string& segment, int index) {
    const bool items = langprop::NameKey(segment) == "ITEMS";
    auto enter = [&](vcl::TObject* entry) {
        if (!entry) return StepResult::OutOfRange;
        object = entry;
        return StepResult::Entered;
    };
    auto inRange = [index](int count) { return index >= 0 && index < count; };

    // Collections: entry N of whichever list they hold.
    if (auto* columns = dynamic_cast<vcl::TListColumns*>(object))
        return enter(inRange(columns->Count()) ? columns->Items(index) : nullptr);
    if (auto* panels = dynamic_cast<vcl::TStatusPanels*>(object))
        return enter(inRange(panels->Count()) ? panels->Items(index) : nullptr);
    if (dynamic_cast<vcl::TListItems*>(object)) return StepResult::Unchanged;
    if (auto* list = dynamic_cast<vcl::TListView*>(object)) {
        if (items) return enter(inRange(list->Items()->Count()) ? list->Items()->Item(index) : nullptr);
        return enter(inRange(list->Columns()->Count()) ? list->Columns()->Items(index) : nullptr);
    }
    if (auto* tree = dynamic_cast<vcl::TTreeView*>(object); tree && items)
        return enter(inRange(tree->Items()->Count()) ? tree->Items()->Item(index) : nullptr);
    return StepResult::NotAKind;
}

bool SetEntryText(vcl::TObject* object, const std::string& property, const std::string& value) {
    const std::string key = langprop::NameKey(property);
    if (auto* item = dynamic_cast<vcl::TListItem*>(object); item && key == "CAPTION") {
        item->SetCaption(value);
        return true;
    }
    if (auto* node = dynamic_cast<vcl::TTreeNode*>(object); node && key == "TEXT") {
        node->SetText(value);
        return true;
    }
    return false;
}

}  // namespace langcontrols
