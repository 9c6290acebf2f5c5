// How the shell's document windows name and show the fields of the business
// tables: captions (Chinese or English) and display kinds from the company
// database's data dictionary (FIELDDICT), and the company's formats for
// dates (system parameters SYS001 kind and SYS002 separator) and amounts
// (amount digits of the company currency SYS003 in CMSMF).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CompanyDatabase.h"
#include "Variant.h"

namespace shell {

class FieldDictionary {
public:
    // Reads the dictionary rows of `tables` (and of the system fields every
    // table carries) and the company's formats. `english` picks CAPTION_EN
    // where one is written. A database without the dictionary (made before
    // it existed) gives no captions and shows every value as stored; that is
    // noted on standard error.
    FieldDictionary(server::CompanyDatabase& database, const std::string& company,
                    const std::vector<std::string>& tables, bool english);

    // The caption of `field` in `table`; the field name itself when the
    // dictionary does not know it.
    std::string Caption(const std::string& table, const std::string& field) const;
    // The value as the user sees it: dates in the company's format (empty
    // for an empty or impossible date), quantities as "#,##0.#######",
    // amounts with the currency's amount digits, anything else right-trimmed.
    std::string Display(const std::string& table, const std::string& field, const plat::Variant& value) const;
    // True for quantities and amounts (shown right-aligned).
    bool IsNumber(const std::string& table, const std::string& field) const;
    // True for the system fields every maintained table carries (COMPANY, CREATOR ...).
    bool IsSystemField(const std::string& field) const;

private:
    struct Entry {
        std::string Caption;
        char Kind = 'T';   // 'D' date, 'Q' quantity, 'A' amount, 'T' text
    };
    const Entry* Find(const std::string& table, const std::string& field) const;

    std::map<std::pair<std::string, std::string>, Entry> entries_;   // (table, field); table "" = system fields
    int dateKind_ = 1;
    std::string dateSeparator_ = "/";
    int amountDigits_ = 2;
};

}  // namespace shell
