// Forms: top-level windows backed by real Qt windows, with the show, hide,
// close and destroy events that a program window and its host rely on, the
// close action, modal showing, the active control and key handling at form
// level, the main menu, posted messages; the Screen and Application objects.
#pragma once

#include <QApplication>
#include <cstdint>
#include <functional>
#include <string>

#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"

class QWidget;

namespace vcl {

class FormWindow;
class TMainMenu;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                       poMainFormCenter, poOwnerFormCenter };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// The buttons of a window's title bar (BorderIcons), a set of these bits.
enum TBorderIcon : int { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
constexpr int kDefaultBorderIcons = biSystemMenu | biMinimize | biMaximize;

// A top-level window.
class TForm : public TWinControl {
    VCL_DECLARE_CLASS(TForm)
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    QWidget* ClientWidget() const override;
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // Closes as the user would: CloseQuery, OnClose with the close action
    // (caHide by default), then hide, minimise or release. In a modal loop it
    // ends the loop with mrCancel instead.
    void Close();
    // Shows modally and runs a local event loop until ModalResult is set.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    // Setting a result ends the modal loop.
    void SetModalResult(int result);
    bool IsModal() const { return modal_; }
    // Frees the form once the events being handled now are done.
    void Release();
    // Closes the form once the events being handled now are done (a posted close).
    void PostClose();

    intptr_t Handle() const;
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    void BringToFront();
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    // Title-bar buttons of a single or sizeable border; dialog and tool
    // windows keep the buttons of their kind.
    int BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(int icons);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    // The control that has (or, on a hidden form, will get) the focus.
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* control);
    // Moves the focus to a control of this form.
    void FocusControl(TWinControl* control);
    // Records that the focus moved to `control` and fires the exit events
    // of the controls it left and the enter events of those it entered.
    void SetFocusedControl(TWinControl* control);
    // Tab and Shift+Tab move the focus; Enter clicks the focused button or
    // the default button, Escape the cancel button. True when the key was used.
    virtual bool DialogKey(TWinControl* control, uint16_t key, TShiftState shift);

    // Queues a message for the form; it is handled (WndProc) once the events
    // being handled now are done, and dropped if the form is freed first.
    void PostMessage(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);

    // Bookkeeping of the active control when controls go away or hide.
    void ControlRemoved(TControl* control);
    void ControlHidden(TControl* control);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void AfterConstruction() override;
    void WndProc(TMessage& message) override;

protected:
    void BeforeDestruction() override;
    void CaptionChanged() override;
    void ApplyColor() override;
    void BoundsChanged() override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void DoDestroy();
    virtual bool CloseQuery();

private:
    friend class FormWindow;
    void UserClose();   // the window manager's close button

    void PlaceOnShow();

    FormWindow* window_;
    bool visible_ = false;
    bool modal_ = false;
    bool keyPreview_ = false;
    bool placed_ = false;
    TPosition position_ = TPosition::poDesigned;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    int borderIcons_ = kDefaultBorderIcons;
    void ApplyWindowFlags();
    TMainMenu* menu_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    unsigned focusSerial_ = 0;                 // counts focus moves, to see a handler's own
    std::vector<TWinControl*> exiting_;        // controls already told they are left
    int modalResult_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // false once destroyed
};

// A non-visual container of components (data access objects and the like),
// with create and destroy events.
class TDataModule : public TComponent {
    VCL_DECLARE_CLASS(TDataModule)
public:
    explicit TDataModule(TComponent* owner);
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    void AfterConstruction() override;

protected:
    void BeforeDestruction() override;
};

// The screen: the cursor shown over every window, the fonts of icons, hints
// and menus, the active form and control.
class TScreen {
public:
    static TScreen& Instance();
    TCursor Cursor() const { return cursor_; }
    // crDefault lets every control show its own cursor again.
    void SetCursor(TCursor cursor);
    int PixelsPerInch() const { return vcl::PixelsPerInch; }
    int Width() const;
    int Height() const;
    TForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    TFont& IconFont() { return iconFont_; }
    TFont& HintFont() { return hintFont_; }
    TFont& MenuFont() { return menuFont_; }

private:
    TScreen();
    TCursor cursor_ = crDefault;
    TFont iconFont_, hintFont_, menuFont_;
};

// Process-wide application settings that forms share.
class TApplication {
public:
    static TApplication& Instance();
    int HintPause = 500;
    int HintHidePause = 2500;
    bool ShowHint = true;
    std::string Title;
    // Runs pending window messages once, as a long task does between steps.
    void ProcessMessages();

    // The default exception handling of the event loop, for the exception
    // being handled now: an abort ends the action silently; any other error
    // goes to OnException when set, otherwise ShowException shows its text
    // and writes a log line. Call only inside a catch block.
    void HandleException() noexcept;
    // Shows an error text in a message box and writes it to the log
    // (standard error), as the default exception handling does.
    void ShowException(const std::string& text);
    std::function<void(const std::string& text)> OnException;
};

// The Qt application object of a program built on these components: events
// that reach the program outside a guarded handler are guarded here, so that
// nothing a handler throws ends the program.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vcl
