// The record store behind TClientDataSet, shared by its two source files.
#pragma once

#include <memory>
#include <vector>

#include "DBClient.h"

namespace vcl {

// One record: the values in field order, the values it was fetched (or last
// merged) with, and per dataset field the list of its detail records.
struct TRecordData {
    std::vector<plat::Variant> values;
    std::vector<plat::Variant> original;
    std::vector<std::shared_ptr<TRecordList>> nested;   // non-null at dataset-field slots
    TUpdateStatus status = TUpdateStatus::usUnmodified;
    uint64_t seq = 0;                                   // arrival order
};

// The records of one level: those shown, and those deleted but not yet applied.
struct TRecordList {
    std::vector<TRecordRef> live;
    std::vector<TRecordRef> deleted;
};

inline constexpr int kLogModify = 1;
inline constexpr int kLogInsert = 2;
inline constexpr int kLogDelete = 3;

// One posted change, enough to undo it.
struct TClientDataSet::LogEntry {
    int kind;
    std::shared_ptr<TRecordList> list;
    TRecordRef record;
    std::shared_ptr<TRecordData> before;   // modify: the record as it was
    int position;                          // insert, delete: place in the list
};

// Order of two values: Null first, numbers and dates by value, texts by bytes.
int CompareValues(const plat::Variant& a, const plat::Variant& b, bool caseInsensitive);

}  // namespace vcl
