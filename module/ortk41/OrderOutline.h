// The export outline of the listed orders: for each order line an indented
// outline of its downstream documents, written row by row into a sheet.
// Columns 1-5 carry the order line's key cells, column 6 the order and the
// first-level documents, 7 the second level, 8 the third. The outline keeps
// its own grouping (settlements with their receipts, advance settlements
// with offsets and receipts) and is queried afresh for every order line.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "Listing.h"
#include "OrderKeys.h"

namespace ortk41 {

class IOutlineSheet {
public:
    virtual ~IOutlineSheet() = default;
    virtual void WriteText(int row, int column, const std::string& text) = 0;
};

// One grid row to export: its cells 0-4 and its two labels.
struct OutlineOrder {
    std::array<std::string, 5> Cells;   // order type, number, sequence, item, item name
    std::string HeadText;
    std::string LineText;
};

class OrderOutline {
public:
    // `groups` are the outline's group words (Memo1), `words` the words inside
    // document lines (memolng); `toDisplay` converts composed lines the way
    // the window's captions are converted.
    OrderOutline(LabelLines groups, LabelLines words, ListingServices services,
                 std::function<std::string(const std::string&)> toDisplay, IOutlineSheet& sheet);

    // The sheet row last written; the export starts at 2, under the heading row.
    int Row() const { return row_; }

    // Writes the outline of one order line, starting on the row after the
    // previous order's last row (row 2 for the first).
    void WriteOrder(const OutlineOrder& order);

private:
    void Next(int column, const std::string& text);
    void Line(int column, const std::string& text) { Next(column, toDisplay_(text)); }
    bool List(const std::string& sql, const std::string& fields, const std::function<void(const plat::Variant&)>& onRow);
    std::string Date(const plat::Variant& row, int n) const { return services_.DisplayDate(Value(row, n)); }
    // A document line's key and date (the first four columns of KeyDateCol's shape).
    std::string KeyAndDate(const plat::Variant& row) const { return RowKey(row) + " " + Date(row, KeyDateCol::Date); }

    void Deliveries();
    void Returns();
    void Advances();
    void Requisitions();
    void PurchaseOrders();
    void WorkOrders();
    std::string SettlementSql(const char* kind, const plat::Variant& source) const;
    std::string SettlementReceiptSql(const plat::Variant& settlement) const;

    LabelLines M, L;
    ListingServices services_;
    std::function<std::string(const std::string&)> toDisplay_;
    IOutlineSheet& sheet_;
    std::string k0_, k1_, k2_;
    int row_ = 2;
};

}  // namespace ortk41
