// Statements and line texts that the document tree and the export outline
// share: the delivery, work order and routing step listings and the texts
// their rows become, and the column tables of the listings both make.
// Keys come in already trimmed and quoted.
#pragma once

#include <functional>
#include <string>

#include "Listing.h"

namespace ortk41 {

using DateDisplay = std::function<std::string(const std::string&)>;

// Sales delivery lines (COPTH under COPTG).
struct DeliveryCol {
    enum : int { Type, Number, Sequence, Date, Sold, FreeOrSpare, Unit, TH027, TH028, TH029, Count };
};
// Work orders (MOCTA) made for the order line.
struct WorkOrderCol {
    enum : int { Type, Number, Date, PlannedQuantity, Unit, Produced, State, Count };
};
// Routing steps (SFCTA) of a work order, with the work centre's name.
struct RoutingCol {
    enum : int {
        Step, WorkCentreName, WorkCentre, TA007, Process, PlannedStart, PlannedEnd, Input, Completed, Scrapped,
        ReworkInput, ReworkCompleted, Transferred, Pending, CompletionCode, TA032, ActualStart, ActualEnd, Count
    };
};
// Sales return lines (COPTJ under COPTI); the tree adds TJ068.
struct ReturnCol {
    enum : int { Type, Number, Sequence, Date, Quantity, Unit, TJ025, TJ026, TJ027, Count };
};
// Purchase requisition lines (PURTB under PURTA); the tree adds the item.
// TB007 is listed twice: once after the quantity, once after the quantity
// already purchased.
struct RequisitionCol {
    enum : int { Type, Number, Sequence, Date, Quantity, Unit, TB014, TB015, StoredPurchased, PurchasedUnit, Count };
};
// Purchase order lines (PURTD under PURTC); the tree adds the item.
struct PurchaseOrderCol {
    enum : int { Type, Number, Sequence, Date, Quantity, Unit, Delivered, DueDate, Count };
};

const ColumnTable<DeliveryCol>& DeliveryColumns();
const ColumnTable<WorkOrderCol>& WorkOrderColumns();
const ColumnTable<RoutingCol>& RoutingColumns();
// Invoice and settlement lines (ACRTB under ACRTA), keyed as KeyDateCol.
const ColumnTable<KeyDateCol>& InvoiceColumns();

std::string DeliverySql(const std::string& k0, const std::string& k1, const std::string& k2);
std::string WorkOrderSql(const std::string& k0, const std::string& k1, const std::string& k2);
std::string RoutingSql(const plat::Variant& workOrder);

// key, delivery date, quantity sold, free/spare quantity, unit
std::string DeliveryText(const plat::Variant& d, const LabelLines& L, const DateDisplay& date);
// key, date, planned quantity, unit, produced quantity and the state word
std::string WorkOrderText(const plat::Variant& w, const LabelLines& L, const DateDisplay& date);
// step, process, work centre, planned and actual dates and the quantities
std::string RoutingStepText(const plat::Variant& s, const LabelLines& L, const DateDisplay& date);

}  // namespace ortk41
