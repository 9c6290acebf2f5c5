// One listing of the order tracking query: an SQL text and its field list
// sent through "SimpleSQL", and the rows of the answer handed out one by one.
// The document tree and the export outline both list this way.
#pragma once

#include <cstddef>
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

// Whether the field list sent with a listing ends in a blank. Two listings
// have always sent theirs so; the blank is kept so that the text the server
// receives stays what it was.
enum class FieldListEnd { Bare, Blank };

// The columns of one listing, named once: `Col` is a struct holding an
// unscoped enum of the positions, in SELECT order, closed by `Count`. The
// SELECT list and the field list are both made from the one list of names,
// and a row of the answer is read by position name (Value(row, Col::Date)).
template <typename Col>
class ColumnTable {
public:
    template <std::size_t N>
    explicit ColumnTable(const char* const (&names)[N], FieldListEnd end = FieldListEnd::Bare) {
        static_assert(N == static_cast<std::size_t>(Col::Count), "one column name for each named position");
        for (std::size_t i = 0; i < N; ++i) {
            if (i > 0) select_ += ',';
            select_ += names[i];
        }
        fields_ = end == FieldListEnd::Blank ? select_ + ' ' : select_;
    }

    // "A,B,C": the names as they follow SELECT.
    const std::string& SelectList() const { return select_; }
    // The same names as the field list handed to the service with the statement.
    const std::string& FieldList() const { return fields_; }

private:
    std::string select_;
    std::string fields_;
};

// The shape of most document listings: a document line's key and its
// document's date. RowKey reads the first three.
struct KeyDateCol {
    enum : int { Type, Number, Sequence, Date, Count };
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
