// Controls: the visible components. A control has a Parent (the container it
// sits in) that is separate from its Owner (the component that frees it),
// bounds relative to its parent's client area, alignment, visibility,
// enabled state, hint, colour, font and cursor, each backed by its Qt
// widget. Containers (TWinControl) keep their children in creation order and
// in tab order, align them, move the focus between them and fire the enter,
// exit and key events; key events pass the form first when it previews keys.
// A control can be sent messages; a form can be posted them.
#pragma once

#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class QKeyEvent;
class QMouseEvent;

namespace vcl {

class TWinControl;
class TForm;
class TPopupMenu;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Shift state: a bit mask.
using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Virtual key codes, numbered as the platform numbers them.
constexpr uint16_t VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
                   VK_MENU = 0x12, VK_PAUSE = 0x13, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
                   VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
                   VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72,
                   VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78,
                   VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B;
// The virtual key of a Qt key (letters and digits are their upper-case
// characters); 0 when it has none.
uint16_t VirtualKeyOf(int qtKey);
int QtKeyOf(uint16_t virtualKey);
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers);

using TKeyEvent = TEvent<TObject*, uint16_t&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char32_t&>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;

// A window message: a number and two parameters; Result is the answer.
struct TMessage {
    uint32_t Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// WM_MOVE: a form's window has moved on the screen (sent to the form).
constexpr uint32_t WM_MOVE = 0x0003, WM_CLOSE = 0x0010, WM_KEYDOWN = 0x0100, WM_USER = 0x0400;
// Requests a control posts to its form: act as if F2, F3, F4 or F11 had been
// pressed in the control given as LParam (see ControlFromParam).
constexpr uint32_t WM_KEYF2 = WM_USER + 10, WM_KEYF3 = WM_USER + 11, WM_KEYF4 = WM_USER + 12,
                   WM_KEYF11 = WM_USER + 13;

class TControl : public TComponent {
    VCL_DECLARE_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    virtual QWidget* Widget() const { return widget_.data(); }
    TWinControl* Parent() const { return parent_; }
    // Moves the control into another container; its owner and its place in
    // the owner's component list stay as they are.
    virtual void SetParent(TWinControl* parent);
    // The form the control sits on (through its parents); nullptr when none.
    TForm* ParentForm() const;
    bool HasParent() const { return parent_ != nullptr; }

    // ---- bounds, relative to the parent's client area ----
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    // ---- state ----
    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents up to a shown form.
    bool Showing() const;
    virtual std::string Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parent);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parent);
    TFont* Font() const { return font_.get(); }
    void SetFont(const TFont& font) { font_->Assign(font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parent);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

    // ---- events ----
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    // The pointer moved over the control (with or without a button held).
    TMouseMoveEvent OnMouseMove;
    virtual void Click();
    virtual void DblClick();

    // ---- messages ----
    // Sends a message to the control and answers its result.
    intptr_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
    virtual void WndProc(TMessage& message);
    // The value a control is passed as in a message parameter, and back;
    // the way back answers nullptr once the control is gone.
    intptr_t AsParam() const { return reinterpret_cast<intptr_t>(this); }
    static TControl* ControlFromParam(intptr_t param);
    // The control a widget (or one of its inner widgets) belongs to.
    static TControl* ControlOf(const QWidget* widget);

    void BringToFront();
    void SendToBack();
    void Repaint();

protected:
    // Installs the control's widget; the control deletes it when it goes.
    void SetWidget(QWidget* widget);
    // Widgets that also take the control's mouse events (item view viewports).
    void WatchMouse(QWidget* widget);
    void KeepWidgetAlive() { deleteWidget_ = false; }
    virtual void CaptionChanged() {}
    virtual void ApplyFont();
    virtual void ApplyColor();
    // Which palette entry Color sets: the window background, or the base of an edit.
    virtual QPalette::ColorRole ColorRole() const { return QPalette::Window; }
    // Whether a mouse click on the widget is the control's OnClick (controls
    // with a click signal of their own answer false).
    virtual bool ClickOnMouse() const { return true; }
    virtual void BoundsChanged() {}
    // Puts the widget into the parent's client widget (a page control takes its sheets itself).
    virtual void AttachWidget(TWinControl* parent);
    // Shows or hides the widget for Visible (tab sheets leave that to their page control).
    virtual void ApplyVisible();
    void RequestAlign();
    void UpdateToolTip();

private:
    friend class TWinControl;
    friend class ControlRouter;
    void ParentFontChanged();
    void ParentColorChanged();
    void ParentShowHintChanged();
    void HandleMouse(QWidget* watched, QMouseEvent* event, int type);

    QPointer<QWidget> widget_;
    bool deleteWidget_ = true;
    TWinControl* parent_ = nullptr;
    std::string caption_;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool copyingFont_ = false;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    int helpContext_ = 0;
    bool mousePressed_ = false;
};

// A control that is not a window of its own: it never takes the focus
// (labels, speed buttons, bevels, gauges, splitters).
class TGraphicControl : public TControl {
    VCL_DECLARE_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}

protected:
    void SetWidget(QWidget* widget);
};

// A control that can hold other controls and take the focus.
class TWinControl : public TControl {
    VCL_DECLARE_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Where child controls are placed.
    virtual QWidget* ClientWidget() const { return Widget(); }
    int ClientWidth() const override;
    int ClientHeight() const override;

    // Child controls in the order they were put in.
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    const std::vector<TControl*>& ControlList() const { return controls_; }
    bool ContainsControl(const TControl* control) const;

    // ---- focus ----
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    // Position among the parent's focusable children; -1 without a parent.
    int TabOrder() const;
    void SetTabOrder(int order);
    // Every window control inside this one, in the order the focus visits them.
    std::vector<TWinControl*> TabOrderList() const;
    // Visible and enabled up to (not including) its form.
    bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The control after (or before) `current` in tab order that can take the
    // focus; with checkTabStop only tab stops count, with checkParent only
    // direct children. Wraps around; nullptr when there is none.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    // Lays out the aligned children again.
    void Realign();
    void DisableAlign() { ++alignLock_; }
    void EnableAlign();

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnResize;

    virtual void DoEnter() { OnEnter(this); }
    virtual void DoExit() { OnExit(this); }
    virtual void KeyDown(uint16_t& key, TShiftState shift) { OnKeyDown(this, key, shift); }
    virtual void KeyUp(uint16_t& key, TShiftState shift) { OnKeyUp(this, key, shift); }
    virtual void KeyPress(char32_t& key) { OnKeyPress(this, key); }
    // Keys the control handles itself instead of moving the focus.
    virtual bool WantsTab() const { return false; }
    virtual bool WantsReturn() const { return false; }

protected:
    // The rectangle the aligned children share, in client coordinates.
    virtual QRect AlignRect() const;
    // Qt reports no resizing of hidden widgets: bounds set by the program
    // re-align the children at once.
    void BoundsChanged() override { Realign(); }
    virtual void Resized();
    // Places the children: aligned ones by their Align (tool bars and
    // status bars place theirs their own way).
    virtual void AlignControls();
    // Frees the child controls; containers whose children reach back into
    // them call it first in their destructor.
    void DestroyControls();

private:
    friend class TControl;
    friend class ControlRouter;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    int alignLock_ = 0;
    bool aligning_ = false;
};

// Identifier lists of the enumerations above, for published properties.
const std::vector<std::string>& AlignNames();

}  // namespace vcl
