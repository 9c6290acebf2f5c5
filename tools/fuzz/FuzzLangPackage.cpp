// Fuzz target: language packages as bytes, in whatever encoding they
// declare, applied to a window that holds every kind of control a property
// path can reach (texts, fonts, colours, enumerations, string lists, combo
// items, list-view columns and items, tree nodes, status panels, grid
// cells). Loading may fail with LanguageControllerError; nothing may crash,
// hang or grow without bound.
#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Grids.h"
#include "StdCtrls.h"
#include "lang/LanguageController.h"

namespace {

struct Window {
    vcl::TForm* form = nullptr;
    vcl::TMemo* memo = nullptr;
    vcl::TComboBox* combo = nullptr;
    vcl::TListView* list = nullptr;
    vcl::TTreeView* tree = nullptr;

    template <class T>
    T* Make(vcl::TComponent* owner, const char* name) {
        T* c = vcl::TComponent::Create<T>(owner);
        c->SetName(name);
        c->SetParent(form);
        return c;
    }

    Window() {
        form = vcl::TComponent::Create<vcl::TForm>(nullptr);
        form->SetName("frmFuzz");
        auto* label = Make<vcl::TLabel>(form, "lblA");
        Make<vcl::TLabel>(label, "lblB");
        Make<vcl::TEdit>(form, "edA");
        memo = Make<vcl::TMemo>(form, "memolng");
        combo = Make<vcl::TComboBox>(form, "cboA");
        list = Make<vcl::TListView>(form, "lvA");
        tree = Make<vcl::TTreeView>(form, "tvA");
        auto* status = Make<vcl::TStatusBar>(form, "sbA");
        status->Panels()->Add();
        status->Panels()->Add();
        auto* grid = Make<vcl::TStringGrid>(form, "gdA");
        grid->SetColCount(3);
        grid->SetRowCount(3);
        Reset();
    }

    // Puts back the lists a package can change, so inputs do not add up.
    void Reset() {
        memo->Lines()->SetText("a\nb\n");
        combo->Items()->SetText("x\ny\nz\n");
        combo->SetItemIndex(1);
        list->Columns()->Clear();
        list->Items()->Clear();
        for (int i = 0; i < 3; ++i) {
            list->Columns()->Add()->SetCaption("c");
            list->Items()->Add()->SetCaption("i");
        }
        tree->Items()->Clear();
        vcl::TTreeNode* root = tree->Items()->Add(nullptr, "0");
        tree->Items()->AddChild(tree->Items()->AddChild(root, "1"), "2");
    }
};

Window& TheWindow() {
    static Window* window = new Window;
    return *window;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(*argc, *argv);
    plat::SetDialogPresenter(std::make_shared<plat::ScriptedDialogs>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    pugi::xml_document document;
    try {
        LoadPackage(document, bytes);
    } catch (const LanguageControllerError&) {
        return 0;
    }
    Window& window = TheWindow();
    vcl::TStrings excluded;
    excluded.Add("edA");
    TLangReader reader(document, excluded, {}, {});
    reader.TranslateComponent(window.form);
    if (window.memo->Lines()->Count() > kMaxPackageLineIndex + 1 ||
        window.combo->Items()->Count() > kMaxPackageLineIndex + 1)
        std::abort();
    window.Reset();
    return 0;
}
