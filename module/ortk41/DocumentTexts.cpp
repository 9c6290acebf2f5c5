// The listings and texts shared by the document tree and the export outline.
#include "DocumentTexts.h"

#include "OrderKeys.h"

namespace ortk41 {

const char* const kDeliveryFields = "TH001,TH002,TH003,TG003,TH008,TH024,TH009,TH027,TH028,TH029";
const char* const kWorkOrderFields = "TA001,TA002,TA003,TA015,TA007,TA017,TA011";
const char* const kRoutingFields =
    "TA003,MW002,TA004,TA007,TA006,TA008,TA009,TA010,TA011,TA012,TA013,TA014,TA015,TA016,TA017,TA032,TA030,TA031";

std::string DeliverySql(const std::string& k0, const std::string& k1, const std::string& k2) {
    return " Select TH001,TH002,TH003,TG003,TH008,TH024,TH009,TH027,TH028,TH029  FROM $$COPTG  INNER JOIN $$COPTH ON "
           "TH001=TG001 AND TH002=TG002  WHERE TH020='Y'  AND Rtrim(TH014)=" +
           k0 + " AND Rtrim(TH015)=" + k1 + " AND Rtrim(TH016)=" + k2 + " Order by TG003,TH001,TH002,TH003 ";
}

std::string WorkOrderSql(const std::string& k0, const std::string& k1, const std::string& k2) {
    return " Select TA001,TA002,TA003,TA015,TA007,TA017,TA011  FROM $$MOCTA  WHERE TA013='Y'  AND Rtrim(TA026)=" + k0 +
           " AND Rtrim(TA027)=" + k1 + " AND Rtrim(TA028)=" + k2 + " Order by TA003,TA001,TA002 ";
}

std::string RoutingSql(const plat::Variant& w) {
    return " Select TA003,MW002,TA004,TA007,TA006,TA008,TA009,TA010,TA011,TA012,TA013,TA014,TA015,TA016,TA017,TA032,"
           "TA030,TA031  FROM $$SFCTA  LEFT JOIN $$CMSMW ON MW001=TA004  WHERE Rtrim(TA001)=" +
           QuotedKey(Value(w, 0)) + " AND Rtrim(TA002)=" + QuotedKey(Value(w, 1)) + " Order by TA001,TA002,TA003,TA006 ";
}

std::string DeliveryText(const plat::Variant& d, const LabelLines& L, const DateDisplay& date) {
    return RowKey(d) + " " + date(Value(d, 3)) + L(8) + Value(d, 4) + L(9) + Value(d, 5) + " " + Value(d, 6);
}

std::string WorkOrderText(const plat::Variant& w, const LabelLines& L, const DateDisplay& date) {
    // The state word is chosen by exact, case-sensitive comparison.
    std::string state = Value(w, 6);
    std::string word = state == "1" ? L(25) : state == "2" ? L(26) : state == "3" ? L(27)
                     : state == "Y" ? L(28) : state == "y" ? L(29) : std::string();
    return DocumentKey(Value(w, 0), Value(w, 1)) + " " + date(Value(w, 2)) + " " + Value(w, 3) + " " + Value(w, 4) +
           " " + L(23) + Value(w, 5) + L(24) + word;
}

std::string RoutingStepText(const plat::Variant& s, const LabelLines& L, const DateDisplay& date) {
    // Line 40 labels value 13 and line 41 both values 14 and 15; line 39 stays unused.
    return Value(s, 0) + " " + Value(s, 1) + "(" + Value(s, 2) + ") " + Value(s, 3) + "(" + Value(s, 4) + ") " + L(31) +
           date(Value(s, 5)) + " " + L(32) + date(Value(s, 6)) + " " + L(33) + Value(s, 7) + L(34) + Value(s, 8) + " " +
           L(35) + Value(s, 9) + L(36) + Value(s, 10) + " " + L(37) + Value(s, 11) + L(38) + Value(s, 12) + " " + L(40) +
           Value(s, 13) + L(41) + Value(s, 14) + " " + L(41) + Value(s, 15) + " " + L(42) + date(Value(s, 16)) + " " +
           L(43) + date(Value(s, 17));
}

}  // namespace ortk41
