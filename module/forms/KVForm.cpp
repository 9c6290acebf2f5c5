// The root window class: the code converter and language controller of a
// window, the handler binding of every window, conversion of the whole
// window, translation from the language packages of its class chain.
#include "KVForm.h"

#include <filesystem>
#include <vector>

#include "lang/CodeConverter.h"
#include "lang/LanguageController.h"

const vcl::TClassInfo& TKVForm::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TKVForm>("TKVForm", vcl::TForm::StaticClass());
    return info;
}

TKVForm::TKVForm(vcl::TComponent* owner)
    : vcl::TForm(owner),
      converter_(vcl::TComponent::Create<TCodeConverter>(this)),
      langController_(vcl::TComponent::Create<TKvLangController>(this)) {
    converter_->SetName("KvConverter");
    langController_->SetName("LangController");
    SetKeyPreview(true);
}

void TKVForm::AfterConstruction() {
    BindHandlers();
    vcl::TForm::AfterConstruction();
}

void TKVForm::BindHandlers() {
    OnCreate = vcl::TNotifyEvent([this](vcl::TObject* s) { FormCreate(s); }, this);
    OnShow = vcl::TNotifyEvent([this](vcl::TObject* s) { FormShow(s); }, this);
}

void TKVForm::FormCreate(vcl::TObject*) {
    Converted = false;
    TranslateOnShow = true;
    const bool latin = converter_->UICodePage() == "437";
    const std::vector<vcl::TComponent*> owned = ComponentList();
    for (vcl::TComponent* component : owned) {
        if (vcl::IsPublishedProp(component, "ImeName")) {
            try {
                vcl::SetPropValue(component, "ImeName", plat::Variant(std::string()));
            } catch (const std::exception&) {
            }
        }
        if (latin && vcl::IsPublishedProp(component, "Font") &&
            vcl::PropType(component, "Font") == vcl::TTypeKind::Class) {
            if (auto* font = dynamic_cast<vcl::TFont*>(vcl::GetObjectProp(component, "Font"))) {
                font->SetCharset(vcl::GB2312_CHARSET);
                font->SetName("Tahoma");
            }
        }
    }
}

void TKVForm::FormShow(vcl::TObject*) {
    if (TranslateOnShow) TranslateForm();
}

const std::string& TKVForm::SystemCodePage() const { return converter_->SystemCodePage(); }
const std::string& TKVForm::UICodePage() const { return converter_->UICodePage(); }
const std::string& TKVForm::DBCodePage() const { return converter_->DBCodePage(); }
int TKVForm::UIConversion() const { return converter_->UIMode(); }
int TKVForm::DBConversion() const { return converter_->DBMode(); }

void TKVForm::SetCodePages(const std::string& system, const std::string& ui, const std::string& db) {
    converter_->SetCodePages(system, ui, db);
}

void TKVForm::ConvertForm() {
    if (Converted) return;
    converter_->ConvertComponentTree(this, false, true);
    Converted = true;
}

void TKVForm::TranslateForm() { ApplyLanguage(this, true); }

void TKVForm::ApplyLanguage(vcl::TComponent* component, bool withAncestors) {
    ApplyPackages(component, withAncestors, false);
}

void TKVForm::ApplyOwnLanguage(vcl::TComponent* component, bool withAncestors) {
    ApplyPackages(component, withAncestors, true);
}

void TKVForm::ApplyPackages(vcl::TComponent* component, bool withAncestors, bool stopBelowKVForm) {
    if (!component) return;
    std::vector<std::string> classes;
    if (withAncestors) {
        for (const vcl::TClassInfo* c = &component->ClassType(); c; c = c->Parent) {
            // The platform's classes have no packages.
            if (c == &vcl::TForm::StaticClass() || c == &vcl::TDataModule::StaticClass() ||
                c == &vcl::TComponent::StaticClass())
                break;
            if (stopBelowKVForm && c == &TKVForm::StaticClass()) break;
            classes.insert(classes.begin(), c->Name);
        }
    } else {
        classes.push_back(component->ClassName());
    }
    std::error_code ec;
    for (const std::string& name : classes) {
        langController_->SetLangPackageName(name);
        if (!std::filesystem::is_regular_file(langController_->FileName(), ec)) continue;
        langController_->SetActive(true);
        langController_->TranslateComponent(component);
    }
}

void TKVForm::GetLangText(const std::string& className, const std::string& key, std::string& text, bool convert,
                          const std::string& defaultText) const {
    std::string fallback = convert ? converter_->ToDisplay(plat::Variant(defaultText)).ToString() : defaultText;
    GetLangMessage(langController_->DesignType(), className, key, text, fallback);
}
