// TdmSingle: the data module of single-table programs. It adds the error
// handling of saving the main dataset (the reconcile-error handler) and the
// currency display formats of the number fields a program registers.
#pragma once

#include <string>

#include "BaseCD.h"

class TOLEExcel;
class TfrmRadical;

class TdmSingle : public TdmBase {
    VCL_DECLARE_CLASS(TdmSingle)
public:
    explicit TdmSingle(vcl::TComponent* owner);

    // Comma lists of main-dataset fields per currency kind 0..3 (unit price,
    // amount, unit cost, cost) that get the company currency's decimals.
    std::string CurrencyFields[4];

    // The spreadsheet automation component of the exports (owned; AutoCloseExcel
    // set, invisible, "," as thousands sign). A window's own export may put
    // its component here for the run and clear the reference afterwards.
    TOLEExcel* OLEExcel1 = nullptr;

    // Exports `dataSet` (open and not empty; otherwise nothing happens) to a
    // spreadsheet file "<profile>/c_data/<user>/<program>_<yyyymmddhhnnss>.xls"
    // with one column per visible field, heading row first, and offers to
    // open it. ExportToExcel drives the spreadsheet application (number
    // formats when `formatted`; a cell that cannot be written shows a red
    // "Error!"); it answers false when the export did not reach the file.
    // ExportToXlsFile writes the file directly (numbers as numbers).
    // Messages and questions go through `form`.
    bool ExportToExcel(vcl::TClientDataSet* dataSet, TfrmRadical* form, bool formatted);
    void ExportToXlsFile(vcl::TClientDataSet* dataSet, TfrmRadical* form);

    // Opens the main dataset, then gives the registered fields their formats.
    bool OpenData() override;
    // For each kind with registered fields: the company currency ("SYS003"),
    // its digits of that kind, the number display format with that many
    // decimals on each listed field of `dataSet`.
    void ApplyCurrencyFormats(vcl::TClientDataSet* dataSet);
    // Decimals given to a field by ApplyCurrencyFormats; -1 when none.
    int FieldDecimals(const std::string& fieldName) const;

    // The reconcile-error handler of cdsMain: shows the error and writes the
    // context and the previous error code to the alert log.
    void cdsMainReconcileError(vcl::TClientDataSet* dataSet, vcl::EReconcileError& error, vcl::TUpdateKind kind,
                               vcl::TReconcileAction& action);

private:
    std::map<std::string, int> decimals_;   // upper-cased field name -> decimals
};
