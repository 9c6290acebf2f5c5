// The gauge: a progress bar between MinValue and MaxValue whose Progress
// never leaves that range.
#pragma once

#include "Controls.h"

class QProgressBar;

namespace vcl {

enum class TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

class TGauge : public TGraphicControl {
    VCL_DECLARE_CLASS(TGauge)
public:
    explicit TGauge(TComponent* owner);

    int MinValue() const { return min_; }
    void SetMinValue(int value);
    int MaxValue() const { return max_; }
    void SetMaxValue(int value);
    int Progress() const { return progress_; }
    // Limited to MinValue..MaxValue.
    void SetProgress(int value);
    void AddProgress(int value) { SetProgress(progress_ + value); }
    // Progress as a whole percentage of the range; 0 for an empty range.
    int PercentDone() const;
    TColor ForeColor() const { return foreColor_; }
    void SetForeColor(TColor color);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor color);
    bool ShowText() const { return showText_; }
    void SetShowText(bool show);
    TGaugeKind Kind() const { return kind_; }
    void SetKind(TGaugeKind kind);

    QProgressBar* Bar() const { return bar_; }

private:
    void Update();
    QProgressBar* bar_;
    int min_ = 0, max_ = 100, progress_ = 0;
    TColor foreColor_ = clBlack, backColor_ = clWhite;
    bool showText_ = true;
    TGaugeKind kind_ = TGaugeKind::gkHorizontalBar;
};

}  // namespace vcl
