// Forms: top-level windows backed by real Qt windows, with the show, hide,
// close and destroy events that a program window and its host rely on, the
// close action, and modal showing; and the Application object.
#pragma once

#include <cstdint>
#include <string>

#include <memory>

#include "Classes.h"

class QWidget;

namespace vcl {

class FormWindow;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

// A visible control: a component with a parent and a Qt widget.
class TControl : public TComponent {
    VCL_DECLARE_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);

    virtual QWidget* Widget() const = 0;
    TControl* Parent() const { return parent_; }
    virtual void SetParent(TControl* parent);
    virtual bool Visible() const;
    virtual void SetVisible(bool visible);
    virtual std::string Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);
    bool Enabled() const;
    void SetEnabled(bool enabled);

protected:
    // Lets a class apply a caption to its widget.
    virtual void CaptionChanged() {}

private:
    TControl* parent_ = nullptr;
    std::string caption_;
};

// A top-level window.
class TForm : public TControl {
    VCL_DECLARE_CLASS(TForm)
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    QWidget* Widget() const override;
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

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void AfterConstruction() override;

protected:
    void BeforeDestruction() override;
    void CaptionChanged() override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void DoDestroy();
    virtual bool CloseQuery();

private:
    friend class FormWindow;
    void UserClose();   // the window manager's close button

    FormWindow* window_;
    bool visible_ = false;
    bool modal_ = false;
    bool keyPreview_ = false;
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
};

}  // namespace vcl
