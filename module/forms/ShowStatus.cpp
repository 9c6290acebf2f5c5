// The export progress window.
#include "ShowStatus.h"

#include <QApplication>

#include "Gauges.h"
#include "StdCtrls.h"
#include "lang/CodeConverter.h"

const vcl::TClassInfo& TfrmShowStatus::StaticClass() {
    static const vcl::TClassInfo info =
        vcl::MakeComponentClass<TfrmShowStatus>("TfrmShowStatus", TKVForm::StaticClass());
    return info;
}

TfrmShowStatus::TfrmShowStatus(vcl::TComponent* owner) : TKVForm(owner) {
    SetName("frmShowStatus");
    SetCaption("Status");
    SetBorderStyle(vcl::TFormBorderStyle::bsDialog);
    SetPosition(vcl::TPosition::poScreenCenter);
    SetClientWidth(360);
    SetClientHeight(64);
    Label1 = vcl::TComponent::Create<vcl::TLabel>(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption("处理进度");
    Label1->SetBounds(12, 8, 336, 16);
    StatusBar = vcl::TComponent::Create<vcl::TGauge>(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->SetBounds(12, 32, 336, 18);
    StatusBar->SetForeColor(vcl::clBlue);
}

void TfrmShowStatus::ShowProgress(const std::string& text, int minValue, int maxValue) {
    std::string shown = KvConverter()->ToDisplay(plat::Variant(text)).ToString();
    SetCaption(shown);
    Label1->SetCaption(shown);
    StatusBar->SetMinValue(minValue);
    StatusBar->SetMaxValue(maxValue);
    StatusBar->SetProgress(minValue);
    StatusBar->SetVisible(!(minValue == 0 && maxValue == 0));
    Show();
    Repaint();
    QApplication::processEvents();
}

void TfrmShowStatus::StepProgress() {
    if (StatusBar->Progress() < StatusBar->MaxValue()) StatusBar->AddProgress(1);
    QApplication::processEvents();
}

void TfrmShowStatus::CloseProgress() { Close(); }
