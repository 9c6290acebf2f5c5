// Controls over Qt widgets: parent and child bookkeeping, bounds and
// alignment, visibility, colour, font and hint inheritance, and the router
// that turns Qt's focus, key, mouse and resize events into the enter, exit,
// key and click events of the controls, in the order the programs expect:
// dialog keys (Tab, the default and cancel buttons) first, then the form's
// key preview, then the control's own handlers, then the widget.
#include "Controls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <unordered_set>

#include "Forms.h"
#include "Menus.h"

namespace vcl {

namespace {

const char* const kControlProperty = "vclControl";
const char* const kClientProperty = "vclClient";
const char* const kMouseProperty = "vclMouse";

std::unordered_set<const TControl*>& LiveControls() {
    static std::unordered_set<const TControl*> live;
    return live;
}

bool IsLive(const TControl* c) { return c && LiveControls().count(c) && !c->Destroying(); }

TControl* PropertyControl(const QObject* object, const char* property) {
    QVariant v = object->property(property);
    if (!v.isValid()) return nullptr;
    auto* c = static_cast<TControl*>(v.value<void*>());
    return IsLive(c) ? c : nullptr;
}

}  // namespace

// ---- keys ----

uint16_t VirtualKeyOf(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint16_t>(key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint16_t>(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal: case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period: case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash: case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 0xDE;
    default: return 0;
    }
}

int QtKeyOf(uint16_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return vk;
    if (vk >= VK_F1 && vk <= VK_F1 + 23) return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    default: return 0;
    }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers m) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    return s;
}

const std::vector<std::string>& AlignNames() {
    static const std::vector<std::string> names = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    return names;
}

// ---- the router ----

// One application-wide event filter. Key events are routed through the
// controls' handlers at their first delivery and then handed to the widget
// by the router itself, so that Qt's propagation to parent widgets does not
// route them a second time.
class ControlRouter : public QObject {
public:
    static ControlRouter& Instance() {
        static ControlRouter* router = [] {
            auto* r = new ControlRouter;
            qApp->installEventFilter(r);
            QObject::connect(qApp, &QApplication::focusChanged, r,
                             [r](QWidget*, QWidget* now) { Guarded([&] { r->FocusChanged(now); }); });
            return r;
        }();
        return *router;
    }

    // What a control's handler throws ends the event (it is not handed on).
    bool eventFilter(QObject* object, QEvent* event) override {
        if (delivering_ > 0) return false;
        return GuardedOr(true, [&] { return Route(object, event); });
    }

    bool Route(QObject* object, QEvent* event) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (auto* w = qobject_cast<QWidget*>(object)) return RouteKey(w, static_cast<QKeyEvent*>(event));
            return false;
        case QEvent::Resize:
            if (TControl* c = PropertyControl(object, kClientProperty)) static_cast<TWinControl*>(c)->Resized();
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            if (TControl* c = PropertyControl(object, kMouseProperty))
                c->HandleMouse(static_cast<QWidget*>(object), static_cast<QMouseEvent*>(event), event->type());
            return false;
        case QEvent::ContextMenu:
            if (TControl* c = PropertyControl(object, kMouseProperty); c && c->PopupMenu()) {
                auto* ce = static_cast<QContextMenuEvent*>(event);
                c->PopupMenu()->Popup(ce->globalPos().x(), ce->globalPos().y());
                return true;
            }
            return false;
        default: return false;
        }
    }

    // Hands an event to a widget past the router.
    void Deliver(QWidget* w, QEvent* e) {
        ++delivering_;
        struct Done {
            int& count;
            ~Done() { --count; }
        } done{delivering_};
        QApplication::sendEvent(w, e);
    }

private:
    static TWinControl* WinControlOf(QWidget* w) {
        for (TControl* c = TControl::ControlOf(w); c; c = c->Parent())
            if (auto* wc = dynamic_cast<TWinControl*>(c)) return wc;
        return nullptr;
    }

    static char32_t CharOf(const QKeyEvent* e) {
        switch (e->key()) {
        case Qt::Key_Return: case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: return 9;
        default: break;
        }
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return 0;
        QList<uint> ucs = e->text().toUcs4();
        if (ucs.isEmpty() || ucs[0] < 32 || ucs[0] == 127) return 0;
        return static_cast<char32_t>(ucs[0]);
    }

    bool RouteKey(QWidget* w, QKeyEvent* e) {
        TWinControl* control = WinControlOf(w);
        if (!control) return false;
        TForm* form = control->ParentForm();
        if (!form && control->Is<TForm>()) form = static_cast<TForm*>(control);
        QPointer<QWidget> alive(w);
        auto gone = [&] { return !alive || !IsLive(control); };
        uint16_t key = VirtualKeyOf(e->key());
        TShiftState shift = ShiftStateOf(e->modifiers());

        if (e->type() == QEvent::KeyRelease) {
            if (key && form && form != control && form->KeyPreview()) form->KeyUp(key, shift);
            if (key && !gone()) control->KeyUp(key, shift);
            if (gone()) return true;
            if (key == 0 && VirtualKeyOf(e->key()) != 0) return Swallow(e);
            Deliver(w, e);
            return true;
        }

        // Dialog keys, offered to the form before the control's key events.
        if (form && key && form->DialogKey(control, key, shift)) return Swallow(e);
        if (gone()) return true;

        bool swallowed = false;
        if (key) {
            if (form && form != control && form->KeyPreview()) form->KeyDown(key, shift);
            if (key && !gone()) control->KeyDown(key, shift);
            swallowed = key == 0;
        }
        if (gone()) return true;
        char32_t original = CharOf(e);
        char32_t ch = original;
        if (ch) {
            if (form && form != control && form->KeyPreview()) form->KeyPress(ch);
            if (ch && !gone()) control->KeyPress(ch);
            if (ch == 0) swallowed = true;
        }
        if (gone()) return true;
        if (swallowed) return Swallow(e);
        if (ch != original) {
            // A handler replaced the character: the widget gets the new one.
            QString text = QString::fromUcs4(&ch, 1);
            QKeyEvent replaced(QEvent::KeyPress, ch < 128 ? QChar(static_cast<char16_t>(ch)).toUpper().unicode() : 0,
                               e->modifiers(), text);
            Deliver(w, &replaced);
            return Swallow(e);
        }
        Deliver(w, e);
        e->accept();
        return true;
    }

    static bool Swallow(QEvent* e) {
        e->accept();
        return true;
    }

    void FocusChanged(QWidget* now) {
        if (!now) return;
        TWinControl* control = WinControlOf(now);
        if (!control) return;
        TForm* form = control->Is<TForm>() ? static_cast<TForm*>(control) : control->ParentForm();
        if (form && form != control) form->SetFocusedControl(control);
    }

    int delivering_ = 0;
};

// ---- TControl ----

const TClassInfo& TControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TControl", &TComponent::StaticClass(), {}, nullptr};
        TPropBuilder<TControl>(c)
            .Int("Left", &TControl::Left, &TControl::SetLeft)
            .Int("Top", &TControl::Top, &TControl::SetTop)
            .Int("Width", &TControl::Width, &TControl::SetWidth)
            .Int("Height", &TControl::Height, &TControl::SetHeight)
            .Int("ClientWidth", &TControl::ClientWidth, nullptr)
            .Int("ClientHeight", &TControl::ClientHeight, nullptr)
            .Enum<TAlign>("Align", &TControl::Align, &TControl::SetAlign, AlignNames())
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Str("Caption", &TControl::Caption, &TControl::SetCaption)
            .Str("Hint", &TControl::Hint, &TControl::SetHint)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
            .Int("Color", &TControl::Color, &TControl::SetColor, &ColorIdents())
            .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Obj<TFont>("Font", &TControl::Font)
            .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, &CursorIdents())
            .Int("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext)
            .Obj<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Event("OnClick")
            .Event("OnDblClick")
            .Event("OnMouseDown")
            .Event("OnMouseUp")
            .Event("OnMouseMove");
        return c;
    }();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    LiveControls().insert(this);
    ControlRouter::Instance();
    font_->Changed = [this] {
        if (!copyingFont_) parentFont_ = false;
        ApplyFont();
    };
}

TControl::~TControl() {
    LiveControls().erase(this);
    if (TForm* form = ParentForm()) form->ControlRemoved(this);
    if (parent_) parent_->RemoveControl(this);
    if (QWidget* w = widget_.data()) {
        w->setProperty(kControlProperty, QVariant());
        w->setProperty(kMouseProperty, QVariant());
        w->setProperty(kClientProperty, QVariant());
        if (deleteWidget_) delete w;
    }
}

void TControl::SetWidget(QWidget* widget) {
    widget_ = widget;
    widget->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
    widget->setAttribute(Qt::WA_DeleteOnClose, false);
    WatchMouse(widget);
    if (!Is<TForm>()) widget->hide();
    ApplyFont();
}

void TControl::WatchMouse(QWidget* widget) {
    // Moves are reported without a button held as well, as the platform does.
    widget->setMouseTracking(true);
    widget->setProperty(kMouseProperty, QVariant::fromValue<void*>(this));
    widget->setProperty(kControlProperty, QVariant::fromValue<void*>(this));
}

TControl* TControl::ControlOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (TControl* c = PropertyControl(w, kControlProperty)) return c;
    return nullptr;
}

TControl* TControl::ControlFromParam(intptr_t param) {
    auto* c = reinterpret_cast<TControl*>(param);
    return IsLive(c) ? c : nullptr;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw plat::Exception("A control cannot be its own parent");
    for (TWinControl* p = parent; p; p = p->Parent())
        if (p == this) throw plat::Exception("A control cannot be the parent of its own parent");
    if (parent_) {
        if (TForm* form = ParentForm()) form->ControlRemoved(this);
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    AttachWidget(parent);
    if (parent) {
        parent->InsertControl(this);
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
        if (parentShowHint_) ParentShowHintChanged();
    }
    ApplyVisible();
    UpdateToolTip();
    if (parent) parent->Realign();
}

void TControl::AttachWidget(TWinControl* parent) {
    QWidget* w = Widget();
    if (!w) return;
    QRect bounds = w->geometry();
    w->setParent(parent ? parent->ClientWidget() : nullptr, w->windowFlags() & ~Qt::Window);
    w->setGeometry(bounds);
}

TForm* TControl::ParentForm() const {
    for (TWinControl* p = parent_; p; p = p->Parent())
        if (p->Is<TForm>()) return static_cast<TForm*>(p);
    return nullptr;
}

int TControl::Left() const { return Widget() ? Widget()->x() : 0; }
int TControl::Top() const { return Widget() ? Widget()->y() : 0; }
int TControl::Width() const { return Widget() ? Widget()->width() : 0; }
int TControl::Height() const { return Widget() ? Widget()->height() : 0; }

void TControl::SetBounds(int left, int top, int width, int height) {
    QWidget* w = Widget();
    if (!w) return;
    width = std::max(0, width);
    height = std::max(0, height);
    if (w->geometry() == QRect(left, top, width, height)) return;
    w->setGeometry(left, top, width, height);
    BoundsChanged();
    if (align_ != TAlign::alNone) RequestAlign();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_) parent_->Realign();
}

void TControl::ApplyVisible() {
    QWidget* w = Widget();
    if (!w || Is<TForm>()) return;
    // A control without a parent is never shown on its own as a window.
    w->setVisible(visible_ && parent_ != nullptr);
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (!visible) {
        if (TForm* form = ParentForm()) form->ControlHidden(this);
    }
    ApplyVisible();
    RequestAlign();
}

bool TControl::Showing() const {
    if (!visible_) return false;
    if (Is<TForm>()) return Visible();
    return parent_ && parent_->Showing();
}

void TControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    CaptionChanged();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (QWidget* w = Widget()) w->setEnabled(enabled);
    if (!enabled)
        if (TForm* form = ParentForm()) form->ControlHidden(this);
}

void TControl::SetHint(const std::string& hint) {
    hint_ = hint;
    UpdateToolTip();
}

void TControl::SetShowHint(bool show) {
    parentShowHint_ = false;
    if (show == showHint_) return;
    showHint_ = show;
    UpdateToolTip();
    if (auto* wc = dynamic_cast<TWinControl*>(this))
        for (TControl* child : wc->ControlList())
            if (child->parentShowHint_) child->ParentShowHintChanged();
}

void TControl::SetParentShowHint(bool parent) {
    parentShowHint_ = parent;
    if (parent) ParentShowHintChanged();
}

void TControl::ParentShowHintChanged() {
    if (!parent_) return;
    showHint_ = parent_->showHint_;
    UpdateToolTip();
    if (auto* wc = dynamic_cast<TWinControl*>(this))
        for (TControl* child : wc->ControlList())
            if (child->parentShowHint_) child->ParentShowHintChanged();
}

// The tool tip is the short part of the hint (before "|"), shown only when
// hints are on for the control.
void TControl::UpdateToolTip() {
    QWidget* w = Widget();
    if (!w || Is<TForm>()) return;
    std::string shortHint = hint_.substr(0, hint_.find('|'));
    w->setToolTip(showHint_ ? QString::fromStdString(shortHint) : QString());
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    color_ = color;
    ApplyColor();
    if (auto* wc = dynamic_cast<TWinControl*>(this))
        for (TControl* child : wc->ControlList())
            if (child->parentColor_) child->ParentColorChanged();
}

void TControl::SetParentColor(bool parent) {
    parentColor_ = parent;
    if (parent) ParentColorChanged();
    else ApplyColor();
}

void TControl::ParentColorChanged() {
    if (!parent_) return;
    color_ = parent_->color_;
    ApplyColor();
    if (auto* wc = dynamic_cast<TWinControl*>(this))
        for (TControl* child : wc->ControlList())
            if (child->parentColor_) child->ParentColorChanged();
}

void TControl::ApplyColor() {
    QWidget* w = Widget();
    if (!w) return;
    QPalette p = w->palette();
    p.setColor(ColorRole(), ColorToQColor(color_));
    w->setPalette(p);
    if (ColorRole() == QPalette::Window) w->setAutoFillBackground(!parentColor_ && color_ != clNone);
}

void TControl::SetParentFont(bool parent) {
    parentFont_ = parent;
    if (parent) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parent_) return;
    copyingFont_ = true;
    font_->Assign(*parent_->Font());
    copyingFont_ = false;
    parentFont_ = true;
}

void TControl::ApplyFont() {
    if (QWidget* w = Widget()) {
        w->setFont(font_->ToQFont());
        QPalette p = w->palette();
        QColor text = ColorToQColor(font_->Color());
        p.setColor(QPalette::WindowText, text);
        p.setColor(QPalette::Text, text);
        p.setColor(QPalette::ButtonText, text);
        w->setPalette(p);
    }
    if (auto* wc = dynamic_cast<TWinControl*>(this))
        for (TControl* child : wc->ControlList())
            if (child->parentFont_) child->ParentFontChanged();
}

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    if (QWidget* w = Widget()) {
        if (cursor == crDefault) w->unsetCursor();
        else w->setCursor(QCursor(CursorToShape(cursor)));
    }
}

void TControl::SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }

void TControl::HandleMouse(QWidget* watched, QMouseEvent* e, int type) {
    // An event that a child control let through to this widget is not ours.
    if (QWidget* child = watched->childAt(e->position().toPoint()))
        if (TControl* owner = ControlOf(child); owner && owner != this) return;
    TMouseButton button = e->button() == Qt::RightButton   ? TMouseButton::mbRight
                          : e->button() == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                            : TMouseButton::mbLeft;
    TShiftState shift = ShiftStateOf(e->modifiers());
    QPoint at = watched->mapTo(Widget(), e->position().toPoint());
    switch (type) {
    case QEvent::MouseButtonPress:
        mousePressed_ = button == TMouseButton::mbLeft;
        OnMouseDown(this, button, shift, at.x(), at.y());
        break;
    case QEvent::MouseMove:
        OnMouseMove(this, shift, at.x(), at.y());
        break;
    case QEvent::MouseButtonDblClick:
        mousePressed_ = false;
        if (button == TMouseButton::mbLeft) DblClick();
        break;
    case QEvent::MouseButtonRelease: {
        bool click = mousePressed_ && button == TMouseButton::mbLeft && watched->rect().contains(e->position().toPoint());
        mousePressed_ = false;
        QPointer<QWidget> alive(watched);
        OnMouseUp(this, button, shift, at.x(), at.y());
        if (click && alive && IsLive(this) && ClickOnMouse()) Click();
        break;
    }
    default: break;
    }
}

intptr_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage&) {}

void TControl::BringToFront() {
    if (QWidget* w = Widget()) w->raise();
}

void TControl::SendToBack() {
    if (QWidget* w = Widget()) w->lower();
}

void TControl::Repaint() {
    if (QWidget* w = Widget()) w->repaint();
}

// ---- TGraphicControl ----

const TClassInfo& TGraphicControl::StaticClass() {
    static const TClassInfo info{"TGraphicControl", &TControl::StaticClass(), {}, nullptr};
    return info;
}

void TGraphicControl::SetWidget(QWidget* widget) {
    widget->setFocusPolicy(Qt::NoFocus);
    TControl::SetWidget(widget);
}

// ---- TWinControl ----

const TClassInfo& TWinControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TWinControl", &TControl::StaticClass(), {}, nullptr};
        TPropBuilder<TWinControl>(c)
            .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
            .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Event("OnEnter")
            .Event("OnExit")
            .Event("OnKeyDown")
            .Event("OnKeyUp")
            .Event("OnKeyPress");
        return c;
    }();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() { DestroyControls(); }

void TWinControl::DestroyControls() {
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        if (child->Destroying()) {
            // Already on its way out (freed by its owner): just let go of it.
            child->parent_ = nullptr;
            controls_.pop_back();
            if (auto* wc = dynamic_cast<TWinControl*>(child))
                tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), wc), tabList_.end());
            if (QWidget* w = child->Widget()) w->setParent(nullptr);
            continue;
        }
        child->Free();
    }
}

int TWinControl::ClientWidth() const { return ClientWidget() ? ClientWidget()->width() : 0; }
int TWinControl::ClientHeight() const { return ClientWidget() ? ClientWidget()->height() : 0; }

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* wc = dynamic_cast<TWinControl*>(control)) tabList_.push_back(wc);
    if (QWidget* client = ClientWidget()) client->setProperty(kClientProperty, QVariant::fromValue<void*>(this));
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (auto* wc = dynamic_cast<TWinControl*>(control))
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), wc), tabList_.end());
    control->parent_ = nullptr;
    if (!Destroying()) Realign();
}

void TWinControl::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    if (QWidget* w = Widget(); w && w->focusPolicy() != Qt::NoFocus)
        w->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
    std::vector<TWinControl*> list;
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        std::vector<TWinControl*> inner = c->TabOrderList();
        list.insert(list.end(), inner.begin(), inner.end());
    }
    return list;
}

bool TWinControl::CanFocus() const {
    TForm* form = ParentForm();
    if (!form) return Is<TForm>() && Enabled();
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return form->Enabled();
}

bool TWinControl::Focused() const {
    TForm* form = ParentForm();
    return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    TForm* form = ParentForm();
    if (!form) {
        if (QWidget* w = Widget()) w->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!CanFocus()) throw plat::Exception("Cannot focus a disabled or invisible window");
    form->FocusControl(this);
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list = TabOrderList();
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), current);
    int start = it == list.end() ? (forward ? count - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    do {
        if (forward) i = (i + 1) % count;
        else i = (i + count - 1) % count;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c != current && c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::EnableAlign() {
    if (alignLock_ > 0 && --alignLock_ == 0) Realign();
}

void TWinControl::Realign() {
    if (alignLock_ > 0 || aligning_ || Destroying()) return;
    aligning_ = true;
    AlignControls();
    aligning_ = false;
}

QRect TWinControl::AlignRect() const { return QRect(0, 0, ClientWidth(), ClientHeight()); }

void TWinControl::Resized() {
    Realign();
    OnResize(this);
}

// Top-aligned controls stack down from the top in the order of their Top,
// bottom-aligned ones up from the bottom, then left and right, and a
// client-aligned control takes what is left.
void TWinControl::AlignControls() {
    QRect r = AlignRect();
    auto pick = [this](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        return list;
    };
    auto top = pick(TAlign::alTop);
    std::stable_sort(top.begin(), top.end(), [](TControl* a, TControl* b) { return a->Top() < b->Top(); });
    for (TControl* c : top) {
        int h = c->Height();
        c->SetBounds(r.left(), r.top(), r.width(), h);
        r.setTop(r.top() + h);
    }
    auto bottom = pick(TAlign::alBottom);
    std::stable_sort(bottom.begin(), bottom.end(), [](TControl* a, TControl* b) { return a->Top() > b->Top(); });
    for (TControl* c : bottom) {
        int h = c->Height();
        c->SetBounds(r.left(), r.bottom() + 1 - h, r.width(), h);
        r.setBottom(r.bottom() - h);
    }
    auto left = pick(TAlign::alLeft);
    std::stable_sort(left.begin(), left.end(), [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
    for (TControl* c : left) {
        int w = c->Width();
        c->SetBounds(r.left(), r.top(), w, std::max(0, r.height()));
        r.setLeft(r.left() + w);
    }
    auto right = pick(TAlign::alRight);
    std::stable_sort(right.begin(), right.end(), [](TControl* a, TControl* b) { return a->Left() > b->Left(); });
    for (TControl* c : right) {
        int w = c->Width();
        c->SetBounds(r.right() + 1 - w, r.top(), w, std::max(0, r.height()));
        r.setRight(r.right() - w);
    }
    for (TControl* c : pick(TAlign::alClient))
        c->SetBounds(r.left(), r.top(), std::max(0, r.width()), std::max(0, r.height()));
}

}  // namespace vcl
