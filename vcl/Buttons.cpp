// Bitmap buttons over QPushButton, speed buttons over QToolButton.
#include "Buttons.h"

#include <QPushButton>
#include <QToolButton>

#include "Dialogs.h"
#include "Forms.h"

namespace vcl {

QIcon GlyphIcon(const TBitmap& glyph, int numGlyphs) {
    if (glyph.Empty()) return {};
    QImage masked = glyph.MaskedImage();
    int count = std::max(1, numGlyphs);
    int w = masked.width() / count;
    if (w <= 0) return {};
    QIcon icon(QPixmap::fromImage(masked.copy(0, 0, w, masked.height())));
    if (count >= 2) icon.addPixmap(QPixmap::fromImage(masked.copy(w, 0, w, masked.height())), QIcon::Disabled);
    return icon;
}

namespace {

const std::vector<std::string>& LayoutNames() {
    static const std::vector<std::string> names = {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
    return names;
}

Qt::ToolButtonStyle StyleOf(TButtonLayout layout, bool hasText, bool hasIcon) {
    if (!hasIcon) return Qt::ToolButtonTextOnly;
    if (!hasText) return Qt::ToolButtonIconOnly;
    return layout == TButtonLayout::blGlyphTop || layout == TButtonLayout::blGlyphBottom ? Qt::ToolButtonTextUnderIcon
                                                                                         : Qt::ToolButtonTextBesideIcon;
}

}  // namespace

// ---- TBitBtn ----

const TClassInfo& TBitBtn::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TBitBtn>("TBitBtn", TButton::StaticClass());
        TPropBuilder<TBitBtn>(c)
            .Obj<TBitmap>("Glyph", &TBitBtn::Glyph)
            .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
            .Enum<TBitBtnKind>("Kind", &TBitBtn::Kind, &TBitBtn::SetKind,
                               {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort",
                                "bkRetry", "bkIgnore", "bkAll"})
            .Enum<TButtonLayout>("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, LayoutNames())
            .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
        return c;
    }();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(std::make_unique<TBitmap>()) {
    glyph_->Changed = [this] { UpdateGlyph(); };
}

void TBitBtn::SetNumGlyphs(int count) {
    numGlyphs_ = std::clamp(count, 1, 4);
    UpdateGlyph();
}

void TBitBtn::UpdateGlyph() {
    QIcon icon = GlyphIcon(*glyph_, numGlyphs_);
    Button()->setIcon(icon);
    if (!glyph_->Empty()) Button()->setIconSize(QSize(glyph_->Width() / std::max(1, numGlyphs_), glyph_->Height()));
    Button()->setLayoutDirection(layout_ == TButtonLayout::blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TBitBtn::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    UpdateGlyph();
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    kind_ = kind;
    struct Standard {
        const char* Caption;
        int Result;
    };
    static const Standard standards[] = {
        {"", 0},           {"OK", plat::mrOk},       {"Cancel", plat::mrCancel}, {"&Help", 0},
        {"&Yes", plat::mrYes}, {"&No", plat::mrNo},  {"&Close", 0},              {"Abort", plat::mrAbort},
        {"&Retry", plat::mrRetry}, {"&Ignore", plat::mrIgnore}, {"&All", plat::mrAll},
    };
    if (kind == TBitBtnKind::bkCustom) return;
    const Standard& s = standards[static_cast<int>(kind)];
    SetCaption(s.Caption);
    SetModalResult(s.Result);
    if (kind == TBitBtnKind::bkOK || kind == TBitBtnKind::bkYes) SetDefault(true);
    if (kind == TBitBtnKind::bkCancel || kind == TBitBtnKind::bkNo) SetCancel(true);
}

// A close button closes its form.
void TBitBtn::Click() {
    if (kind_ == TBitBtnKind::bkClose) {
        TForm* form = ParentForm();
        TControl::Click();
        if (form) form->Close();
        return;
    }
    TButton::Click();
}

// ---- TSpeedButton ----

const TClassInfo& TSpeedButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TSpeedButton>("TSpeedButton", TGraphicControl::StaticClass());
        TPropBuilder<TSpeedButton>(c)
            .Obj<TBitmap>("Glyph", &TSpeedButton::Glyph)
            .Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
            .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
            .Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
            .Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
            .Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
            .Enum<TButtonLayout>("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, LayoutNames());
        return c;
    }();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), button_(new QToolButton), glyph_(std::make_unique<TBitmap>()) {
    SetWidget(button_);
    button_->resize(23, 22);
    button_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    glyph_->Changed = [this] { UpdateGlyph(); };
    QObject::connect(button_, &QToolButton::clicked, [this] { Guarded([this] { Click(); }); });
}

void TSpeedButton::CaptionChanged() {
    button_->setText(QString::fromStdString(Caption()));
    UpdateGlyph();
}

void TSpeedButton::SetIcon(const QIcon& icon) {
    button_->setIcon(icon);
    QList<QSize> sizes = icon.availableSizes();
    if (!sizes.isEmpty()) button_->setIconSize(sizes.first());
    button_->setToolButtonStyle(StyleOf(layout_, !Caption().empty(), !icon.isNull()));
}

void TSpeedButton::UpdateGlyph() { SetIcon(GlyphIcon(*glyph_, numGlyphs_)); }

void TSpeedButton::SetNumGlyphs(int count) {
    numGlyphs_ = std::clamp(count, 1, 4);
    UpdateGlyph();
}

void TSpeedButton::SetFlat(bool flat) {
    flat_ = flat;
    button_->setAutoRaise(flat);
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    UpdateGlyph();
}

void TSpeedButton::SetGroupIndex(int index) {
    groupIndex_ = index;
    button_->setCheckable(index != 0);
    if (index == 0) SetDown(false);
}

void TSpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0) down = false;
    down_ = down;
    button_->setChecked(down);
    if (down && Parent())
        for (TControl* c : Parent()->ControlList())
            if (c != this && c->Is<TSpeedButton>()) {
                auto* other = static_cast<TSpeedButton*>(c);
                if (other->groupIndex_ == groupIndex_ && other->down_) {
                    other->down_ = false;
                    other->button_->setChecked(false);
                }
            }
}

// A grouped button goes down when clicked; clicking it again raises it only
// when the group allows all buttons up.
void TSpeedButton::Click() {
    if (groupIndex_ != 0) {
        if (!down_) SetDown(true);
        else if (allowAllUp_) SetDown(false);
        else button_->setChecked(true);
    }
    TGraphicControl::Click();
}

}  // namespace vcl
