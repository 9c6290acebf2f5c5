// Helpers of the window tests: the demo installation with the host shell's
// automation object over it (scripted shell windows), message dialogs
// scripted, keys sent to real windows, and the start of a program window
// as the controller starts it.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <memory>
#include <string>

#include "DemoInstallation.h"
#include "Dialogs.h"
#include "Forms.h"
#include "HostObject.h"
#include "ShellDialogs.h"
#include "data/Brokers.h"

namespace formtest {

inline void Pump() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Presses a key in the window's focused control (or the window) as the user would.
inline void Press(vcl::TForm* form, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != form->Widget()) {
        vcl::TWinControl* c = form->ActiveControl();
        target = c ? (c->Widget()->focusProxy() ? c->Widget()->focusProxy() : c->Widget()) : form->Widget();
    }
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(target, &release);
    Pump();
}

// The demo world: installation, database, host object, scripted dialogs.
class DemoWorld {
public:
    explicit DemoWorld(const std::string& uiCodePage = "936") : install(uiCodePage) {
        env = std::make_shared<shell::HostEnvironment>();
        env->Sql = &install.Sql();
        env->Dialogs = &shellDialogs;
        env->Session = {"KV", "PRTest65", "PRTest65", uiCodePage};
        host = plat::Variant(shell::MakeHostObject(env));
    }

    // Creates a window of class T as the controller does (module file
    // ORTK41C.so, the host object in its broker) without starting it.
    template <class T>
    T* Create() {
        T* form = vcl::TComponent::Create<T>(nullptr);
        form->ModuleFileName = "/opt/tamber/C_PKG/ORTK41C.so";
        form->Brokers->HostObject = host;
        return form;
    }
    // Creates and starts a window for `user`; nullptr when the start failed.
    template <class T>
    T* Start(const std::string& user = "KV") {
        T* form = Create<T>();
        if (!form->StartProgram(plat::VarArrayOf({user, "PRTest65", "PRTest65", int32_t(0), plat::Variant()}))) {
            form->Free();
            return nullptr;
        }
        return form;
    }

    ortktest::DemoInstallation install;
    plat::ScopedScriptedDialogs dialogs;
    shell::ScriptedShellDialogs shellDialogs;
    std::shared_ptr<shell::HostEnvironment> env;
    plat::Variant host;
};

// Texts of the message dialogs shown so far, and forgetting them.
inline std::vector<std::string> ShownTexts(plat::ScopedScriptedDialogs& dialogs) {
    std::vector<std::string> out;
    for (const plat::MessageDialog& d : dialogs->Shown) out.push_back(d.Text);
    return out;
}

}  // namespace formtest
