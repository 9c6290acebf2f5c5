// The component core: ownership, names, published properties by name,
// events saved and restored, and forms with their show, hide, close and
// destroy events on real (offscreen) Qt windows.
#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "Classes.h"
#include "Dialogs.h"
#include "Forms.h"

using namespace vcl;

namespace {

// Records its own destruction so that ownership order can be checked.
class Probe : public TComponent {
    VCL_DECLARE_CLASS(Probe)
public:
    Probe(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
    ~Probe() override { if (log_) log_->push_back(Name()); }
    std::string Hint;

private:
    std::vector<std::string>* log_;
};

const TClassInfo& Probe::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"Probe", &TComponent::StaticClass(), {}, nullptr};
        c.AddProperty({"Hint", TTypeKind::LString,
                       [](const TObject* o) { return plat::Variant(static_cast<const Probe*>(o)->Hint); },
                       [](TObject* o, const plat::Variant& v) { static_cast<Probe*>(o)->Hint = v.ToString(); }, nullptr});
        c.AddProperty({"Self", TTypeKind::Class, nullptr, nullptr,
                       [](const TObject* o) { return const_cast<TObject*>(o); }});
        return c;
    }();
    return info;
}

// A form that logs its events, as a program window's handlers would.
class LoggingForm : public TForm {
public:
    explicit LoggingForm(TComponent* owner, std::vector<std::string>& log) : TForm(owner) {
        OnCreate = TNotifyEvent([&log](TObject*) { log.push_back("create"); });
        OnShow = TNotifyEvent([&log](TObject*) { log.push_back("show"); });
        OnHide = TNotifyEvent([&log](TObject*) { log.push_back("hide"); });
        OnDestroy = TNotifyEvent([&log](TObject*) { log.push_back("destroy"); });
        OnClose = TCloseEvent([&log, this](TObject*, TCloseAction& a) {
            log.push_back("close");
            a = nextAction;
        });
    }
    TCloseAction nextAction = TCloseAction::caHide;
};

void RunPendingEvents() {
    for (int i = 0; i < 5; ++i) TApplication::Instance().ProcessMessages();
}

}  // namespace

TEST(Components, OwnerFreesOwnedComponentsLastCreatedFirst) {
    std::vector<std::string> log;
    auto* owner = new Probe(nullptr, &log);
    owner->SetName("owner");
    for (const char* name : {"a", "b", "c"}) (new Probe(owner, &log))->SetName(name);
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(1)->Name(), "b");
    EXPECT_EQ(owner->FindComponent("B"), owner->Components(1));
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    owner->Components(1)->Free();   // a component freed on its own leaves its owner's list
    EXPECT_EQ(owner->ComponentCount(), 2);
    owner->Free();
    EXPECT_EQ(log, (std::vector<std::string>{"b", "c", "a", "owner"}));
}

TEST(Components, PublishedPropertiesByNameWithTheirKinds) {
    Probe probe(nullptr, nullptr);
    SetPropValue(&probe, "name", "edCustomer");
    SetPropValue(&probe, "Hint", "客户编号");
    EXPECT_EQ(GetPropValue(&probe, "Name").ToString(), "edCustomer");
    EXPECT_EQ(GetPropValue(&probe, "Self.Hint").ToString(), "客户编号");
    EXPECT_EQ(PropType(&probe, "Hint"), TTypeKind::LString);
    EXPECT_EQ(PropType(&probe, "Tag"), TTypeKind::Integer);
    EXPECT_EQ(PropType(&probe, "Self"), TTypeKind::Class);
    EXPECT_TRUE(IsPublishedProp(&probe, "HINT"));
    EXPECT_FALSE(IsPublishedProp(&probe, "ImeName"));
    EXPECT_FALSE(IsPublishedProp(&probe, "Hint.Name"));
    EXPECT_THROW(GetPropValue(&probe, "ImeName"), plat::Exception);
    EXPECT_EQ(probe.ClassName(), "Probe");
    EXPECT_TRUE(probe.Is<TComponent>());
    EXPECT_FALSE(probe.Is<TForm>());
}

TEST(Components, EventHandlersCanBeSavedReplacedAndRestored) {
    std::vector<std::string> log;
    int owner = 0;
    TNotifyEvent own([&](TObject*) { log.push_back("own"); });
    TNotifyEvent saved = own;
    TNotifyEvent hook([&, saved](TObject* s) { saved(s); log.push_back("hook"); }, &owner);
    EXPECT_TRUE(hook.BelongsTo(&owner));
    EXPECT_FALSE(own.BelongsTo(&owner));
    hook(nullptr);
    own = saved;
    own(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"own", "hook", "own"}));
    TNotifyEvent empty;
    EXPECT_FALSE(empty);
    empty(nullptr);   // calling an empty handler does nothing
}

TEST(Forms, ShowHideAndDestroyEventsFireOnceEach) {
    std::vector<std::string> log;
    auto* form = TComponent::Create<LoggingForm>(nullptr, log);
    form->Show();
    form->Show();
    EXPECT_TRUE(form->Visible());
    EXPECT_NE(form->Handle(), 0);
    form->Hide();
    form->Free();
    EXPECT_EQ(log, (std::vector<std::string>{"create", "show", "hide", "destroy"}));
}

TEST(Forms, CloseActionDecidesBetweenHideNothingAndFree) {
    std::vector<std::string> log;
    auto* form = TComponent::Create<LoggingForm>(nullptr, log);
    form->Show();
    form->nextAction = TCloseAction::caNone;
    form->Close();
    EXPECT_TRUE(form->Visible());
    form->nextAction = TCloseAction::caHide;
    form->Close();
    EXPECT_FALSE(form->Visible());
    form->nextAction = TCloseAction::caFree;
    form->Close();
    EXPECT_EQ(log.back(), "close");   // freed only once the current events are done
    RunPendingEvents();
    EXPECT_EQ(log.back(), "destroy");
}

TEST(Forms, ReleaseOfAFormFreedDirectlyDoesNothingLater) {
    std::vector<std::string> log;
    auto* form = TComponent::Create<LoggingForm>(nullptr, log);
    form->Release();
    form->Free();
    RunPendingEvents();   // the posted release must not touch the freed form
    EXPECT_EQ(std::count(log.begin(), log.end(), "destroy"), 1);
}

TEST(Forms, ShowModalRunsUntilAResultIsSetAndClosesTheForm) {
    std::vector<std::string> log;
    auto* form = TComponent::Create<LoggingForm>(nullptr, log);
    QTimer::singleShot(10, [form] { form->SetModalResult(plat::mrOk); });
    EXPECT_EQ(form->ShowModal(), plat::mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->IsModal());
    QTimer::singleShot(10, [form] { form->Close(); });   // closing a modal form cancels it
    EXPECT_EQ(form->ShowModal(), plat::mrCancel);
    form->Free();
    EXPECT_EQ(log, (std::vector<std::string>{"create", "show", "close", "hide", "show", "close", "hide", "destroy"}));
}
