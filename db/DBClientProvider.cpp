// The client dataset's side of the provider protocol: data packets in,
// packets of further records on demand, the change log out as a delta, and
// the errors of applying it reconciled record by record.
//
// Provider members called on the connection's application server:
//   "AS_GetRecords"(provider, count, by ref records out, options, command
//       text, by ref params, by ref owner data) -> data packet
//       count -1 asks for all records; options 1 asks for the field
//       descriptions; owner data carries the number of records already held,
//       so that the provider continues after them.
//   "AS_ApplyUpdates"(provider, delta, max errors, by ref error count, by ref
//       owner data) -> error list (Empty when every change was applied)
// Params travel as an array of [name, value] pairs.
#include <algorithm>
#include <set>

#include "Connections.h"
#include "DBClient.h"
#include "DBClientPrivate.h"
#include "Dispatch.h"
#include "StrUtils.h"

namespace vcl {

using plat::Variant;
using plat::packet::FieldDesc;

void TClientDataSet::SetRemoteServer(TCustomRemoteServer* server) {
    if (Active() && server != remoteServer_) Close();
    remoteServer_ = server;
}

// ---- rows in ----

void TClientDataSet::LoadRows(const std::shared_ptr<TRecordList>& list, const Variant& rows,
                              const std::vector<FieldDesc>& columns, const std::vector<TField*>& fields) {
    if (!rows.IsArray()) return;
    std::vector<int> slotOf(columns.size(), -1);
    for (size_t c = 0; c < columns.size(); ++c)
        for (size_t f = 0; f < fields.size(); ++f)
            if (plat::UpperCase(fields[f]->FieldName()) == plat::UpperCase(columns[c].Name)) {
                slotOf[c] = static_cast<int>(f);
                break;
            }
    const plat::VarArray& all = rows.Array();
    for (int r = all.LowBound(); r <= all.HighBound(); ++r) {
        const Variant& row = all.At(r);
        TRecordRef rec = NewRecordData();
        rec->seq = nextSeq_++;
        if (row.IsArray()) {
            int low = row.Array().LowBound();
            for (size_t c = 0; c < columns.size() && low + static_cast<int>(c) <= row.Array().HighBound(); ++c) {
                if (slotOf[c] < 0) continue;
                size_t slot = static_cast<size_t>(slotOf[c]);
                const Variant& value = row[low + static_cast<int>(c)];
                TField* field = fields[slot];
                if (auto* df = dynamic_cast<TDataSetField*>(field)) {
                    TClientDataSet* nested = df->NestedDataSet();
                    nested->LoadRows(rec->nested[slot], value, columns[c].Nested, nested->fields_);
                    continue;
                }
                try {
                    rec->values[slot] = field->ConvertIn(value);
                } catch (const plat::Exception&) {
                    rec->values[slot] = value;   // keep what the provider sent rather than lose it
                }
            }
        }
        rec->original = rec->values;
        list->live.push_back(rec);
    }
}

Variant TClientDataSet::RowsOf(const TRecordList& list, bool) const {
    if (list.live.empty()) return Variant(plat::VarArray(0, -1));
    std::vector<Variant> rows;
    rows.reserve(list.live.size());
    for (const auto& rec : list.live) {
        std::vector<Variant> row;
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (auto* df = dynamic_cast<TDataSetField*>(fields_[i]))
                row.push_back(rec->nested[i] ? df->NestedDataSet()->RowsOf(*rec->nested[i], false) : Variant());
            else
                row.push_back(rec->values[i]);
        }
        rows.push_back(plat::VarArrayOf(std::move(row)));
    }
    return plat::VarArrayOf(std::move(rows));
}

void TClientDataSet::LoadPacket(const Variant& packet) {
    if (!packet.IsArray() || packet.Array().Count() < 2) throw EDatabaseError("Invalid data packet");
    std::vector<FieldDesc> columns = plat::packet::ReadFields(packet[packet.Array().LowBound()]);
    updateTable_ = plat::packet::TextAt(packet, packet.Array().LowBound() + 2);
    BindFields(columns);
    rows_ = std::make_shared<TRecordList>();
    log_.clear();
    LoadRows(rows_, packet[packet.Array().LowBound() + 1], columns, fields_);
    fetched_ = static_cast<int>(rows_->live.size());
}

Variant TClientDataSet::Data() const {
    if (!Active()) return Variant();
    std::vector<FieldDesc> desc;
    for (TField* f : fields_) desc.push_back(f->Describe());
    return plat::packet::MakeDataPacket(desc, RowsOf(*rows_, false), updateTable_);
}

void TClientDataSet::SetData(const Variant& packet) {
    if (masterField_) throw EDatabaseError("A nested dataset takes its data from its master");
    if (Active()) Close();
    if (packet.IsEmptyOrNull()) return;
    pendingData_ = packet;
    std::string provider = providerName_;
    providerName_.clear();
    try {
        Open();
    } catch (...) {
        providerName_ = provider;
        pendingData_ = Variant();
        throw;
    }
    providerName_ = provider;
    allFetched_ = true;
}

// ---- packets from the provider ----

Variant TClientDataSet::CallProvider(int count, bool withMetadata) {
    if (!remoteServer_) throw EDatabaseError((Name().empty() ? std::string("Dataset") : Name()) + ": Missing remote server");
    remoteServer_->Open();
    std::vector<Variant> pairs;
    for (int i = 0; i < Params.Count(); ++i) pairs.push_back(plat::VarArrayOf({Params.Names(i), Params.Values(Params.Names(i))}));
    Variant params = pairs.empty() ? Variant() : plat::VarArrayOf(std::move(pairs));
    Variant recsOut = int32_t(0);
    Variant ownerData = int32_t(fetched_);
    Variant packet = plat::CallMethod(remoteServer_->AppServer(), "AS_GetRecords",
                                      {plat::ByVal(providerName_), plat::ByVal(int32_t(count)), plat::ByRef(recsOut),
                                       plat::ByVal(int32_t(withMetadata ? 1 : 0)), plat::ByVal(CommandText),
                                       plat::ByRef(params), plat::ByRef(ownerData)});
    return packet;
}

void TClientDataSet::FetchFirstPacket() {
    fetched_ = 0;
    Variant packet = CallProvider(PacketRecords, true);
    LoadPacket(packet);
    allFetched_ = PacketRecords < 0 || fetched_ < PacketRecords;
}

int TClientDataSet::GetNextPacket() {
    CheckActive();
    if (masterField_ || allFetched_ || providerName_.empty()) return 0;
    // A first packet of 0 records brought the descriptions only; what
    // follows is everything.
    int count = PacketRecords > 0 ? PacketRecords : -1;
    Variant packet = CallProvider(count, false);
    if (!packet.IsArray() || packet.Array().Count() < 2) throw EDatabaseError("Invalid data packet");
    size_t before = rows_->live.size();
    LoadRows(rows_, packet[packet.Array().LowBound() + 1], columns_, fields_);
    int got = static_cast<int>(rows_->live.size() - before);
    fetched_ += got;
    if (count < 0 || got < count) allFetched_ = true;
    RebuildView();
    if (eof_ && got > 0) eof_ = false;
    Notify(TDataEvent::deDataSetChange);
    return got;
}

void TClientDataSet::FetchAll() {
    CheckActive();
    while (!allFetched_) GetNextPacket();
}

// ---- changes out ----

void TClientDataSet::CollectDelta(const TRecordList& list, std::vector<Variant>& changes,
                                  std::vector<std::pair<std::shared_ptr<TRecordList>, TRecordRef>>& ids,
                                  const std::shared_ptr<TRecordList>& owner) const {
    auto rowOf = [&](const std::vector<Variant>& values) {
        std::vector<Variant> row;
        for (size_t i = 0; i < fields_.size(); ++i)
            row.push_back(fields_[i]->DataType() == TFieldType::ftDataSet ? Variant() : values[i]);
        return plat::VarArrayOf(std::move(row));
    };
    auto nestedOf = [&](const TRecordData& rec) {
        std::vector<Variant> nested;
        for (size_t i = 0; i < fields_.size(); ++i) {
            auto* df = dynamic_cast<TDataSetField*>(fields_[i]);
            if (!df || !rec.nested[i]) continue;
            std::vector<Variant> sub;
            df->NestedDataSet()->CollectDelta(*rec.nested[i], sub, ids, rec.nested[i]);
            if (!sub.empty()) nested.push_back(plat::VarArrayOf({df->FieldName(), plat::VarArrayOf(std::move(sub))}));
        }
        return nested;
    };
    for (const auto& rec : list.live) {
        std::vector<Variant> nested = nestedOf(*rec);
        int kind = rec->status == TUpdateStatus::usInserted ? plat::packet::ukInsert
                   : rec->status == TUpdateStatus::usModified ? plat::packet::ukModify
                                                              : plat::packet::ukUnmodified;
        if (kind == plat::packet::ukUnmodified && nested.empty()) continue;
        int id = static_cast<int>(ids.size());
        ids.emplace_back(owner, rec);
        changes.push_back(plat::VarArrayOf({int32_t(id), int32_t(kind), rowOf(rec->original), rowOf(rec->values),
                                            nested.empty() ? Variant() : plat::VarArrayOf(std::move(nested))}));
    }
    for (const auto& rec : list.deleted) {
        int id = static_cast<int>(ids.size());
        ids.emplace_back(owner, rec);
        changes.push_back(plat::VarArrayOf({int32_t(id), int32_t(plat::packet::ukDelete), rowOf(rec->original), Variant(),
                                            Variant()}));
    }
}

Variant TClientDataSet::Delta() const {
    if (!Active()) return Variant();
    std::vector<Variant> changes;
    std::vector<std::pair<std::shared_ptr<TRecordList>, TRecordRef>> ids;
    CollectDelta(*rows_, changes, ids, rows_);
    if (changes.empty()) return Variant();
    std::vector<FieldDesc> desc;
    for (TField* f : fields_) desc.push_back(f->Describe());
    return plat::VarArrayOf({updateTable_, plat::packet::DescribeFields(desc), plat::VarArrayOf(std::move(changes))});
}

int TClientDataSet::ApplyUpdates(int maxErrors) {
    if (masterField_) return Root()->ApplyUpdates(maxErrors);
    CheckActive();
    CheckBrowseMode();
    std::vector<Variant> changes;
    std::vector<std::pair<std::shared_ptr<TRecordList>, TRecordRef>> ids;
    CollectDelta(*rows_, changes, ids, rows_);
    if (changes.empty()) return 0;
    if (!remoteServer_) throw EDatabaseError((Name().empty() ? std::string("Dataset") : Name()) + ": Missing remote server");
    remoteServer_->Open();
    std::vector<FieldDesc> desc;
    for (TField* f : fields_) desc.push_back(f->Describe());
    Variant delta = plat::VarArrayOf({updateTable_, plat::packet::DescribeFields(desc), plat::VarArrayOf(changes)});
    Variant errorCount = int32_t(0);
    std::vector<Variant> pairs;
    for (int i = 0; i < Params.Count(); ++i) pairs.push_back(plat::VarArrayOf({Params.Names(i), Params.Values(Params.Names(i))}));
    Variant ownerData = pairs.empty() ? Variant() : plat::VarArrayOf(std::move(pairs));
    Variant errors = plat::CallMethod(remoteServer_->AppServer(), "AS_ApplyUpdates",
                                      {plat::ByVal(providerName_), plat::ByVal(delta), plat::ByVal(int32_t(maxErrors)),
                                       plat::ByRef(errorCount), plat::ByRef(ownerData)});
    int count = errorCount.IsEmptyOrNull() ? 0 : errorCount.ToInt();

    struct Failure {
        int id;
        std::string message, context;
        int code;
    };
    std::vector<Failure> failures;
    if (errors.IsArray())
        for (int i = errors.Array().LowBound(); i <= errors.Array().HighBound(); ++i) {
            const Variant& e = errors[i];
            if (!e.IsArray() || e.Array().Count() < 4) continue;
            failures.push_back({e[0].ToInt(), e[1].ToString(), e[2].IsString() ? e[2].ToString() : std::string(),
                                e[3].IsEmptyOrNull() ? 0 : e[3].ToInt()});
        }
    if (count < static_cast<int>(failures.size())) count = static_cast<int>(failures.size());

    // Within the limit the provider kept what it could write: those changes
    // become the fetched state. Over the limit it wrote nothing.
    bool committed = maxErrors < 0 || count <= maxErrors;
    if (committed) {
        std::set<int> failed;
        for (const auto& f : failures) failed.insert(f.id);
        for (size_t id = 0; id < ids.size(); ++id)
            if (!failed.count(static_cast<int>(id))) MergeRecord(ids[id].first, ids[id].second);
    }
    int previous = 0;
    for (const auto& f : failures) {
        if (f.id < 0 || static_cast<size_t>(f.id) >= ids.size()) continue;
        const auto& [list, record] = ids[static_cast<size_t>(f.id)];
        int kind = plat::packet::ukModify;
        for (const Variant& c : changes)
            if (c[0].ToInt() == f.id) kind = c[1].ToInt();
        TUpdateKind updateKind = kind == plat::packet::ukInsert ? TUpdateKind::ukInsert
                                 : kind == plat::packet::ukDelete ? TUpdateKind::ukDelete
                                                                  : TUpdateKind::ukModify;
        TReconcileAction action = TReconcileAction::raSkip;
        EReconcileError error(f.message, f.context, f.code, previous);
        previous = f.code;
        OnReconcileError(this, error, updateKind, action);
        if (action == TReconcileAction::raAbort) break;
        if (action == TReconcileAction::raMerge) MergeRecord(list, record);
        if (action == TReconcileAction::raCancel) {
            auto& log = log_;
            for (size_t i = log.size(); i-- > 0;)
                if (log[i].record == record) {
                    LogEntry e = log[i];
                    log.erase(log.begin() + static_cast<std::ptrdiff_t>(i));
                    UndoEntry(e);
                }
        }
    }
    ResyncTree();
    return count;
}

}  // namespace vcl
