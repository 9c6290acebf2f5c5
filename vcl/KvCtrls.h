// The suite's own small controls: the lookup button (TF2Button) that asks
// its form to run the F2 lookup for the control it serves, the glyph speed
// button (TGSpeedButton), the button edit (TKvBtnEdit: an edit with a
// lookup button inside) and the bitmap check box (TBitCheckBox). Buttons
// take their glyph by number from the suite's glyph list.
#pragma once

#include <memory>

#include "Buttons.h"
#include "StdCtrls.h"

class QAction;

namespace vcl {

class TImageList;

// The suite's button glyphs by number: 4 clear, 8 lookup, 47 delete,
// 81 query; glyph 0 is the lookup glyph as well.
bool HasStockGlyph(int index);
QImage StockGlyph(int index);

// A speed button whose glyph is a number in the stock glyph list (or in
// Images when set). An index without a glyph shows glyph 0.
class TGSpeedButton : public TSpeedButton {
    VCL_DECLARE_CLASS(TGSpeedButton)
public:
    explicit TGSpeedButton(TComponent* owner);

    int GlyphIndex() const { return glyphIndex_; }
    void SetGlyphIndex(int index);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // False when `index` names no glyph of the button's list.
    bool IsValidGlyph(int index) const;
    // The one image the button shows by its index; null when it shows a
    // Glyph bitmap of its own or no index.
    QImage IndexImage() const;
    // The image shown while the button is disabled (null: the platform's
    // greyed image).
    const QImage& DisabledImage() const { return disabled_; }
    void SetDisabledImage(const QImage& image);

protected:
    void UpdateGlyph() override;

private:
    int glyphIndex_ = -1;
    TImageList* images_ = nullptr;
    QImage disabled_;
};

// The lookup button. Pressing it focuses F2Control and posts WM_KEYF2 with
// that control to its form, which runs its F2 lookup as if F2 had been
// pressed there; then OnClick fires.
class TF2Button : public TGSpeedButton {
    VCL_DECLARE_CLASS(TF2Button)
public:
    explicit TF2Button(TComponent* owner);

    TWinControl* F2Control() const;
    void SetF2Control(TWinControl* control);
    // With AutoAlign the button stands right of its control, as high as it.
    bool AutoAlign() const { return autoAlign_; }
    void SetAutoAlign(bool autoAlign);
    void AlignToControl();
    void Click() override;

private:
    TWinControl* f2Control_ = nullptr;
    bool autoAlign_ = false;
};

// An edit with a lookup button at its right end. The button runs
// OnButtonClick, or, without a handler, the form's F2 lookup for the edit.
class TKvBtnEdit : public TCustomEdit {
    VCL_DECLARE_CLASS(TKvBtnEdit)
public:
    explicit TKvBtnEdit(TComponent* owner);

    int GlyphIndex() const { return glyphIndex_; }
    void SetGlyphIndex(int index);
    bool ButtonVisible() const { return buttonVisible_; }
    void SetButtonVisible(bool visible);
    const std::string& ButtonHint() const { return buttonHint_; }
    void SetButtonHint(const std::string& hint);
    void ButtonClick();
    // The button's glyph and the image it shows while the edit is disabled
    // (null: the platform's greyed image).
    QImage GlyphImage() const;
    const QImage& DisabledImage() const { return disabled_; }
    void SetDisabledImage(const QImage& image);

    TNotifyEvent OnButtonClick;
    QAction* ButtonAction() const { return action_; }

private:
    void UpdateIcon();
    QAction* action_;
    QImage disabled_;
    int glyphIndex_ = 8;
    bool buttonVisible_ = true;
    std::string buttonHint_;
};

// A check box drawn with bitmaps for its two states; without bitmaps of its
// own it draws the suite's ticked and empty boxes.
class TBitCheckBox : public TCheckBox {
    VCL_DECLARE_CLASS(TBitCheckBox)
public:
    explicit TBitCheckBox(TComponent* owner);
    TBitmap* GlyphChecked() const { return checked_.get(); }
    TBitmap* GlyphUnchecked() const { return unchecked_.get(); }
    // The image the box shows for its current state.
    QImage StateImage() const;

private:
    std::unique_ptr<TBitmap> checked_;
    std::unique_ptr<TBitmap> unchecked_;
};

}  // namespace vcl
