// Composing the order list query and its row labels.
#include "OrderQuery.h"

#include "OrderKeys.h"
#include "StrUtils.h"

namespace ortk41 {

// The field list of the order list has always been sent with a trailing blank.
const ColumnTable<OrderListCol>& OrderListColumns() {
    static const ColumnTable<OrderListCol> columns({"TD001", "TD002", "TD003", "TD004", "TD005", "TC003", "MA002",
                                                    "TC004", "TD008", "TD010", "TD013", "TD006"},
                                                   FieldListEnd::Blank);
    return columns;
}

const char* const kOrderListFields = OrderListColumns().FieldList().c_str();

void AddRangeCondition(const RangeInput& range, const std::string& column, std::string& sql, bool isDate,
                       const DateToDb& displayDateToDb) {
    std::string from = isDate ? displayDateToDb(range.From) : range.From;
    std::string to = isDate ? displayDateToDb(range.To) : range.To;
    if (!from.empty() && !to.empty())
        sql += " AND ( " + column + " BETWEEN " + plat::QuotedStr(from) + " AND " + plat::QuotedStr(to) + ") ";
    else if (!from.empty())
        sql += " AND ( " + column + " >= " + plat::QuotedStr(from) + ") ";
    else if (!to.empty())
        sql += " AND ( " + column + " <= " + plat::QuotedStr(to) + ") ";
}

void AddPairRangeCondition(const RangeInput& range, const std::string& columnA, std::string& sql,
                           const std::string& columnB) {
    AddRangeCondition(range, "(" + columnA + " + " + columnB + ")", sql, false, nullptr);
}

std::string OrderListSql(const OrderConditions& c, const DateToDb& displayDateToDb) {
    std::string sql =
        " SELECT " + OrderListColumns().SelectList() +
        "  FROM $$COPTC COPTC  INNER JOIN $$COPTD COPTD ON TD001=TC001 AND TD002=TC002  LEFT JOIN $$COPMA COPMA ON "
        "MA001=TC004  WHERE TC027='Y' ";
    AddPairRangeCondition(c.Order, "TC001", sql, "TC002");
    AddRangeCondition(c.OrderDate, "TC003", sql, true, displayDateToDb);
    AddRangeCondition(c.Customer, "TC004", sql, false, displayDateToDb);
    AddRangeCondition(c.CustomerOrder, "TC012", sql, false, displayDateToDb);
    AddRangeCondition(c.DeliveryDate, "TD013", sql, true, displayDateToDb);
    if (c.Closed == 0) sql += " AND TD016 IN('Y','y') ";
    else if (c.Closed == 1) sql += " AND TD016 ='N' ";
    if (c.ProjectsEnabled && !c.Project.empty()) sql += " AND TC077 = " + plat::QuotedStr(c.Project);
    sql += " ORDER BY TD001,TD002,TD003 ";
    return sql;
}

// Both texts are built in one string: the order list makes two for each of its rows.
std::string OrderHeadText(const plat::Variant& row, const std::function<std::string(const std::string&)>& displayDate) {
    using C = OrderListCol;
    std::string text;
    text.reserve(96);
    AppendValue(text, row, C::Type, 4);                  // DocumentKey(type, number)
    text += '-';
    AppendValue(text, row, C::Number, 11);
    text += ' ';
    text += displayDate(Value(row, C::OrderDate));
    text += ' ';
    AppendValue(text, row, C::CustomerName);
    text += '(';
    AppendValue(text, row, C::Customer);
    text += ')';
    return text;
}

std::string OrderLineText(const plat::Variant& row, const std::string& deliveryWord,
                          const std::function<std::string(const std::string&)>& displayDate) {
    using C = OrderListCol;
    std::string text;
    text.reserve(160);
    AppendValue(text, row, C::Type, 4);                  // RowKey(type, number, sequence filled to 4)
    text += '-';
    AppendValue(text, row, C::Number, 11);
    text += '-';
    AppendValue(text, row, C::Sequence, 4);
    text += ' ';
    AppendValue(text, row, C::Item);
    text += '(';
    AppendValue(text, row, C::ItemName);
    text += ") ";
    AppendValue(text, row, C::Quantity);
    text += ' ';
    AppendValue(text, row, C::Unit);
    text += ' ';
    text += deliveryWord;
    text += displayDate(Value(row, C::DeliveryDate));
    return text;
}

}  // namespace ortk41
