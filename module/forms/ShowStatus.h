// TfrmShowStatus: the small progress window of the data-set exports: one
// text (as caption and label) and a gauge stepped once per record.
#pragma once

#include <string>

#include "KVForm.h"

namespace vcl {
class TGauge;
class TLabel;
}  // namespace vcl

class TfrmShowStatus : public TKVForm {
    VCL_DECLARE_CLASS(TfrmShowStatus)
public:
    explicit TfrmShowStatus(vcl::TComponent* owner);

    vcl::TLabel* Label1 = nullptr;
    vcl::TGauge* StatusBar = nullptr;

    // Caption and label := text (converted for display); the gauge runs
    // from min to max and is hidden when both are 0. Shows and paints the
    // window at once.
    void ShowProgress(const std::string& text, int minValue, int maxValue);
    // One step while below the maximum.
    void StepProgress();
    void CloseProgress();
};
