// Building the document tree of an order line. Each listing runs once per
// group and parent line; a listing with no result adds the placeholders of
// the document kinds that would follow from it, so that they stay visible.
#include "OrderTree.h"

#include "DocumentTexts.h"
#include "StrUtils.h"

namespace ortk41 {

namespace {

using Node = ITreeSink::Node;

// The label lines of the three groups under an invoice.
struct FollowUpLabels {
    int Receipts;    // receipts group
    int Refunds;     // refunds group
    int WriteOffs;   // write-off records group
};

// Listings only the tree makes. Each starts with a document line's key.
struct TreeReturnCol : ReturnCol {
    enum : int { TJ068 = ReturnCol::Count, Count };
};
struct TreeRequisitionCol : RequisitionCol {
    enum : int { Item = RequisitionCol::Count, ItemName, Count };
};
struct TreePurchaseOrderCol : PurchaseOrderCol {
    enum : int { Item = PurchaseOrderCol::Count, ItemName, Count };
};
// Advance receipts (ACRTK): a document key and the receipt date.
struct AdvanceReceiptCol {
    enum : int { Type, Number, Date, Count };
};
// Purchase records (PURTR) of a requisition line.
struct PurchaseRecordCol {
    enum : int { Quantity, Unit, Count };
};

const ColumnTable<TreeReturnCol>& ReturnColumns() {
    static const ColumnTable<TreeReturnCol> columns(
        {"TJ001", "TJ002", "TJ003", "TI003", "TJ007", "TJ008", "TJ025", "TJ026", "TJ027", "TJ068"});
    return columns;
}

const ColumnTable<KeyDateCol>& ReceiptColumns() {
    static const ColumnTable<KeyDateCol> columns({"TL001", "TL002", "TL003", "TK003"});
    return columns;
}

const ColumnTable<KeyDateCol>& WriteOffColumns() {
    static const ColumnTable<KeyDateCol> columns({"LC003", "LC004", "LC005", "LC002"});
    return columns;
}

const ColumnTable<AdvanceReceiptCol>& AdvanceReceiptColumns() {
    static const ColumnTable<AdvanceReceiptCol> columns({"TK001", "TK002", "TK003"});
    return columns;
}

// The field list of this listing has always been sent with a trailing blank.
const ColumnTable<TreeRequisitionCol>& RequisitionColumns() {
    static const ColumnTable<TreeRequisitionCol> columns({"TB001", "TB002", "TB003", "TA003", "TB009", "TB007", "TB014",
                                                          "TB015", "TB045", "TB007", "TB004", "TB005"},
                                                         FieldListEnd::Blank);
    return columns;
}

const ColumnTable<PurchaseRecordCol>& PurchaseRecordColumns() {
    static const ColumnTable<PurchaseRecordCol> columns({"TR006", "TR008"});
    return columns;
}

const ColumnTable<TreePurchaseOrderCol>& PurchaseOrderColumns() {
    static const ColumnTable<TreePurchaseOrderCol> columns(
        {"TD001", "TD002", "TD003", "TC003", "TD008", "TD009", "TD015", "TD012", "TD004", "TD005"});
    return columns;
}

class TreeBuilder {
public:
    TreeBuilder(const LabelLines& labels, const ListingServices& services, ITreeSink& sink)
        : L(labels), services_(services), sink_(sink) {}

    void Build(const SelectedOrderLine& line);

private:
    std::string Date(const plat::Variant& row, int n) const { return services_.DisplayDate(Value(row, n)); }
    // A document line's key and date, the text of most listed lines.
    std::string KeyAndDate(const plat::Variant& row) const { return RowKey(row) + " " + Date(row, KeyDateCol::Date); }
    Node Add(Node parent, const std::string& text, int kind = GroupNode) { return sink_.Add(parent, text, kind); }
    void Placeholders(Node parent, const FollowUpLabels& groups) {
        Add(parent, L(groups.Receipts));
        Add(parent, L(groups.Refunds));
        Add(parent, L(groups.WriteOffs));
    }

    void Deliveries(Node group);
    void Returns(Node group);
    void Invoices(Node group, const plat::Variant& source, const char* invoiceKind, const FollowUpLabels& groups);
    void FollowUps(Node invoice, const plat::Variant& row, const std::string& seq, const FollowUpLabels& groups);
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
    const FollowUpLabels groups{11, 46, 47};
    bool listed =
        RunListing(services_, DeliverySql(k0_, k1_, k2_), DeliveryColumns().FieldList(), [&](const plat::Variant& d) {
            Node delivery = Add(group, DeliveryText(d, L, services_.DisplayDate), DeliveryNode);
            Invoices(Add(delivery, L(10)), d, "1", groups);
        });
    if (!listed) Placeholders(Add(group, L(10)), groups);
}

void TreeBuilder::Returns(Node group) {
    using C = TreeReturnCol;
    const ColumnTable<C>& columns = ReturnColumns();
    std::string sql = " Select " + columns.SelectList() +
                      "  FROM $$COPTI  INNER JOIN $$COPTJ ON TJ001=TI001 AND TJ002=TI002  WHERE TJ021='Y'  AND "
                      "Rtrim(TJ018)=" +
                      k0_ + " AND Rtrim(TJ019)=" + k1_ + " AND Rtrim(TJ020)=" + k2_ + " Order by TI003,TJ001,TJ002,TJ003 ";
    const FollowUpLabels groups{14, 48, 49};
    bool listed = RunListing(services_, sql, columns.FieldList(), [&](const plat::Variant& r) {
        // Lines 52 and 53 lie past the vocabulary's end and read as empty text;
        // they are kept so that a vocabulary with those lines shows them.
        Node ret = Add(group,
                       KeyAndDate(r) + " " + L(52) + Value(r, C::Quantity) + " " + L(53) + Value(r, C::TJ068) + " " +
                           Value(r, C::Unit),
                       ReturnNode);
        Invoices(Add(ret, L(13)), r, "2", groups);
    });
    if (!listed) Placeholders(Add(group, L(13)), groups);
}

// The invoices of a delivery ("1") or a return ("2"), keyed by the source
// line, each followed by its receipts, refunds and write-off records.
// `source` starts with a document line's key (KeyDateCol's first three).
void TreeBuilder::Invoices(Node group, const plat::Variant& source, const char* invoiceKind,
                           const FollowUpLabels& groups) {
    using K = KeyDateCol;
    std::string sql = " Select " + InvoiceColumns().SelectList() +
                      "  FROM $$ACRTA  INNER JOIN $$ACRTB ON TB001=TA001 AND TB002=TA002  WHERE TB012='Y' AND TB004='" +
                      invoiceKind + "'  AND Rtrim(TB005)=" + QuotedKey(Value(source, K::Type)) +
                      " AND Rtrim(TB006)=" + QuotedKey(Value(source, K::Number)) + " AND Rtrim(TB007)=" +
                      QuotedKey(Value(source, K::Sequence)) + " Order by TA003,TB001,TB002,TB003 ";
    std::string seq = Value(source, K::Sequence);
    bool listed = RunListing(services_, sql, InvoiceColumns().FieldList(), [&](const plat::Variant& i) {
        Node invoice = Add(group, KeyAndDate(i), InvoiceNode);
        FollowUps(invoice, i, seq, groups);
    });
    if (!listed) Placeholders(group, groups);
}

std::string TreeBuilder::ReceiptSql(const char* receiptKind, const plat::Variant& invoice, const std::string& seq) const {
    return " Select " + ReceiptColumns().SelectList() +
           "  FROM $$ACRTK  INNER JOIN $$ACRTL ON TL001=TK001 AND TL002=TK002  INNER JOIN $$CMSMQ ON MQ001=TK001  WHERE "
           "TK020='Y' AND TL004='1' AND MQ003='" +
           receiptKind + "'  AND Rtrim(TL005)=" + QuotedKey(Value(invoice, KeyDateCol::Type)) + " AND Rtrim(TL006)=" +
           QuotedKey(Value(invoice, KeyDateCol::Number)) + " AND Rtrim(TL007) IN (" + QuotedKey(seq) + ", '') " +
           " Order by TK003,TL001,TL002,TL003 ";
}

void TreeBuilder::FollowUps(Node invoice, const plat::Variant& i, const std::string& seq,
                            const FollowUpLabels& groups) {
    const std::string& fields = ReceiptColumns().FieldList();
    Node receiptGroup = Add(invoice, L(groups.Receipts));
    RunListing(services_, ReceiptSql("63", i, seq), fields,
               [&](const plat::Variant& t) { Add(receiptGroup, KeyAndDate(t), ReceiptNode); });
    Node refundGroup = Add(invoice, L(groups.Refunds));
    RunListing(services_, ReceiptSql("6D", i, seq), fields,
               [&](const plat::Variant& t) { Add(refundGroup, KeyAndDate(t), ReceiptNode); });
    Node writeOffGroup = Add(invoice, L(groups.WriteOffs));
    std::string sql = " Select " + WriteOffColumns().SelectList() +
                      "  FROM $$ACRLC  WHERE LC026='Y'  AND Rtrim(LC003)=" + QuotedKey(Value(i, KeyDateCol::Type)) +
                      " AND Rtrim(LC004)=" + QuotedKey(Value(i, KeyDateCol::Number)) + " AND Rtrim(LC005) IN (" +
                      QuotedKey(seq) + ", '') " + " Order by LC002,LC003,LC004,LC005 ";
    RunListing(services_, sql, WriteOffColumns().FieldList(),
               [&](const plat::Variant& c) { Add(writeOffGroup, KeyAndDate(c), WriteOffNode); });
}

void TreeBuilder::AdvanceInvoices(Node group) {
    std::string sql = " Select " + InvoiceColumns().SelectList() +
                      "  FROM $$ACRTA  INNER JOIN $$ACRTB ON TA001=TB001 AND TA002=TB002  WHERE TB012='Y' AND TB004='6'  "
                      "AND Rtrim(TB005)=" +
                      k0_ + " AND Rtrim(TB006)=" + k1_ + " AND Rtrim(TB007) IN (" + k2_ + ", '') " +
                      " Order by TA003,TB001,TB002,TB003 ";
    bool listed = RunListing(services_, sql, InvoiceColumns().FieldList(), [&](const plat::Variant& a) {
        Node invoice = Add(group, KeyAndDate(a), InvoiceNode);
        Node receipts = Add(invoice, L(50));
        RunListing(services_, ReceiptSql("6C", a, Value(a, KeyDateCol::Sequence)), ReceiptColumns().FieldList(),
                   [&](const plat::Variant& t) { Add(receipts, KeyAndDate(t), AdvanceReceiptNode); });
    });
    if (!listed) Add(group, L(50));
}

void TreeBuilder::AdvanceReceipts(Node group) {
    using C = AdvanceReceiptCol;
    std::string sql = " Select " + AdvanceReceiptColumns().SelectList() +
                      "  FROM $$ACRTK  INNER JOIN $$CMSMQ ON MQ001=TK001  WHERE TK020='Y' AND MQ003='6C'  AND "
                      "Rtrim(TK017)=" +
                      k0_ + " AND Rtrim(TK018)=" + k1_ + " Order by TK003,TK001,TK002 ";
    // The receipt date is shown as stored, eight digits.
    RunListing(services_, sql, AdvanceReceiptColumns().FieldList(), [&](const plat::Variant& k) {
        Add(group, DocumentKey(Value(k, C::Type), Value(k, C::Number)) + " " + Value(k, C::Date), AdvanceReceiptNode);
    });
}

void TreeBuilder::Requisitions(Node group) {
    using C = TreeRequisitionCol;
    const ColumnTable<C>& columns = RequisitionColumns();
    std::string sql = " Select " + columns.SelectList() +
                      "  FROM $$PURTA  INNER JOIN $$PURTB ON TB001=TA001 AND TB002=TA002  WHERE TB025='Y'  AND "
                      "Rtrim(TB029)=" +
                      k0_ + " AND Rtrim(TB030)=" + k1_ + " AND Rtrim(TB031)=" + k2_ + " Order by TA003,TB001,TB002,TB003 ";
    // Each row is listed as stored and converted here, so that the purchase
    // records are compared and converted with the requisition's stored values.
    RunListing(
        services_, sql, columns.FieldList(),
        [&](const plat::Variant& stored) {
            plat::Variant q = services_.ConvertRow ? services_.ConvertRow(stored) : stored;
            double purchased = PurchasedQuantity(stored);
            Add(group,
                RowKey(q) + " " + Value(q, C::Item) + "(" + Value(q, C::ItemName) + ")" + " " + Date(q, C::Date) + " " +
                    Value(q, C::Quantity) + " " + Value(q, C::Unit) + L(19) + plat::FloatToStr(purchased) + " " +
                    Value(q, C::PurchasedUnit),
                RequisitionNode);
        },
        RowConversion::AsStored);
}

// The quantity purchased against a requisition line (as stored), in the
// requisition's unit. Keys go into the statement quoted (untrimmed, quotes
// doubled).
double TreeBuilder::PurchasedQuantity(const plat::Variant& stored) {
    using C = TreeRequisitionCol;
    using P = PurchaseRecordCol;
    std::string sql = " select " + PurchaseRecordColumns().SelectList() +
                      " from $$PURTR where TR001=" + plat::QuotedStr(Value(stored, C::Type)) + " and TR002=" +
                      plat::QuotedStr(Value(stored, C::Number)) + " and TR003=" +
                      plat::QuotedStr(Value(stored, C::Sequence)) + " and TR017='Y' ";
    double purchased = 0;
    std::string unit = Value(stored, C::PurchasedUnit), item = Value(stored, C::Item);
    RunListing(
        services_, sql, PurchaseRecordColumns().FieldList(),
        [&](const plat::Variant& t) {
            const plat::Variant& quantity = t[P::Quantity];
            if (Value(t, P::Unit) == unit) {
                purchased += quantity.IsEmptyOrNull() ? 0 : quantity.ToDouble();
                return;
            }
            plat::Variant converted =
                services_.CallServer("UnitConvert", plat::VarArrayOf({item, quantity, t[P::Unit], unit}));
            if (!plat::HasRows(converted))
                throw plat::Exception("UnitConvert gave no quantity for item " + item + " from " + Value(t, P::Unit) +
                                      " to " + unit);
            purchased += converted[0].ToDouble();
        },
        RowConversion::AsStored);
    return purchased;
}

void TreeBuilder::PurchaseOrders(Node group) {
    using C = TreePurchaseOrderCol;
    const ColumnTable<C>& columns = PurchaseOrderColumns();
    std::string sql = " Select " + columns.SelectList() +
                      "  FROM $$PURTC  INNER JOIN $$PURTD ON TD001=TC001 AND TD002=TC002  WHERE TD018='Y'  AND "
                      "Rtrim(TD013)=" +
                      k0_ + " AND Rtrim(TD021)=" + k1_ + " AND Rtrim(TD023)=" + k2_ + " Order by TC003,TD001,TD002,TD003 ";
    RunListing(services_, sql, columns.FieldList(), [&](const plat::Variant& p) {
        Add(group,
            RowKey(p) + " " + Value(p, C::Item) + "(" + Value(p, C::ItemName) + ")" + " " + Date(p, C::Date) + " " +
                Value(p, C::Quantity) + " " + Value(p, C::Unit) + " " + L(21) + Value(p, C::Delivered) + " " + L(5) +
                Date(p, C::DueDate),
            PurchaseOrderNode);
    });
}

void TreeBuilder::WorkOrders(Node group) {
    const std::string& fields = WorkOrderColumns().FieldList();
    bool listed = RunListing(services_, WorkOrderSql(k0_, k1_, k2_), fields, [&](const plat::Variant& w) {
        Node workOrder = Add(group, WorkOrderText(w, L, services_.DisplayDate), WorkOrderNode);
        Node steps = Add(workOrder, L(30));
        RunListing(services_, RoutingSql(w), RoutingColumns().FieldList(), [&](const plat::Variant& s) {
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
