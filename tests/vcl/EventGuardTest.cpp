// What a program can rely on when things go wrong in its windows: an error
// thrown by a handler that the window system reached becomes a message and
// the program goes on, an abort ends the action silently, a closed modal
// window gives input back, and two components of one owner never share a name.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "Classes.h"
#include "Dialogs.h"
#include "Forms.h"
#include "StdCtrls.h"

using namespace vcl;

namespace {

// A shown form with one button, freed with the fixture.
class GuardedForm : public testing::Test {
protected:
    GuardedForm() {
        form = TComponent::Create<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        button = TComponent::Create<TButton>(form);
        button->SetName("btnRun");
        button->SetParent(form);
        button->SetBounds(10, 10, 80, 30);
        form->Show();
    }
    ~GuardedForm() override { form->Free(); }

    // A real click on the button's widget, delivered by Qt.
    void ClickButton() { QTest::mouseClick(button->Widget(), Qt::LeftButton); }

    plat::ScopedScriptedDialogs dialogs;
    TForm* form;
    TButton* button;
};

}  // namespace

TEST_F(GuardedForm, AnErrorInAClickHandlerIsShownAndTheFormGoesOn) {
    int runs = 0;
    button->OnClick = TNotifyEvent([&runs](TObject*) {
        ++runs;
        throw plat::Exception("The service failed");
    });
    ClickButton();
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Text, "The service failed");
    EXPECT_EQ(dialogs->Shown[0].Type, plat::MsgDlgType::Error);

    // The next click reaches the handler again: nothing was left half-done.
    button->OnClick = TNotifyEvent([&runs](TObject*) { ++runs; });
    ClickButton();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(dialogs->Shown.size(), 1u);
}

TEST_F(GuardedForm, AnAbortEndsTheActionWithoutAWord) {
    bool after = false;
    button->OnClick = TNotifyEvent([&after](TObject*) {
        throw plat::EAbort();
        after = true;
    });
    ClickButton();
    EXPECT_FALSE(after);
    EXPECT_TRUE(dialogs->Shown.empty());
}

TEST_F(GuardedForm, ErrorsOfKeysPostedMessagesAndCloseQueriesAreShown) {
    auto* edit = TComponent::Create<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(10, 50, 100, 24);
    edit->OnKeyDown = TKeyEvent([](TObject*, uint16_t&, TShiftState) { throw plat::Exception("key failed"); });
    edit->SetFocus();
    QTest::keyClick(edit->Widget(), Qt::Key_F5);

    form->OnCloseQuery = TCloseQueryEvent([](TObject*, bool&) { throw plat::Exception("close failed"); });
    form->PostClose();
    for (int i = 0; i < 5; ++i) TApplication::Instance().ProcessMessages();

    ASSERT_EQ(dialogs->Shown.size(), 2u);
    EXPECT_EQ(dialogs->Shown[0].Text, "key failed");
    EXPECT_EQ(dialogs->Shown[1].Text, "close failed");
    EXPECT_TRUE(form->Visible());   // the failed close query kept the form open
    form->OnCloseQuery = {};
}

TEST_F(GuardedForm, AnErrorReachingTheApplicationObjectIsShown) {
    // Outside any guarded handler (a plain Qt slot), the application object's
    // own guard catches it when the program runs on TQtApplication; here the
    // handling itself is checked: the text is shown, an abort is not.
    try {
        throw plat::Exception("late failure");
    } catch (...) {
        HandleEventException();
    }
    try {
        throw plat::EAbort();
    } catch (...) {
        HandleEventException();
    }
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Text, "late failure");
}

TEST(ModalForms, TheWindowsBehindTakeInputAgainAfterOkAndAfterCancel) {
    auto* dialog = TComponent::Create<TForm>(nullptr);
    QTimer::singleShot(10, [dialog] {
        EXPECT_NE(QGuiApplication::modalWindow(), nullptr);   // modal while it runs
        dialog->SetModalResult(plat::mrOk);
    });
    EXPECT_EQ(dialog->ShowModal(), plat::mrOk);
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);

    QTimer::singleShot(10, [dialog] { dialog->Close(); });
    EXPECT_EQ(dialog->ShowModal(), plat::mrCancel);
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
    dialog->Free();
}

TEST(ComponentNames, ANameInUseByTheSameOwnerIsRefused) {
    auto* owner = TComponent::Create<TComponent>(nullptr);
    auto* first = TComponent::Create<TComponent>(owner);
    first->SetName("pnlHead");
    auto* second = TComponent::Create<TComponent>(owner);
    EXPECT_THROW(second->SetName("pnlHead"), plat::Exception);
    EXPECT_THROW(second->SetName("PNLHEAD"), plat::Exception);   // names are compared without case
    try {
        second->SetName("pnlHead");
    } catch (const plat::Exception& e) {
        EXPECT_STREQ(e.what(), "A component named pnlHead already exists");
    }
    EXPECT_EQ(second->Name(), "");
    EXPECT_EQ(owner->FindComponent("pnlHead"), first);

    first->SetName("PnlHead");   // a component may change the case of its own name
    EXPECT_EQ(first->Name(), "PnlHead");
    second->SetName("pnlBody");
    auto* unnamed = TComponent::Create<TComponent>(owner);   // unnamed components never clash
    EXPECT_EQ(unnamed->Name(), "");

    // A named component moved to an owner that has the name is refused too.
    auto* other = TComponent::Create<TComponent>(nullptr);
    auto* stranger = TComponent::Create<TComponent>(other);
    stranger->SetName("pnlBody");
    EXPECT_THROW(owner->InsertComponent(stranger), plat::Exception);
    EXPECT_EQ(stranger->Owner(), other);
    // A component of another owner may carry the same name.
    auto* elsewhere = TComponent::Create<TComponent>(other);
    elsewhere->SetName("pnlHead");
    owner->Free();
    other->Free();
}
