// Forms over Qt windows. The Qt window reports the window manager's close
// button; showing, hiding and closing are driven from here so that the form
// events fire in the order the programs expect, whatever the platform does.
#include "Forms.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "Dialogs.h"

namespace vcl {

class FormWindow : public QWidget {
public:
    explicit FormWindow(TForm* form) : form_(form) {}
    void Detach() { form_ = nullptr; }
    QEventLoop* ModalLoop = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override {
        // The form decides what closing means (hide, free, refuse); Qt never
        // closes the window on its own.
        event->ignore();
        if (form_) form_->UserClose();
    }

private:
    TForm* form_;
};

// ---- TControl ----

const TClassInfo& TControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TControl", &TComponent::StaticClass(), {}, nullptr};
        c.AddProperty({"Visible", TTypeKind::Enumeration,
                       [](const TObject* o) { return plat::Variant(static_cast<const TControl*>(o)->Visible()); },
                       [](TObject* o, const plat::Variant& v) { static_cast<TControl*>(o)->SetVisible(v.ToBool()); },
                       nullptr});
        c.AddProperty({"Caption", TTypeKind::LString,
                       [](const TObject* o) { return plat::Variant(static_cast<const TControl*>(o)->Caption()); },
                       [](TObject* o, const plat::Variant& v) { static_cast<TControl*>(o)->SetCaption(v.ToString()); },
                       nullptr});
        c.AddProperty({"Enabled", TTypeKind::Enumeration,
                       [](const TObject* o) { return plat::Variant(static_cast<const TControl*>(o)->Enabled()); },
                       [](TObject* o, const plat::Variant& v) { static_cast<TControl*>(o)->SetEnabled(v.ToBool()); },
                       nullptr});
        return c;
    }();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {}

void TControl::SetParent(TControl* parent) {
    parent_ = parent;
    if (QWidget* w = Widget()) w->setParent(parent ? parent->Widget() : nullptr);
}

bool TControl::Visible() const { return Widget() && !Widget()->isHidden(); }

void TControl::SetVisible(bool visible) {
    if (QWidget* w = Widget()) w->setVisible(visible);
}

void TControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    CaptionChanged();
}

bool TControl::Enabled() const { return Widget() ? Widget()->isEnabled() : true; }

void TControl::SetEnabled(bool enabled) {
    if (QWidget* w = Widget()) w->setEnabled(enabled);
}

// ---- TForm ----

const TClassInfo& TForm::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TForm>("TForm", TControl::StaticClass());
    return info;
}

TForm::TForm(TComponent* owner) : TControl(owner), window_(new FormWindow(this)) {}

TForm::~TForm() {
    *alive_ = false;
    window_->Detach();
    if (window_->ModalLoop) window_->ModalLoop->exit(0);
    // Deleted later: the form may be freed from inside one of its window's own events.
    window_->hide();
    window_->deleteLater();
}

QWidget* TForm::Widget() const { return window_; }

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
        if (visible_) window_->show();
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
        window_->setWindowModality(Qt::NonModal);
        Hide();
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
        if (*alive) Free();
    });
}

void TForm::PostClose() {
    QTimer::singleShot(0, window_, [this, alive = alive_] {
        if (*alive) Close();
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
    window_->raise();
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

TApplication& TApplication::Instance() {
    static TApplication app;
    return app;
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace vcl
