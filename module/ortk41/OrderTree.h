// The document tree of one sales-order line: every downstream document the
// business database links to the line, listing after listing, each document
// line one node whose text starts with the document's key and whose kind
// code says which program maintains it.
#pragma once

#include <string>

#include "Listing.h"
#include "OrderKeys.h"

namespace ortk41 {

// Where the tree's nodes go. Node handles are the sink's own; kTopLevel
// adds a node at the top.
class ITreeSink {
public:
    using Node = long;
    static constexpr Node kTopLevel = -1;
    virtual ~ITreeSink() = default;
    virtual Node Add(Node parent, const std::string& text, int kind) = 0;
};

// The selected order line: grid cells 0-2 of its row and its two labels.
struct SelectedOrderLine {
    std::string Type;
    std::string Number;
    std::string Sequence;
    std::string HeadText;   // the order-head label of the row
    std::string LineText;   // the order-line label of the row
};

// Adds the whole tree of `line` to `sink`, in the order the user reads it.
// Server errors (and a "UnitConvert" answer that is not an array) are
// raised; the nodes added so far stay in the sink.
void BuildOrderTree(const SelectedOrderLine& line, const LabelLines& labels, const ListingServices& services,
                    ITreeSink& sink);

}  // namespace ortk41
