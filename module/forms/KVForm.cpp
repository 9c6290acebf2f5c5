// The root window class: code pages from the client settings, the handler
// binding of every window, translation on first show.
#include "KVForm.h"

#include "host/CorvaneIni.h"

const vcl::TClassInfo& TKVForm::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TKVForm>("TKVForm", vcl::TForm::StaticClass());
    return info;
}

TKVForm::TKVForm(vcl::TComponent* owner) : vcl::TForm(owner) { SetKeyPreview(true); }

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
    LoadCodePages();
}

void TKVForm::FormShow(vcl::TObject*) {
    if (TranslateOnShow) TranslateForm();
}

void TKVForm::SetCodePages(const std::string& system, const std::string& ui, const std::string& db, int uiMode,
                           int dbMode) {
    systemCodePage_ = system;
    uiCodePage_ = ui;
    dbCodePage_ = db;
    uiConversion_ = uiMode;
    dbConversion_ = dbMode;
}

void TKVForm::LoadCodePages() {
    TCorvaneIniC settings;
    SetCodePages(settings.SystemCodePage, settings.UICodePage, settings.DBCodePage, settings.UIConversion,
                 settings.DBConversion);
}
