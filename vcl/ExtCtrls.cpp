// Panels over QFrame with a caption label, bevels and splitters drawn and
// driven by their own small widgets.
#include "ExtCtrls.h"

#include <QFrame>
#include <QLabel>

#include "WidgetHelpers.h"

namespace vcl {

namespace {
const std::vector<std::string>& PanelBevelNames() {
    static const std::vector<std::string> names = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
    return names;
}
}  // namespace

// ---- TPanel ----

const TClassInfo& TPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TPanel>("TPanel", TWinControl::StaticClass());
        TPropBuilder<TPanel>(c)
            .Enum<TPanelBevel>("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, PanelBevelNames())
            .Enum<TPanelBevel>("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, PanelBevelNames())
            .Int("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth)
            .Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth)
            .Enum<TBorderStyle>("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle, {"bsNone", "bsSingle"})
            .Enum<TAlignment>("Alignment", &TPanel::Alignment, &TPanel::SetAlignment, AlignmentNames());
        return c;
    }();
    return info;
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner), frame_(new QFrame), caption_(new QLabel(frame_)) {
    SetWidget(frame_);
    frame_->setFocusPolicy(Qt::NoFocus);
    frame_->resize(185, 41);
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption_->setTextFormat(Qt::PlainText);
    caption_->lower();
    SetColor(clBtnFace);
    UpdateFrame();
}

int TPanel::Inset() const {
    int inset = borderWidth_;
    if (bevelOuter_ != TPanelBevel::bvNone) inset += bevelWidth_;
    if (bevelInner_ != TPanelBevel::bvNone) inset += bevelWidth_;
    if (borderStyle_ == TBorderStyle::bsSingle) inset += 1;
    return inset;
}

void TPanel::UpdateFrame() {
    TPanelBevel outer = bevelOuter_ != TPanelBevel::bvNone ? bevelOuter_ : bevelInner_;
    if (outer == TPanelBevel::bvNone || outer == TPanelBevel::bvSpace) {
        frame_->setFrameStyle(borderStyle_ == TBorderStyle::bsSingle ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    } else {
        frame_->setFrameStyle(QFrame::Panel | (outer == TPanelBevel::bvRaised ? QFrame::Raised : QFrame::Sunken));
        frame_->setLineWidth(bevelWidth_);
    }
    Resized();
}

void TPanel::Resized() {
    int inset = Inset();
    caption_->setGeometry(inset, inset, std::max(0, Width() - 2 * inset), std::max(0, Height() - 2 * inset));
    caption_->setAlignment(Qt::AlignVCenter | (alignment_ == TAlignment::taLeftJustify    ? Qt::AlignLeft
                                               : alignment_ == TAlignment::taRightJustify ? Qt::AlignRight
                                                                                          : Qt::AlignHCenter));
    TWinControl::Resized();
}

QRect TPanel::AlignRect() const {
    int inset = Inset();
    return QRect(inset, inset, std::max(0, ClientWidth() - 2 * inset), std::max(0, ClientHeight() - 2 * inset));
}

void TPanel::CaptionChanged() { caption_->setText(QString::fromStdString(StripAccelerator(Caption()))); }

void TPanel::SetBevelInner(TPanelBevel bevel) {
    bevelInner_ = bevel;
    UpdateFrame();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevelOuter_ = bevel;
    UpdateFrame();
}

void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = std::max(1, width);
    UpdateFrame();
}

void TPanel::SetBorderWidth(int width) {
    borderWidth_ = std::max(0, width);
    UpdateFrame();
}

void TPanel::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    UpdateFrame();
}

void TPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Resized();
}

// ---- TBevel ----

const TClassInfo& TBevel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TBevel>("TBevel", TGraphicControl::StaticClass());
        TPropBuilder<TBevel>(c)
            .Enum<TBevelShape>("Shape", &TBevel::Shape, &TBevel::SetShape,
                               {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
                                "bsSpacer"})
            .Enum<TBevelStyle>("Style", &TBevel::Style, &TBevel::SetStyle, {"bsLowered", "bsRaised"});
        return c;
    }();
    return info;
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner), widget_(new CallbackWidget) {
    SetWidget(widget_);
    widget_->resize(50, 50);
    widget_->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Two lines of the shadow and highlight colours: the shadow outside on
    // a lowered bevel, the highlight outside on a raised one.
    widget_->Paint = [this](QPainter& p) {
        QColor dark = ColorToQColor(clBtnShadow), light = ColorToQColor(clBtnHighlight);
        QColor first = style_ == TBevelStyle::bsLowered ? dark : light;
        QColor second = style_ == TBevelStyle::bsLowered ? light : dark;
        int w = widget_->width() - 1, h = widget_->height() - 1;
        switch (shape_) {
        case TBevelShape::bsBox:
            p.setPen(first);
            p.drawLine(0, 0, w, 0);
            p.drawLine(0, 0, 0, h);
            p.setPen(second);
            p.drawLine(0, h, w, h);
            p.drawLine(w, 0, w, h);
            break;
        case TBevelShape::bsFrame:
            p.setPen(first);
            p.drawRect(0, 0, w - 1, h - 1);
            p.setPen(second);
            p.drawRect(1, 1, w - 1, h - 1);
            break;
        case TBevelShape::bsTopLine:
            p.setPen(first), p.drawLine(0, 0, w, 0);
            p.setPen(second), p.drawLine(0, 1, w, 1);
            break;
        case TBevelShape::bsBottomLine:
            p.setPen(first), p.drawLine(0, h - 1, w, h - 1);
            p.setPen(second), p.drawLine(0, h, w, h);
            break;
        case TBevelShape::bsLeftLine:
            p.setPen(first), p.drawLine(0, 0, 0, h);
            p.setPen(second), p.drawLine(1, 0, 1, h);
            break;
        case TBevelShape::bsRightLine:
            p.setPen(first), p.drawLine(w - 1, 0, w - 1, h);
            p.setPen(second), p.drawLine(w, 0, w, h);
            break;
        case TBevelShape::bsSpacer: break;
        }
    };
}

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    widget_->update();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    widget_->update();
}

// ---- TSplitter ----

const TClassInfo& TSplitter::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TSplitter>("TSplitter", TGraphicControl::StaticClass());
        TPropBuilder<TSplitter>(c)
            .Int("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize)
            .Bool("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled)
            .Event("OnMoved");
        return c;
    }();
    return info;
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner), widget_(new CallbackWidget) {
    SetWidget(widget_);
    widget_->resize(3, 100);
    SetAlign(TAlign::alLeft);
    SetCursor(crHSplit);
    auto along = [this](QMouseEvent* e) {
        bool horizontal = Align() == TAlign::alLeft || Align() == TAlign::alRight;
        QPoint global = e->globalPosition().toPoint();
        return horizontal ? global.x() : global.y();
    };
    widget_->MousePress = [this, along](QMouseEvent* e) {
        dragging_ = e->button() == Qt::LeftButton;
        dragStart_ = along(e);
    };
    widget_->MouseMove = [this, along](QMouseEvent* e) {
        if (!dragging_) return;
        int now = along(e);
        dragStart_ += MoveBy(now - dragStart_);
    };
    widget_->MouseRelease = [this](QMouseEvent*) {
        if (dragging_) OnMoved(this);
        dragging_ = false;
    };
    widget_->Paint = [this](QPainter& p) {
        if (!beveled_) return;
        p.setPen(ColorToQColor(clBtnHighlight));
        p.drawLine(0, 0, 0, widget_->height());
        p.setPen(ColorToQColor(clBtnShadow));
        p.drawLine(widget_->width() - 1, 0, widget_->width() - 1, widget_->height());
    };
}

void TSplitter::SetBeveled(bool beveled) {
    beveled_ = beveled;
    widget_->update();
}

TControl* TSplitter::Neighbour() const {
    if (!Parent()) return nullptr;
    for (TControl* c : Parent()->ControlList()) {
        if (c == this || c->Align() != Align() || !c->Visible()) continue;
        switch (Align()) {
        case TAlign::alLeft: if (c->Left() + c->Width() == Left()) return c; break;
        case TAlign::alRight: if (c->Left() == Left() + Width()) return c; break;
        case TAlign::alTop: if (c->Top() + c->Height() == Top()) return c; break;
        case TAlign::alBottom: if (c->Top() == Top() + Height()) return c; break;
        default: break;
        }
    }
    return nullptr;
}

int TSplitter::MoveBy(int delta) {
    TControl* n = Neighbour();
    if (!n || !Parent() || delta == 0) return 0;
    bool horizontal = Align() == TAlign::alLeft || Align() == TAlign::alRight;
    bool grows = Align() == TAlign::alLeft || Align() == TAlign::alTop;   // moving right/down grows the neighbour
    int size = horizontal ? n->Width() : n->Height();
    // What lies beyond the splitter on the other side must keep MinSize too.
    int beyond = horizontal ? (grows ? Parent()->ClientWidth() - (Left() + Width()) : Left())
                            : (grows ? Parent()->ClientHeight() - (Top() + Height()) : Top());
    int change = grows ? delta : -delta;
    change = std::max(change, minSize_ - size);
    change = std::min(change, beyond - minSize_);
    if (change == 0) return 0;
    if (horizontal) n->SetWidth(size + change);
    else n->SetHeight(size + change);
    Parent()->Realign();
    return grows ? change : -change;
}

}  // namespace vcl
