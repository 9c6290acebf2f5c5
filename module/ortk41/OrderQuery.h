// The order list: the SQL that lists the confirmed sales-order lines for the
// conditions the user set, the field list it is sent with, and the two
// labels kept for every listed line (order head and order line).
#pragma once

#include <functional>
#include <string>

#include "Listing.h"
#include "Variant.h"

namespace ortk41 {

// One range condition as the user typed it (no trimming).
struct RangeInput {
    std::string From;
    std::string To;
};

// The conditions of the order list.
struct OrderConditions {
    RangeInput Order;          // order type and number, compared with (TC001 + TC002)
    RangeInput OrderDate;      // TC003, displayed dates
    RangeInput Customer;       // TC004
    RangeInput CustomerOrder;  // TC012
    RangeInput DeliveryDate;   // TD013, displayed dates
    int Closed = 2;            // 0 closed, 1 open, 2 all
    std::string Project;       // TC077, only used when projects are enabled
    bool ProjectsEnabled = false;
};

using DateToDb = std::function<std::string(const std::string&)>;

// The columns of the order list, in SELECT order.
struct OrderListCol {
    enum : int {
        Type, Number, Sequence, Item, ItemName, OrderDate, CustomerName, Customer, Quantity, Unit, DeliveryDate,
        ItemSpecs, Count
    };
};
const ColumnTable<OrderListCol>& OrderListColumns();
// OrderListColumns().FieldList(), for callers that hand it on as it is.
extern const char* const kOrderListFields;

// Appends the from/to condition of one range to `sql`; dates are turned
// into "YYYYMMDD" first by `displayDateToDb`, which answers "" for a date
// not given and raises for one that is no date (a bound is never dropped).
void AddRangeCondition(const RangeInput& range, const std::string& column, std::string& sql, bool isDate,
                       const DateToDb& displayDateToDb);
// The same over the concatenation "(a + b)".
void AddPairRangeCondition(const RangeInput& range, const std::string& columnA, std::string& sql,
                           const std::string& columnB);

std::string OrderListSql(const OrderConditions& conditions, const DateToDb& displayDateToDb);

// Labels of a listed row (values in field-list order).
std::string OrderHeadText(const plat::Variant& row, const std::function<std::string(const std::string&)>& displayDate);
std::string OrderLineText(const plat::Variant& row, const std::string& deliveryWord,
                          const std::function<std::string(const std::string&)>& displayDate);

}  // namespace ortk41
