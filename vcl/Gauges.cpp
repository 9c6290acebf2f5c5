// The gauge over QProgressBar.
#include "Gauges.h"

#include <QProgressBar>

namespace vcl {

const TClassInfo& TGauge::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TGauge>("TGauge", TGraphicControl::StaticClass());
        TPropBuilder<TGauge>(c)
            .Int("MinValue", &TGauge::MinValue, &TGauge::SetMinValue)
            .Int("MaxValue", &TGauge::MaxValue, &TGauge::SetMaxValue)
            .Int("Progress", &TGauge::Progress, &TGauge::SetProgress)
            .Int("PercentDone", &TGauge::PercentDone, nullptr)
            .Int("ForeColor", &TGauge::ForeColor, &TGauge::SetForeColor, &ColorIdents())
            .Int("BackColor", &TGauge::BackColor, &TGauge::SetBackColor, &ColorIdents())
            .Bool("ShowText", &TGauge::ShowText, &TGauge::SetShowText)
            .Enum<TGaugeKind>("Kind", &TGauge::Kind, &TGauge::SetKind,
                              {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie", "gkNeedle"});
        return c;
    }();
    return info;
}

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner), bar_(new QProgressBar) {
    SetWidget(bar_);
    bar_->resize(100, 100);
    bar_->setTextVisible(true);
    bar_->setFormat(QStringLiteral("%p%"));
    Update();
}

void TGauge::Update() {
    bar_->setRange(min_, std::max(min_, max_));
    bar_->setValue(progress_);
    bar_->setTextVisible(showText_);
    bar_->setOrientation(kind_ == TGaugeKind::gkVerticalBar ? Qt::Vertical : Qt::Horizontal);
    QPalette p = bar_->palette();
    p.setColor(QPalette::Highlight, ColorToQColor(foreColor_));
    p.setColor(QPalette::Base, ColorToQColor(backColor_));
    p.setColor(QPalette::Window, ColorToQColor(backColor_));
    bar_->setPalette(p);
}

void TGauge::SetMinValue(int value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    progress_ = std::clamp(progress_, min_, max_);
    Update();
}

void TGauge::SetMaxValue(int value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    progress_ = std::clamp(progress_, min_, max_);
    Update();
}

void TGauge::SetProgress(int value) {
    progress_ = std::clamp(value, min_, max_);
    Update();
}

int TGauge::PercentDone() const {
    if (max_ <= min_) return 0;
    return static_cast<int>((static_cast<long long>(progress_ - min_) * 100) / (max_ - min_));
}

void TGauge::SetForeColor(TColor color) {
    foreColor_ = color;
    Update();
}

void TGauge::SetBackColor(TColor color) {
    backColor_ = color;
    Update();
}

void TGauge::SetShowText(bool show) {
    showText_ = show;
    Update();
}

void TGauge::SetKind(TGaugeKind kind) {
    kind_ = kind;
    Update();
}

}  // namespace vcl
