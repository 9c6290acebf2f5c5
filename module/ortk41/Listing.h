// One listing of the order tracking query: an SQL text and its field list
// sent through "SimpleSQL", and the rows of the answer handed out one by one.
// The document tree and the export outline both list this way.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Variant.h"

namespace ortk41 {

// What a listing needs from its window: the server call and the code
// conversion of answer rows, and the user's date display.
struct ListingServices {
    std::function<plat::Variant(const std::string& method, const plat::Variant& params)> CallServer;
    std::function<plat::Variant(const plat::Variant& row)> ConvertRow;      // identity when nothing converts
    std::function<std::string(const std::string& yyyymmdd)> DisplayDate;   // "" for a malformed date
};

enum class RowConversion { Convert, AsStored };

// Which answers count as "no result": for the tree anything that is not an
// array, for the export only Empty and Null.
enum class NoResult { NotAnArray, EmptyOrNull };

// Runs one listing. Returns false when the answer is no result; an array
// without rows is a result with no rows. Every element that is itself an
// array is passed through ConvertRow (unless AsStored) and handed to `onRow`
// in the order the server returned it.
bool RunListing(const ListingServices& services, const std::string& sql, const std::string& fields,
                const std::function<void(const plat::Variant& row)>& onRow,
                RowConversion conversion = RowConversion::Convert, NoResult noResult = NoResult::NotAnArray);

// The fixed words of the tree and the list, read by line number; a line
// beyond the last reads as empty text.
class LabelLines {
public:
    LabelLines() = default;
    explicit LabelLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::string operator()(int n) const {
        return n >= 0 && static_cast<size_t>(n) < lines_.size() ? lines_[static_cast<size_t>(n)] : std::string();
    }

private:
    std::vector<std::string> lines_;
};

// The built-in vocabulary of the tree and the list (52 lines).
const std::vector<std::string>& DefaultTreeLabels();

// The built-in group words of the export outline (34 lines).
const std::vector<std::string>& DefaultOutlineLabels();

// x trimmed and put in SQL quotes.
std::string QuotedKey(const std::string& x);

}  // namespace ortk41
