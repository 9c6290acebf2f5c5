// Language packages: XML files, one per window or data-module class, that
// replace the design texts of a window's components (captions, hints, list
// items, column titles, node texts, any property that takes a text) and
// hold message texts that code fetches by class name and key.
//
// Package file: <client folder>/MultiLanguage/<CHS|CHT|ENG>/<class>.Lng (the
// server folder for dtServer), the language code following the interface
// code page (936, 950, 437); when that folder does not exist there are no
// packages (no file name, no message texts). Its document element stands for the form or
// data module; every other component is the first element, in document
// order, whose tag is the component's Name; its attributes are property
// paths ("Caption", "Items_2", "Columns_1.Caption", "Font.Name") with their
// texts. A message is an element named after its key with a "Msg"
// attribute. Files are read in the encoding they declare: UTF-8 or UTF-16
// (also by byte-order mark), GB2312/GBK, Big5 or any other the system's
// iconv knows.
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "Classes.h"
#include "Exceptions.h"
#include "lang/DesignType.h"

class LanguageControllerError : public plat::Exception {
public:
    using plat::Exception::Exception;
};

// xComponent, xComponentNode: the component being translated and its element.
using TLoadComponentEvent = vcl::TEvent<vcl::TComponent*, pugi::xml_node>;

// ---- readers: apply the attributes of one element to one component ----

class ILangRead {
public:
    virtual ~ILangRead() = default;
    virtual void ReadAll() = 0;
};

class TComponentRead : public ILangRead {
public:
    TComponentRead(vcl::TObject* target, pugi::xml_node node) : target_(target), node_(node) {}
    // Applies one attribute as a property path (see ApplyPropertyPath).
    virtual void ApplyAttribute(pugi::xml_attribute attribute);
    // The attribute at `index` (document order) or with `name`; a missing
    // attribute applies nothing.
    virtual void ReadAttribute(int index);
    virtual void ReadAttribute(const std::string& name);
    // Every attribute, in document order.
    void ReadAll() override;

    vcl::TObject* Target() const { return target_; }
    pugi::xml_node Node() const { return node_; }

private:
    vcl::TObject* target_;
    pugi::xml_node node_;
};

// Combo boxes: the selected item stays selected while items are replaced.
class TCustomComboBoxRead : public TComponentRead {
public:
    using TComponentRead::TComponentRead;
    void ReadAll() override;
};

// Data-aware combo boxes of the grid library, kept apart as the class
// hierarchy keeps them; same rule.
class TwwDBCustomComboBoxRead : public TComponentRead {
public:
    using TComponentRead::TComponentRead;
    void ReadAll() override;
};

class TReaderFactory {
public:
    static std::unique_ptr<ILangRead> CreateReader(vcl::TComponent* component, pugi::xml_node node);
};

// Applies one property path with its text to `component`. Segments are
// separated by "."; a segment without "_" follows an object-valued
// property; "Items_N" / "Columns_N" step into entry N of a collection, a
// list view or a tree view (absolute node index); the last segment names
// the property to set, "name_N" setting line N of a string list. Anything
// that does not exist or cannot take the text is skipped without error.
void ApplyPropertyPath(vcl::TComponent* component, const std::string& path, const std::string& value);

// No designed list holds anywhere near this many lines; a package that asks
// for a line beyond it (and beyond the list's end) is damaged, and filling
// the gap with empty lines would only exhaust memory.
inline constexpr int kMaxPackageLineIndex = 9999;

// ---- TLangReader: a loaded package and the walk over a component tree ----

class TLangReader {
public:
    TLangReader(const pugi::xml_document& document, const vcl::TStrings& excluded, TLoadComponentEvent before,
                TLoadComponentEvent after);
    virtual ~TLangReader() = default;

    // Translates `component` (from the document element when it is a form
    // or data module, from its own element unless it is excluded), then
    // every component it owns, depth first.
    virtual void TranslateComponent(vcl::TComponent* component);

    void SetExcluded(const vcl::TStrings& excluded) { excluded_.Assign(excluded); }
    const vcl::TStrings& Excluded() const { return excluded_; }

private:
    void Load(vcl::TComponent* component, pugi::xml_node node);
    bool IsExcluded(const std::string& name) const;

    const pugi::xml_document& document_;
    vcl::TStrings excluded_;
    TLoadComponentEvent before_;
    TLoadComponentEvent after_;
};

// ---- the controller component ----

class TLanguageController : public vcl::TComponent {
    VCL_DECLARE_CLASS(TLanguageController)
public:
    explicit TLanguageController(vcl::TComponent* owner);
    ~TLanguageController() override;

    // Full path of the package; a change clears the in-memory text and
    // deactivates.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& fileName);
    // A package held in memory (UTF-8 lines); when not empty it is used
    // instead of the file. A change deactivates.
    vcl::TStrings& XML() { return xml_; }

    bool Active() const;
    // Activating drops any loaded package and loads the in-memory text or
    // the file: LanguageControllerError "Cannot Find File <name>!" without
    // a file name, the parser's reason for a package that does not parse.
    // While the component is being loaded the value is only stored.
    void SetActive(bool active);

    // Names of components that are not translated (compared trimmed and
    // without case); their own components still are.
    vcl::TStrings& ExcludeControls() { return exclude_; }
    void SetExcludeControls(const vcl::TStrings* names);

    // The reader of the loaded package; LanguageControllerError "No active
    // LanguageController!" when none is loaded.
    TLangReader& Reader();
    void TranslateComponent(vcl::TComponent* component) { Reader().TranslateComponent(component); }

    // Loading from a window description: SetActive only records the value
    // until Loaded applies it.
    void BeginLoading() { loading_ = true; }
    virtual void Loaded();

    vcl::TNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TLoadComponentEvent BeforeLoadComponent, AfterLoadComponent;

protected:
    void Open();
    void Close();

private:
    std::string fileName_;
    vcl::TStrings xml_;
    vcl::TStrings exclude_;
    std::unique_ptr<pugi::xml_document> document_;
    std::unique_ptr<TLangReader> reader_;
    bool loading_ = false;
    bool storedActive_ = false;
};

class TKvLangController : public TLanguageController {
    VCL_DECLARE_CLASS(TKvLangController)
public:
    explicit TKvLangController(vcl::TComponent* owner);

    const std::string& LangPackageName() const { return packageName_; }
    // A new name sets the file name to folder(DesignType) + name + ".Lng".
    void SetLangPackageName(const std::string& name);
    TDesignType DesignType() const { return designType_; }
    void SetDesignType(TDesignType type) { designType_ = type; }

private:
    std::string packageName_;
    TDesignType designType_ = TDesignType::dtClient;
};

// The folder of the language packages, ending in "/"; "" when the
// interface code page has no language or the folder does not exist.
std::string LanguageFolder(TDesignType designType);

// Parses package bytes in the encoding they declare into `document`;
// raises LanguageControllerError with the parser's reason when they do not
// parse or have no document element.
void LoadPackage(pugi::xml_document& document, const std::string& bytes);

// The message `key` of class `className`'s package: the "Msg" attribute of
// the first element named `key`. Never raises: a missing file, element or
// attribute, or a package that does not parse, gives `defaultText`.
// Answers whether the package had the message.
bool GetLangMessage(TDesignType designType, const std::string& className, const std::string& key, std::string& text,
                    const std::string& defaultText);
