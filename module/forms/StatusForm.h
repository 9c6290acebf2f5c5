// TfrmStatus: the progress window of a long run (a batch, a report, an
// approval, an export). The caller shows it with a kind and a title, steps
// it once per unit of work and hides it at the end.
#pragma once

#include <string>

#include "KVForm.h"

namespace vcl {
class TBevel;
class TGauge;
class TLabel;
}  // namespace vcl

class TfrmStatus : public TKVForm {
    VCL_DECLARE_CLASS(TfrmStatus)
public:
    explicit TfrmStatus(vcl::TComponent* owner);

    vcl::TBevel* Bevel1 = nullptr;
    vcl::TLabel* Label1 = nullptr;
    vcl::TGauge* StatusBar = nullptr;

    // Kind "B" (batch), "R" (report), "T" (approval), compared in upper
    // case, picks the caption and the label; any other kind is put in front
    // of the general job texts. The label ends in "-[" + title + "]". The
    // gauge is reset to the range and the window shown and painted at once.
    void ShowProgress(const std::string& kind, const std::string& title, int minValue, int maxValue);
    // One step on the gauge (never past its maximum); pending window
    // messages are processed so that the window repaints.
    void StepProgress();
    // Moves the gauge to `position` (kept within its range) and lets
    // pending window messages through, like a step.
    void SetProgressPosition(int position);
    void HideProgress();

private:
    std::string Text(const std::string& key, const std::string& defaultText) const;
};
