// The per-user settings document: loading the server's text, applying
// component and grid-field settings through the published properties, and
// reading single values and required-component lists. Settings for things a
// window does not have, and values a property cannot take, are skipped: a
// settings document written for another release of a program must never
// stop the window from opening.
#include "MT_Doc.h"

#include <algorithm>
#include <utility>

#include "ComCtrls.h"
#include "Controls.h"
#include "StrUtils.h"
#include "lang/CodeConverter.h"
#include "lang/PropAccess.h"

const char* const kMTDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"GB2312\"?><!-- NimbalERP用户设置 -->"
    "<MT_User CompanyID=\"\" ProgID=\"\"><Components /></MT_User>";

namespace {

constexpr const char* kComponents = "Components";
constexpr const char* kComponent = "Component";
constexpr const char* kField = "Field";
constexpr const char* kID = "ID";
constexpr const char* kIndex = "Index";
constexpr const char* kSwitchOffTexts = "N||FALSE||0";
constexpr const char* kHeadText = "单头";
constexpr const char* kTailText = "单尾";

// All text below `node`, as the DOM's text of an element reads: the
// character data of every descendant, in document order.
void AppendText(pugi::xml_node node, std::string& out) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) out += child.value();
        else if (child.type() == pugi::node_element) AppendText(child, out);
    }
}

std::string NodeText(const pugi::xpath_node& found) {
    if (found.attribute()) return found.attribute().value();
    std::string out;
    if (found.node().type() == pugi::node_element) AppendText(found.node(), out);
    else out = found.node().value();
    return out;
}

std::string ElementText(pugi::xml_node element) {
    std::string out;
    AppendText(element, out);
    return out;
}

// The first node `path` selects from `from`; an empty node when nothing is
// selected or the path is not one XPath can read.
pugi::xpath_node SelectFirst(pugi::xml_node from, const std::string& path) {
    if (!from) return {};
    try {
        return from.select_node(path.c_str());
    } catch (const pugi::xpath_exception&) {
        return {};
    }
}

// The ID path "<tag>[@ID='<id>']". Ids are quoted as SQL strings, and an
// embedded quote (doubled in SQL) is no XPath at all: such an id cannot be
// looked up and counts as not found.
bool IDPath(const std::string& tag, const std::string& id, std::string& path) {
    if (id.find('\'') != std::string::npos) return false;
    path = tag + "[@" + kID + "=" + plat::QuotedStr(id) + "]";
    return true;
}

// The last `n` UTF-8 characters of `s`; all of `s` when it is shorter.
std::string Utf8Right(const std::string& s, size_t n) {
    size_t length = plat::Utf8Length(s);
    if (length <= n) return s;
    size_t skip = length - n;
    size_t i = 0;
    while (i < s.size() && skip > 0) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
        --skip;
    }
    return s.substr(i);
}

bool IsTextKind(vcl::TTypeKind kind) {
    switch (kind) {
    case vcl::TTypeKind::Char:
    case vcl::TTypeKind::WChar:
    case vcl::TTypeKind::String:
    case vcl::TTypeKind::LString:
    case vcl::TTypeKind::WString:
        return true;
    default:
        return false;
    }
}

// The value as an ordinal of a boolean property: 1 on, 0 off.
plat::Variant SwitchValue(const std::string& value) { return plat::Variant(int32_t(MTSettingIsOn(value) ? 1 : 0)); }

// The value read as a number; false (and `number` untouched) when it is none.
bool NumberOf(const std::string& value, int32_t& number) {
    try {
        number = plat::Variant(value).ToInt();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool MTSettingIsOn(const std::string& value) {
    if (value.empty()) return true;
    return std::string(kSwitchOffTexts).find(plat::UpperCase(value)) == std::string::npos;
}

// ---- loading ----

TMT_Doc::TMT_Doc() { LoadDocument(kMTDefaultDocument); }

TMT_Doc::TMT_Doc(const std::string& text) {
    LoadDocument(kMTDefaultDocument);
    LoadDocument(text);
}

// Parses `text` into the document; false (the document unchanged) when it
// is not well-formed or has no single root element.
bool TMT_Doc::Parse(const std::string& text) {
    pugi::xml_document parsed;
    pugi::xml_parse_result result =
        parsed.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) return false;
    int roots = 0;
    for (pugi::xml_node child : parsed.children())
        if (child.type() == pugi::node_element) ++roots;
    if (roots != 1) return false;
    document_.reset(parsed);
    return true;
}

void TMT_Doc::LoadDocument(const std::string& text) {
    if (!Parse(text)) Parse(kMTDefaultDocument);
    root_ = document_.document_element();
    components_ = root_.child(kComponents);
    if (!components_) components_ = root_.append_child(kComponents);
}

// ---- applying ----

std::string TMT_Doc::ToDisplay(const std::string& text) const {
    if (!converter_) return text;
    try {
        return converter_->ToDisplay(plat::Variant(text)).ToString();
    } catch (const std::exception&) {
        return text;
    }
}

void TMT_Doc::ApplyToForm(vcl::TComponent* form) {
    if (!form) return;
    for (pugi::xml_node element : components_.children()) {
        if (element.type() != pugi::node_element) continue;
        const std::string id = element.attribute(kID).value();
        if (id.empty()) continue;
        // Component names are identifiers and compare without case, as
        // FindComponent compares them.
        vcl::TComponent* target =
            plat::UpperCase(id) == plat::UpperCase(form->Name()) ? form : form->FindComponent(id);
        if (!target) continue;
        for (pugi::xml_node property : element.children())
            if (property.type() == pugi::node_element)
                ApplyProperty(target, property.name(), ToDisplay(ElementText(property)));
    }
}

void TMT_Doc::ApplyToGrid(IMTGridFields& grid, const std::string& section) {
    if (section.empty()) return;
    pugi::xml_node fields = root_.child(section.c_str());
    if (!fields) return;
    std::vector<std::pair<std::string, std::string>> indexes;   // (index text, field name)
    for (const std::string& name : grid.FieldNames()) {
        pugi::xml_node element = FindByID(fields, kField, name);
        if (!element) continue;
        vcl::TObject* field = grid.FieldObject(name);
        for (pugi::xml_node property : element.children()) {
            if (property.type() != pugi::node_element) continue;
            const std::string value = ToDisplay(ElementText(property));
            if (std::string(property.name()) == kIndex) indexes.emplace_back(value, name);
            else if (field) ApplyProperty(field, property.name(), value);
        }
    }
    // Positions are taken in the order of their texts, not their numbers:
    // "10" moves before "2". Kept deliberately; it is the order the suite's
    // windows have always applied them in.
    std::stable_sort(indexes.begin(), indexes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [text, name] : indexes) {
        int32_t index = 0;
        if (!NumberOf(text, index)) continue;
        try {
            grid.SetFieldIndex(name, index);
        } catch (const std::exception&) {
            // a position the dataset cannot take is left alone
        }
    }
}

// Applies one setting: first by the kind of the published property of that
// name (integers as numbers, texts as they are, enumerations by the switch
// rule; other kinds are not set), then the tags with a meaning of their own.
void TMT_Doc::ApplyProperty(vcl::TObject* target, const std::string& tag, const std::string& value) {
    if (vcl::IsPublishedProp(target, tag)) {
        vcl::TTypeKind kind = vcl::PropType(target, tag);
        int32_t number = 0;
        if (kind == vcl::TTypeKind::Integer) {
            if (NumberOf(value, number)) langprop::TrySetProp(target, tag, plat::Variant(number));
        } else if (IsTextKind(kind)) {
            langprop::TrySetProp(target, tag, plat::Variant(value));
        } else if (kind == vcl::TTypeKind::Enumeration) {
            langprop::TrySetProp(target, tag, SwitchValue(value));
        }
    }
    if (tag == "DCVisible") {
        if (auto* sheet = dynamic_cast<vcl::TTabSheet*>(target)) sheet->SetTabVisible(MTSettingIsOn(value));
        else langprop::TrySetProp(target, "Visible", SwitchValue(value));
    } else if (tag == "DisplayLabel") {
        if (langprop::IsTextProp(target, "Caption")) langprop::TrySetProp(target, "Caption", plat::Variant(value));
    } else if (tag == "Parent") {
        MoveToParent(target, value);
    }
}

// "单头"/"Header" moves the control to its owner's pnlHead, "单尾"/"Tail" to
// pnlFoot, any other value to the page of the owner's pgHead with that name
// or caption. A value that names none of them leaves the control where it is.
void TMT_Doc::MoveToParent(vcl::TObject* target, const std::string& value) {
    auto* control = dynamic_cast<vcl::TControl*>(target);
    if (!control || !control->Owner()) return;
    vcl::TComponent* owner = control->Owner();
    vcl::TWinControl* destination = nullptr;
    if (value == ToDisplay(kHeadText) || value == "Header") {
        destination = dynamic_cast<vcl::TWinControl*>(owner->FindComponent("pnlHead"));
    } else if (value == ToDisplay(kTailText) || value == "Tail") {
        destination = dynamic_cast<vcl::TWinControl*>(owner->FindComponent("pnlFoot"));
    } else if (auto* pages = dynamic_cast<vcl::TPageControl*>(owner->FindComponent("pgHead"))) {
        for (int i = 0; i < pages->PageCount() && !destination; ++i) {
            vcl::TTabSheet* page = pages->Pages(i);
            if (page->Name() == value || page->Caption() == value) destination = page;
        }
    }
    if (!destination) return;
    try {
        control->SetParent(destination);
    } catch (const std::exception&) {
        // a container cannot move into itself or into one of its own children
    }
}

// ---- reading ----

pugi::xml_node TMT_Doc::FindByID(pugi::xml_node parent, const std::string& tag, const std::string& id) {
    std::string path;
    if (!IDPath(tag, id, path)) return {};
    return SelectFirst(parent, path).node();
}

std::string TMT_Doc::GetComponentValue(const std::string& id, const std::string& property) const {
    std::string path;
    if (property.empty() || !IDPath(std::string(kComponents) + "/" + kComponent, id, path)) return {};
    pugi::xpath_node found = SelectFirst(root_, path + "/" + property);
    return found ? NodeText(found) : std::string();
}

std::string TMT_Doc::GetFieldValue(const std::string& section, const std::string& fieldId,
                                   const std::string& property) const {
    std::string path;
    if (section.empty() || property.empty() || !IDPath(section + "/" + kField, fieldId, path)) return {};
    pugi::xpath_node found = SelectFirst(root_, path + "/" + property);
    return found ? NodeText(found) : std::string();
}

std::string TMT_Doc::ListIDs(const std::string& path) const {
    if (path.empty() || !root_) return {};
    pugi::xpath_node_set nodes;
    try {
        nodes = root_.select_nodes(path.c_str());
    } catch (const pugi::xpath_exception&) {
        return {};
    }
    nodes.sort();   // document order, whatever order the path gave
    std::string ids;
    bool first = true;
    for (const pugi::xpath_node& found : nodes) {
        pugi::xml_attribute id = found.node().attribute(kID);
        if (!id) continue;
        if (!first) ids += ",";
        ids += Utf8Right(id.value(), 5);
        first = false;
    }
    return ids;
}

// ---- the window's document ----

std::unique_ptr<TMT_Doc> UserSettingsFromAnswer(const plat::Variant& answer, TCodeConverter* converter) {
    std::string text = plat::VarToStr(answer);
    auto document = text.empty() ? std::make_unique<TMT_Doc>() : std::make_unique<TMT_Doc>(text);
    document->SetConverter(converter);
    return document;
}
