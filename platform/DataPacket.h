// The data packets that client datasets and application-server providers
// exchange: rows with their field descriptions on the way to the client, the
// change log ("delta") on the way back, and the errors of applying it. Both
// sides only ever see variants, so a packet crosses the automation boundary
// like any other argument; this header fixes the layout once for both.
//
//   data packet  [0] field descriptions: array of
//                    [name, field type, size, required, nested descriptions
//                     (Empty unless a dataset field), key field]
//                [1] rows: array of rows, each an array with one value per
//                    field; a nested dataset field holds its rows array
//                [2] the table the rows can be written back to ("" when none)
//   delta        [0] table, [1] field descriptions, [2] changes: array of
//                    [change id, update kind, old values, new values,
//                     nested deltas: array of [field name, delta]]
//   error list   array of [change id, message, context, error code]
//
// Old values are those the record had when it was fetched; new values are
// complete rows. A change of update kind Unmodified carries only nested deltas.
#pragma once

#include <string>
#include <vector>

#include "Variant.h"

namespace plat::packet {

// Field types, numbered once for both sides.
enum FieldType : int {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftFixedChar = 23,
    ftWideString = 24,
    ftLargeint = 25,
    ftDataSet = 32,
};

enum UpdateKind : int { ukUnmodified = 0, ukModify = 1, ukInsert = 2, ukDelete = 3 };

struct FieldDesc {
    std::string Name;
    int Type = ftString;
    int Size = 0;
    bool Required = false;
    bool Key = false;
    std::vector<FieldDesc> Nested;   // dataset fields only
};

Variant DescribeFields(const std::vector<FieldDesc>& fields);
// Raises plat::Exception for a malformed description list.
std::vector<FieldDesc> ReadFields(const Variant& descriptions);

// A data packet of descriptions, rows (already an array or Empty) and table.
Variant MakeDataPacket(const std::vector<FieldDesc>& fields, const Variant& rows, const std::string& table);

// Text of element `i` of a packet array; "" when absent or not text.
std::string TextAt(const Variant& array, int i);

}  // namespace plat::packet
