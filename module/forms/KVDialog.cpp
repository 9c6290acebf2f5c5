// The dialog base: the owner window's broker and date format, conversion,
// function keys and Enter.
#include "KVDialog.h"

#include "Grids.h"
#include "RadicalCF.h"
#include "StdCtrls.h"
#include "controls/KvDBGrid.h"
#include "lang/CodeConverter.h"

const vcl::TClassInfo& TfrmKVDialog::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmKVDialog>("TfrmKVDialog", TKVForm::StaticClass());
    return info;
}

TfrmKVDialog::TfrmKVDialog(vcl::TComponent* owner) : TKVForm(owner) {}

void TfrmKVDialog::BindHandlers() {
    TKVForm::BindHandlers();
    OnKeyDown = vcl::TKeyEvent([this](vcl::TObject* s, uint16_t& k, vcl::TShiftState sh) { FormKeyDown(s, k, sh); }, this);
    OnKeyPress = vcl::TKeyPressEvent([this](vcl::TObject* s, char32_t& k) { FormKeyPress(s, k); }, this);
}

void TfrmKVDialog::FormCreate(vcl::TObject* sender) {
    TKVForm::FormCreate(sender);
    if (auto* window = dynamic_cast<TfrmRadical*>(Owner())) {
        Brokers = window->Brokers;
        DateFormatKind = window->DateFormatKind;
        DateSeparator = window->DateSeparator;
        ConvertForm();
        SetCaption(window->Caption());
    } else {
        ConvertForm();
    }
}

void TfrmKVDialog::FormShow(vcl::TObject* sender) {
    TKVForm::FormShow(sender);
    if (KvConverter()->UIMode() != 0) KvConverter()->ConvertComponentTree(this, false, false);
}

void TfrmKVDialog::FormKeyDown(vcl::TObject*, uint16_t& key, vcl::TShiftState shift) {
    if (shift != 0) return;
    vcl::TWinControl* active = ActiveControl();
    switch (key) {
    case vcl::VK_F2: DoKeyF2(key, active); break;
    case vcl::VK_F3: DoKeyF3(key, active); break;
    case vcl::VK_F4: DoKeyF4(key, active); break;
    default: break;
    }
}

// Enter moves on, except in a memo or a grid.
void TfrmKVDialog::FormKeyPress(vcl::TObject*, char32_t& key) {
    if (key != 13) return;
    vcl::TWinControl* active = ActiveControl();
    if (!active || active->Is<vcl::TMemo>() || active->Is<vcl::TStringGrid>() || active->Is<TKvDBGrid>()) return;
    key = 0;
    SelectNext(active, true, true);
}

void TfrmKVDialog::WndProc(vcl::TMessage& message) {
    if (message.Msg >= WM_HOST_KEYF2 && message.Msg <= WM_HOST_KEYF4) {
        auto* control = dynamic_cast<vcl::TWinControl*>(vcl::TControl::ControlFromParam(message.LParam));
        uint16_t key = static_cast<uint16_t>(vcl::VK_F2 + (message.Msg - WM_HOST_KEYF2));
        if (message.Msg == WM_HOST_KEYF2) DoKeyF2(key, control);
        else if (message.Msg == WM_HOST_KEYF3) DoKeyF3(key, control);
        else DoKeyF4(key, control);
        return;
    }
    TKVForm::WndProc(message);
}
