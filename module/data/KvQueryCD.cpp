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

void TdmKvQuery::SortBodyBy(const std::string& fieldName) {
    if (AllowColumnSort && !AllowColumnSort()) return;
    if (!cdsBody->Active()) return;
    int before = cdsBody->RecordCount();
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
    if (cdsBody->RecordCount() != before) {
        try {
            vcl::TBookmark main = cdsMain->GetBookmark(), body = cdsBody->GetBookmark();
            if (cdsMain->Active() && cdsMain->BookmarkValid(main)) cdsMain->GotoBookmark(main);
            if (cdsBody->BookmarkValid(body)) cdsBody->GotoBookmark(body);
        } catch (const std::exception& e) {
            WriteAlertLog(Brokers ? Brokers->ProgramCode : std::string(), std::string("DoubleCD-1025:") + e.what(), "D");
        }
    }
}
