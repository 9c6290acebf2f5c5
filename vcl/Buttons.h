// Buttons with glyphs: the bitmap button (a push button with a glyph and a
// kind that gives it a standard caption and modal result) and the speed
// button (a flat tool button that never takes the focus and can stay down
// in a group). A glyph bitmap holds NumGlyphs images side by side: up,
// disabled, clicked, down; its bottom-left pixel is the transparent colour.
#pragma once

#include <memory>

#include <QIcon>

#include "Graphics.h"
#include "StdCtrls.h"

class QToolButton;

namespace vcl {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// The icon of a glyph strip: the first image for normal use, the second
// (when there is one) for the disabled look.
QIcon GlyphIcon(const TBitmap& glyph, int numGlyphs);

class TBitBtn : public TButton {
    VCL_DECLARE_CLASS(TBitBtn)
public:
    explicit TBitBtn(TComponent* owner);

    TBitmap* Glyph() const { return glyph_.get(); }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    TBitBtnKind Kind() const { return kind_; }
    // A standard kind sets the caption, the modal result and Default or Cancel.
    void SetKind(TBitBtnKind kind);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing) { spacing_ = spacing; }
    void Click() override;

private:
    void UpdateGlyph();
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TBitBtnKind kind_ = TBitBtnKind::bkCustom;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    int spacing_ = 4;
};

class TSpeedButton : public TGraphicControl {
    VCL_DECLARE_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* owner);

    TBitmap* Glyph() const { return glyph_.get(); }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    // Buttons of one parent with the same GroupIndex (not 0) stay down one at a time.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool Down() const { return down_; }
    void SetDown(bool down);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow) { allowAllUp_ = allow; }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    void Click() override;

    QToolButton* Button() const { return button_; }

protected:
    void CaptionChanged() override;
    bool ClickOnMouse() const override { return false; }
    // Shows an icon other than the glyph (glyph lists by index).
    void SetIcon(const QIcon& icon);
    virtual void UpdateGlyph();

private:
    QToolButton* button_;
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    bool flat_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
};

}  // namespace vcl
