// TdmBase: the data module of program windows with a main dataset. It adds
// the main dataset and its colour rules, opens the main dataset with the
// user's table settings, stamps its system fields as records are added and
// edited, lets the window check a record before it is posted, and keeps the
// decimal digits of each currency it was asked about.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RadicalCD.h"

// Decimal digits of one currency (CMSMF): unit price, amount, unit cost,
// cost. All 0 in an empty setting (a currency the server does not know).
class TCurrencySetting : public vcl::TObject {
public:
    int Kind2Digits = 0;          // MF005
    std::string CurrencyCode;     // MF001
    int Kind1Digits = 0;          // MF004
    int Kind0Digits = 0;          // MF003
    int Kind3Digits = 0;          // MF006
};

class TdmBase : public TdmRadical {
    VCL_DECLARE_CLASS(TdmBase)
public:
    explicit TdmBase(vcl::TComponent* owner);

    vcl::TClientDataSet* cdsMain;         // 20 records a packet, no fetching on demand
    vcl::TDataSource* dsMain;
    vcl::TClientDataSet* cdsMainColor;    // colour rules, provider "pvdColor"
    vcl::TDataSource* dsMainColor;

    std::string MainTable;                // user information "M11_TABLE"
    std::string MainKey;                  // "M11_KEY"
    std::string MainSelect, DetailSelect; // "M11_SELECT", "D11_SELECT" when "SYS150" begins with "Y"
    std::string MainCondition, MainOrder; // of the main dataset's statement
    // Currency code (trimmed, upper-cased) -> its digits; filled by GetCurrencyDigits.
    std::map<std::string, std::unique_ptr<TCurrencySetting>> CurrencySettings;
    // The tables the window registered after it was shown: main, detail,
    // head and foot (user information "M11_TABLE" ... "F11_TABLE"), trimmed.
    std::vector<std::string> RegisteredTables;

    // What the window tells the module (all optional): whether it is in edit
    // mode, its check of a record before posting, its record display.
    std::function<bool()> WindowEditing;
    std::function<bool(vcl::TClientDataSet*)> CheckRecord;
    std::function<void(vcl::TClientDataSet*)> ShowRecord;

    // Opens the main dataset with the user's table settings; true when it is
    // open. Its system fields are shown only in field-management mode.
    // Exceptions pass to the caller.
    virtual bool OpenData();
    // Field-management mode: the system fields of the main dataset are shown
    // (now, and whenever it opens again) only while it is on.
    void ShowSystemFields(bool show);
    bool SystemFieldsShown() const { return systemFieldsShown_; }
    // Keeps the window's tables in RegisteredTables, in the order given.
    void RegisterTables(const std::string& main, const std::string& detail, const std::string& head,
                        const std::string& foot);
    // Sets the main dataset's condition and order; the next open uses them.
    virtual void SetDataSetCondition(vcl::TClientDataSet* dataSet, const std::string& where, const std::string& order);
    // The statement the main dataset is opened with.
    std::string MainStatement() const;
    // Digits of `currencyCode` for kind 0 (unit price, MF003), 1 (amount,
    // MF004), 2 (unit cost, MF005), 3 (cost, MF006); -1 for an empty code, no
    // broker or another kind. Asks the server once per currency.
    int GetCurrencyDigits(const std::string& currencyCode, int kind);

protected:
    virtual void cdsMainNewRecord(vcl::TClientDataSet* dataSet);
    virtual void cdsMainAfterEdit(vcl::TClientDataSet* dataSet);
    virtual void cdsMainBeforePost(vcl::TClientDataSet* dataSet);
    virtual void cdsMainAfterScroll(vcl::TClientDataSet* dataSet);

private:
    void StoreCurrencyRow(const plat::Variant& row);
    bool systemFieldsShown_ = false;
};
