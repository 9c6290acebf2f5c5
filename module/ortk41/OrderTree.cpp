// Building the document tree of an order line. Each listing runs once per
// group and parent line; a listing with no result adds the placeholders of
// the document kinds that would follow from it, so that they stay visible.
#include "OrderTree.h"

#include "DocumentTexts.h"
#include "StrUtils.h"

namespace ortk41 {

namespace {

using Node = ITreeSink::Node;

class TreeBuilder {
public:
    TreeBuilder(const LabelLines& labels, const ListingServices& services, ITreeSink& sink)
        : L(labels), services_(services), sink_(sink) {}

    void Build(const SelectedOrderLine& line);

private:
    std::string Date(const plat::Variant& row, int n) const { return services_.DisplayDate(Value(row, n)); }
    Node Add(Node parent, const std::string& text, int kind = GroupNode) { return sink_.Add(parent, text, kind); }
    void Placeholders(Node parent, int a, int b, int c) {
        Add(parent, L(a));
        Add(parent, L(b));
        Add(parent, L(c));
    }

    void Deliveries(Node group);
    void Returns(Node group);
    void Invoices(Node group, const plat::Variant& source, const char* invoiceKind, int receipts, int refunds,
                  int writeOffs);
    void FollowUps(Node invoice, const plat::Variant& row, const std::string& seq, int receipts, int refunds,
                   int writeOffs);
    void AdvanceInvoices(Node group);
    void AdvanceReceipts(Node group);
    void Requisitions(Node group);
    double PurchasedQuantity(const plat::Variant& stored);
    void PurchaseOrders(Node group);
    void WorkOrders(Node group);
    std::string ReceiptSql(const char* receiptKind, const plat::Variant& invoice, const std::string& seq) const;

    const LabelLines& L;
    const ListingServices& services_;
    ITreeSink& sink_;
    std::string k0_, k1_, k2_;   // the order line's key, trimmed and quoted
};

void TreeBuilder::Build(const SelectedOrderLine& line) {
    k0_ = QuotedKey(line.Type);
    k1_ = QuotedKey(line.Number);
    k2_ = QuotedKey(line.Sequence);
    Node root = Add(ITreeSink::kTopLevel, L(6) + line.HeadText);
    Add(root, line.LineText, OrderLineNode);
    Deliveries(Add(root, L(7)));
    Returns(Add(root, L(12)));
    AdvanceInvoices(Add(root, L(15)));
    AdvanceReceipts(Add(root, L(51)));
    Requisitions(Add(root, L(18)));
    PurchaseOrders(Add(root, L(20)));
    WorkOrders(Add(root, L(22)));
}

void TreeBuilder::Deliveries(Node group) {
    bool listed = RunListing(services_, DeliverySql(k0_, k1_, k2_), kDeliveryFields, [&](const plat::Variant& d) {
        Node delivery = Add(group, DeliveryText(d, L, services_.DisplayDate), DeliveryNode);
        Invoices(Add(delivery, L(10)), d, "1", 11, 46, 47);
    });
    if (!listed) Placeholders(Add(group, L(10)), 11, 46, 47);
}

void TreeBuilder::Returns(Node group) {
    std::string sql = " Select TJ001,TJ002,TJ003,TI003,TJ007,TJ008,TJ025,TJ026,TJ027,TJ068  FROM $$COPTI  INNER JOIN "
                      "$$COPTJ ON TJ001=TI001 AND TJ002=TI002  WHERE TJ021='Y'  AND Rtrim(TJ018)=" +
                      k0_ + " AND Rtrim(TJ019)=" + k1_ + " AND Rtrim(TJ020)=" + k2_ + " Order by TI003,TJ001,TJ002,TJ003 ";
    bool listed = RunListing(services_, sql, "TJ001,TJ002,TJ003,TI003,TJ007,TJ008,TJ025,TJ026,TJ027,TJ068",
                             [&](const plat::Variant& r) {
                                 Node ret = Add(group,
                                                RowKey(r) + " " + Date(r, 3) + " " + L(52) + Value(r, 4) + " " + L(53) +
                                                    Value(r, 9) + " " + Value(r, 5),
                                                ReturnNode);
                                 Invoices(Add(ret, L(13)), r, "2", 14, 48, 49);
                             });
    if (!listed) Placeholders(Add(group, L(13)), 14, 48, 49);
}

// The invoices of a delivery ("1") or a return ("2"), keyed by the source
// line, each followed by its receipts, refunds and write-off records.
void TreeBuilder::Invoices(Node group, const plat::Variant& source, const char* invoiceKind, int receipts, int refunds,
                           int writeOffs) {
    std::string sql = std::string(" Select TB001,TB002,TB003,TA003  FROM $$ACRTA  INNER JOIN $$ACRTB ON TB001=TA001 AND "
                                  "TB002=TA002  WHERE TB012='Y' AND TB004='") +
                      invoiceKind + "'  AND Rtrim(TB005)=" + QuotedKey(Value(source, 0)) +
                      " AND Rtrim(TB006)=" + QuotedKey(Value(source, 1)) + " AND Rtrim(TB007)=" +
                      QuotedKey(Value(source, 2)) + " Order by TA003,TB001,TB002,TB003 ";
    std::string seq = Value(source, 2);
    bool listed = RunListing(services_, sql, "TB001,TB002,TB003,TA003", [&](const plat::Variant& i) {
        Node invoice = Add(group, RowKey(i) + " " + Date(i, 3), InvoiceNode);
        FollowUps(invoice, i, seq, receipts, refunds, writeOffs);
    });
    if (!listed) Placeholders(group, receipts, refunds, writeOffs);
}

std::string TreeBuilder::ReceiptSql(const char* receiptKind, const plat::Variant& invoice, const std::string& seq) const {
    return std::string(" Select TL001,TL002,TL003,TK003  FROM $$ACRTK  INNER JOIN $$ACRTL ON TL001=TK001 AND "
                       "TL002=TK002  INNER JOIN $$CMSMQ ON MQ001=TK001  WHERE TK020='Y' AND TL004='1' AND MQ003='") +
           receiptKind + "'  AND Rtrim(TL005)=" + QuotedKey(Value(invoice, 0)) + " AND Rtrim(TL006)=" +
           QuotedKey(Value(invoice, 1)) + " AND Rtrim(TL007) IN (" + QuotedKey(seq) + ", '') " +
           " Order by TK003,TL001,TL002,TL003 ";
}

void TreeBuilder::FollowUps(Node invoice, const plat::Variant& i, const std::string& seq, int receipts, int refunds,
                            int writeOffs) {
    const std::string fields = "TL001,TL002,TL003,TK003";
    Node receiptGroup = Add(invoice, L(receipts));
    RunListing(services_, ReceiptSql("63", i, seq), fields,
               [&](const plat::Variant& t) { Add(receiptGroup, RowKey(t) + " " + Date(t, 3), ReceiptNode); });
    Node refundGroup = Add(invoice, L(refunds));
    RunListing(services_, ReceiptSql("6D", i, seq), fields,
               [&](const plat::Variant& t) { Add(refundGroup, RowKey(t) + " " + Date(t, 3), ReceiptNode); });
    Node writeOffGroup = Add(invoice, L(writeOffs));
    std::string sql = " Select LC003,LC004,LC005,LC002  FROM $$ACRLC  WHERE LC026='Y'  AND Rtrim(LC003)=" +
                      QuotedKey(Value(i, 0)) + " AND Rtrim(LC004)=" + QuotedKey(Value(i, 1)) +
                      " AND Rtrim(LC005) IN (" + QuotedKey(seq) + ", '') " + " Order by LC002,LC003,LC004,LC005 ";
    RunListing(services_, sql, "LC003,LC004,LC005,LC002",
               [&](const plat::Variant& c) { Add(writeOffGroup, RowKey(c) + " " + Date(c, 3), WriteOffNode); });
}

void TreeBuilder::AdvanceInvoices(Node group) {
    std::string sql = " Select TB001,TB002,TB003,TA003  FROM $$ACRTA  INNER JOIN $$ACRTB ON TA001=TB001 AND TA002=TB002  "
                      "WHERE TB012='Y' AND TB004='6'  AND Rtrim(TB005)=" +
                      k0_ + " AND Rtrim(TB006)=" + k1_ + " AND Rtrim(TB007) IN (" + k2_ + ", '') " +
                      " Order by TA003,TB001,TB002,TB003 ";
    bool listed = RunListing(services_, sql, "TB001,TB002,TB003,TA003", [&](const plat::Variant& a) {
        Node invoice = Add(group, RowKey(a) + " " + Date(a, 3), InvoiceNode);
        Node receipts = Add(invoice, L(50));
        RunListing(services_, ReceiptSql("6C", a, Value(a, 2)), "TL001,TL002,TL003,TK003", [&](const plat::Variant& t) {
            Add(receipts, RowKey(t) + " " + Date(t, 3), AdvanceReceiptNode);
        });
    });
    if (!listed) Add(group, L(50));
}

void TreeBuilder::AdvanceReceipts(Node group) {
    std::string sql = " Select TK001,TK002,TK003  FROM $$ACRTK  INNER JOIN $$CMSMQ ON MQ001=TK001  WHERE TK020='Y' AND "
                      "MQ003='6C'  AND Rtrim(TK017)=" +
                      k0_ + " AND Rtrim(TK018)=" + k1_ + " Order by TK003,TK001,TK002 ";
    // The receipt date is shown as stored, eight digits.
    RunListing(services_, sql, "TK001,TK002,TK003", [&](const plat::Variant& k) {
        Add(group, DocumentKey(Value(k, 0), Value(k, 1)) + " " + Value(k, 2), AdvanceReceiptNode);
    });
}

void TreeBuilder::Requisitions(Node group) {
    std::string sql = " Select TB001,TB002,TB003,TA003,TB009,TB007,TB014,TB015,TB045,TB007,TB004,TB005  FROM $$PURTA  "
                      "INNER JOIN $$PURTB ON TB001=TA001 AND TB002=TA002  WHERE TB025='Y'  AND Rtrim(TB029)=" +
                      k0_ + " AND Rtrim(TB030)=" + k1_ + " AND Rtrim(TB031)=" + k2_ + " Order by TA003,TB001,TB002,TB003 ";
    // Each row is listed as stored and converted here, so that the purchase
    // records are compared and converted with the requisition's stored values.
    RunListing(
        services_, sql, "TB001,TB002,TB003,TA003,TB009,TB007,TB014,TB015,TB045,TB007,TB004,TB005 ",
        [&](const plat::Variant& stored) {
            plat::Variant q = services_.ConvertRow ? services_.ConvertRow(stored) : stored;
            double purchased = PurchasedQuantity(stored);
            Add(group,
                RowKey(q) + " " + Value(q, 10) + "(" + Value(q, 11) + ")" + " " + Date(q, 3) + " " + Value(q, 4) + " " +
                    Value(q, 5) + L(19) + plat::FloatToStr(purchased) + " " + Value(q, 9),
                RequisitionNode);
        },
        RowConversion::AsStored);
}

// The quantity purchased against a requisition line (as stored), in the
// requisition's unit. Keys go into the statement quoted (untrimmed, quotes
// doubled).
double TreeBuilder::PurchasedQuantity(const plat::Variant& stored) {
    std::string sql = " select TR006,TR008 from $$PURTR where TR001=" + plat::QuotedStr(Value(stored, 0)) +
                      " and TR002=" + plat::QuotedStr(Value(stored, 1)) + " and TR003=" +
                      plat::QuotedStr(Value(stored, 2)) + " and TR017='Y' ";
    double purchased = 0;
    std::string unit = Value(stored, 9), item = Value(stored, 10);
    RunListing(
        services_, sql, "TR006,TR008",
        [&](const plat::Variant& t) {
            if (Value(t, 1) == unit) {
                purchased += t[0].IsEmptyOrNull() ? 0 : t[0].ToDouble();
                return;
            }
            plat::Variant converted = services_.CallServer("UnitConvert", plat::VarArrayOf({item, t[0], t[1], unit}));
            if (!plat::HasRows(converted))
                throw plat::Exception("UnitConvert gave no quantity for item " + item + " from " + Value(t, 1) +
                                      " to " + unit);
            purchased += converted[0].ToDouble();
        },
        RowConversion::AsStored);
    return purchased;
}

void TreeBuilder::PurchaseOrders(Node group) {
    std::string sql = " Select TD001,TD002,TD003,TC003,TD008,TD009,TD015,TD012,TD004,TD005  FROM $$PURTC  INNER JOIN "
                      "$$PURTD ON TD001=TC001 AND TD002=TC002  WHERE TD018='Y'  AND Rtrim(TD013)=" +
                      k0_ + " AND Rtrim(TD021)=" + k1_ + " AND Rtrim(TD023)=" + k2_ + " Order by TC003,TD001,TD002,TD003 ";
    RunListing(services_, sql, "TD001,TD002,TD003,TC003,TD008,TD009,TD015,TD012,TD004,TD005",
               [&](const plat::Variant& p) {
                   Add(group,
                       RowKey(p) + " " + Value(p, 8) + "(" + Value(p, 9) + ")" + " " + Date(p, 3) + " " + Value(p, 4) +
                           " " + Value(p, 5) + " " + L(21) + Value(p, 6) + " " + L(5) + Date(p, 7),
                       PurchaseOrderNode);
               });
}

void TreeBuilder::WorkOrders(Node group) {
    bool listed = RunListing(services_, WorkOrderSql(k0_, k1_, k2_), kWorkOrderFields, [&](const plat::Variant& w) {
        Node workOrder = Add(group, WorkOrderText(w, L, services_.DisplayDate), WorkOrderNode);
        Node steps = Add(workOrder, L(30));
        RunListing(services_, RoutingSql(w), kRoutingFields, [&](const plat::Variant& s) {
            Add(steps, RoutingStepText(s, L, services_.DisplayDate), RoutingStepNode);
        });
    });
    if (!listed) Add(group, L(30));
}

}  // namespace

void BuildOrderTree(const SelectedOrderLine& line, const LabelLines& labels, const ListingServices& services,
                    ITreeSink& sink) {
    TreeBuilder(labels, services, sink).Build(line);
}

}  // namespace ortk41
