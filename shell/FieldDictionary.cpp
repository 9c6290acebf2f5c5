// Field captions and the company's display formats for the document windows.
#include "FieldDictionary.h"

#include <cstdlib>
#include <iostream>

#include "NumberFormat.h"
#include "SqlError.h"
#include "StrUtils.h"
#include "data/FieldFormats.h"

namespace shell {

namespace {

std::string Text(const plat::Variant& v) { return plat::VarToStr(v); }

// A whole number from a parameter text; `fallback` when it is none.
int NumberOr(const std::string& text, int fallback) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    return text.empty() || *end ? fallback : static_cast<int>(value);
}

}  // namespace

FieldDictionary::FieldDictionary(server::CompanyDatabase& database, const std::string& company,
                                 const std::vector<std::string>& tables, bool english) {
    std::string names = "''";
    for (const std::string& table : tables) names += "," + plat::QuotedStr(table);
    server::ResultTable dictionary;
    try {
        dictionary = database.Query(
            "SELECT TABLE_NAME,FIELD_NAME,CAPTION_GB,CAPTION_EN,KIND FROM $$FIELDDICT FIELDDICT WHERE TABLE_NAME IN (" +
            names + ")");
    } catch (const server::SqlError& e) {
        // A company database made before the dictionary existed: the fields
        // keep their names and their values show as stored.
        std::cerr << "tamber-workcenter: no field captions in " << database.Location() << ": " << e.Message() << "\n";
    }
    // An answer row holds exactly the columns its SELECT names, in that order.
    for (const auto& row : dictionary.rows) {
        std::string chinese = plat::Trim(Text(row[2])), other = plat::Trim(Text(row[3]));
        std::string kind = plat::Trim(Text(row[4]));
        entries_[{plat::Trim(Text(row[0])), plat::Trim(Text(row[1]))}] =
            Entry{english && !other.empty() ? other : chinese, kind.empty() ? 'T' : kind[0]};
    }

    server::ResultTable params = database.Query(
        "SELECT NAME,VALUE FROM $$SYSPARAM SYSPARAM WHERE COMPANY=" + plat::QuotedStr(company) +
        " AND NAME IN ('SYS001','SYS002','SYS003')");
    std::string currency;
    for (const auto& row : params.rows) {
        std::string name = plat::Trim(Text(row[0])), value = plat::Trim(Text(row[1]));
        if (name == "SYS001") dateKind_ = NumberOr(value, 1);
        else if (name == "SYS002") dateSeparator_ = value;
        else currency = value;
    }
    if (!currency.empty()) {
        server::ResultTable digits =
            database.Query("SELECT MF004 FROM $$CMSMF CMSMF WHERE MF001=" + plat::QuotedStr(currency));
        if (!digits.rows.empty()) amountDigits_ = NumberOr(plat::Trim(Text(digits.rows[0][0])), amountDigits_);
    }
}

const FieldDictionary::Entry* FieldDictionary::Find(const std::string& table, const std::string& field) const {
    auto it = entries_.find({table, field});
    if (it == entries_.end()) it = entries_.find({"", field});
    return it == entries_.end() ? nullptr : &it->second;
}

std::string FieldDictionary::Caption(const std::string& table, const std::string& field) const {
    const Entry* entry = Find(table, field);
    return entry && !entry->Caption.empty() ? entry->Caption : field;
}

bool FieldDictionary::IsNumber(const std::string& table, const std::string& field) const {
    const Entry* entry = Find(table, field);
    return entry && (entry->Kind == 'Q' || entry->Kind == 'A');
}

bool FieldDictionary::IsSystemField(const std::string& field) const { return entries_.count({"", field}) > 0; }

std::string FieldDictionary::Display(const std::string& table, const std::string& field,
                                     const plat::Variant& value) const {
    const Entry* entry = Find(table, field);
    if (value.IsNull() || value.IsEmpty()) return {};
    switch (entry ? entry->Kind : 'T') {
    case 'D': return fieldfmt::DbDateToDisplay(dateKind_, dateSeparator_, plat::Trim(Text(value)));
    case 'Q': return vcl::FormatFloat(fieldfmt::NumberFieldDisplayFormat(0), value.ToDouble());
    case 'A': return vcl::FormatFloat(fieldfmt::NumberFieldDisplayFormat(amountDigits_), value.ToDouble());
    default: return plat::TrimRight(Text(value));
    }
}

}  // namespace shell
