// The listings and texts shared by the document tree and the export outline.
#include "DocumentTexts.h"

#include "OrderKeys.h"

namespace ortk41 {

const ColumnTable<DeliveryCol>& DeliveryColumns() {
    static const ColumnTable<DeliveryCol> columns(
        {"TH001", "TH002", "TH003", "TG003", "TH008", "TH024", "TH009", "TH027", "TH028", "TH029"});
    return columns;
}

const ColumnTable<WorkOrderCol>& WorkOrderColumns() {
    static const ColumnTable<WorkOrderCol> columns({"TA001", "TA002", "TA003", "TA015", "TA007", "TA017", "TA011"});
    return columns;
}

const ColumnTable<RoutingCol>& RoutingColumns() {
    static const ColumnTable<RoutingCol> columns({"TA003", "MW002", "TA004", "TA007", "TA006", "TA008", "TA009",
                                                  "TA010", "TA011", "TA012", "TA013", "TA014", "TA015", "TA016",
                                                  "TA017", "TA032", "TA030", "TA031"});
    return columns;
}

const ColumnTable<KeyDateCol>& InvoiceColumns() {
    static const ColumnTable<KeyDateCol> columns({"TB001", "TB002", "TB003", "TA003"});
    return columns;
}

std::string DeliverySql(const std::string& k0, const std::string& k1, const std::string& k2) {
    return " Select " + DeliveryColumns().SelectList() +
           "  FROM $$COPTG  INNER JOIN $$COPTH ON TH001=TG001 AND TH002=TG002  WHERE TH020='Y'  AND Rtrim(TH014)=" +
           k0 + " AND Rtrim(TH015)=" + k1 + " AND Rtrim(TH016)=" + k2 + " Order by TG003,TH001,TH002,TH003 ";
}

std::string WorkOrderSql(const std::string& k0, const std::string& k1, const std::string& k2) {
    return " Select " + WorkOrderColumns().SelectList() + "  FROM $$MOCTA  WHERE TA013='Y'  AND Rtrim(TA026)=" + k0 +
           " AND Rtrim(TA027)=" + k1 + " AND Rtrim(TA028)=" + k2 + " Order by TA003,TA001,TA002 ";
}

std::string RoutingSql(const plat::Variant& w) {
    return " Select " + RoutingColumns().SelectList() +
           "  FROM $$SFCTA  LEFT JOIN $$CMSMW ON MW001=TA004  WHERE Rtrim(TA001)=" +
           QuotedKey(Value(w, WorkOrderCol::Type)) + " AND Rtrim(TA002)=" + QuotedKey(Value(w, WorkOrderCol::Number)) +
           " Order by TA001,TA002,TA003,TA006 ";
}

std::string DeliveryText(const plat::Variant& d, const LabelLines& L, const DateDisplay& date) {
    using C = DeliveryCol;
    return RowKey(d) + " " + date(Value(d, C::Date)) + L(8) + Value(d, C::Sold) + L(9) + Value(d, C::FreeOrSpare) +
           " " + Value(d, C::Unit);
}

std::string WorkOrderText(const plat::Variant& w, const LabelLines& L, const DateDisplay& date) {
    using C = WorkOrderCol;
    // The state word is chosen by exact, case-sensitive comparison.
    std::string state = Value(w, C::State);
    std::string word = state == "1" ? L(25) : state == "2" ? L(26) : state == "3" ? L(27)
                     : state == "Y" ? L(28) : state == "y" ? L(29) : std::string();
    return DocumentKey(Value(w, C::Type), Value(w, C::Number)) + " " + date(Value(w, C::Date)) + " " +
           Value(w, C::PlannedQuantity) + " " + Value(w, C::Unit) + " " + L(23) + Value(w, C::Produced) + L(24) + word;
}

std::string RoutingStepText(const plat::Variant& s, const LabelLines& L, const DateDisplay& date) {
    using C = RoutingCol;
    // Line 40 labels the pending quantity and line 41 both the completion
    // code and TA032; line 39 stays unused.
    return Value(s, C::Step) + " " + Value(s, C::WorkCentreName) + "(" + Value(s, C::WorkCentre) + ") " +
           Value(s, C::TA007) + "(" + Value(s, C::Process) + ") " + L(31) + date(Value(s, C::PlannedStart)) + " " +
           L(32) + date(Value(s, C::PlannedEnd)) + " " + L(33) + Value(s, C::Input) + L(34) + Value(s, C::Completed) +
           " " + L(35) + Value(s, C::Scrapped) + L(36) + Value(s, C::ReworkInput) + " " + L(37) +
           Value(s, C::ReworkCompleted) + L(38) + Value(s, C::Transferred) + " " + L(40) + Value(s, C::Pending) + L(41) +
           Value(s, C::CompletionCode) + " " + L(41) + Value(s, C::TA032) + " " + L(42) +
           date(Value(s, C::ActualStart)) + " " + L(43) + date(Value(s, C::ActualEnd));
}

}  // namespace ortk41
