// The client dataset's records, cursor, states, indexes, change log and
// notifications. Talking to providers (packets, deltas, reconciling) is in
// DBClientProvider.cpp.
#include "DBClient.h"

#include <algorithm>
#include <set>

#include "Connections.h"
#include "DBClientPrivate.h"
#include "StrUtils.h"

namespace vcl {

using plat::Variant;

const TClassInfo& TClientDataSet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TClientDataSet>("TClientDataSet", TComponent::StaticClass());
        TPropBuilder<TClientDataSet>(c)
            .Bool("Active", &TClientDataSet::Active, &TClientDataSet::SetActive)
            .Str("ProviderName", &TClientDataSet::ProviderName, &TClientDataSet::SetProviderName)
            .Str("IndexFieldNames", &TClientDataSet::IndexFieldNames, &TClientDataSet::SetIndexFieldNames)
            .Str("IndexName", &TClientDataSet::IndexName, &TClientDataSet::SetIndexName)
            .Int("PacketRecords", [](const TClientDataSet& d) { return d.PacketRecords; },
                 [](TClientDataSet& d, int v) { d.PacketRecords = v; })
            .Bool("FetchOnDemand", [](const TClientDataSet& d) { return d.FetchOnDemand; },
                  [](TClientDataSet& d, bool v) { d.FetchOnDemand = v; })
            .Obj<TCustomRemoteServer>("RemoteServer", &TClientDataSet::RemoteServer, &TClientDataSet::SetRemoteServer)
            .Event("BeforeOpen").Event("AfterOpen").Event("BeforeClose").Event("AfterClose")
            .Event("BeforeInsert").Event("AfterInsert").Event("BeforeEdit").Event("AfterEdit")
            .Event("BeforePost").Event("AfterPost").Event("BeforeCancel").Event("AfterCancel")
            .Event("BeforeDelete").Event("AfterDelete").Event("BeforeScroll").Event("AfterScroll")
            .Event("OnNewRecord").Event("OnReconcileError");
        return c;
    }();
    return info;
}

TClientDataSet::TClientDataSet(TComponent* owner) : TComponent(owner), rows_(std::make_shared<TRecordList>()) {}

TClientDataSet::~TClientDataSet() {
    std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources) s->SetDataSet(nullptr);
    auto observers = observers_;
    for (auto& o : observers) o.second(TDataEvent::deDestroying);
    observers_.clear();
    // Fields are owned components, freed after this body: let them go quietly.
    for (TField* f : fields_) f->dataSet_ = nullptr;
    fields_.clear();
    defaultFields_.clear();
}

// ---- fields ----

void TClientDataSet::AttachField(TField* field, const std::string& name, int size) {
    if (Active() && std::find(defaultFields_.begin(), defaultFields_.end(), field) == defaultFields_.end() &&
        !openingFields_) {
        delete field;
        throw EDatabaseError("Cannot add field '" + name + "' to an open dataset");
    }
    field->fieldName_ = name;
    field->size_ = size;
    field->dataSet_ = this;
    fields_.push_back(field);
}

TField* TClientDataSet::AddField(TFieldType type, const std::string& name, int size) {
    TField* field = CreateField(this, type);
    AttachField(field, name, size);
    return field;
}

void TClientDataSet::DetachField(TField* field) {
    fields_.erase(std::remove(fields_.begin(), fields_.end(), field), fields_.end());
    defaultFields_.erase(std::remove(defaultFields_.begin(), defaultFields_.end(), field), defaultFields_.end());
}

TField* TClientDataSet::FindField(const std::string& name) const {
    std::string upper = plat::UpperCase(plat::Trim(name));
    for (TField* f : fields_)
        if (plat::UpperCase(f->FieldName()) == upper) return f;
    return nullptr;
}

TField* TClientDataSet::FieldByName(const std::string& name) const {
    TField* f = FindField(name);
    if (!f) throw EDatabaseError((Name().empty() ? std::string() : Name() + ": ") + "Field '" + name + "' not found");
    return f;
}

int TClientDataSet::SlotOf(const TField* field) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i] == field) return static_cast<int>(i);
    throw EDatabaseError("Field '" + field->FieldName() + "' does not belong to this dataset");
}

void TClientDataSet::BindFields(const std::vector<plat::packet::FieldDesc>& columns) {
    columns_ = columns;
    bool persistent = !fields_.empty();
    if (!persistent) {
        openingFields_ = true;
        for (const auto& c : columns) {
            TField* f = CreateField(this, static_cast<TFieldType>(c.Type));
            defaultFields_.push_back(f);
            AttachField(f, c.Name, c.Size);
            f->SetRequired(c.Required);
            f->SetKey(c.Key);
        }
        openingFields_ = false;
    } else {
        for (const auto& c : columns)
            if (TField* f = FindField(c.Name)) {
                if (c.Key) f->SetKey(true);
                if (f->Size() == 0) f->SetSize(c.Size);
            }
    }
    for (const auto& c : columns)
        if (auto* df = dynamic_cast<TDataSetField*>(FindField(c.Name)))
            if (df->NestedDataSet()->fields_.empty() || !df->NestedDataSet()->defaultFields_.empty()) {
                df->NestedDataSet()->DropDefaultFields();
                df->NestedDataSet()->BindFields(c.Nested);
            }
    ComputeSortKeys();
}

void TClientDataSet::DropDefaultFields() {
    std::vector<TField*> drop = defaultFields_;
    defaultFields_.clear();
    for (TField* f : drop) {
        DetachField(f);
        f->dataSet_ = nullptr;
        f->Free();
    }
}

// ---- records ----

TRecordRef TClientDataSet::NewRecordData() const {
    auto r = std::make_shared<TRecordData>();
    r->values.assign(fields_.size(), Variant::Null());
    r->nested.resize(fields_.size());
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->DataType() == TFieldType::ftDataSet) r->nested[i] = std::make_shared<TRecordList>();
    r->original = r->values;
    return r;
}

TClientDataSet* TClientDataSet::Root() { return masterField_ && masterField_->DataSet() ? masterField_->DataSet()->Root() : this; }
const TClientDataSet* TClientDataSet::Root() const {
    return masterField_ && masterField_->DataSet() ? masterField_->DataSet()->Root() : this;
}

std::shared_ptr<TRecordList> TClientDataSet::CurrentList() const {
    if (!masterField_) return rows_;
    TClientDataSet* master = masterField_->DataSet();
    if (!master || !master->Active()) return nullptr;
    TRecordData* rec = master->ActiveRecord();
    if (!rec) return nullptr;
    int slot = master->SlotOf(masterField_);
    if (static_cast<size_t>(slot) >= rec->nested.size()) return nullptr;
    if (!rec->nested[static_cast<size_t>(slot)]) rec->nested[static_cast<size_t>(slot)] = std::make_shared<TRecordList>();
    return rec->nested[static_cast<size_t>(slot)];
}

TRecordData* TClientDataSet::ActiveRecord() const {
    if (override_) return const_cast<TRecordData*>(override_);
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return editRecord_.get();
    return current_.get();
}

std::vector<Variant>* TClientDataSet::ActiveValues() const {
    TRecordData* r = ActiveRecord();
    return r ? &r->values : nullptr;
}

Variant TClientDataSet::GetFieldValue(const TField* field) const {
    if (!Active()) return Variant::Null();
    std::vector<Variant>* values = ActiveValues();
    if (!values) return Variant::Null();
    size_t slot = static_cast<size_t>(SlotOf(field));
    return slot < values->size() ? (*values)[slot] : Variant::Null();
}

void TClientDataSet::SetFieldValue(TField* field, const Variant& value) {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert)
        throw EDatabaseError((Name().empty() ? std::string() : Name() + ": ") + "Dataset not in edit or insert mode");
    if (field->ReadOnly()) throw EDatabaseError("Field '" + field->FieldName() + "' cannot be modified");
    if (field->DataType() == TFieldType::ftDataSet)
        throw EDatabaseError("Field '" + field->FieldName() + "' holds a dataset, not a value");
    std::vector<Variant>& values = editRecord_->values;
    size_t slot = static_cast<size_t>(SlotOf(field));
    Variant old = values[slot];
    values[slot] = value;
    if (field->OnValidate) {
        try {
            field->OnValidate(field);
        } catch (...) {
            values[slot] = old;
            throw;
        }
    }
    modified_ = true;
    field->OnChange(field);
    Notify(TDataEvent::deFieldChange);
}

// ---- open and close ----

void TClientDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError((Name().empty() ? std::string("Dataset") : Name()) + ": Cannot perform this operation on a closed dataset");
}

void TClientDataSet::SetState(TDataSetState state) {
    if (state_ == state) return;
    state_ = state;
    Notify(TDataEvent::deStateChange);
}

void TClientDataSet::Open() {
    if (Active()) return;
    BeforeOpen(this);
    if (masterField_) {
        TClientDataSet* master = masterField_->DataSet();
        if (!master || !master->Active()) throw EDatabaseError("Cannot open a nested dataset while its master is closed");
        if (fields_.empty()) BindFields(columns_);
        else ComputeSortKeys();
        OpenOnList();
    } else if (!pendingData_.IsEmpty()) {
        Variant packet = pendingData_;
        pendingData_ = Variant();
        LoadPacket(packet);
    } else if (!providerName_.empty()) {
        FetchFirstPacket();
    } else if (!fields_.empty()) {
        rows_ = std::make_shared<TRecordList>();
        ComputeSortKeys();
        allFetched_ = true;
    } else {
        throw EDatabaseError((Name().empty() ? std::string("Dataset") : Name()) + ": Missing data provider or data packet");
    }
    state_ = TDataSetState::dsBrowse;
    RebuildView();
    pos_ = -1;
    current_.reset();
    if (!view_.empty()) {
        pos_ = 0;
        current_ = view_[0];
    }
    bof_ = true;
    eof_ = view_.empty();
    for (TField* f : fields_)
        if (auto* df = dynamic_cast<TDataSetField*>(f)) df->NestedDataSet()->Open();
    Notify(TDataEvent::deLayoutChange);
    AfterOpen(this);
}

void TClientDataSet::OpenOnList() {
    rows_ = CurrentList();
    if (!rows_) rows_ = std::make_shared<TRecordList>();
}

void TClientDataSet::CreateDataSet() {
    if (Active()) Close();
    if (fields_.empty()) throw EDatabaseError((Name().empty() ? std::string("Dataset") : Name()) + ": Missing field definitions");
    if (masterField_) return Open();
    rows_ = std::make_shared<TRecordList>();
    Root()->log_.clear();
    std::string provider = providerName_;
    providerName_.clear();
    try {
        Open();
    } catch (...) {
        providerName_ = provider;
        throw;
    }
    providerName_ = provider;
}

void TClientDataSet::Close() {
    if (!Active()) return;
    BeforeClose(this);
    for (TField* f : fields_)
        if (auto* df = dynamic_cast<TDataSetField*>(f)) df->NestedDataSet()->Close();
    editRecord_.reset();
    state_ = TDataSetState::dsInactive;
    view_.clear();
    current_.reset();
    pos_ = -1;
    bof_ = eof_ = true;
    modified_ = false;
    if (!masterField_) {
        rows_ = std::make_shared<TRecordList>();
        log_.clear();
        fetched_ = 0;
        allFetched_ = true;
    }
    DropDefaultFields();
    Notify(TDataEvent::deLayoutChange);
    AfterClose(this);
}

void TClientDataSet::EmptyDataSet() {
    CheckActive();
    if (state_ != TDataSetState::dsBrowse) Cancel();
    rows_->live.clear();
    rows_->deleted.clear();
    if (!masterField_) log_.clear();
    RebuildView();
    SetCursor(view_.empty() ? -1 : 0, false);
    Notify(TDataEvent::deDataSetChange);
}

// ---- index order ----

void TClientDataSet::ComputeSortKeys() {
    sortKeys_.clear();
    std::string names = indexFieldNames_;
    std::set<std::string> descending;
    bool allDescending = false, caseInsensitive = false;
    if (!indexName_.empty()) {
        const TIndexDef* def = FindIndex(indexName_);
        if (!def) throw EDatabaseError("Index '" + indexName_ + "' not found");
        names = def->Fields;
        allDescending = def->Descending;
        caseInsensitive = def->CaseInsensitive;
        for (int i = 1;; ++i) {
            std::string d = plat::UpperCase(plat::Trim(plat::GetToken(def->DescFields, ";", i)));
            if (plat::GetToken(def->DescFields, ";", i).empty() && i > 1) break;
            if (!d.empty()) descending.insert(d);
            if (def->DescFields.empty()) break;
        }
    }
    if (fields_.empty()) return;
    for (int i = 1;; ++i) {
        std::string piece = plat::GetToken(names, ";", i);
        if (piece.empty()) break;
        std::string name = plat::Trim(piece);
        if (name.empty()) continue;
        TField* f = FieldByName(name);
        sortKeys_.push_back({SlotOf(f), allDescending || descending.count(plat::UpperCase(name)) > 0, caseInsensitive});
    }
}

int CompareValues(const Variant& a, const Variant& b, bool caseInsensitive) {
    bool an = a.IsEmptyOrNull(), bn = b.IsEmptyOrNull();
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    bool anum = a.IsNumeric() || a.Type() == plat::VarType::Date;
    bool bnum = b.IsNumeric() || b.Type() == plat::VarType::Date;
    if (anum && bnum) {
        double x = a.ToDouble(), y = b.ToDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    std::string x, y;
    try { x = a.ToString(); y = b.ToString(); } catch (const plat::Exception&) { return 0; }
    if (caseInsensitive) { x = plat::UpperCase(x); y = plat::UpperCase(y); }
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool TClientDataSet::Less(const TRecordData& a, const TRecordData& b) const {
    for (const SortKey& k : sortKeys_) {
        size_t s = static_cast<size_t>(k.slot);
        int c = CompareValues(s < a.values.size() ? a.values[s] : Variant(), s < b.values.size() ? b.values[s] : Variant(),
                              k.caseInsensitive);
        if (c != 0) return k.descending ? c > 0 : c < 0;
    }
    return false;
}

void TClientDataSet::RebuildView() {
    view_ = rows_ ? rows_->live : std::vector<TRecordRef>();
    if (!sortKeys_.empty())
        std::stable_sort(view_.begin(), view_.end(), [this](const TRecordRef& a, const TRecordRef& b) { return Less(*a, *b); });
    if (current_) {
        auto it = std::find(view_.begin(), view_.end(), current_);
        if (it != view_.end()) pos_ = static_cast<int>(it - view_.begin());
        else {
            pos_ = std::min(pos_, static_cast<int>(view_.size()) - 1);
            current_ = pos_ >= 0 ? view_[static_cast<size_t>(pos_)] : nullptr;
        }
    } else {
        pos_ = view_.empty() ? -1 : std::clamp(pos_, 0, static_cast<int>(view_.size()) - 1);
        current_ = pos_ >= 0 ? view_[static_cast<size_t>(pos_)] : nullptr;
    }
}

void TClientDataSet::SetIndexFieldNames(const std::string& names) {
    CheckBrowseModeIfActive();
    indexFieldNames_ = names;
    indexName_.clear();
    ComputeSortKeys();
    if (Active()) {
        RebuildView();
        Notify(TDataEvent::deDataSetChange);
    }
}

void TClientDataSet::SetIndexName(const std::string& name) {
    if (!name.empty() && !FindIndex(name)) throw EDatabaseError("Index '" + name + "' not found");
    CheckBrowseModeIfActive();
    indexName_ = name;
    indexFieldNames_.clear();
    ComputeSortKeys();
    if (Active()) {
        RebuildView();
        Notify(TDataEvent::deDataSetChange);
    }
}

void TClientDataSet::AddIndex(const std::string& name, const std::string& fields, bool descending,
                              const std::string& descFields) {
    for (TIndexDef& d : IndexDefs)
        if (plat::UpperCase(d.Name) == plat::UpperCase(name)) {
            d = {name, fields, descending, descFields};
            return;
        }
    IndexDefs.push_back({name, fields, descending, descFields});
}

const TIndexDef* TClientDataSet::FindIndex(const std::string& name) const {
    for (const TIndexDef& d : IndexDefs)
        if (plat::UpperCase(d.Name) == plat::UpperCase(name)) return &d;
    return nullptr;
}

// ---- cursor ----

int TClientDataSet::RecordCount() const { return Active() ? static_cast<int>(view_.size()) : 0; }

int TClientDataSet::RecNo() const {
    if (!Active() || state_ == TDataSetState::dsInsert || pos_ < 0) return 0;
    return pos_ + 1;
}

void TClientDataSet::SetCursor(int position, bool events) {
    if (events) BeforeScroll(this);
    pos_ = view_.empty() ? -1 : std::clamp(position, 0, static_cast<int>(view_.size()) - 1);
    current_ = pos_ >= 0 ? view_[static_cast<size_t>(pos_)] : nullptr;
    NotifyNested();
    Notify(TDataEvent::deScroll);
    if (events) AfterScroll(this);
}

void TClientDataSet::NotifyNested() {
    for (TField* f : fields_)
        if (auto* df = dynamic_cast<TDataSetField*>(f))
            if (df->NestedDataSet()->Active()) df->NestedDataSet()->MasterScrolled();
}

void TClientDataSet::MasterScrolled() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        editRecord_.reset();
        state_ = TDataSetState::dsBrowse;
    }
    OpenOnList();
    current_.reset();
    pos_ = 0;
    RebuildView();
    bof_ = true;
    eof_ = view_.empty();
    NotifyNested();
    Notify(TDataEvent::deDataSetChange);
}

void TClientDataSet::CheckBrowseModeIfActive() {
    if (Active()) CheckBrowseMode();
}

void TClientDataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        if (modified_ || state_ == TDataSetState::dsInsert) Post();
        else Cancel();
    }
}

void TClientDataSet::First() {
    CheckBrowseMode();
    SetCursor(0, true);
    bof_ = true;
    eof_ = view_.empty();
}

void TClientDataSet::Last() {
    CheckBrowseMode();
    if (FetchOnDemand && !allFetched_) FetchAll();
    SetCursor(static_cast<int>(view_.size()) - 1, true);
    eof_ = true;
    bof_ = view_.empty();
}

void TClientDataSet::Next() { MoveBy(1); }
void TClientDataSet::Prior() { MoveBy(-1); }

int TClientDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    if (distance == 0 || view_.empty()) {
        if (view_.empty()) bof_ = eof_ = true;
        return 0;
    }
    int target = pos_ + distance;
    if (distance > 0 && target >= static_cast<int>(view_.size()) && FetchOnDemand && !allFetched_) {
        while (!allFetched_ && target >= static_cast<int>(view_.size())) GetNextPacket();
    }
    int last = static_cast<int>(view_.size()) - 1;
    int clamped = std::clamp(target, 0, last);
    int moved = clamped - pos_;
    if (moved != 0) SetCursor(clamped, true);
    bof_ = distance < 0 && target < 0;
    eof_ = distance > 0 && target > last;
    if (moved != 0) {
        if (distance > 0) bof_ = false;
        if (distance < 0) eof_ = false;
    }
    return moved;
}

void TClientDataSet::SetRecNo(int recNo) {
    CheckBrowseMode();
    if (recNo < 1 || recNo > static_cast<int>(view_.size())) return;
    SetCursor(recNo - 1, true);
    bof_ = eof_ = false;
}

bool TClientDataSet::Locate(const std::string& fields, const Variant& values) {
    CheckBrowseMode();
    std::vector<std::pair<int, Variant>> keys;
    for (int i = 1;; ++i) {
        std::string name = plat::Trim(plat::GetToken(fields, ";", i));
        if (name.empty()) break;
        Variant v = values.IsArray() ? values[values.Array().LowBound() + i - 1] : values;
        keys.emplace_back(SlotOf(FieldByName(name)), v);
    }
    for (size_t r = 0; r < view_.size(); ++r) {
        bool all = true;
        for (const auto& [slot, v] : keys)
            if (CompareValues(view_[r]->values[static_cast<size_t>(slot)], v, false) != 0) { all = false; break; }
        if (all) {
            SetCursor(static_cast<int>(r), true);
            bof_ = eof_ = false;
            return true;
        }
    }
    return false;
}

TBookmark TClientDataSet::GetBookmark() const { return TBookmark{current_}; }

bool TClientDataSet::BookmarkValid(const TBookmark& bookmark) const {
    TRecordRef r = bookmark.Record.lock();
    return r && std::find(view_.begin(), view_.end(), r) != view_.end();
}

void TClientDataSet::GotoBookmark(const TBookmark& bookmark) {
    CheckBrowseMode();
    TRecordRef r = bookmark.Record.lock();
    auto it = r ? std::find(view_.begin(), view_.end(), r) : view_.end();
    if (it == view_.end()) throw EDatabaseError("Record not found");
    SetCursor(static_cast<int>(it - view_.begin()), true);
    bof_ = eof_ = false;
}

// ---- editing ----

void TClientDataSet::Edit() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    if (view_.empty()) return Insert();
    BeforeEdit(this);
    editRecord_ = std::make_shared<TRecordData>(*current_);
    modified_ = false;
    SetState(TDataSetState::dsEdit);
    AfterEdit(this);
}

void TClientDataSet::Insert() {
    CheckBrowseMode();
    if (masterField_ && !CurrentList()) throw EDatabaseError("Cannot insert a detail record without a master record");
    BeforeInsert(this);
    editRecord_ = NewRecordData();
    insertAtEnd_ = false;
    modified_ = false;
    state_ = TDataSetState::dsInsert;
    NotifyNested();
    OnNewRecord(this);
    Notify(TDataEvent::deStateChange);
    AfterInsert(this);
}

void TClientDataSet::Append() {
    Insert();
    insertAtEnd_ = true;
}

void TClientDataSet::Post() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    BeforePost(this);
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i]->Required() && !fields_[i]->ReadOnly() && fields_[i]->DataType() != TFieldType::ftDataSet &&
            editRecord_->values[i].IsEmptyOrNull())
            throw EDatabaseError("Field '" + fields_[i]->DisplayLabel() + "' must have a value");
    if (state_ == TDataSetState::dsEdit) {
        auto before = std::make_shared<TRecordData>(*current_);
        current_->values = editRecord_->values;
        if (Root()->LogChanges) {
            if (current_->status == TUpdateStatus::usUnmodified) current_->status = TUpdateStatus::usModified;
            LogChange(kLogModify, rows_, current_, before, 0);
        } else {
            current_->original = current_->values;
        }
    } else {
        TRecordRef record = editRecord_;
        record->seq = nextSeq_++;
        auto& live = rows_->live;
        auto at = insertAtEnd_ || !current_ ? live.end() : std::find(live.begin(), live.end(), current_);
        int position = static_cast<int>(at - live.begin());
        live.insert(at, record);
        if (Root()->LogChanges) {
            record->status = TUpdateStatus::usInserted;
            LogChange(kLogInsert, rows_, record, nullptr, position);
        } else {
            record->original = record->values;
        }
        current_ = record;
    }
    editRecord_.reset();
    modified_ = false;
    state_ = TDataSetState::dsBrowse;
    RebuildView();
    bof_ = eof_ = false;
    NotifyNested();
    Notify(TDataEvent::deDataSetChange);
    AfterPost(this);
}

void TClientDataSet::Cancel() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    BeforeCancel(this);
    if (state_ == TDataSetState::dsInsert && editRecord_) {
        // Details entered under a master that is never posted go with it.
        std::set<const TRecordList*> lists;
        std::vector<const TRecordData*> pending{editRecord_.get()};
        while (!pending.empty()) {
            const TRecordData* r = pending.back();
            pending.pop_back();
            for (const auto& l : r->nested)
                if (l) {
                    lists.insert(l.get());
                    for (const auto& c : l->live) pending.push_back(c.get());
                }
        }
        auto& log = Root()->log_;
        log.erase(std::remove_if(log.begin(), log.end(), [&](const LogEntry& e) { return lists.count(e.list.get()) > 0; }),
                  log.end());
    }
    editRecord_.reset();
    modified_ = false;
    state_ = TDataSetState::dsBrowse;
    RebuildView();
    NotifyNested();
    Notify(TDataEvent::deDataSetChange);
    AfterCancel(this);
}

void TClientDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) return Cancel();
    if (state_ == TDataSetState::dsEdit) Cancel();
    if (!current_) throw EDatabaseError("Cannot perform this operation on an empty dataset");
    BeforeDelete(this);
    auto& live = rows_->live;
    auto it = std::find(live.begin(), live.end(), current_);
    int position = static_cast<int>(it - live.begin());
    TRecordRef record = current_;
    if (it != live.end()) live.erase(it);
    if (Root()->LogChanges) {
        if (record->status != TUpdateStatus::usInserted) rows_->deleted.push_back(record);
        LogChange(kLogDelete, rows_, record, nullptr, position);
    }
    int viewPos = pos_;
    current_.reset();
    pos_ = viewPos;
    RebuildView();
    bof_ = false;
    eof_ = view_.empty();
    NotifyNested();
    Notify(TDataEvent::deDataSetChange);
    AfterDelete(this);
}

// ---- change log ----

void TClientDataSet::LogChange(int kind, const std::shared_ptr<TRecordList>& list, const TRecordRef& record,
                               std::shared_ptr<TRecordData> before, int position) {
    Root()->log_.push_back(LogEntry{kind, list, record, std::move(before), position});
}

int TClientDataSet::ChangeCount() const { return static_cast<int>(Root()->log_.size()); }

void TClientDataSet::UndoEntry(const LogEntry& e) {
    switch (e.kind) {
        case kLogInsert:
            e.list->live.erase(std::remove(e.list->live.begin(), e.list->live.end(), e.record), e.list->live.end());
            break;
        case kLogModify:
            e.record->values = e.before->values;
            e.record->status = e.before->status;
            break;
        case kLogDelete: {
            e.list->deleted.erase(std::remove(e.list->deleted.begin(), e.list->deleted.end(), e.record),
                                  e.list->deleted.end());
            size_t at = std::min(static_cast<size_t>(std::max(e.position, 0)), e.list->live.size());
            e.list->live.insert(e.list->live.begin() + static_cast<std::ptrdiff_t>(at), e.record);
            break;
        }
    }
}

void TClientDataSet::ResyncTree() {
    if (!Active()) return;
    if (masterField_) OpenOnList();
    RebuildView();
    bof_ = pos_ <= 0;
    eof_ = view_.empty();
    for (TField* f : fields_)
        if (auto* df = dynamic_cast<TDataSetField*>(f)) df->NestedDataSet()->ResyncTree();
    Notify(TDataEvent::deDataSetChange);
}

bool TClientDataSet::UndoLastChange(bool followChange) {
    CheckActive();
    if (state_ != TDataSetState::dsBrowse) Cancel();
    auto& log = Root()->log_;
    if (log.empty()) return false;
    LogEntry e = log.back();
    log.pop_back();
    UndoEntry(e);
    if (followChange && e.list == rows_ && e.kind != kLogInsert) current_ = e.record;
    Root()->ResyncTree();
    return true;
}

void TClientDataSet::CancelUpdates() {
    CheckActive();
    if (state_ != TDataSetState::dsBrowse) Cancel();
    auto& log = Root()->log_;
    while (!log.empty()) {
        LogEntry e = log.back();
        log.pop_back();
        UndoEntry(e);
    }
    Root()->ResyncTree();
}

void TClientDataSet::RevertRecord() {
    CheckActive();
    if (state_ != TDataSetState::dsBrowse) Cancel();
    if (!current_) return;
    auto& log = Root()->log_;
    for (size_t i = log.size(); i-- > 0;)
        if (log[i].record == current_) {
            LogEntry e = log[i];
            log.erase(log.begin() + static_cast<std::ptrdiff_t>(i));
            UndoEntry(e);
        }
    Root()->ResyncTree();
}

namespace {

void MergeList(TRecordList& list) {
    list.deleted.clear();
    for (auto& r : list.live) {
        r->original = r->values;
        r->status = TUpdateStatus::usUnmodified;
        for (auto& n : r->nested)
            if (n) MergeList(*n);
    }
}

}  // namespace

void TClientDataSet::MergeChangeLog() {
    CheckActive();
    CheckBrowseMode();
    TClientDataSet* root = Root();
    MergeList(*root->rows_);
    root->log_.clear();
}

void TClientDataSet::MergeRecord(const std::shared_ptr<TRecordList>& list, const TRecordRef& record) {
    auto& deleted = list->deleted;
    auto it = std::find(deleted.begin(), deleted.end(), record);
    if (it != deleted.end()) deleted.erase(it);
    else {
        record->original = record->values;
        record->status = TUpdateStatus::usUnmodified;
    }
    auto& log = Root()->log_;
    log.erase(std::remove_if(log.begin(), log.end(), [&](const LogEntry& e) { return e.record == record; }), log.end());
}

TUpdateStatus TClientDataSet::UpdateStatus() const {
    if (state_ == TDataSetState::dsInsert) return TUpdateStatus::usInserted;
    return current_ ? current_->status : TUpdateStatus::usUnmodified;
}

// ---- controls ----

void TClientDataSet::DisableControls() { ++disableCount_; }

void TClientDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0 && changedWhileDisabled_) {
        changedWhileDisabled_ = false;
        bool layout = layoutPending_;
        layoutPending_ = false;
        Notify(layout ? TDataEvent::deLayoutChange : TDataEvent::deDataSetChange);
    }
}

void TClientDataSet::AddObserver(const void* key, std::function<void(TDataEvent)> observer) {
    RemoveObserver(key);
    observers_.emplace_back(key, std::move(observer));
}

void TClientDataSet::RemoveObserver(const void* key) {
    observers_.erase(std::remove_if(observers_.begin(), observers_.end(), [key](const auto& o) { return o.first == key; }),
                     observers_.end());
}

void TClientDataSet::Notify(TDataEvent event) {
    if (disableCount_ > 0) {
        changedWhileDisabled_ = true;
        if (event == TDataEvent::deLayoutChange) layoutPending_ = true;
        return;
    }
    std::vector<TDataSource*> sources = sources_;
    for (TDataSource* s : sources) s->DataChanged();
    auto observers = observers_;
    for (auto& o : observers) o.second(event);
}

void TClientDataSet::WithRecord(int row, const std::function<void()>& fn) const {
    if (row < 0 || row >= static_cast<int>(view_.size())) return;
    const TRecordData* previous = override_;
    override_ = view_[static_cast<size_t>(row)].get();
    try {
        fn();
    } catch (...) {
        override_ = previous;
        throw;
    }
    override_ = previous;
}

std::string TClientDataSet::FieldText(const std::string& field) const {
    TField* f = FindField(field);
    if (!f || !Active()) return {};
    return f->DisplayText();
}

bool TClientDataSet::SetFieldText(const std::string& field, const std::string& text) {
    TField* f = FindField(field);
    if (!f || !Active() || f->ReadOnly()) return false;
    try {
        if (state_ == TDataSetState::dsBrowse) Edit();
        f->SetText(text);
        return true;
    } catch (const plat::EAbort&) {
        return false;
    }
}

void TClientDataSet::SourceAttached(TDataSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) sources_.push_back(source);
}

void TClientDataSet::SourceDetached(TDataSource* source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

}  // namespace vcl
