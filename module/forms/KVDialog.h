// TfrmKVDialog: the base of the suite's dialog windows. A dialog takes the
// broker, date format and caption of the window that owns it, converts its
// texts as that window does, passes F2-F4 (and the lookup buttons' requests)
// to its own handlers and moves on with Enter.
#pragma once

#include "KVForm.h"

class TBrokers;

class TfrmKVDialog : public TKVForm {
    VCL_DECLARE_CLASS(TfrmKVDialog)
public:
    explicit TfrmKVDialog(vcl::TComponent* owner);

    TBrokers* Brokers = nullptr;        // the owner window's; not owned
    int DateFormatKind = 1;
    std::string DateSeparator;

    // The base versions leave the key to the control.
    virtual void DoKeyF2(uint16_t& key, vcl::TWinControl* control) {}
    virtual void DoKeyF3(uint16_t& key, vcl::TWinControl* control) {}
    virtual void DoKeyF4(uint16_t& key, vcl::TWinControl* control) {}

    void FormCreate(vcl::TObject* sender) override;
    void FormShow(vcl::TObject* sender) override;
    virtual void FormKeyDown(vcl::TObject* sender, uint16_t& key, vcl::TShiftState shift);
    virtual void FormKeyPress(vcl::TObject* sender, char32_t& key);
    void WndProc(vcl::TMessage& message) override;

protected:
    void BindHandlers() override;
};
