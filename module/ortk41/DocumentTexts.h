// Statements and line texts that the document tree and the export outline
// share: the delivery, work order and routing step listings and the texts
// their rows become. Keys come in already trimmed and quoted.
#pragma once

#include <functional>
#include <string>

#include "Listing.h"

namespace ortk41 {

using DateDisplay = std::function<std::string(const std::string&)>;

extern const char* const kDeliveryFields;
extern const char* const kWorkOrderFields;
extern const char* const kRoutingFields;

std::string DeliverySql(const std::string& k0, const std::string& k1, const std::string& k2);
std::string WorkOrderSql(const std::string& k0, const std::string& k1, const std::string& k2);
std::string RoutingSql(const plat::Variant& workOrder);

// key, delivery date, quantity sold, free/spare quantity, unit
std::string DeliveryText(const plat::Variant& d, const LabelLines& L, const DateDisplay& date);
// key, date, item, quantity, produced quantity and the state word
std::string WorkOrderText(const plat::Variant& w, const LabelLines& L, const DateDisplay& date);
// step, process, work centre, planned and actual dates and the quantities
std::string RoutingStepText(const plat::Variant& s, const LabelLines& L, const DateDisplay& date);

}  // namespace ortk41
