// Forms over Qt windows. The Qt window reports the window manager's close
// button; showing, hiding and closing are driven from here so that the form
// events fire in the order the programs expect, whatever the platform does.
#include "Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "Dialogs.h"
#include "Menus.h"
#include "StdCtrls.h"

namespace vcl {

class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form) : Client(new QWidget(this)), form_(form) {}
    void Detach() { form_ = nullptr; }
    QWidget* Client;
    QEventLoop* ModalLoop = nullptr;
    QPointer<QMenuBar> Bar;

    void SetMenuBar(QMenuBar* bar) {
        if (Bar && Bar != bar) Bar->setParent(nullptr);
        Bar = bar;
        if (bar) {
            bar->setParent(this);
            bar->show();
        }
        Layout();
    }
    int BarHeight() const { return Bar ? Bar->sizeHint().height() : 0; }
    void Layout() {
        int top = BarHeight();
        if (Bar) Bar->setGeometry(0, 0, width(), top);
        Client->setGeometry(0, top, width(), std::max(0, height() - top));
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        // The form decides what closing means (hide, free, refuse); Qt never
        // closes the window on its own.
        event->ignore();
        if (form_) Guarded([this] { form_->UserClose(); });
    }
    void resizeEvent(QResizeEvent*) override { Guarded([this] { Layout(); }); }
    void moveEvent(QMoveEvent*) override {
        if (form_) Guarded([this] { form_->Perform(WM_MOVE); });
    }

private:
    TForm* form_;
};

// ---- TForm ----

const TClassInfo& TForm::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TForm>("TForm", TWinControl::StaticClass());
        TPropBuilder<TForm>(c)
            .Bool("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview)
            .Int("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
            .Int("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
            .Enum<TPosition>("Position", &TForm::Position, &TForm::SetPosition,
                             {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                              "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"})
            .Enum<TFormBorderStyle>("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle,
                                    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"})
            .Obj<TMainMenu>("Menu", &TForm::Menu, &TForm::SetMenu)
            .Obj<TWinControl>("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl)
            .Int("ModalResult", &TForm::ModalResult, &TForm::SetModalResult)
            .Event("OnCreate")
            .Event("OnShow")
            .Event("OnHide")
            .Event("OnClose")
            .Event("OnCloseQuery")
            .Event("OnDestroy")
            .Event("OnResize");
        return c;
    }();
    return info;
}

TForm::TForm(TComponent* owner) : TWinControl(owner), window_(new FormWindow(this)) {
    SetWidget(window_);
    KeepWidgetAlive();
    window_->resize(320, 240);
    SetColor(clBtnFace);
    SetTabStop(false);
}

TForm::~TForm() {
    *alive_ = false;
    DestroyControls();
    window_->Detach();
    if (window_->ModalLoop) window_->ModalLoop->exit(0);
    // Deleted later: the form may be freed from inside one of its window's own events.
    window_->hide();
    window_->deleteLater();
}

QWidget* TForm::ClientWidget() const { return window_->Client; }

void TForm::SetClientWidth(int width) {
    window_->resize(width, window_->height());
    BoundsChanged();
}

void TForm::SetClientHeight(int height) {
    window_->resize(window_->width(), height + window_->BarHeight());
    BoundsChanged();
}

void TForm::BoundsChanged() {
    window_->Layout();
    Realign();
}

void TForm::ApplyColor() {
    QPalette p = window_->palette();
    p.setColor(QPalette::Window, ColorToQColor(Color()));
    window_->setPalette(p);
    window_->setAutoFillBackground(true);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    ApplyWindowFlags();
}

void TForm::SetBorderIcons(int icons) {
    borderIcons_ = icons;
    ApplyWindowFlags();
}

void TForm::ApplyWindowFlags() {
    Qt::WindowFlags flags = Qt::Window;
    bool framed = borderStyle_ == TFormBorderStyle::bsSingle || borderStyle_ == TFormBorderStyle::bsSizeable;
    if (framed && borderIcons_ != kDefaultBorderIcons) {
        // Only the buttons asked for: the window manager's defaults would add the others.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_ & biSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (borderIcons_ & biMinimize) flags |= Qt::WindowMinimizeButtonHint;
        if (borderIcons_ & biMaximize) flags |= Qt::WindowMaximizeButtonHint;
        if (borderIcons_ & biHelp) flags |= Qt::WindowContextHelpButtonHint;
    }
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone: flags |= Qt::FramelessWindowHint; break;
    case TFormBorderStyle::bsSingle: flags |= Qt::MSWindowsFixedSizeDialogHint; break;
    case TFormBorderStyle::bsDialog: flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    case TFormBorderStyle::bsToolWindow:
    case TFormBorderStyle::bsSizeToolWin: flags = Qt::Tool; break;
    case TFormBorderStyle::bsSizeable: break;
    }
    bool shown = window_->isVisible();
    window_->setWindowFlags(flags);
    if (shown) window_->show();
}

void TForm::SetMenu(TMainMenu* menu) {
    menu_ = menu;
    window_->SetMenuBar(menu ? menu->MenuBar() : nullptr);
    Realign();
}

TWinControl* TForm::ActiveControl() const {
    return activeControl_ && TControl::ControlFromParam(activeControl_->AsParam()) ? activeControl_ : nullptr;
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control && control->ParentForm() != this) throw plat::Exception("Cannot focus a control of another form");
    if (control && visible_) FocusControl(control);
    else activeControl_ = control;
}

void TForm::FocusControl(TWinControl* control) {
    if (!visible_) {
        activeControl_ = control;
        return;
    }
    unsigned serial = focusSerial_;
    if (QWidget* w = control->Widget()) w->setFocus(Qt::OtherFocusReason);
    // Without an active window Qt only records the focus; the form still
    // moves its active control, with the events that go with it.
    if (focusSerial_ == serial) SetFocusedControl(control);
}

// The controls left are told innermost first, then those entered outermost
// first. A handler that moves the focus itself ends this round: the round it
// started reports the rest. A control is told it is left only once even when
// a handler moves the focus while it is being left.
void TForm::SetFocusedControl(TWinControl* control) {
    unsigned serial = ++focusSerial_;
    TWinControl* previous = ActiveControl();
    if (control == previous) return;
    bool outer = exiting_.empty();
    std::vector<TWinControl*> entered;
    for (TWinControl* c = control; c && c != this; c = c->Parent()) entered.push_back(c);
    for (TWinControl* c = previous; c && c != this; c = c->Parent()) {
        auto common = std::find(entered.begin(), entered.end(), c);
        if (common != entered.end()) {
            entered.erase(common, entered.end());
            break;
        }
        if (std::find(exiting_.begin(), exiting_.end(), c) != exiting_.end()) continue;
        exiting_.push_back(c);
        c->DoExit();
        if (focusSerial_ != serial) {
            if (outer) exiting_.clear();
            return;
        }
    }
    if (outer) exiting_.clear();
    activeControl_ = control;
    for (auto it = entered.rbegin(); it != entered.rend(); ++it) {
        if (!TControl::ControlFromParam((*it)->AsParam())) return;
        (*it)->DoEnter();
        if (focusSerial_ != serial) return;
    }
}

bool TForm::DialogKey(TWinControl* control, uint16_t key, TShiftState shift) {
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt)) && !control->WantsTab()) {
        SelectNext(control == this ? nullptr : control, !(shift & ssShift), true);
        return true;
    }
    if ((key == VK_RETURN && !control->WantsReturn()) || key == VK_ESCAPE) {
        if (shift != 0) return false;
        TButton* target = nullptr;
        if (key == VK_RETURN && control->Is<TButton>()) target = static_cast<TButton*>(control);
        std::vector<TWinControl*> all = TabOrderList();
        for (TWinControl* c : all) {
            if (target) break;
            if (!c->Is<TButton>() || !c->CanFocus()) continue;
            auto* b = static_cast<TButton*>(c);
            if ((key == VK_RETURN && b->Default()) || (key == VK_ESCAPE && b->Cancel())) target = b;
        }
        if (!target) return false;
        target->Click();
        return true;
    }
    return false;
}

void TForm::PostMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    QTimer::singleShot(0, window_, [this, alive = alive_, msg, wParam, lParam] {
        if (*alive) Guarded([&] { Perform(msg, wParam, lParam); });
    });
}

// A posted close request closes the form as the user would.
void TForm::WndProc(TMessage& message) {
    if (message.Msg == WM_CLOSE) Close();
}

void TForm::ControlRemoved(TControl* control) {
    if (activeControl_ && (activeControl_ == control ||
                           (control->Is<TWinControl>() && static_cast<TWinControl*>(control)->ContainsControl(activeControl_))))
        activeControl_ = nullptr;
}

void TForm::ControlHidden(TControl* control) { ControlRemoved(control); }

void TForm::PlaceOnShow() {
    if (placed_) return;
    placed_ = true;
    if (position_ == TPosition::poScreenCenter || position_ == TPosition::poDesktopCenter ||
        position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            window_->move(area.center() - QPoint(window_->width() / 2, window_->height() / 2));
        }
    }
}

void TForm::AfterConstruction() { DoCreate(); }

void TForm::BeforeDestruction() { DoDestroy(); }

void TForm::DoCreate() { OnCreate(this); }
void TForm::DoShow() { OnShow(this); }
void TForm::DoHide() { OnHide(this); }
void TForm::DoClose(TCloseAction& action) { OnClose(this, action); }
void TForm::DoDestroy() { OnDestroy(this); }

bool TForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::CaptionChanged() { window_->setWindowTitle(QString::fromStdString(Caption())); }

void TForm::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible) {
        DoShow();
        if (visible_) {
            PlaceOnShow();
            window_->show();
            window_->activateWindow();
            // The focus goes to the active control, or else to the first tab stop.
            TWinControl* first = ActiveControl();
            if (!first) first = FindNextControl(nullptr, true, true, false);
            if (first && first->CanFocus()) FocusControl(first);
        }
    } else {
        DoHide();
        if (!visible_) window_->hide();
    }
}

void TForm::Close() {
    if (modal_) {
        SetModalResult(plat::mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    switch (action) {
    case TCloseAction::caNone: break;
    case TCloseAction::caHide: Hide(); break;
    case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
    case TCloseAction::caFree: Release(); break;
    }
}

void TForm::UserClose() { Close(); }

int TForm::ShowModal() {
    modalResult_ = 0;
    modal_ = true;
    window_->setWindowModality(Qt::ApplicationModal);
    Show();
    std::shared_ptr<bool> alive = alive_;
    for (;;) {
        if (modalResult_ == 0) {
            QEventLoop loop;
            window_->ModalLoop = &loop;
            loop.exec();
            if (!*alive) return plat::mrCancel;   // freed while modal
            window_->ModalLoop = nullptr;
        }
        // Closing a modal form still asks the form and runs its close event.
        if (!CloseQuery()) { modalResult_ = 0; continue; }
        TCloseAction action = TCloseAction::caHide;
        DoClose(action);
        if (action == TCloseAction::caNone) { modalResult_ = 0; continue; }
        modal_ = false;
        // Hidden while still modal: Qt forgets a modal window only when it is
        // hidden as one, and a window it still counts as modal keeps every
        // other window from input.
        Hide();
        window_->setWindowModality(Qt::NonModal);
        int result = modalResult_;
        if (action == TCloseAction::caFree) Release();
        return result;
    }
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != 0 && window_->ModalLoop) window_->ModalLoop->exit(0);
}

// Posted work checks that the form still exists: the form may be freed
// directly before its window (deleted later) gets to run it.
void TForm::Release() {
    QTimer::singleShot(0, window_, [this, alive = alive_] {
        if (*alive) Guarded([this] { Free(); });
    });
}

void TForm::PostClose() {
    QTimer::singleShot(0, window_, [this, alive = alive_] {
        if (*alive) Guarded([this] { Close(); });
    });
}

intptr_t TForm::Handle() const { return static_cast<intptr_t>(window_->winId()); }

TWindowState TForm::WindowState() const {
    if (window_->windowState() & Qt::WindowMinimized) return TWindowState::wsMinimized;
    if (window_->windowState() & Qt::WindowMaximized) return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
    Qt::WindowStates s = Qt::WindowNoState;
    if (state == TWindowState::wsMinimized) s = Qt::WindowMinimized;
    if (state == TWindowState::wsMaximized) s = Qt::WindowMaximized;
    window_->setWindowState(s);
}

void TForm::BringToFront() {
    // The offscreen and minimal platforms keep no stacking order; raising a
    // window there only earns a warning on standard error.
    QString platform = QGuiApplication::platformName();
    if (platform != "offscreen" && platform != "minimal") window_->raise();
    window_->activateWindow();
}

// ---- TDataModule ----

const TClassInfo& TDataModule::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TDataModule>("TDataModule", TComponent::StaticClass());
    return info;
}

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {}
void TDataModule::AfterConstruction() { OnCreate(this); }
void TDataModule::BeforeDestruction() { OnDestroy(this); }

// ---- TApplication ----

// ---- TScreen ----

TScreen::TScreen() {
    hintFont_.Changed = [this] { QToolTip::setFont(hintFont_.ToQFont()); };
    menuFont_.Changed = [this] { QApplication::setFont(menuFont_.ToQFont(), "QMenu"); };
    iconFont_.SetName("MS Sans Serif");
}

TScreen& TScreen::Instance() {
    static TScreen screen;
    return screen;
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    if (cursor_ != crDefault) QApplication::restoreOverrideCursor();
    cursor_ = cursor;
    if (cursor != crDefault) QApplication::setOverrideCursor(QCursor(CursorToShape(cursor)));
}

int TScreen::Width() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

TForm* TScreen::ActiveForm() const {
    QWidget* w = QApplication::activeWindow();
    TControl* c = w ? TControl::ControlOf(w) : nullptr;
    return c && c->Is<TForm>() ? static_cast<TForm*>(c) : nullptr;
}

TWinControl* TScreen::ActiveControl() const {
    TForm* form = ActiveForm();
    return form ? form->ActiveControl() : nullptr;
}

// ---- TApplication ----

TApplication& TApplication::Instance() {
    static TApplication app;
    return app;
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::HandleException() noexcept {
    std::string text;
    try {
        throw;
    } catch (const plat::EAbort&) {
        return;
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unknown error";
    }
    try {
        if (OnException) OnException(text);
        else ShowException(text);
    } catch (...) {
        // The handler itself failed (no window to show it in, say): the log
        // line is all that is left, and the event loop must go on.
        std::fprintf(stderr, "%s: %s\n", Title.empty() ? "error" : Title.c_str(), text.c_str());
    }
}

void TApplication::ShowException(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", Title.empty() ? "error" : Title.c_str(), text.c_str());
    plat::MessageBox(text, Title, plat::MsgDlgType::Error);
}

void HandleEventException() noexcept { TApplication::Instance().HandleException(); }

// ---- TQtApplication ----

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleEventException();
        return true;
    }
}

}  // namespace vcl
