// The suite's lookup button, glyph speed button, button edit and bitmap
// check box, and the stock glyphs they draw.
#include "KvCtrls.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <map>

#include "Forms.h"
#include "ImgList.h"

namespace vcl {

namespace {

QImage Canvas() {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage LookupGlyph() {
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
    return image;
}

QImage ClearGlyph() {
    QImage image = Canvas();
    QPainter p(&image);
    p.setPen(QPen(QColor(128, 0, 0), 2));
    p.drawRect(2, 2, 11, 11);
    p.drawLine(5, 5, 10, 10);
    p.drawLine(10, 5, 5, 10);
    return image;
}

QImage DeleteGlyph() {
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(192, 0, 0), 2.5));
    p.drawLine(QPointF(3, 3), QPointF(13, 13));
    p.drawLine(QPointF(13, 3), QPointF(3, 13));
    return image;
}

QImage QueryGlyph() {
    QImage image = LookupGlyph();
    QPainter p(&image);
    QPainterPath arrow;
    arrow.moveTo(9, 1);
    arrow.lineTo(15, 4);
    arrow.lineTo(9, 7);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(0, 128, 0));
    return image;
}

const std::map<int, QImage>& Glyphs() {
    static const std::map<int, QImage> glyphs = {
        {0, LookupGlyph()}, {4, ClearGlyph()}, {8, LookupGlyph()}, {47, DeleteGlyph()}, {81, QueryGlyph()},
    };
    return glyphs;
}

QImage BoxImage(bool checked) {
    QImage image(13, 13, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, 12, 12);
    if (checked) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 0), 2));
        p.drawLine(QPointF(3, 6.5), QPointF(5.5, 9));
        p.drawLine(QPointF(5.5, 9), QPointF(10, 3.5));
    }
    return image;
}

// A check box that shows its owner's state bitmap in place of the style's box.
class BitCheckWidget : public QCheckBox {
public:
    explicit BitCheckWidget(TBitCheckBox* owner) : owner_(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QImage box = owner_->StateImage();
        int y = (height() - box.height()) / 2;
        p.drawImage(0, std::max(0, y), box);
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(QRect(box.width() + 4, 0, width() - box.width() - 4, height()), Qt::AlignVCenter | Qt::AlignLeft,
                   text());
        if (hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = QRect(box.width() + 2, 0, width() - box.width() - 2, height());
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
    }
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    TBitCheckBox* owner_;
};

}  // namespace

bool HasStockGlyph(int index) { return Glyphs().count(index) > 0; }

QImage StockGlyph(int index) {
    auto it = Glyphs().find(index);
    return it == Glyphs().end() ? QImage() : it->second;
}

// ---- TGSpeedButton ----

const TClassInfo& TGSpeedButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TGSpeedButton>("TGSpeedButton", TSpeedButton::StaticClass());
        TPropBuilder<TGSpeedButton>(c)
            .Int("GlyphIndex", &TGSpeedButton::GlyphIndex, &TGSpeedButton::SetGlyphIndex)
            .Obj<TImageList>("Images", &TGSpeedButton::Images, &TGSpeedButton::SetImages);
        return c;
    }();
    return info;
}

TGSpeedButton::TGSpeedButton(TComponent* owner) : TSpeedButton(owner) {}

bool TGSpeedButton::IsValidGlyph(int index) const {
    if (images_) return index >= 0 && index < images_->Count();
    return HasStockGlyph(index);
}

void TGSpeedButton::SetGlyphIndex(int index) {
    glyphIndex_ = index;
    UpdateGlyph();
}

void TGSpeedButton::SetImages(TImageList* images) {
    images_ = images;
    UpdateGlyph();
}

QImage TGSpeedButton::IndexImage() const {
    if (!Glyph()->Empty() || glyphIndex_ < 0) return {};
    int index = IsValidGlyph(glyphIndex_) ? glyphIndex_ : 0;
    return images_ ? images_->Pixmap(index).toImage() : StockGlyph(index);
}

void TGSpeedButton::SetDisabledImage(const QImage& image) {
    disabled_ = image;
    UpdateGlyph();
}

void TGSpeedButton::UpdateGlyph() {
    QImage image = IndexImage();
    if (image.isNull()) return TSpeedButton::UpdateGlyph();
    QIcon icon(QPixmap::fromImage(image));
    if (!disabled_.isNull()) icon.addPixmap(QPixmap::fromImage(disabled_), QIcon::Disabled);
    SetIcon(icon);
}

// ---- TF2Button ----

const TClassInfo& TF2Button::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TF2Button>("TF2Button", TGSpeedButton::StaticClass());
        TPropBuilder<TF2Button>(c)
            .Obj<TWinControl>("F2Control", &TF2Button::F2Control, &TF2Button::SetF2Control)
            .Bool("AutoAlign", &TF2Button::AutoAlign, &TF2Button::SetAutoAlign);
        return c;
    }();
    return info;
}

TF2Button::TF2Button(TComponent* owner) : TGSpeedButton(owner) {
    SetFlat(true);
    SetGlyphIndex(8);
    SetWidth(21);
    SetHeight(21);
}

TWinControl* TF2Button::F2Control() const {
    return f2Control_ && TControl::ControlFromParam(f2Control_->AsParam()) ? f2Control_ : nullptr;
}

void TF2Button::SetF2Control(TWinControl* control) {
    f2Control_ = control;
    if (autoAlign_) AlignToControl();
}

void TF2Button::SetAutoAlign(bool autoAlign) {
    autoAlign_ = autoAlign;
    if (autoAlign) AlignToControl();
}

void TF2Button::AlignToControl() {
    TWinControl* c = F2Control();
    if (!c || c->Parent() != Parent()) return;
    SetBounds(c->Left() + c->Width() + 2, c->Top(), c->Height(), c->Height());
}

void TF2Button::Click() {
    TWinControl* target = F2Control();
    if (target && target->CanFocus()) target->SetFocus();
    if (TForm* form = ParentForm()) form->PostMessage(WM_KEYF2, 0, target ? target->AsParam() : AsParam());
    TGSpeedButton::Click();
}

// ---- TKvBtnEdit ----

const TClassInfo& TKvBtnEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TKvBtnEdit>("TKvBtnEdit", TCustomEdit::StaticClass());
        TPropBuilder<TKvBtnEdit>(c)
            .Int("GlyphIndex", &TKvBtnEdit::GlyphIndex, &TKvBtnEdit::SetGlyphIndex)
            .Bool("ButtonVisible", &TKvBtnEdit::ButtonVisible, &TKvBtnEdit::SetButtonVisible)
            .Str("ButtonHint", &TKvBtnEdit::ButtonHint, &TKvBtnEdit::SetButtonHint)
            .Event("OnButtonClick");
        return c;
    }();
    return info;
}

TKvBtnEdit::TKvBtnEdit(TComponent* owner) : TCustomEdit(owner), action_(new QAction(LineEdit())) {
    LineEdit()->addAction(action_, QLineEdit::TrailingPosition);
    SetGlyphIndex(8);
    QObject::connect(action_, &QAction::triggered, [this] { Guarded([this] { ButtonClick(); }); });
}

void TKvBtnEdit::SetGlyphIndex(int index) {
    glyphIndex_ = index;
    UpdateIcon();
}

QImage TKvBtnEdit::GlyphImage() const { return StockGlyph(HasStockGlyph(glyphIndex_) ? glyphIndex_ : 0); }

void TKvBtnEdit::SetDisabledImage(const QImage& image) {
    disabled_ = image;
    UpdateIcon();
}

void TKvBtnEdit::UpdateIcon() {
    QIcon icon(QPixmap::fromImage(GlyphImage()));
    if (!disabled_.isNull()) icon.addPixmap(QPixmap::fromImage(disabled_), QIcon::Disabled);
    action_->setIcon(icon);
}

void TKvBtnEdit::SetButtonVisible(bool visible) {
    buttonVisible_ = visible;
    action_->setVisible(visible);
}

void TKvBtnEdit::SetButtonHint(const std::string& hint) {
    buttonHint_ = hint;
    action_->setToolTip(QString::fromStdString(hint));
}

void TKvBtnEdit::ButtonClick() {
    if (OnButtonClick) return OnButtonClick(this);
    if (CanFocus()) SetFocus();
    if (TForm* form = ParentForm()) form->PostMessage(WM_KEYF2, 0, AsParam());
}

// ---- TBitCheckBox ----

const TClassInfo& TBitCheckBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TBitCheckBox>("TBitCheckBox", TCheckBox::StaticClass());
        TPropBuilder<TBitCheckBox>(c)
            .Obj<TBitmap>("GlyphChecked", &TBitCheckBox::GlyphChecked)
            .Obj<TBitmap>("GlyphUnchecked", &TBitCheckBox::GlyphUnchecked);
        return c;
    }();
    return info;
}

TBitCheckBox::TBitCheckBox(TComponent* owner)
    : TCheckBox(owner, new BitCheckWidget(this)), checked_(std::make_unique<TBitmap>()),
      unchecked_(std::make_unique<TBitmap>()) {
    checked_->Changed = [this] { CheckBox()->update(); };
    unchecked_->Changed = [this] { CheckBox()->update(); };
}

QImage TBitCheckBox::StateImage() const {
    const TBitmap& own = Checked() ? *checked_ : *unchecked_;
    return own.Empty() ? BoxImage(Checked()) : own.MaskedImage();
}

}  // namespace vcl
