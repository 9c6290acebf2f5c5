// Owner versus parent, alignment, splitters, freeing controls in any order,
// and controls bound to a data source.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <map>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

using namespace vcl;

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name) {
    T* c = TComponent::Create<T>(owner);
    c->SetName(name);
    c->SetParent(parent);
    return c;
}

std::vector<std::string> Names(const std::vector<TComponent*>& list) {
    std::vector<std::string> names;
    for (TComponent* c : list) names.push_back(c->Name());
    return names;
}

// A data set of one record, kept as field texts.
class RecordSet : public TComponent, public IFieldAccess {
public:
    explicit RecordSet(TComponent* owner) : TComponent(owner) {}
    std::string FieldText(const std::string& field) const override {
        auto it = values.find(field);
        return it == values.end() ? std::string() : it->second;
    }
    bool SetFieldText(const std::string& field, const std::string& text) override {
        if (readOnly) return false;
        values[field] = text;
        return true;
    }
    std::map<std::string, std::string> values;
    bool readOnly = false;
};

}  // namespace

TEST(OwnerAndParent, MovingAControlChangesItsParentOnly) {
    auto* form = TComponent::Create<TForm>(nullptr);
    auto* head = Make<TPanel>(form, form, "pnlHead");
    auto* foot = Make<TPanel>(form, form, "pnlFoot");
    auto* edit = Make<TEdit>(form, head, "ed01");
    auto* label = Make<TLabel>(form, head, "lbl01");
    std::vector<std::string> before = Names(form->ComponentList());

    edit->SetParent(foot);
    EXPECT_EQ(edit->Parent(), foot);
    EXPECT_EQ(edit->Owner(), form);
    EXPECT_EQ(Names(form->ComponentList()), before);
    EXPECT_EQ(edit->Widget()->parentWidget(), foot->Widget());
    EXPECT_EQ(head->ControlCount(), 1);
    EXPECT_EQ(head->Controls(0), label);
    EXPECT_EQ(foot->ControlCount(), 1);
    EXPECT_EQ(edit->TabOrder(), 0);
    EXPECT_EQ(form->FindComponent("ED01"), edit);

    // A page of a page control is a parent like any other.
    auto* pages = Make<TPageControl>(form, form, "pgHead");
    auto* sheet = TComponent::Create<TTabSheet>(form);
    sheet->SetName("tsOther");
    sheet->SetPageControl(pages);
    edit->SetParent(sheet);
    EXPECT_EQ(edit->ParentForm(), form);
    EXPECT_EQ(edit->Widget()->parentWidget(), sheet->Widget());
    EXPECT_EQ(Names(form->ComponentList()).front(), "pnlHead");
    form->Free();
}

TEST(OwnerAndParent, AControlWithoutParentIsNeverShownAsAWindow) {
    auto* form = TComponent::Create<TForm>(nullptr);
    auto* edit = Make<TEdit>(form, nullptr, "ed");
    form->Show();
    EXPECT_TRUE(edit->Visible());
    EXPECT_TRUE(edit->Widget()->isHidden());
    EXPECT_FALSE(edit->Showing());
    edit->SetParent(form);
    EXPECT_FALSE(edit->Widget()->isHidden());
    EXPECT_TRUE(edit->Showing());
    edit->SetParent(nullptr);
    EXPECT_TRUE(edit->Widget()->isHidden());
    EXPECT_THROW(form->SetParent(form), plat::Exception);
    form->Free();
}

TEST(OwnerAndParent, APanelFreedBeforeTheControlsMovedIntoItTakesThemAlong) {
    std::vector<std::string> destroyed;
    auto* form = TComponent::Create<TForm>(nullptr);
    auto* edit = Make<TEdit>(form, form, "ed");
    auto* panel = Make<TPanel>(form, form, "late");   // created after the edit, freed first by the form
    edit->SetParent(panel);
    edit->OnExit = TNotifyEvent();
    panel->Free();   // frees the edit too, which leaves its owner's list
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(form->ControlCount(), 0);
    // The other way round: the owner frees the container last-created first.
    auto* p2 = Make<TPanel>(form, form, "p2");
    auto* e2 = Make<TEdit>(form, p2, "e2");
    (void)e2;
    form->Free();   // must not free the edit twice
}

TEST(OwnerAndParent, ControlsOnTheStackAndOwnedChildrenGoQuietly) {
    TForm form(nullptr);
    TPanel panel(nullptr);
    panel.SetParent(&form);
    auto* owned = Make<TEdit>(&panel, &panel, "owned");
    EXPECT_EQ(owned->Owner(), &panel);
    form.Show();
    owned->SetFocus();
    EXPECT_EQ(form.ActiveControl(), owned);
    panel.SetParent(nullptr);
    EXPECT_EQ(form.ActiveControl(), nullptr);   // the focused control left with its container
}

TEST(Alignment, AlignedControlsShareTheClientAreaInTheirOrder) {
    auto* form = TComponent::Create<TForm>(nullptr);
    form->SetClientWidth(400);
    form->SetClientHeight(300);
    auto* top = Make<TPanel>(form, form, "top");
    top->SetHeight(30);
    top->SetAlign(TAlign::alTop);
    auto* bottom = Make<TPanel>(form, form, "bottom");
    bottom->SetHeight(20);
    bottom->SetAlign(TAlign::alBottom);
    auto* left = Make<TPanel>(form, form, "left");
    left->SetWidth(100);
    left->SetAlign(TAlign::alLeft);
    auto* client = Make<TPanel>(form, form, "client");
    client->SetAlign(TAlign::alClient);
    auto* plain = Make<TPanel>(form, form, "plain");
    plain->SetBounds(5, 6, 7, 8);
    EXPECT_EQ(top->Widget()->geometry(), QRect(0, 0, 400, 30));
    EXPECT_EQ(bottom->Widget()->geometry(), QRect(0, 280, 400, 20));
    EXPECT_EQ(left->Widget()->geometry(), QRect(0, 30, 100, 250));
    EXPECT_EQ(client->Widget()->geometry(), QRect(100, 30, 300, 250));
    EXPECT_EQ(plain->Widget()->geometry(), QRect(5, 6, 7, 8));
    // Hiding a control gives its room to the others; a resize re-aligns.
    top->SetVisible(false);
    EXPECT_EQ(client->Widget()->geometry(), QRect(100, 0, 300, 280));
    form->SetClientWidth(500);
    QApplication::processEvents();
    EXPECT_EQ(client->Width(), 400);
    // A second top control stacks below the first by its Top.
    top->SetVisible(true);
    auto* top2 = Make<TPanel>(form, form, "top2");
    top2->SetBounds(0, 100, 10, 15);
    top2->SetAlign(TAlign::alTop);
    EXPECT_EQ(top2->Top(), 30);
    EXPECT_EQ(client->Top(), 45);
    form->Free();
}

TEST(Alignment, TheSplitterResizesItsNeighbourWithinTheMinimumSizes) {
    auto* form = TComponent::Create<TForm>(nullptr);
    form->SetClientWidth(600);
    form->SetClientHeight(200);
    auto* left = Make<TPanel>(form, form, "Panel3");
    left->SetWidth(350);
    left->SetAlign(TAlign::alLeft);
    auto* splitter = Make<TSplitter>(form, form, "Splitter1");
    splitter->SetLeft(350);
    splitter->SetMinSize(100);
    auto* right = Make<TPanel>(form, form, "right");
    right->SetAlign(TAlign::alClient);
    ASSERT_EQ(splitter->Neighbour(), left);
    EXPECT_EQ(splitter->MoveBy(-50), -50);
    EXPECT_EQ(left->Width(), 300);
    EXPECT_EQ(splitter->Left(), 300);
    EXPECT_EQ(right->Left(), 303);
    EXPECT_EQ(splitter->MoveBy(-500), -200);   // the neighbour keeps 100
    EXPECT_EQ(left->Width(), 100);
    splitter->MoveBy(1000);                     // the other side keeps 100
    EXPECT_EQ(right->Width(), 100);
    form->Free();
}

TEST(DataBinding, BoundControlsShowTheirFieldAndWriteBackWhatWasTyped) {
    auto* form = TComponent::Create<TForm>(nullptr);
    auto* data = TComponent::Create<RecordSet>(form);
    data->values = {{"TC004", "C001"}, {"TC027", "Y"}, {"TC012", "PO-7"}};
    auto* source = TComponent::Create<TDataSource>(form);
    source->SetDataSet(data);
    auto* edit = Make<TEdit>(form, form, "edCustomer");
    edit->SetDataSource(source);
    SetPropValue(edit, "DataField", "TC004");
    auto* check = Make<TCheckBox>(form, form, "chkConfirmed");
    check->SetDataField("TC027");
    check->SetDataSource(source);
    auto* other = Make<TEdit>(form, form, "edOther");
    EXPECT_EQ(edit->Text(), "C001");
    EXPECT_TRUE(check->Checked());
    data->values["TC004"] = "C002";
    source->DataChanged();
    EXPECT_EQ(edit->Text(), "C002");

    form->Show();
    edit->SetFocus();
    edit->LineEdit()->selectAll();
    edit->LineEdit()->insert("C003");   // typed by the user
    other->SetFocus();
    EXPECT_EQ(data->values["TC004"], "C003");
    check->SetChecked(false);
    EXPECT_EQ(data->values["TC027"], "N");
    // A control without a field, or with the data source switched off, writes nothing.
    source->SetEnabled(false);
    check->SetChecked(true);
    EXPECT_EQ(data->values["TC027"], "N");
    source->Free();
    EXPECT_EQ(edit->DataSource(), nullptr);
    form->Free();
}
