// Client datasets: packets from a provider, typed fields, editing with the
// change log, indexes, applying and reconciling, nested datasets, bound
// controls and the table model shown in a real (offscreen) Qt view.
#include <gtest/gtest.h>

#include <QTableView>

#include "Connections.h"
#include "DBClient.h"
#include "DataSetModel.h"
#include "DataTestSupport.h"
#include "DateUtils.h"
#include "Db.h"

using plat::Variant;
using plat::packet::FieldDesc;
using namespace vcl;

namespace {

std::vector<FieldDesc> ItemFields() {
    FieldDesc code{"CODE", plat::packet::ftFixedChar, 6, true, true, {}};
    FieldDesc name{"NAME", plat::packet::ftWideString, 20, false, false, {}};
    FieldDesc qty{"QTY", plat::packet::ftInteger, 0, false, false, {}};
    FieldDesc price{"PRICE", plat::packet::ftFloat, 0, false, false, {}};
    return {code, name, qty, price};
}

std::vector<std::vector<Variant>> ItemRows() {
    return {{"A01   ", "螺丝", int32_t(5), 1.5},   {"B02   ", "螺母", int32_t(3), 0.25},
            {"C03   ", "垫片", int32_t(9), 12.0},  {"D04   ", "弹簧", int32_t(1), 7.75},
            {"E05   ", "轴承", int32_t(4), 120.0}};
}

class ClientDataSetTest : public testing::Test {
protected:
    void SetUp() override {
        provider = std::make_shared<datatest::MemoryProvider>(ItemFields(), ItemRows(), "INVMB");
        owner = TComponent::Create<TComponent>(nullptr);
        connection = TComponent::Create<TSocketConnection>(owner);
        connection->SetAppServer(Variant(plat::DispatchRef(provider)));
        items = TComponent::Create<TClientDataSet>(owner);
        items->SetName("cdsItems");
        items->SetProviderName("pvdMain");
        items->SetRemoteServer(connection);
    }
    void TearDown() override { owner->Free(); }

    std::vector<std::string> Column(TClientDataSet* ds, const std::string& field) {
        std::vector<std::string> out;
        for (int row = 0; row < ds->RecordCount(); ++row)
            ds->WithRecord(row, [&] { out.push_back(ds->FieldByName(field)->AsString()); });
        return out;
    }

    std::shared_ptr<datatest::MemoryProvider> provider;
    TComponent* owner = nullptr;
    TSocketConnection* connection = nullptr;
    TClientDataSet* items = nullptr;
};

}  // namespace

// ---- packets ----

TEST_F(ClientDataSetTest, packets_arrive_as_asked_and_fetch_all_continues_after_them) {
    items->PacketRecords = 2;
    items->FetchOnDemand = false;
    items->Open();
    EXPECT_EQ(items->RecordCount(), 2);
    items->Last();
    EXPECT_EQ(items->RecNo(), 2) << "without fetching on demand, Last stays in the packet";
    EXPECT_EQ(items->GetNextPacket(), 2);
    items->FetchAll();
    EXPECT_EQ(items->RecordCount(), 5);
    EXPECT_TRUE(items->AllFetched());
    EXPECT_EQ(provider->offsets, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(items->UpdateTable(), "INVMB");
    EXPECT_TRUE(items->FieldByName("CODE")->IsKey());
}

TEST_F(ClientDataSetTest, a_packet_of_0_records_brings_the_fields_and_fetching_brings_the_rest) {
    items->PacketRecords = 0;
    items->Open();
    EXPECT_EQ(items->FieldCount(), 4);
    EXPECT_EQ(items->RecordCount(), 0);
    items->FetchAll();
    EXPECT_EQ(items->RecordCount(), 5);
}

TEST_F(ClientDataSetTest, fetching_on_demand_reads_the_next_packet_when_moving_past_the_end) {
    items->PacketRecords = 2;
    items->Open();
    items->Last();
    EXPECT_EQ(items->RecordCount(), 5);
    EXPECT_EQ(items->FieldByName("CODE")->AsString(), "E05   ");
}

// ---- fields ----

TEST_F(ClientDataSetTest, typed_fields_convert_text_and_refuse_what_does_not_fit) {
    items->Open();
    EXPECT_THROW(items->FieldByName("QTY")->SetAsString("7"), EDatabaseError) << "not in edit state";
    items->Edit();
    TField* qty = items->FieldByName("QTY");
    qty->SetAsString(" 12 ");
    EXPECT_EQ(qty->AsInteger(), 12);
    EXPECT_THROW(qty->SetAsString("twelve"), EDatabaseError);
    EXPECT_THROW(qty->SetAsString("1.5"), EDatabaseError);
    EXPECT_EQ(qty->AsInteger(), 12) << "a refused value leaves the old one";
    qty->SetAsString("");
    EXPECT_TRUE(qty->IsNull());
    TField* price = items->FieldByName("PRICE");
    price->SetAsFloat(1234.5);
    price->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(price->DisplayText(), "1,234.50");
    EXPECT_EQ(price->Text(), "1234.5") << "the edit text ignores the display format";
    items->FieldByName("NAME")->SetReadOnly(true);
    EXPECT_THROW(items->FieldByName("NAME")->SetAsString("x"), EDatabaseError);
    EXPECT_THROW(items->FieldByName("NOSUCH"), EDatabaseError);
}

TEST(ClientDataSetFields, every_kind_of_field_keeps_its_own_type_of_value) {
    TClientDataSet* ds = TComponent::Create<TClientDataSet>(nullptr);
    ds->AddField<TSmallintField>("S");
    ds->AddField<TWordField>("W");
    ds->AddField<TLargeintField>("L");
    ds->AddField<TBooleanField>("B");
    ds->AddField<TDateField>("D");
    ds->AddField<TTimeField>("T");
    ds->AddField<TDateTimeField>("DT");
    ds->AddField<TCurrencyField>("C");
    ds->AddField<TMemoField>("M");
    ds->CreateDataSet();
    ds->Append();
    EXPECT_THROW(ds->FieldByName("S")->SetAsInteger(40000), EDatabaseError);
    EXPECT_THROW(ds->FieldByName("W")->SetAsInteger(-1), EDatabaseError);
    ds->FieldByName("L")->SetAsString("9007199254740993");
    ds->FieldByName("B")->SetAsString("Y");
    ds->FieldByName("D")->SetAsString("2026-03-05 10:00");
    ds->FieldByName("T")->SetAsString("10:20:30");
    ds->FieldByName("DT")->SetAsString("20260305");
    ds->FieldByName("C")->SetAsString("-3.5");
    ds->Post();
    EXPECT_EQ(ds->FieldByName("L")->AsLargeInt(), 9007199254740993LL);
    EXPECT_TRUE(ds->FieldByName("B")->AsBoolean());
    EXPECT_EQ(ds->FieldByName("D")->DisplayText(), "2026-03-05");
    EXPECT_EQ(ds->FieldByName("T")->DisplayText(), "10:20:30");
    EXPECT_EQ(ds->FieldByName("DT")->AsDateTime(), EncodeDate(2026, 3, 5));
    EXPECT_EQ(ds->FieldByName("C")->AsFloat(), -3.5);
    EXPECT_TRUE(ds->FieldByName("M")->IsBlob());
    ds->Free();
}

TEST_F(ClientDataSetTest, a_validate_handler_that_aborts_puts_the_old_value_back) {
    items->Open();
    TField* qty = items->FieldByName("QTY");
    int changes = 0;
    qty->OnValidate = TFieldNotifyEvent([](TField* f) {
        if (f->AsInteger() < 0) throw plat::EAbort();
    });
    qty->OnChange = TFieldNotifyEvent([&](TField*) { ++changes; });
    items->Edit();
    EXPECT_THROW(qty->SetAsInteger(-1), plat::EAbort);
    EXPECT_EQ(qty->AsInteger(), 5);
    qty->SetAsInteger(6);
    EXPECT_EQ(changes, 1);
}

// ---- editing and the change log ----

TEST_F(ClientDataSetTest, posted_changes_are_logged_and_undone_in_reverse) {
    items->Open();
    items->Edit();
    items->FieldByName("QTY")->SetAsInteger(50);
    items->Post();
    EXPECT_EQ(items->UpdateStatus(), TUpdateStatus::usModified);
    items->Append();
    items->FieldByName("CODE")->SetAsString("F06");
    items->Post();
    items->First();
    items->Next();
    items->Delete();
    EXPECT_EQ(items->ChangeCount(), 3);
    EXPECT_EQ(items->RecordCount(), 5);
    EXPECT_TRUE(items->UndoLastChange(true));
    EXPECT_EQ(Column(items, "CODE")[1], "B02   ") << "the deleted record is back in its place";
    items->CancelUpdates();
    EXPECT_EQ(items->ChangeCount(), 0);
    EXPECT_EQ(Column(items, "QTY"), (std::vector<std::string>{"5", "3", "9", "1", "4"}));
}

TEST_F(ClientDataSetTest, cancel_drops_the_edit_and_insert_positions_at_the_cursor) {
    items->Open();
    items->Edit();
    items->FieldByName("QTY")->SetAsInteger(99);
    items->Cancel();
    EXPECT_EQ(items->FieldByName("QTY")->AsInteger(), 5);
    EXPECT_EQ(items->ChangeCount(), 0);
    items->SetRecNo(3);
    items->Insert();
    items->FieldByName("CODE")->SetAsString("X");
    items->Post();
    EXPECT_EQ(Column(items, "CODE")[2], "X");
    EXPECT_EQ(items->RecNo(), 3);
    items->RevertRecord();
    EXPECT_EQ(items->RecordCount(), 5);
}

// ---- indexes and bookmarks ----

TEST_F(ClientDataSetTest, index_field_names_and_a_named_descending_index_order_the_records) {
    items->Open();
    items->SetIndexFieldNames("QTY");
    EXPECT_EQ(Column(items, "QTY"), (std::vector<std::string>{"1", "3", "4", "5", "9"}));
    items->AddIndex("ByPrice", "PRICE", false, "PRICE");
    items->SetIndexName("ByPrice");
    EXPECT_EQ(Column(items, "CODE").front(), "E05   ");
    EXPECT_THROW(items->SetIndexName("Nope"), EDatabaseError);
    items->SetIndexName("");
    EXPECT_EQ(Column(items, "CODE").front(), "A01   ") << "no index is arrival order";
}

TEST_F(ClientDataSetTest, a_bookmark_finds_its_record_after_the_order_changed) {
    items->Open();
    ASSERT_TRUE(items->Locate("CODE", Variant("C03   ")));
    TBookmark mark = items->GetBookmark();
    items->SetIndexFieldNames("QTY");
    items->First();
    items->GotoBookmark(mark);
    EXPECT_EQ(items->FieldByName("QTY")->AsInteger(), 9);
    EXPECT_EQ(items->RecNo(), 5);
    items->Delete();
    EXPECT_FALSE(items->BookmarkValid(mark));
    EXPECT_THROW(items->GotoBookmark(mark), EDatabaseError);
}

// ---- applying ----

TEST_F(ClientDataSetTest, applied_changes_merge_and_failed_ones_reach_the_reconcile_handler) {
    items->Open();
    items->Edit();
    items->FieldByName("QTY")->SetAsInteger(6);
    items->Post();
    items->Next();
    items->Edit();
    items->FieldByName("QTY")->SetAsInteger(30);
    items->Post();
    provider->refuse = [](const Variant& change) { return change[3][2].ToInt() == 30; };
    std::vector<std::string> seen;
    items->OnReconcileError = TReconcileErrorEvent(
        [&](TClientDataSet*, EReconcileError& e, TUpdateKind kind, TReconcileAction&) {
            seen.push_back(e.Message() + "|" + e.Context + "|" + std::to_string(static_cast<int>(kind)));
        });

    EXPECT_EQ(items->ApplyUpdates(0), 1);
    EXPECT_EQ(items->ChangeCount(), 2) << "over the limit nothing is taken as applied";
    EXPECT_EQ(datatest::ChangeSummary(provider->deltas.back(), 2), (std::vector<std::string>{"1:6", "1:30"}));

    EXPECT_EQ(items->ApplyUpdates(-1), 1);
    EXPECT_EQ(items->ChangeCount(), 1) << "the applied change merged, the failed one stays";
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.back(), "Record changed by another user|UPDATE T|1");
    EXPECT_EQ(provider->maxErrors, (std::vector<int>{0, -1}));
}

TEST_F(ClientDataSetTest, the_reconcile_handler_can_cancel_the_failed_change) {
    items->Open();
    items->Delete();
    provider->refuse = [](const Variant&) { return true; };
    items->OnReconcileError = TReconcileErrorEvent(
        [](TClientDataSet*, EReconcileError&, TUpdateKind kind, TReconcileAction& action) {
            EXPECT_EQ(kind, TUpdateKind::ukDelete);
            action = TReconcileAction::raCancel;
        });
    items->ApplyUpdates(-1);
    EXPECT_EQ(items->RecordCount(), 5);
    EXPECT_EQ(items->ChangeCount(), 0);
}

// ---- nested datasets ----

TEST(ClientDataSetNested, details_follow_their_master_and_travel_inside_its_delta) {
    TClientDataSet* orders = TComponent::Create<TClientDataSet>(nullptr);
    orders->AddField<TStringField>("NO", 11);
    auto* lines = orders->AddField<TDataSetField>("LINES");
    lines->NestedDataSet()->AddField<TStringField>("SEQ", 4);
    lines->NestedDataSet()->AddField<TIntegerField>("FLAG");
    orders->CreateDataSet();
    TClientDataSet* detail = lines->NestedDataSet();
    EXPECT_TRUE(detail->Active());
    for (const char* no : {"0001", "0002"}) {
        orders->Append();
        orders->FieldByName("NO")->SetAsString(no);
        orders->Post();
        for (int seq = 1; seq <= (no[3] == '1' ? 2 : 1); ++seq) {
            detail->Append();
            detail->FieldByName("SEQ")->SetAsString(std::to_string(seq));
            detail->Post();
        }
    }
    orders->First();
    EXPECT_EQ(detail->RecordCount(), 2);
    orders->Next();
    EXPECT_EQ(detail->RecordCount(), 1);
    Variant data = orders->Data();
    EXPECT_EQ(data[1][0][1].Array().Count(), 2) << "the packet nests the details in their master's row";

    orders->MergeChangeLog();
    orders->First();
    detail->Last();
    detail->Edit();
    detail->FieldByName("FLAG")->SetAsInteger(3);
    detail->Post();
    Variant delta = orders->Delta();
    ASSERT_TRUE(delta.IsArray());
    const Variant& change = delta[2][0];
    EXPECT_EQ(change[1].ToInt(), plat::packet::ukUnmodified);
    EXPECT_EQ(change[4][0][0].ToString(), "LINES");
    EXPECT_EQ(change[4][0][1][0][3][1].ToInt(), 3);
    EXPECT_EQ(orders->ChangeCount(), 1);
    orders->Free();
}

// ---- controls ----

TEST_F(ClientDataSetTest, bound_controls_hear_once_after_controls_are_enabled_again) {
    items->Open();
    TDataSource* source = TComponent::Create<TDataSource>(owner);
    int changes = 0;
    source->OnDataChange = TNotifyEvent([&](TObject*) { ++changes; });
    source->SetDataSet(items);
    std::string shown;
    TFieldLink link([&](const std::string& text) { shown = text; });
    link.SetDataSource(source);
    link.SetDataField("NAME");
    EXPECT_EQ(shown, "螺丝");
    changes = 0;
    items->DisableControls();
    items->Next();
    items->Next();
    EXPECT_EQ(changes, 0);
    items->EnableControls();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(shown, "垫片");
    EXPECT_TRUE(link.Store("新名"));
    EXPECT_EQ(items->State(), TDataSetState::dsEdit) << "a control's edit puts the dataset into edit state";
    items->Post();
    EXPECT_EQ(items->FieldByName("NAME")->AsString(), "新名");
}

TEST_F(ClientDataSetTest, a_table_view_shows_the_dataset_through_the_model_and_follows_its_changes) {
    items->Open();
    items->FieldByName("PRICE")->SetVisible(false);
    items->FieldByName("NAME")->SetDisplayLabel("品名");
    items->FieldByName("QTY")->OnGetText = TFieldGetTextEvent([](TField* f, std::string& text, bool) {
        text = f->AsString() + " pcs";
    });
    TDataSetTableModel model(items);
    QTableView view;
    view.setModel(&model);
    view.resize(400, 200);
    view.show();
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("品名"));
    EXPECT_EQ(model.index(2, 2).data().toString(), QString("9 pcs"));
    EXPECT_EQ(items->RecNo(), 1) << "painting rows does not move the cursor";
    items->Append();
    items->FieldByName("CODE")->SetAsString("Z99");
    items->Post();
    EXPECT_EQ(view.model()->rowCount(), 6);
    EXPECT_EQ(model.index(5, 0).data().toString(), QString("Z99"));
    items->Close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}
