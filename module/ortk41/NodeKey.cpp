// Node keys and the programs that open them.
#include "NodeKey.h"

#include "OrderKeys.h"
#include "StrUtils.h"

namespace ortk41 {

std::string Characters(const std::string& s, size_t from, size_t n) {
    // Positions count characters, not bytes: keys may hold Chinese text.
    std::string rest = s;
    for (size_t skipped = 1; skipped < from && !rest.empty(); ++skipped) {
        size_t len = plat::Utf8Left(rest, 1).size();
        rest.erase(0, len == 0 ? 1 : len);
    }
    return plat::Utf8Left(rest, n);
}

std::string NodeKeyText(int kind, const std::string& ownText, const std::string& grandparentText) {
    switch (kind) {
    case GroupNode: return {};
    case RoutingStepNode: return Characters(grandparentText, 1, 21);
    case WriteOffNode: return Characters(grandparentText, 1, 42);
    default: return Characters(ownText, 1, 21);
    }
}

std::optional<Opening> OpeningFor(int kind, const std::string& keyText,
                                  const std::function<std::string(const std::string&)>& displayDateToDb) {
    const std::string p16 = plat::QuotedStr(Characters(keyText, 1, 16));
    auto concatenation = [&](const char* program, const char* table, const char* prefix) {
        return Opening{program, std::string(" ") + table + "." + prefix + "001 + '-' + " + table + "." + prefix +
                                    "002 =" + p16};
    };
    switch (kind) {
    case OrderLineNode: return concatenation("PGSO01", "COPTC", "TC");
    case DeliveryNode: return concatenation("PGSD01", "COPTG", "TG");
    case InvoiceNode: return concatenation("PGAR01", "ACRTA", "TA");
    case ReceiptNode: return concatenation("PGAR02", "ACRTK", "TK");
    case AdvanceReceiptNode: return concatenation("PGAR03", "ACRTK", "TK");
    case ReturnNode: return concatenation("PGSR01", "COPTI", "TI");
    case RequisitionNode: return concatenation("PGPR01", "PURTA", "TA");
    case PurchaseOrderNode: return concatenation("PGPO01", "PURTC", "TC");
    case WorkOrderNode: return concatenation("PGWO01", "MOCTA", "TA");
    case RoutingStepNode: return concatenation("PGWR01", "MOCTA", "TA");
    case WriteOffNode: {
        // The key holds the invoice line's displayed date; the records store it as "YYYYMMDD".
        std::string date = displayDateToDb(plat::Trim(Characters(keyText, 23, 20)));
        return Opening{"PGAR04", " ACRLC.LC003 + '-' + ACRLC.LC004 + '-' + ACRLC.LC005=" +
                                     plat::QuotedStr(Characters(keyText, 1, 21)) +
                                     " AND ACRLC.LC002=" + plat::QuotedStr(date)};
    }
    default: return std::nullopt;
    }
}

}  // namespace ortk41
