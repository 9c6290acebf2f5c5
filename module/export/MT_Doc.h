// TMT_Doc: the per-user settings document of a program window. The
// application server keeps, per company and program, an XML document that
// adjusts a window without changing the program: labels with other texts,
// controls hidden or moved to another panel or page, grid columns
// relabelled, hidden or reordered, components marked as required. The
// window applies it to itself after it is shown, program frames to their
// grids.
//
// Document:
//   <MT_User CompanyID="..." ProgID="...">
//     <Components>
//       <Component ID="lblCustomer"><Caption>客户</Caption></Component>
//       <Component ID="edTC004"><Visible>N</Visible><Required>-1</Required></Component>
//     </Components>
//     <gdMain>                                   one element per grid, named after it
//       <Field ID="TC004"><DisplayLabel>客户</DisplayLabel><Index>2</Index></Field>
//     </gdMain>
//   </MT_User>
// A component's ID is its Name (the window's own name stands for the
// window); each child element of a Component or Field is one property: tag
// = property name, text = value.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "Classes.h"
#include "Variant.h"

class TCodeConverter;

// The fields of the dataset a grid shows, as the settings document sees
// them. Whatever grid a window uses is adapted to this.
class IMTGridFields {
public:
    virtual ~IMTGridFields() = default;
    // Names of the dataset's fields, in their current order.
    virtual std::vector<std::string> FieldNames() const = 0;
    // The object whose published properties (DisplayLabel, DisplayWidth,
    // Visible, ReadOnly, ...) take a field's settings; nullptr when the
    // dataset has no such field.
    virtual vcl::TObject* FieldObject(const std::string& fieldName) = 0;
    // Moves a field to `index` in the dataset's field order (the others
    // shift, as assigning a field's Index does). An index out of range or
    // an unknown field may raise; the document skips such a setting.
    virtual void SetFieldIndex(const std::string& fieldName, int index) = 0;
};

class TMT_Doc {
public:
    // The default document: no settings.
    TMT_Doc();
    // The default document replaced by `text` (see LoadDocument).
    explicit TMT_Doc(const std::string& text);
    TMT_Doc(const TMT_Doc&) = delete;
    TMT_Doc& operator=(const TMT_Doc&) = delete;

    // Replaces the document by `text` (UTF-8; an encoding declaration in it
    // is not followed, the text being characters already). The root gets a
    // Components element when it has none. Text that is not a well-formed
    // document with one root element gives the default document, so that
    // nothing is applied.
    void LoadDocument(const std::string& text);

    // Applies every Component element to the component of `form` that has
    // its ID as Name (the form itself for the form's name); elements for
    // components the form does not have are skipped.
    void ApplyToForm(vcl::TComponent* form);
    // Applies the Field elements of the root's child `section` (callers
    // pass the grid's name) to the fields of `grid`. Index settings are
    // applied last, ordered by their texts ("10" before "2"), each moving its
    // field in turn.
    void ApplyToGrid(IMTGridFields& grid, const std::string& section);

    // The text of Components/Component[@ID=id]/<property>; "" when missing.
    std::string GetComponentValue(const std::string& id, const std::string& property) const;
    // The text of <section>/Field[@ID=fieldId]/<property>; "" when missing.
    std::string GetFieldValue(const std::string& section, const std::string& fieldId,
                              const std::string& property) const;
    // For every node the XPath `path` selects from the root, in document
    // order, the last five characters of its ID attribute, joined with ",".
    // Nodes without an ID are left out; a path XPath cannot read gives "".
    // "Components/*[Required='-1']" gives the field names of the required
    // components (their names end with the five-character field name).
    std::string ListIDs(const std::string& path) const;

    // The window's converter: values are converted for display before they
    // are applied. Not owned; nullptr leaves values as they are.
    TCodeConverter* Converter() const { return converter_; }
    void SetConverter(TCodeConverter* converter) { converter_ = converter; }

    const pugi::xml_document& Document() const { return document_; }
    pugi::xml_node Root() const { return root_; }
    pugi::xml_node Components() const { return components_; }

private:
    bool Parse(const std::string& text);
    std::string ToDisplay(const std::string& text) const;
    void ApplyProperty(vcl::TObject* target, const std::string& tag, const std::string& value);
    void MoveToParent(vcl::TObject* target, const std::string& value);
    // The first element `tag`[@ID=id] below `parent`; an empty node when none.
    static pugi::xml_node FindByID(pugi::xml_node parent, const std::string& tag, const std::string& id);

    pugi::xml_document document_;
    pugi::xml_node root_;              // the document element
    pugi::xml_node components_;        // root's Components child
    TCodeConverter* converter_ = nullptr;
};

// The default document, as the window uses it when the server has none.
extern const char* const kMTDefaultDocument;

// A settings value read as a switch: false when the value, upper-cased, is
// non-empty and occurs within "N||FALSE||0" ("N", "false", "0", but also
// "A", "L" or "||"); true otherwise, an empty value included.
bool MTSettingIsOn(const std::string& value);

// The document of a window from the server's "GetFormat" answer: a non-empty
// text is loaded, anything else (Empty, Null, "", a non-text answer) gives
// the default document; `converter` is attached.
std::unique_ptr<TMT_Doc> UserSettingsFromAnswer(const plat::Variant& answer, TCodeConverter* converter);
