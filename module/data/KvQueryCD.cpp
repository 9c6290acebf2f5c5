// The query server connection and the body dataset of query programs.
#include "KvQueryCD.h"

#include "Brokers.h"
#include "ClassRegistry.h"
#include "Dispatch.h"
#include "StrUtils.h"

using vcl::TClientDataSet;
using vcl::TFieldType;

const vcl::TClassInfo& TdmKvQuery::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmKvQuery>("TdmKvQuery", TdmSingle::StaticClass());
    return info;
}

TdmKvQuery::TdmKvQuery(vcl::TComponent* owner) : TdmSingle(owner) {
    MIDAS1 = TComponent::Create<vcl::TSocketConnection>(this);
    MIDAS1->SetName("MIDAS1");
    MIDAS1->ServerName = "KvQueryS.Class1";
    cdsBody = TComponent::Create<TClientDataSet>(this);
    cdsBody->SetName("cdsBody");
    cdsBody->SetProviderName("pvdQuery");
    cdsBody->SetRemoteServer(MIDAS1);
    dsBody = TComponent::Create<vcl::TDataSource>(this);
    dsBody->SetName("dsBody");
    dsBody->SetDataSet(cdsBody);
    // Losing the main connection ends the query session too.
    MIDAS->AfterDisconnect = vcl::TNotifyEvent(
        [this](vcl::TObject*) {
            cdsBody->Close();
            MIDAS1->Close();
            QueryServer = plat::Variant();
        },
        this);
}

bool TdmKvQuery::ConnectServer() {
    if (!TdmSingle::ConnectServer()) return false;
    try {
        plat::CallMethod(AppServer, "QueryOnly");
    } catch (const std::exception& e) {
        WriteAlertLog("KvQueryCD-49", std::string("QueryOnly: ") + e.what(), "D");
    }
    return true;
}

bool TdmKvQuery::OpenData() {
    bool open = TdmSingle::OpenData();
    if (open) ConnectQueryServer();
    return open;
}

void TdmKvQuery::ConnectQueryServer() {
    if (MIDAS->Address == "127.0.0.1") {
        plat::Variant server = plat::CreateOleObject("KvQueryS.Class1");
        MIDAS1->SetAppServer(server);
        QueryServer = server;
        return;
    }
    cdsBody->SetRemoteServer(MIDAS1);
    MIDAS1->Address = MIDAS->Address;
    MIDAS1->Port = MIDAS->Port;
    MIDAS1->ServerName = "KvQueryS.Class1";
    MIDAS1->Open();
    QueryServer = MIDAS1->AppServer();
}

void TdmKvQuery::cdsMainAfterScroll(TClientDataSet* dataSet) {
    TdmSingle::cdsMainAfterScroll(dataSet);
    if (cdsBody->Active()) cdsBody->EmptyDataSet();
}

// A sort orders the whole result: the packets not fetched yet are fetched
// first, which changes the number of records and so puts both datasets back
// on the records they were on before the sort.
void TdmKvQuery::SortBodyBy(const std::string& fieldName) {
    if (!AllowColumnSort || !AllowColumnSort()) return;
    if (!cdsBody->Active()) return;
    const int before = cdsBody->RecordCount();
    const vcl::TBookmark mainMark = cdsMain->GetBookmark(), bodyMark = cdsBody->GetBookmark();
    const int mainRecNo = cdsMain->Active() ? cdsMain->RecNo() : 0;
    vcl::TField* field = plat::Trim(fieldName).empty() ? nullptr : cdsBody->FindField(fieldName);
    if (!field) {
        if (!sortField_.empty()) {
            cdsBody->SetIndexName("");
            cdsBody->SetIndexFieldNames("");
            sortField_.clear();
            sortDescending_ = false;
        }
    } else {
        TFieldType t = field->DataType();
        bool sortable = t != TFieldType::ftDataSet && t != TFieldType::ftBlob && t != TFieldType::ftMemo &&
                        t != TFieldType::ftBytes && t != TFieldType::ftUnknown;
        if (!sortable || (WindowEditing && WindowEditing())) return;
        cdsBody->FetchAll();
        const std::string& name = field->FieldName();
        if (plat::UpperCase(name) != plat::UpperCase(sortField_)) {
            cdsBody->SetIndexFieldNames(name);
            sortDescending_ = false;
        } else if (!sortDescending_) {
            if (!cdsBody->FindIndex(name)) cdsBody->AddIndex(name, name, false, name);
            cdsBody->SetIndexName(name);
            sortDescending_ = true;
        } else {
            cdsBody->SetIndexFieldNames(name);
            sortDescending_ = false;
        }
        sortField_ = name;
    }
    if (cdsBody->RecordCount() != before) Reposition(mainMark, mainRecNo, bodyMark);
}

// The main dataset is moved only when it left its record: a scroll there
// would empty the body just sorted. A failure is logged, not raised: the
// sort itself has been done.
void TdmKvQuery::Reposition(const vcl::TBookmark& mainMark, int mainRecNo, const vcl::TBookmark& bodyMark) {
    try {
        if (cdsMain->Active() && cdsMain->RecNo() != mainRecNo && cdsMain->BookmarkValid(mainMark))
            cdsMain->GotoBookmark(mainMark);
        if (cdsBody->BookmarkValid(bodyMark)) cdsBody->GotoBookmark(bodyMark);
    } catch (const std::exception& e) {
        WriteAlertLog(Brokers ? Brokers->ProgramCode : std::string(), std::string("DoubleCD-1025:") + e.what(), "D");
    }
}

void TdmKvQuery::RefreshAfterQuery() {
    for (vcl::TComponent* c : ComponentList())
        if (auto* source = dynamic_cast<vcl::TDataSource*>(c)) source->DataChanged();
}
