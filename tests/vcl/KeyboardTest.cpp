// Keyboard and focus: tab order, Enter moving to the next control when the
// form asks for it, the enter and exit events of controls and their
// containers, key preview and function keys at form level, the default and
// cancel buttons, and the requests a lookup button posts to its form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "Forms.h"
#include "Grids.h"
#include "KvCtrls.h"
#include "Mask.h"
#include "StdCtrls.h"
#include "ExtCtrls.h"

using namespace vcl;

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// The widget that gets the keys: Qt's focus widget in the form's window,
// or, while the window is not active, the widget of the form's active control.
QWidget* KeyTarget(TForm* form) {
    QWidget* target = QApplication::focusWidget();
    if (target && target->window() == form->Widget()) return target;
    if (TWinControl* c = form->ActiveControl()) return c->Widget()->focusProxy() ? c->Widget()->focusProxy() : c->Widget();
    return form->Widget();
}

void Press(TForm* form, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(KeyTarget(form), key, mods);
    Pump();
}

void Type(TForm* form, const char* text) {
    QTest::keyClicks(KeyTarget(form), QString::fromUtf8(text));
    Pump();
}

// A window built as the suite's windows are: a panel of edits, a grid, a
// memo and buttons; Enter moves on unless a grid or a memo has the focus.
class EntryForm : public TForm {
public:
    explicit EntryForm(TComponent* owner) : TForm(owner) {
        SetBounds(0, 0, 400, 300);
        SetKeyPreview(true);
        panel = Make<TPanel>(this, "panel", 0, 0);
        panel->SetBounds(0, 0, 400, 100);
        edA = Make<TEdit>(panel, "edA", 10, 10);
        edB = Make<TEdit>(panel, "edB", 10, 40);
        edC = Make<TEdit>(this, "edC", 10, 110);
        grid = Make<TStringGrid>(this, "grid", 10, 140);
        memo = Make<TMemo>(this, "memo", 200, 110);
        ok = Make<TButton>(this, "ok", 10, 260);
        ok->SetDefault(true);
        cancel = Make<TButton>(this, "cancel", 100, 260);
        cancel->SetCancel(true);
        OnKeyPress = TKeyPressEvent([this](TObject*, char32_t& key) {
            if (key != 13) return;
            TWinControl* active = ActiveControl();
            if (!active || active->Is<TStringGrid>() || active->Is<TMemo>()) return;
            key = 0;
            SelectNext(active, true, true);
        });
    }
    template <class T>
    T* Make(TWinControl* parent, const char* name, int left, int top) {
        T* c = TComponent::Create<T>(this);
        c->SetName(name);
        c->SetParent(parent);
        c->SetLeft(left);
        c->SetTop(top);
        return c;
    }
    TPanel* panel;
    TEdit *edA, *edB, *edC;
    TStringGrid* grid;
    TMemo* memo;
    TButton *ok, *cancel;
};

std::string ActiveName(TForm* form) { return form->ActiveControl() ? form->ActiveControl()->Name() : "(none)"; }

}  // namespace

TEST(Focus, ShowingAFormFocusesTheFirstTabStopAndTabFollowsTheTabOrder) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    form->edB->SetTabOrder(0);   // edB before edA inside the panel
    form->Show();
    Pump();
    EXPECT_EQ(ActiveName(form), "edB");
    EXPECT_TRUE(form->edB->LineEdit()->hasFocus() || !QApplication::activeWindow());
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        Press(form, Qt::Key_Tab);
        visited.push_back(ActiveName(form));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"edA", "edC", "grid", "memo", "ok", "cancel"}));
    Press(form, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(ActiveName(form), "ok");
    form->Free();
}

TEST(Focus, TabSkipsHiddenDisabledAndNonTabStopControlsAndWraps) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    form->edC->SetVisible(false);
    form->grid->SetEnabled(false);
    form->memo->SetTabStop(false);
    form->Show();
    form->cancel->SetFocus();
    Press(form, Qt::Key_Tab);
    EXPECT_EQ(ActiveName(form), "edA");   // wrapped around
    form->edB->SetFocus();
    Press(form, Qt::Key_Tab);
    EXPECT_EQ(ActiveName(form), "ok");
    form->Free();
}

TEST(Focus, EnterMovesToTheNextControlExceptInAGridOrAMemo) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    form->ok->SetDefault(false);
    form->Show();
    form->edA->SetFocus();
    Press(form, Qt::Key_Return);
    EXPECT_EQ(ActiveName(form), "edB");
    Press(form, Qt::Key_Return);
    Press(form, Qt::Key_Return);
    EXPECT_EQ(ActiveName(form), "grid");
    Press(form, Qt::Key_Return);
    EXPECT_EQ(ActiveName(form), "grid");   // the grid keeps Enter
    form->memo->SetFocus();
    Type(form, "a");
    Press(form, Qt::Key_Return);
    Type(form, "b");
    EXPECT_EQ(ActiveName(form), "memo");
    EXPECT_EQ(form->memo->Lines()->Count(), 2);
    EXPECT_EQ(form->memo->Lines()->Strings(1), "b");
    form->Free();
}

TEST(Focus, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    form->OnKeyPress = TKeyPressEvent();   // no Enter-to-next on this window
    std::vector<std::string> clicks;
    form->ok->OnClick = TNotifyEvent([&](TObject*) { clicks.push_back("ok"); });
    form->cancel->OnClick = TNotifyEvent([&](TObject*) { clicks.push_back("cancel"); });
    form->cancel->SetModalResult(2);
    form->Show();
    form->edA->SetFocus();
    Press(form, Qt::Key_Return);
    Press(form, Qt::Key_Escape);
    form->cancel->SetFocus();
    Press(form, Qt::Key_Return);   // a focused button is the one Enter clicks
    EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel", "cancel"}));
    EXPECT_EQ(form->ModalResult(), 2);
    form->Free();
}

TEST(Focus, ExitAndEnterEventsFollowTheContainersBetweenTwoControls) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    std::vector<std::string> log;
    for (TWinControl* c : std::vector<TWinControl*>{form->panel, form->edA, form->edB, form->edC}) {
        c->OnEnter = TNotifyEvent([&log, c](TObject*) { log.push_back("enter " + c->Name()); });
        c->OnExit = TNotifyEvent([&log, c](TObject*) { log.push_back("exit " + c->Name()); });
    }
    form->Show();
    form->edA->SetFocus();
    log.clear();
    form->edB->SetFocus();   // inside the same panel
    form->edC->SetFocus();   // out of the panel
    form->edA->SetFocus();   // back in
    EXPECT_EQ(log, (std::vector<std::string>{"exit edA", "enter edB", "exit edB", "exit panel", "enter edC", "exit edC",
                                             "enter panel", "enter edA"}));
    form->Free();
}

TEST(Focus, AnExitHandlerCanKeepTheFocusWhereItWas) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    std::vector<std::string> entered;
    form->edA->OnExit = TNotifyEvent([&](TObject*) {
        if (form->edA->Text().empty()) form->edA->SetFocus();   // a required value: stay
    });
    form->edB->OnEnter = TNotifyEvent([&](TObject*) { entered.push_back("edB"); });
    form->Show();
    form->edA->SetFocus();
    Press(form, Qt::Key_Tab);
    EXPECT_EQ(ActiveName(form), "edA");
    EXPECT_TRUE(entered.empty());
    form->edA->SetText("x");
    Press(form, Qt::Key_Tab);
    EXPECT_EQ(ActiveName(form), "edB");
    EXPECT_EQ(entered, std::vector<std::string>{"edB"});
    form->Free();
}

TEST(Keys, KeyPreviewLetsTheFormSeeAndSwallowKeysBeforeTheControl) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    std::vector<std::string> log;
    form->OnKeyDown = TKeyEvent([&](TObject*, uint16_t& key, TShiftState shift) {
        log.push_back("form " + std::to_string(key) + (shift & ssCtrl ? "+ctrl" : ""));
        if (key == VK_F2) key = 0;   // the form handles F2 itself
    });
    form->edA->OnKeyDown = TKeyEvent([&](TObject*, uint16_t& key, TShiftState) { log.push_back("edit " + std::to_string(key)); });
    form->Show();
    form->edA->SetFocus();
    Press(form, Qt::Key_F2);
    Press(form, Qt::Key_F11, Qt::ControlModifier);
    // The Ctrl key itself arrives first, as a key of its own.
    EXPECT_EQ(log, (std::vector<std::string>{"form 113", "form 17+ctrl", "edit 17", "form 122+ctrl", "edit 122"}));
    log.clear();
    form->SetKeyPreview(false);
    Press(form, Qt::Key_F2);
    EXPECT_EQ(log, std::vector<std::string>{"edit 113"});
    form->Free();
}

TEST(Keys, AKeyPressHandlerCanReplaceOrSwallowTheCharacter) {
    auto* form = TComponent::Create<EntryForm>(nullptr);
    form->OnKeyPress = TKeyPressEvent();
    form->edA->OnKeyPress = TKeyPressEvent([](TObject*, char32_t& key) {
        if (key == 'x') key = 0;
        if (key >= 'a' && key <= 'z') key = key - 'a' + 'A';
    });
    form->Show();
    form->edA->SetFocus();
    Type(form, "axbx");
    EXPECT_EQ(form->edA->Text(), "AB");
    form->Free();
}

TEST(Messages, TheLookupButtonPostsTheF2RequestForItsControlToTheForm) {
    struct LookupForm : TForm {
        explicit LookupForm(TComponent* o) : TForm(o) {}
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_KEYF2) requests.push_back(TControl::ControlFromParam(m.LParam));
            TForm::WndProc(m);
        }
        std::vector<TControl*> requests;
    };
    auto* form = TComponent::Create<LookupForm>(nullptr);
    auto* edit = TComponent::Create<TMaskEdit>(form);
    edit->SetParent(form);
    auto* other = TComponent::Create<TEdit>(form);
    other->SetParent(form);
    other->SetTop(40);
    auto* button = TComponent::Create<TF2Button>(form);
    button->SetParent(form);
    button->SetF2Control(edit);
    form->Show();
    other->SetFocus();
    button->Click();
    EXPECT_EQ(form->ActiveControl(), edit);          // the control is focused first
    EXPECT_TRUE(form->requests.empty());             // posted, not sent
    Pump();
    ASSERT_EQ(form->requests.size(), 1u);
    EXPECT_EQ(form->requests[0], edit);
    // A request whose control is gone by the time it arrives names no control.
    button->Click();
    edit->Free();
    Pump();
    ASSERT_EQ(form->requests.size(), 2u);
    EXPECT_EQ(form->requests[1], nullptr);
    form->Free();
}

TEST(Messages, APostedMessageToAFreedFormIsDropped) {
    int handled = 0;
    struct CountingForm : TForm {
        CountingForm(TComponent* o, int& n) : TForm(o), n_(n) {}
        void WndProc(TMessage&) override { ++n_; }
        int& n_;
    };
    auto* form = TComponent::Create<CountingForm>(nullptr, handled);
    form->PostMessage(WM_KEYF3);
    form->PostMessage(WM_KEYF4);
    EXPECT_EQ(form->Perform(WM_KEYF11), 0);
    EXPECT_EQ(handled, 1);
    form->Free();
    Pump();
    EXPECT_EQ(handled, 1);
}

TEST(Messages, TheButtonEditAsksForTheLookupWithoutAHandlerOfItsOwn) {
    struct LookupForm : TForm {
        explicit LookupForm(TComponent* o) : TForm(o) {}
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_KEYF2) asked = TControl::ControlFromParam(m.LParam);
        }
        TControl* asked = nullptr;
    };
    auto* form = TComponent::Create<LookupForm>(nullptr);
    auto* edit = TComponent::Create<TKvBtnEdit>(form);
    edit->SetParent(form);
    form->Show();
    edit->ButtonAction()->trigger();
    Pump();
    EXPECT_EQ(form->asked, edit);
    int own = 0;
    form->asked = nullptr;
    edit->OnButtonClick = TNotifyEvent([&](TObject*) { ++own; });
    edit->ButtonAction()->trigger();
    Pump();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(form->asked, nullptr);
    form->Free();
}
