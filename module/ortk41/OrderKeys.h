// The key texts every order tracking label starts with: a document's type
// filled to 4 characters, "-", its number filled to 11, and for document
// lines "-" and the line sequence. The opening of documents cuts these
// fixed-width pieces off the start of a node's text, so the widths matter.
#pragma once

#include <string>

#include "Variant.h"

namespace ortk41 {

// PadRight(type, 4) + "-" + PadRight(number, 11)
std::string DocumentKey(const std::string& type, const std::string& number);
// DocumentKey(type, number) + "-" + sequence (the sequence as it comes)
std::string RowKey(const std::string& type, const std::string& number, const std::string& sequence);
// RowKey of values 0, 1 and 2 of a listing row.
std::string RowKey(const plat::Variant& row);

// Value n of a listing row as text ("" for a missing, Empty or Null value).
std::string Value(const plat::Variant& row, int n);
// Appends Value(row, n) to `out`, filled with blanks to `width` characters
// when it is shorter (as PadRight fills); no copy of a text value is made.
void AppendValue(std::string& out, const plat::Variant& row, int n, int width = 0);

// Kind codes of the tree's nodes.
enum NodeKind : int {
    GroupNode = 0,
    OrderLineNode = 1000,
    DeliveryNode = 2000,
    InvoiceNode = 3000,
    ReceiptNode = 4000,
    ReturnNode = 5000,
    RequisitionNode = 6000,
    PurchaseOrderNode = 7000,
    WorkOrderNode = 8000,
    RoutingStepNode = 9000,
    WriteOffNode = 10000,
    AdvanceReceiptNode = 11000,
};

}  // namespace ortk41
