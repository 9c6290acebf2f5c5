// Kinds of controls as the localization units see them. Everything goes
// through published properties and the class names of the component layer,
// so a kind that is not built into the program is never matched.
#include "LangControls.h"

#include "ComCtrls.h"
#include "AlignGrid.h"
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

// The items are taken first and converted from that list: a list sorted by
// text moves an item as soon as its caption changes, so walking by index
// would meet some items twice and others never.
void ConvertListItems(vcl::TListItems* items, const TextMap& map) {
    if (!items) return;
    std::vector<vcl::TListItem*> all;
    all.reserve(static_cast<size_t>(items->Count()));
    for (int i = 0; i < items->Count(); ++i) all.push_back(items->Item(i));
    items->BeginUpdate();
    for (vcl::TListItem* item : all) {
        item->SetCaption(map(item->Caption()));
        MapLines(item->SubItems(), map);
    }
    items->EndUpdate();
}

// `node` and everything below it, depth first.
void CollectNodes(vcl::TTreeNode* node, std::vector<vcl::TTreeNode*>& nodes) {
    nodes.push_back(node);
    for (int i = 0; i < node->Count(); ++i) CollectNodes(node->Item(i), nodes);
}

// Every node is taken before any text changes, then converted once.
void ConvertTreeNodes(vcl::TTreeView* tree, const TextMap& map) {
    vcl::TTreeNodes* nodes = tree->Items();
    std::vector<vcl::TTreeNode*> all;
    for (vcl::TTreeNode* top = nodes->GetFirstNode(); top; top = top->GetNextSibling()) CollectNodes(top, all);
    nodes->BeginUpdate();
    for (vcl::TTreeNode* node : all) node->SetText(map(node->Text()));
    nodes->EndUpdate();
}

void ConvertGridCells(vcl::TStringGrid* grid, const TextMap& map) {
    grid->BeginUpdate();
    for (int row = 0; row < grid->RowCount(); ++row)
        for (int col = 0; col < grid->ColCount(); ++col) {
            std::string text = grid->Cells(col, row);
            if (!text.empty()) grid->SetCell(col, row, map(text));
        }
    grid->EndUpdate();
}

// Cells, cell hints, the titles of the fixed row and column, and the fonts
// that cells have of their own (through `adjustFont`).
void ConvertAlignedGrid(vcl::TAlignedStringGrid* grid, const TextMap& map, const FontMap& adjustFont) {
    ConvertGridCells(grid, map);
    for (auto [col, row] : grid->HintedCells()) grid->SetCellHint(col, row, map(grid->CellHint(col, row)));
    MapLines(grid->ColumnTitles(), map);
    MapLines(grid->RowTitles(), map);
    if (adjustFont)
        for (auto [col, row] : grid->CellsWithFont()) adjustFont(grid->CellFont(col, row));
}

// Every writable text property that the component's own class publishes,
// but for those that every component has converted already.
void MapOwnTexts(vcl::TComponent* component, const TextMap& map) {
    for (const vcl::TPropInfo& property : component->ClassType().Properties) {
        const std::string key = langprop::NameKey(property.Name);
        if (key == "CAPTION" || key == "HINT" || key == "TEXT") continue;
        if (property.Kind == vcl::TTypeKind::LString && property.Set) MapText(component, property.Name.c_str(), map);
    }
}

}  // namespace

void ConvertClassTexts(vcl::TComponent* component, bool deep, const TextMap& map, const FontMap& adjustFont) {
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
        MapLines(langprop::StringsProp(component, "ChildHints"), map);
        MapText(component, "HintWord", map);
    }
    // The quick search's texts, which its dialog shows only later.
    if (InheritsFromName(component, "TKvUserIntl")) MapOwnTexts(component, map);
    if (InheritsFromName(component, "TMainMenu") || InheritsFromName(component, "TPopupMenu"))
        langprop::TrySetProp(component, "OwnerDraw", plat::Variant(true));
    if (!deep) return;
    if (auto* tree = dynamic_cast<vcl::TTreeView*>(component)) ConvertTreeNodes(tree, map);
    if (auto* aligned = dynamic_cast<vcl::TAlignedStringGrid*>(component)) ConvertAlignedGrid(aligned, map, adjustFont);
    else if (auto* grid = dynamic_cast<vcl::TStringGrid*>(component)) ConvertGridCells(grid, map);
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
