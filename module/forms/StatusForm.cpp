// The progress window: its layout, the kind texts and the gauge.
#include "StatusForm.h"

#include <QApplication>

#include "ExtCtrls.h"
#include "Gauges.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "lang/CodeConverter.h"

const vcl::TClassInfo& TfrmStatus::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmStatus>("TfrmStatus", TKVForm::StaticClass());
    return info;
}

TfrmStatus::TfrmStatus(vcl::TComponent* owner) : TKVForm(owner) {
    SetName("frmStatus");
    SetCaption("批处理进度显示");
    SetBorderStyle(vcl::TFormBorderStyle::bsSingle);
    SetBorderIcons(vcl::biSystemMenu);   // no minimise or maximise for a passing progress window
    SetPosition(vcl::TPosition::poScreenCenter);
    SetClientWidth(424);
    SetClientHeight(55);
    Font()->SetSize(9);
    Bevel1 = vcl::TComponent::Create<vcl::TBevel>(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(10, 10, 405, 37);
    Label1 = vcl::TComponent::Create<vcl::TLabel>(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetCaption("批处理处理进度");
    Label1->SetBounds(17, 3, 380, 16);
    StatusBar = vcl::TComponent::Create<vcl::TGauge>(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->SetBounds(17, 22, 389, 18);
    StatusBar->SetForeColor(vcl::clBlue);
    StatusBar->SetBackColor(vcl::clWindow);
    StatusBar->SetProgress(0);
}

std::string TfrmStatus::Text(const std::string& key, const std::string& defaultText) const {
    std::string text;
    GetLangText("TfrmStatus", key, text, false, defaultText);
    return text;
}

void TfrmStatus::ShowProgress(const std::string& kind, const std::string& title, int minValue, int maxValue) {
    std::string upper = plat::UpperCase(kind);
    std::string caption, label;
    if (upper == "B") {
        caption = Text("CaptionB", "批处理进度显示");
        label = Text("LblB", "批处理处理进度");
    } else if (upper == "R") {
        caption = Text("CaptionR", "报表作业进度显示");
        label = Text("LblR", "报表作业处理进度");
    } else if (upper == "T") {
        caption = Text("CaptionT", "审核作业进度显示");
        label = Text("LblT", "审核作业处理进度");
    } else {
        caption = kind + Text("CaptionO", "作业进度显示");
        label = kind + Text("LblO", "作业处理进度");
    }
    SetCaption(caption);
    Label1->SetCaption(label + "-[" + title + "]");
    StatusBar->SetMinValue(minValue);
    StatusBar->SetMaxValue(maxValue);
    StatusBar->SetProgress(0);
    if (Converted) {
        KvConverter()->ConvertComponentTree(this, false, false);
        Label1->SetCaption(KvConverter()->ToDisplay(plat::Variant(Label1->Caption())).ToString());
    }
    ConvertForm();
    Show();
    Repaint();
}

void TfrmStatus::StepProgress() { SetProgressPosition(StatusBar->Progress() + 1); }

void TfrmStatus::SetProgressPosition(int position) {
    StatusBar->SetProgress(position);
    QApplication::processEvents();
}

void TfrmStatus::HideProgress() { Hide(); }
