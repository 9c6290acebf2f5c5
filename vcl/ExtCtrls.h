// Panels (a container with bevels and a centred caption), bevels (lines and
// boxes) and splitters (a bar the user drags to resize the control aligned
// next to it).
#pragma once

#include "StdCtrls.h"

class QFrame;
class QLabel;

namespace vcl {

class CallbackWidget;

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBorderStyle { bsNone, bsSingle };

class TPanel : public TWinControl {
    VCL_DECLARE_CLASS(TPanel)
public:
    explicit TPanel(TComponent* owner);

    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    // The label that shows the caption, behind the children.
    QLabel* CaptionLabel() const { return caption_; }

protected:
    void CaptionChanged() override;
    QRect AlignRect() const override;
    void Resized() override;

private:
    void UpdateFrame();
    int Inset() const;
    QFrame* frame_;
    QLabel* caption_;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    TAlignment alignment_ = TAlignment::taCenter;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
    VCL_DECLARE_CLASS(TBevel)
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle style);

private:
    CallbackWidget* widget_;
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

class TSplitter : public TGraphicControl {
    VCL_DECLARE_CLASS(TSplitter)
public:
    explicit TSplitter(TComponent* owner);

    // The smallest size the neighbour and the space beyond the splitter keep.
    int MinSize() const { return minSize_; }
    void SetMinSize(int size) { minSize_ = std::max(1, size); }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool beveled);
    // The control the splitter resizes: the one aligned on the same side
    // directly before it; nullptr when there is none.
    TControl* Neighbour() const;
    // Moves the splitter by `delta` pixels (right or down when positive),
    // within the minimum sizes; answers the distance actually moved.
    int MoveBy(int delta);

    TNotifyEvent OnMoved;

private:
    CallbackWidget* widget_;
    int minSize_ = 30;
    bool beveled_ = false;
    int dragStart_ = 0;
    bool dragging_ = false;
};

}  // namespace vcl
