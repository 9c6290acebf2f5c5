// What the localization units need to know about particular kinds of
// controls: the texts a kind holds beyond its published text properties
// (list-view columns and items, tree nodes, grid cells, tabs, status
// panels, navigator hints, selection-panel words) and the indexed entries a
// language package can address (collection entries, list-view columns and
// items, tree nodes by absolute index). Kinds are recognised by class name,
// so that a control unit that is not part of a build simply never matches.
#pragma once

#include <functional>
#include <string>

#include "Classes.h"

namespace vcl {
class TFont;
}

namespace langcontrols {

using TextMap = std::function<std::string(const std::string&)>;
using FontMap = std::function<void(vcl::TFont*)>;

// Every status panel text of a status bar through `map`.
void ConvertStatusPanels(vcl::TComponent* component, const TextMap& map);

// The texts of the component's own kind through `map`, each exactly once
// whatever a sorted list does while they change: list views (column
// captions, item captions, sub-items), tab sets (all tabs, keeping the tab
// index), data navigators (button hints), selection panels (items, begin
// and final words, child hints, hint word), the quick search's texts; menus
// are switched to owner drawing. With `deep` also tree views (every node),
// string grids (every cell) and aligned string grids (cells, cell hints,
// column and row titles, and through `adjustFont` the fonts of cells that
// have their own).
void ConvertClassTexts(vcl::TComponent* component, bool deep, const TextMap& map, const FontMap& adjustFont = {});

// ---- entries a property path addresses ----

// The result of stepping into "Items_N" or "Columns_N".
enum class StepResult {
    Entered,     // `object` is now the entry
    Unchanged,   // the object stays what it was (a list-item collection)
    NotAKind,    // the object is of none of the indexed kinds
    OutOfRange,  // an indexed kind, but no entry N
};
// Steps from `object` into entry N of a collection, column or item N of a
// list view, or node N (absolute index) of a tree view.
StepResult StepIntoEntry(vcl::TObject*& object, const std::string& segment, int index);

// Sets a caption on a list item ("Caption") or a text on a tree node
// ("Text"); false when `object` is neither or `property` is another one.
bool SetEntryText(vcl::TObject* object, const std::string& property, const std::string& value);

}  // namespace langcontrols
