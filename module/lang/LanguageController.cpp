// Language packages: reading them in their declared encoding, finding the
// element of a component, applying property paths, and the controller
// component with its open and close events and message lookup.
#include "LanguageController.h"

#include <iconv.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <regex>

#include "Forms.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "TextFile.h"
#include "host/CorvaneIni.h"
#include "lang/LangControls.h"
#include "lang/PropAccess.h"

namespace {

// Interface code page -> language folder.
constexpr const char* kLanguageCodes = "936=CHS\r\n950=CHT\r\n437=ENG";
constexpr const char* kElementPath = "//%s";
constexpr const char* kMessagePath = "//%s/@%s";
constexpr const char* kMessageAttribute = "Msg";

std::string FormatPath(const char* format, const std::string& a, const std::string& b = {}) {
    std::string out;
    int n = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += n++ == 0 ? a : b;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// The first node the path selects; an empty node when none is found or the
// path is not one XPath can read (names with characters it does not allow).
pugi::xpath_node SelectFirst(const pugi::xml_node& from, const std::string& path) {
    try {
        return from.select_node(path.c_str());
    } catch (const pugi::xpath_exception&) {
        return {};
    }
}

bool IsDecimal(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A decimal index; numbers too large for an int are clamped, so that they
// are out of every range.
int IndexOf(const std::string& digits) {
    if (digits.size() > 9) return std::numeric_limits<int>::max();
    return std::stoi(digits);
}

// The text of an XML encoding declaration in the first bytes; "" when none.
std::string DeclaredEncoding(const std::string& bytes) {
    std::string head = bytes.substr(0, 512);
    if (head.compare(0, 5, "<?xml") != 0) return {};
    size_t end = head.find("?>");
    if (end == std::string::npos) return {};
    static const std::regex pattern(R"(encoding\s*=\s*["']([^"']*)["'])");
    std::smatch match;
    std::string declaration = head.substr(0, end);
    if (!std::regex_search(declaration, match, pattern)) return {};
    return plat::UpperCase(plat::Trim(match[1].str()));
}

// Bytes in encoding `name` (an iconv name) to UTF-8; throws when iconv does
// not know the name.
std::string IconvToUtf8(const std::string& bytes, const std::string& name) {
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) throw LanguageControllerError("Unsupported encoding " + name);
    std::string out;
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    std::string buffer(4096, '\0');
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";   // an undecodable byte shows as U+FFFD
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

vcl::TObject* AsObject(vcl::TComponent* c) { return c; }

}  // namespace

// ---- package text ----

void LoadPackage(pugi::xml_document& document, const std::string& bytes) {
    document.reset();
    pugi::xml_encoding encoding = pugi::encoding_auto;
    std::string text;
    const std::string* source = &bytes;
    bool hasBom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
                  bytes.compare(0, 2, "\xFE\xFF") == 0;
    if (!hasBom) {
        std::string declared = DeclaredEncoding(bytes);
        if (declared.empty() || IsOneOf(declared, {"UTF-8", "UTF8"})) {
            encoding = pugi::encoding_utf8;
        } else if (IsOneOf(declared, {"GB2312", "GBK", "CP936", "MS936", "WINDOWS-936", "EUC-CN", "X-GBK", "CSGB2312"})) {
            text = plat::AnsiToUtf8(bytes, 936);
            source = &text;
            encoding = pugi::encoding_utf8;
        } else if (IsOneOf(declared, {"BIG5", "BIG-5", "CP950", "X-MS950", "CN-BIG5", "CSBIG5"})) {
            text = plat::AnsiToUtf8(bytes, 950);
            source = &text;
            encoding = pugi::encoding_utf8;
        } else if (IsOneOf(declared, {"ISO-8859-1", "LATIN1", "LATIN-1"})) {
            encoding = pugi::encoding_latin1;
        } else if (declared.compare(0, 6, "UTF-16") != 0 && declared.compare(0, 6, "UTF-32") != 0) {
            text = IconvToUtf8(bytes, declared);
            source = &text;
            encoding = pugi::encoding_utf8;
        }
    }
    pugi::xml_parse_result result = document.load_buffer(source->data(), source->size(), pugi::parse_default, encoding);
    if (!result) throw LanguageControllerError(result.description());
    if (!document.document_element()) throw LanguageControllerError("No document element");
}

std::string LanguageFolder(TDesignType designType) {
    std::string root, codePage;
    if (designType == TDesignType::dtServer) {
        TCorvaneIniS settings;
        root = settings.ServerPath;
        codePage = settings.UICodePage;
    } else {
        TCorvaneIniC settings;
        root = settings.ClientPath;
        codePage = settings.UICodePage;
    }
    plat::TStringList codes;
    codes.SetText(kLanguageCodes);
    std::string language = codePage.empty() ? std::string() : codes.Values(codePage);
    if (root.empty() || language.empty()) return {};
    std::string folder = plat::IncludeTrailingPathDelimiter(root) + "MultiLanguage/" + language + "/";
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

bool GetLangMessage(TDesignType designType, const std::string& className, const std::string& key, std::string& text,
                    const std::string& defaultText) {
    text = defaultText;
    try {
        // Without a package folder there is no package: never a file of the working directory.
        std::string folder = LanguageFolder(designType);
        if (folder.empty() || className.empty()) return false;
        std::string file = folder + className + ".Lng";
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) return false;
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        pugi::xml_document document;
        LoadPackage(document, bytes);
        pugi::xpath_node found = SelectFirst(document.document_element(), FormatPath(kMessagePath, key, kMessageAttribute));
        if (!found) return false;
        text = found.attribute() ? found.attribute().value() : found.node().text().get();
        return true;
    } catch (const std::exception&) {
        text = defaultText;
        return false;
    }
}

// ---- property paths ----

namespace {

void SetByTypeInfo(vcl::TObject* object, const std::string& name, const std::string& value) {
    if (!object || name.empty() || !vcl::IsPublishedProp(object, name)) return;
    try {
        switch (vcl::PropType(object, name)) {
        case vcl::TTypeKind::Class:
        case vcl::TTypeKind::Method:
        case vcl::TTypeKind::Unknown:
            return;   // not a property that takes a text
        case vcl::TTypeKind::Enumeration:
        case vcl::TTypeKind::Set:
            vcl::SetPropValue(object, name, plat::Variant(plat::Trim(value)));
            return;
        default:
            // Integer properties with identifiers (colours, cursors) take the
            // identifier text; numbers take their decimal text.
            vcl::SetPropValue(object, name, plat::Variant(value));
            return;
        }
    } catch (const std::exception&) {
        // a value the property cannot take leaves the design value
    }
}

}  // namespace

void ApplyPropertyPath(vcl::TComponent* component, const std::string& path, const std::string& value) {
    std::vector<std::string> segments;
    size_t start = 0;
    while (true) {
        size_t dot = path.find('.', start);
        segments.push_back(plat::Trim(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start)));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }

    vcl::TObject* object = component;
    std::string last;
    for (size_t i = 0; i < segments.size(); ++i) {
        const std::string& segment = segments[i];
        if (i + 1 == segments.size()) {
            last = segment;
            break;
        }
        size_t underscore = segment.find('_');
        if (underscore == std::string::npos) {
            vcl::TObject* next = langprop::ObjectProp(object, segment);
            if (!next) return;
            object = next;
            continue;
        }
        std::string prefix = segment.substr(0, underscore), digits = segment.substr(underscore + 1);
        bool indexed = (langprop::NameKey(prefix) == "ITEMS" || langprop::NameKey(prefix) == "COLUMNS") && IsDecimal(digits);
        if (!indexed) {
            // Ends the walk; the segment is the property to set.
            last = segment;
            break;
        }
        switch (langcontrols::StepIntoEntry(object, prefix, IndexOf(digits))) {
        case langcontrols::StepResult::Entered:
        case langcontrols::StepResult::Unchanged:
            break;
        case langcontrols::StepResult::OutOfRange:
            return;
        case langcontrols::StepResult::NotAKind: {
            vcl::TObject* next = langprop::ObjectProp(object, prefix);
            if (!next) return;
            object = next;
            break;
        }
        }
    }
    if (last.empty()) return;

    std::string name = last;
    int index = -1;
    size_t underscore = last.find('_');
    if (underscore != std::string::npos && IsDecimal(last.substr(underscore + 1))) {
        name = last.substr(0, underscore);
        index = IndexOf(last.substr(underscore + 1));
    }
    if (index >= 0 && object == AsObject(component))
        if (vcl::TObject* held = langprop::ObjectProp(object, name)) object = held;

    if (auto* lines = dynamic_cast<vcl::TStrings*>(object)) {
        if (index < 0) return;
        if (index >= lines->Count() && index > kMaxPackageLineIndex) return;
        while (lines->Count() <= index) lines->Add("");
        lines->Put(index, value);
        return;
    }
    if (langcontrols::SetEntryText(object, name, value)) return;
    SetByTypeInfo(object, name, value);
}

// ---- readers ----

void TComponentRead::ApplyAttribute(pugi::xml_attribute attribute) {
    auto* component = dynamic_cast<vcl::TComponent*>(target_);
    if (!attribute || !component) return;
    ApplyPropertyPath(component, attribute.name(), attribute.value());
}

void TComponentRead::ReadAttribute(int index) {
    int i = 0;
    for (pugi::xml_attribute a = node_.first_attribute(); a; a = a.next_attribute(), ++i)
        if (i == index) {
            ApplyAttribute(a);
            return;
        }
}

void TComponentRead::ReadAttribute(const std::string& name) { ApplyAttribute(node_.attribute(name.c_str())); }

void TComponentRead::ReadAll() {
    int count = 0;
    for (pugi::xml_attribute a = node_.first_attribute(); a; a = a.next_attribute()) ++count;
    for (int i = 0; i < count; ++i) ReadAttribute(i);
}

namespace {

void ReadKeepingItemIndex(TComponentRead& reader, const std::function<void()>& read) {
    int index = langprop::IntProp(reader.Target(), "ItemIndex", -1);
    read();
    langprop::TrySetProp(reader.Target(), "ItemIndex", plat::Variant(index));
}

}  // namespace

void TCustomComboBoxRead::ReadAll() {
    ReadKeepingItemIndex(*this, [this] { TComponentRead::ReadAll(); });
}

void TwwDBCustomComboBoxRead::ReadAll() {
    ReadKeepingItemIndex(*this, [this] { TComponentRead::ReadAll(); });
}

std::unique_ptr<ILangRead> TReaderFactory::CreateReader(vcl::TComponent* component, pugi::xml_node node) {
    if (langprop::InheritsFromName(component, "TwwDBCustomComboBox"))
        return std::make_unique<TwwDBCustomComboBoxRead>(component, node);
    if (langprop::InheritsFromName(component, "TCustomComboBox") || langprop::InheritsFromName(component, "TComboBox"))
        return std::make_unique<TCustomComboBoxRead>(component, node);
    return std::make_unique<TComponentRead>(component, node);
}

// ---- TLangReader ----

TLangReader::TLangReader(const pugi::xml_document& document, const vcl::TStrings& excluded,
                         TLoadComponentEvent before, TLoadComponentEvent after)
    : document_(document), before_(std::move(before)), after_(std::move(after)) {
    excluded_.Assign(excluded);
}

bool TLangReader::IsExcluded(const std::string& name) const {
    const std::string key = langprop::NameKey(name);
    for (int i = 0; i < excluded_.Count(); ++i)
        if (langprop::NameKey(excluded_[i]) == key) return true;
    return false;
}

void TLangReader::Load(vcl::TComponent* component, pugi::xml_node node) {
    before_(component, node);
    TReaderFactory::CreateReader(component, node)->ReadAll();
    after_(component, node);
}

void TLangReader::TranslateComponent(vcl::TComponent* component) {
    if (!component) return;
    pugi::xml_node root = document_.document_element();
    if ((component->Is<vcl::TForm>() || component->Is<vcl::TDataModule>()) && root) Load(component, root);
    if (!component->Name().empty() && !IsExcluded(component->Name())) {
        pugi::xpath_node found = SelectFirst(document_, FormatPath(kElementPath, component->Name()));
        if (found.node()) Load(component, found.node());
    }
    // Copied: a translated component may own components made on the way.
    const std::vector<vcl::TComponent*> owned = component->ComponentList();
    for (vcl::TComponent* child : owned) TranslateComponent(child);
}

// ---- TLanguageController ----

const vcl::TClassInfo& TLanguageController::StaticClass() {
    static const vcl::TClassInfo info =
        vcl::MakeComponentClass<TLanguageController>("TLanguageController", vcl::TComponent::StaticClass());
    return info;
}

TLanguageController::TLanguageController(vcl::TComponent* owner) : vcl::TComponent(owner) {
    xml_.Changed = [this] { SetActive(false); };
    exclude_.Changed = [this] {
        if (reader_) reader_->SetExcluded(exclude_);
    };
}

TLanguageController::~TLanguageController() {
    xml_.Changed = nullptr;
    exclude_.Changed = nullptr;
}

void TLanguageController::SetFileName(const std::string& fileName) {
    if (fileName == fileName_) return;
    fileName_ = fileName;
    xml_.Clear();
    SetActive(false);
}

bool TLanguageController::Active() const { return document_ && document_->document_element(); }

void TLanguageController::SetActive(bool active) {
    if (loading_) {
        storedActive_ = active;
        return;
    }
    if (active == Active()) return;
    if (active) Open();
    else Close();
}

void TLanguageController::Loaded() {
    loading_ = false;
    SetActive(storedActive_);
}

void TLanguageController::Open() {
    BeforeOpen(this);
    reader_.reset();
    document_.reset();
    auto document = std::make_unique<pugi::xml_document>();
    if (xml_.Count() > 0) {
        std::string text = xml_.Text();
        pugi::xml_parse_result result =
            document->load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!result) throw LanguageControllerError(result.description());
        if (!document->document_element()) throw LanguageControllerError("No document element");
    } else {
        if (fileName_.empty()) throw LanguageControllerError("Cannot Find File " + fileName_ + "!");
        std::ifstream in(fileName_, std::ios::binary);
        if (!in) throw LanguageControllerError("Cannot Find File " + fileName_ + "!");
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LoadPackage(*document, bytes);
    }
    document_ = std::move(document);
    reader_ = std::make_unique<TLangReader>(*document_, exclude_, BeforeLoadComponent, AfterLoadComponent);
    AfterOpen(this);
}

void TLanguageController::Close() {
    BeforeClose(this);
    reader_.reset();
    document_.reset();
    AfterClose(this);
}

void TLanguageController::SetExcludeControls(const vcl::TStrings* names) {
    if (names) exclude_.Assign(*names);
    else exclude_.Clear();
}

TLangReader& TLanguageController::Reader() {
    if (!Active() || !reader_) throw LanguageControllerError("No active LanguageController!");
    return *reader_;
}

// ---- TKvLangController ----

const vcl::TClassInfo& TKvLangController::StaticClass() {
    static const vcl::TClassInfo info = [] {
        vcl::TClassInfo i =
            vcl::MakeComponentClass<TKvLangController>("TKvLangController", TLanguageController::StaticClass());
        vcl::TPropBuilder<TKvLangController>(i)
            .Bool("Active", &TKvLangController::Active, &TKvLangController::SetActive)
            .Event("AfterClose")
            .Event("AfterOpen")
            .Event("BeforeClose")
            .Event("BeforeOpen")
            .Event("AfterLoadComponent")
            .Event("BeforeLoadComponent")
            .Obj<vcl::TStrings>("ExcludeControls", [](const TKvLangController& c) {
                return &const_cast<TKvLangController&>(c).ExcludeControls();
            })
            .Str("LangPackageName", &TKvLangController::LangPackageName, &TKvLangController::SetLangPackageName)
            .Enum<TDesignType>("DesignType", &TKvLangController::DesignType, &TKvLangController::SetDesignType,
                               DesignTypeNames());
        return i;
    }();
    return info;
}

TKvLangController::TKvLangController(vcl::TComponent* owner) : TLanguageController(owner) {}

void TKvLangController::SetLangPackageName(const std::string& name) {
    if (name == packageName_) return;
    packageName_ = name;
    // Without a package folder there is no package file (activating then
    // reports "Cannot Find File"): a bare "<name>.Lng" would be read from
    // whatever folder the program was started in.
    std::string folder = LanguageFolder(designType_);
    SetFileName(folder.empty() || name.empty() ? std::string() : folder + name + ".Lng");
}
