// Writing the export outline of one order line. Rows are used as the server
// returns them; every composed line outside the sales-delivery section is
// converted for display just before it is written.
#include "OrderOutline.h"

#include "DocumentTexts.h"
#include "OrderKeys.h"

namespace ortk41 {

namespace {

// Listings only the outline makes.
const ColumnTable<KeyDateCol>& SettlementReceiptColumns() {
    static const ColumnTable<KeyDateCol> columns({"TD001", "TD002", "TD003", "TC003"});
    return columns;
}

const ColumnTable<ReturnCol>& ReturnColumns() {
    static const ColumnTable<ReturnCol> columns(
        {"TJ001", "TJ002", "TJ003", "TI003", "TJ007", "TJ008", "TJ025", "TJ026", "TJ027"});
    return columns;
}

// The field list of this listing has always been sent with a trailing blank.
const ColumnTable<RequisitionCol>& RequisitionColumns() {
    static const ColumnTable<RequisitionCol> columns(
        {"TB001", "TB002", "TB003", "TA003", "TB009", "TB007", "TB014", "TB015", "TB045", "TB007"}, FieldListEnd::Blank);
    return columns;
}

const ColumnTable<PurchaseOrderCol>& PurchaseOrderColumns() {
    static const ColumnTable<PurchaseOrderCol> columns(
        {"TD001", "TD002", "TD003", "TC003", "TD008", "TD009", "TD015", "TD012"});
    return columns;
}

}  // namespace

OrderOutline::OrderOutline(LabelLines groups, LabelLines words, ListingServices services,
                           std::function<std::string(const std::string&)> toDisplay, IOutlineSheet& sheet)
    : M(std::move(groups)), L(std::move(words)), services_(std::move(services)), toDisplay_(std::move(toDisplay)),
      sheet_(sheet) {
    if (!toDisplay_) toDisplay_ = [](const std::string& s) { return s; };
}

void OrderOutline::Next(int column, const std::string& text) {
    ++row_;
    sheet_.WriteText(row_, column, text);
}

bool OrderOutline::List(const std::string& sql, const std::string& fields,
                        const std::function<void(const plat::Variant&)>& onRow) {
    return RunListing(services_, sql, fields, onRow, RowConversion::AsStored, NoResult::EmptyOrNull);
}

void OrderOutline::WriteOrder(const OutlineOrder& order) {
    if (row_ > 2) ++row_;   // the first order starts in row 2, the next ones right after
    k0_ = QuotedKey(order.Cells[0]);
    k1_ = QuotedKey(order.Cells[1]);
    k2_ = QuotedKey(order.Cells[2]);
    for (int c = 0; c < 5; ++c) sheet_.WriteText(row_, c + 1, order.Cells[static_cast<size_t>(c)]);
    sheet_.WriteText(row_, 6, M(5) + ":" + order.HeadText);
    Next(6, order.LineText);
    Next(6, M(6));
    Deliveries();
    Next(6, M(13));
    Returns();
    Next(6, M(16));
    Advances();
    Next(6, M(19));
    Requisitions();
    Next(6, M(20));
    PurchaseOrders();
    Next(6, M(23));
    WorkOrders();
}

std::string OrderOutline::SettlementSql(const char* kind, const plat::Variant& source) const {
    using K = KeyDateCol;
    return " Select " + InvoiceColumns().SelectList() +
           "  FROM $$ACRTA  INNER JOIN $$ACRTB ON TB001=TA001 AND TB002=TA002  WHERE TB012='Y' AND TB004='" + kind +
           "'  AND Rtrim(TB005)=" + QuotedKey(Value(source, K::Type)) + " AND Rtrim(TB006)=" +
           QuotedKey(Value(source, K::Number)) + " AND Rtrim(TB007) IN (" + QuotedKey(Value(source, K::Sequence)) +
           ", '') " +
           " Order by TA003,TB001,TB002,TB003 ";
}

std::string OrderOutline::SettlementReceiptSql(const plat::Variant& settlement) const {
    return " Select " + SettlementReceiptColumns().SelectList() +
           "  FROM $$ACRTC  INNER JOIN $$ACRTD ON TD001=TC001 AND TD002=TC002  WHERE TD020='Y' AND TD005='4'  AND "
           "Rtrim(TD006)=" +
           QuotedKey(Value(settlement, KeyDateCol::Type)) + " AND Rtrim(TD007)=" +
           QuotedKey(Value(settlement, KeyDateCol::Number)) +
           " Order by TC003,TD001,TD002,TD003 ";
}

// Delivery lines, their settlements and receipts are written as composed.
void OrderOutline::Deliveries() {
    bool listed = List(DeliverySql(k0_, k1_, k2_), DeliveryColumns().FieldList(), [&](const plat::Variant& d) {
        Next(6, DeliveryText(d, L, services_.DisplayDate));
        Next(7, M(11));
        bool settled = List(SettlementSql("1", d), InvoiceColumns().FieldList(), [&](const plat::Variant& s) {
            Next(7, KeyAndDate(s));
            Next(8, M(12));
            List(SettlementReceiptSql(s), SettlementReceiptColumns().FieldList(),
                 [&](const plat::Variant& t) { Next(8, KeyAndDate(t)); });
        });
        if (!settled) Next(8, M(12));
    });
    if (!listed) {
        Next(7, M(11));
        Next(8, M(12));
    }
}

void OrderOutline::Returns() {
    using C = ReturnCol;
    std::string sql = " Select " + ReturnColumns().SelectList() +
                      "  FROM $$COPTI  INNER JOIN $$COPTJ ON TJ001=TI001 AND TJ002=TI002  WHERE TJ021='Y'  AND "
                      "Rtrim(TJ018)=" +
                      k0_ + " AND Rtrim(TJ019)=" + k1_ + " AND Rtrim(TJ020)=" + k2_ + " Order by TI003,TJ001,TJ002,TJ003 ";
    bool listed = List(sql, ReturnColumns().FieldList(), [&](const plat::Variant& r) {
        Line(6, KeyAndDate(r) + " " + Value(r, C::Quantity) + " " + Value(r, C::Unit));
        Next(7, M(14));
        bool settled = List(SettlementSql("2", r), InvoiceColumns().FieldList(), [&](const plat::Variant& s) {
            Line(7, KeyAndDate(s));
            Next(8, M(15));
            List(SettlementReceiptSql(s), SettlementReceiptColumns().FieldList(),
                 [&](const plat::Variant& t) { Line(8, KeyAndDate(t)); });
        });
        if (!settled) Next(8, M(15));
    });
    if (!listed) {
        Next(7, M(14));
        Next(8, M(15));
    }
}

void OrderOutline::Advances() {
    using K = KeyDateCol;
    const ColumnTable<K>& invoices = InvoiceColumns();
    const ColumnTable<K>& receiptColumns = SettlementReceiptColumns();
    std::string sql = " Select " + invoices.SelectList() +
                      "  FROM $$ACRTA  INNER JOIN $$ACRTB ON TA001=TB001 AND TA002=TB002  WHERE TB012='Y' AND TB004='6'  "
                      "AND Rtrim(TB005)=" +
                      k0_ + " AND Rtrim(TB006)=" + k1_ + " Order by TA003,TB001,TB002,TB003 ";
    bool listed = List(sql, invoices.FieldList(), [&](const plat::Variant& a) {
        Line(6, KeyAndDate(a));
        Next(7, M(17));
        std::string offsets = " Select " + invoices.SelectList() +
                              "  FROM $$ACRTA  INNER JOIN $$ACRTB ON TA001=TB001 AND TA002=TB002  WHERE TB012='Y' AND "
                              "TB004='9'  AND Rtrim(TB005)=" +
                              QuotedKey(Value(a, K::Type)) + " AND Rtrim(TB006)=" + QuotedKey(Value(a, K::Number)) +
                              " AND Rtrim(TB007)=" + QuotedKey(Value(a, K::Sequence)) +
                              " Order by TA003,TB001,TB002,TB003 ";
        List(offsets, invoices.FieldList(), [&](const plat::Variant& o) { Line(7, KeyAndDate(o)); });
        Next(7, M(18));
        std::string receipts = " Select " + receiptColumns.SelectList() +
                               "  FROM $$ACRTC  INNER JOIN $$ACRTD ON TC001=TD001 AND TC002=TD002  WHERE TD020='Y'  AND "
                               "Rtrim(TD006)=" +
                               QuotedKey(Value(a, K::Type)) + " AND Rtrim(TD007)=" + QuotedKey(Value(a, K::Number)) +
                               " Order by TC003,TD001,TD002,TD003 ";
        List(receipts, receiptColumns.FieldList(), [&](const plat::Variant& t) { Line(7, KeyAndDate(t)); });
    });
    if (!listed) {
        Next(7, M(17));
        Next(7, M(18));
    }
}

// The purchased quantity is the stored one; no purchase records are listed here.
void OrderOutline::Requisitions() {
    using C = RequisitionCol;
    std::string sql = " Select " + RequisitionColumns().SelectList() +
                      "  FROM $$PURTA  INNER JOIN $$PURTB ON TB001=TA001 AND TB002=TA002  WHERE TB025='Y'  AND "
                      "Rtrim(TB029)=" +
                      k0_ + " AND Rtrim(TB030)=" + k1_ + " AND Rtrim(TB031)=" + k2_ + " Order by TA003,TB001,TB002,TB003 ";
    List(sql, RequisitionColumns().FieldList(), [&](const plat::Variant& q) {
        Line(6, KeyAndDate(q) + " " + Value(q, C::Quantity) + " " + Value(q, C::Unit) + L(19) +
                    Value(q, C::StoredPurchased) + " " + Value(q, C::PurchasedUnit));
    });
}

void OrderOutline::PurchaseOrders() {
    using C = PurchaseOrderCol;
    std::string sql = " Select " + PurchaseOrderColumns().SelectList() +
                      "  FROM $$PURTC  INNER JOIN $$PURTD ON TD001=TC001 AND TD002=TC002  WHERE TD018='Y'  AND "
                      "Rtrim(TD013)=" +
                      k0_ + " AND Rtrim(TD021)=" + k1_ + " AND Rtrim(TD023)=" + k2_ + " Order by TC003,TD001,TD002,TD003 ";
    List(sql, PurchaseOrderColumns().FieldList(), [&](const plat::Variant& p) {
        Line(6, KeyAndDate(p) + " " + Value(p, C::Quantity) + " " + Value(p, C::Unit) + " " + L(21) +
                    Value(p, C::Delivered) + " " + L(5) + Date(p, C::DueDate));
    });
}

void OrderOutline::WorkOrders() {
    bool listed = List(WorkOrderSql(k0_, k1_, k2_), WorkOrderColumns().FieldList(), [&](const plat::Variant& w) {
        Line(6, WorkOrderText(w, L, services_.DisplayDate));
        Next(7, M(31));
        List(RoutingSql(w), RoutingColumns().FieldList(),
             [&](const plat::Variant& s) { Line(7, RoutingStepText(s, L, services_.DisplayDate)); });
    });
    if (!listed) Next(7, M(31));
}

}  // namespace ortk41
