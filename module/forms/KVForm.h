// TKVForm: the root of every window and dialog of the suite. It carries the
// window's code pages and conversion modes and translates the window when it
// is first shown.
#pragma once

#include <string>

#include "Forms.h"

class TKVForm : public vcl::TForm {
    VCL_DECLARE_CLASS(TKVForm)
public:
    explicit TKVForm(vcl::TComponent* owner);

    bool Converted = false;        // the code converter has already run over the form
    bool TranslateOnShow = true;   // FormShow runs TranslateForm

    // Code pages ("437", "936" or "950") and conversion modes of the window,
    // read from the client settings when the window is created.
    const std::string& SystemCodePage() const { return systemCodePage_; }
    const std::string& UICodePage() const { return uiCodePage_; }
    const std::string& DBCodePage() const { return dbCodePage_; }
    int UIConversion() const { return uiConversion_; }
    int DBConversion() const { return dbConversion_; }
    void SetCodePages(const std::string& system, const std::string& ui, const std::string& db, int uiMode, int dbMode);

    virtual void TranslateForm() {}

    // Published handlers; descendants extend them and call the inherited one first.
    virtual void FormCreate(vcl::TObject* sender);
    virtual void FormShow(vcl::TObject* sender);

    void AfterConstruction() override;

protected:
    // Binds the published handlers to the form's events, as a window description does.
    virtual void BindHandlers();

private:
    void LoadCodePages();

    std::string systemCodePage_ = "936";
    std::string uiCodePage_ = "936";
    std::string dbCodePage_ = "936";
    int uiConversion_ = 0;
    int dbConversion_ = 0;
};
