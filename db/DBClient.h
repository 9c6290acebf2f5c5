// TClientDataSet: an in-memory table with a cursor, the runtime's client
// dataset. It holds records fetched from a provider of an application
// server (or created locally), lets the program browse, edit, insert and
// delete them, keeps every change in a change log until the changes are
// applied back through the provider or undone, and tells the controls bound
// to it (data sources, table models) when anything changes.
//
// Records: a list in arrival order; the cursor moves over the order of the
// current index (IndexFieldNames, or a named index of IndexDefs, or arrival
// order). RecNo counts from 1 in that order. Edits and inserts work on a
// copy of the record that Post writes back and Cancel drops.
//
// Nested datasets: a dataset field's nested dataset shows the detail records
// of its master's active record; its changes belong to the master's change
// log and travel inside the master's delta.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Db.h"
#include "Fields.h"
#include "Variant.h"

namespace vcl {

class TCustomRemoteServer;
struct TRecordData;
struct TRecordList;
using TRecordRef = std::shared_ptr<TRecordData>;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum class TUpdateKind { ukModify = plat::packet::ukModify, ukInsert = plat::packet::ukInsert, ukDelete = plat::packet::ukDelete };
enum class TReconcileAction { raSkip, raAbort, raMerge, raCorrect, raCancel, raRefresh };
enum class TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted };

// What a bound observer hears about.
enum class TDataEvent { deLayoutChange, deDataSetChange, deRecordChange, deFieldChange, deScroll, deStateChange, deDestroying };

// One error a provider reported for one change.
class EReconcileError : public EDatabaseError {
public:
    EReconcileError(const std::string& message, std::string context, int errorCode, int previousError)
        : EDatabaseError(message), Context(std::move(context)), ErrorCode(errorCode), PreviousError(previousError) {}
    std::string Context;
    int ErrorCode;
    int PreviousError;
};

// A remembered position; valid while its record exists.
struct TBookmark {
    std::weak_ptr<TRecordData> Record;
    bool IsNull() const { return Record.expired(); }
};

// A named index: fields separated by ";", those of DescFields sorted
// descending (all of them when Descending is set).
struct TIndexDef {
    std::string Name;
    std::string Fields;
    bool Descending = false;
    std::string DescFields;
    bool CaseInsensitive = false;
};

using TDataSetNotifyEvent = TEvent<TClientDataSet*>;
using TReconcileErrorEvent = TEvent<TClientDataSet*, EReconcileError&, TUpdateKind, TReconcileAction&>;

class TClientDataSet : public TComponent, public IFieldAccess {
    VCL_DECLARE_CLASS(TClientDataSet)
public:
    explicit TClientDataSet(TComponent* owner);
    ~TClientDataSet() override;

    // ---- fields ----
    // Persistent fields are added before opening and kept across Close;
    // without them, opening creates one field per column of the data.
    template <class F>
    F* AddField(const std::string& name, int size = 0) {
        F* field = new F(this);
        AttachField(field, name, size);
        return field;
    }
    TField* AddField(TFieldType type, const std::string& name, int size = 0);
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const { return fields_.at(static_cast<size_t>(index)); }
    const std::vector<TField*>& FieldList() const { return fields_; }
    // Compared without case; nullptr (FindField) or EDatabaseError (FieldByName).
    TField* FindField(const std::string& name) const;
    TField* FieldByName(const std::string& name) const;
    // The master field when this is a nested dataset, else nullptr.
    TDataSetField* DataSetField() const { return masterField_; }

    // ---- open and close ----
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    // Opens: a nested dataset from its master, a dataset with a provider by
    // fetching its first packet, any other from the data it holds (or, with
    // only persistent fields, empty as CreateDataSet).
    void Open();
    void Close();
    // Opens an empty dataset with the persistent fields.
    void CreateDataSet();
    // Removes every record without logging changes (the dataset stays open).
    void EmptyDataSet();
    TDataSetState State() const { return state_; }

    // ---- cursor ----
    int RecordCount() const;
    int RecNo() const;                    // 1-based; 0 when there is no record
    void SetRecNo(int recNo);
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return RecordCount() == 0; }
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    // First record whose fields (";"-separated) equal the values (one value,
    // or an array with one per field); false leaves the cursor.
    bool Locate(const std::string& fields, const plat::Variant& values);

    TBookmark GetBookmark() const;
    bool BookmarkValid(const TBookmark& bookmark) const;
    // Moves to the bookmarked record; EDatabaseError when it no longer exists.
    void GotoBookmark(const TBookmark& bookmark);

    // ---- editing ----
    void Edit();
    void Insert();                        // a new record, positioned at the cursor
    void Append();                        // a new record, positioned at the end
    void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();               // posts a pending edit or insert
    bool Modified() const { return modified_; }

    // ---- change log ----
    int ChangeCount() const;
    bool UndoLastChange(bool followChange);
    void CancelUpdates();                 // undoes every pending change
    void RevertRecord();                  // undoes the pending changes of the active record
    void MergeChangeLog();                // takes the pending changes as the fetched state
    TUpdateStatus UpdateStatus() const;
    bool LogChanges = true;

    // ---- provider ----
    const std::string& ProviderName() const { return providerName_; }
    void SetProviderName(const std::string& name) { providerName_ = name; }
    TCustomRemoteServer* RemoteServer() const { return remoteServer_; }
    void SetRemoteServer(TCustomRemoteServer* server);
    // The statement the provider runs instead of its own (empty: the provider's).
    std::string CommandText;
    // Name=value parameters sent with every provider call.
    plat::TStringList Params;
    // Records per packet; -1 fetches everything at once.
    int PacketRecords = -1;
    bool FetchOnDemand = true;
    // Fetches the next packet; answers the number of records it brought.
    int GetNextPacket();
    void FetchAll();
    bool AllFetched() const { return allFetched_; }
    // Sends the change log to the provider. Up to `maxErrors` failed changes
    // (-1: any number) let the others be kept; more roll everything back. Each
    // reported error goes through OnReconcileError. Answers the error count.
    int ApplyUpdates(int maxErrors);
    // The whole content as a data packet, and loading one (which opens).
    plat::Variant Data() const;
    void SetData(const plat::Variant& packet);
    // The change log as a delta packet (Empty when there are no changes).
    plat::Variant Delta() const;
    // The table the provider said the rows come from.
    const std::string& UpdateTable() const { return updateTable_; }

    // ---- indexes ----
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);
    const std::string& IndexName() const { return indexName_; }
    // Switches to a named index of IndexDefs; "" to arrival order. EDatabaseError for an unknown name.
    void SetIndexName(const std::string& name);
    void AddIndex(const std::string& name, const std::string& fields, bool descending = false,
                  const std::string& descFields = {});
    const TIndexDef* FindIndex(const std::string& name) const;
    std::vector<TIndexDef> IndexDefs;

    // ---- controls ----
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }
    // Lets a viewer (table model, grid) hear every change; the key removes it.
    void AddObserver(const void* key, std::function<void(TDataEvent)> observer);
    void RemoveObserver(const void* key);
    // Runs `fn` with record `row` (0-based, index order) as the active record,
    // without moving the cursor or firing events; for viewers painting rows.
    void WithRecord(int row, const std::function<void()>& fn) const;

    // ---- IFieldAccess (data-aware controls) ----
    std::string FieldText(const std::string& field) const override;
    bool SetFieldText(const std::string& field, const std::string& text) override;
    void SourceAttached(TDataSource* source) override;
    void SourceDetached(TDataSource* source) override;

    // ---- events ----
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;
    TReconcileErrorEvent OnReconcileError;

    // ---- used by fields ----
    plat::Variant GetFieldValue(const TField* field) const;
    void SetFieldValue(TField* field, const plat::Variant& value);
    void FieldLayoutChanged() { Notify(TDataEvent::deLayoutChange); }

private:
    friend class TDataSetField;
    friend class TField;
    struct LogEntry;

    void AttachField(TField* field, const std::string& name, int size);
    void DetachField(TField* field);
    void BindFields(const std::vector<plat::packet::FieldDesc>& columns);
    void DropDefaultFields();
    TClientDataSet* Root();
    const TClientDataSet* Root() const;
    std::shared_ptr<TRecordList> CurrentList() const;
    void OpenOnList();
    void MasterScrolled();
    void RebuildView();
    void SetCursor(int position, bool events);
    TRecordData* ActiveRecord() const;
    std::vector<plat::Variant>* ActiveValues() const;
    bool Less(const TRecordData& a, const TRecordData& b) const;
    void Notify(TDataEvent event);
    void CheckActive() const;
    void CheckBrowseModeIfActive();
    void LoadPacket(const plat::Variant& packet);
    void FetchFirstPacket();
    void SetState(TDataSetState state);
    TRecordRef NewRecordData() const;
    void LogChange(int kind, const std::shared_ptr<TRecordList>& list, const TRecordRef& record,
                   std::shared_ptr<TRecordData> before, int position);
    void UndoEntry(const LogEntry& entry);
    void ResyncTree();
    void NotifyNested();
    void ComputeSortKeys();
    int SlotOf(const TField* field) const;
    void LoadRows(const std::shared_ptr<TRecordList>& list, const plat::Variant& rows,
                  const std::vector<plat::packet::FieldDesc>& columns, const std::vector<TField*>& fields);
    plat::Variant RowsOf(const TRecordList& list, bool withDeleted) const;
    void CollectDelta(const TRecordList& list, std::vector<plat::Variant>& changes,
                      std::vector<std::pair<std::shared_ptr<TRecordList>, TRecordRef>>& ids,
                      const std::shared_ptr<TRecordList>& owner) const;
    void MergeRecord(const std::shared_ptr<TRecordList>& list, const TRecordRef& record);
    plat::Variant CallProvider(int count, bool withMetadata);

    std::vector<TField*> fields_;
    std::vector<TField*> defaultFields_;          // created by Open, dropped by Close
    TDataSetField* masterField_ = nullptr;
    std::shared_ptr<TRecordList> rows_;          // top-level records (nested: master's current list)
    std::vector<TRecordRef> view_;               // live records in index order
    int pos_ = -1;                               // cursor in view_
    TRecordRef current_;
    mutable const TRecordData* override_ = nullptr;   // WithRecord
    std::shared_ptr<TRecordData> editRecord_;    // the copy being edited, or the record being inserted
    TDataSetState state_ = TDataSetState::dsInactive;
    bool bof_ = true, eof_ = true;
    bool modified_ = false;
    bool insertAtEnd_ = false;
    std::vector<LogEntry> log_;                  // root only
    uint64_t nextSeq_ = 1;
    std::string providerName_;
    TCustomRemoteServer* remoteServer_ = nullptr;
    bool allFetched_ = true;
    int fetched_ = 0;
    std::vector<plat::packet::FieldDesc> columns_;
    std::string updateTable_;
    plat::Variant pendingData_;
    std::string indexFieldNames_, indexName_;
    int disableCount_ = 0;
    bool changedWhileDisabled_ = false;
    std::vector<TDataSource*> sources_;
    std::vector<std::pair<const void*, std::function<void(TDataEvent)>>> observers_;
    struct SortKey {
        int slot;
        bool descending;
        bool caseInsensitive;
    };
    std::vector<SortKey> sortKeys_;
    bool layoutPending_ = false;
    bool openingFields_ = false;
};

using TDataSet = TClientDataSet;

}  // namespace vcl
