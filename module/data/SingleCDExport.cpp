// The data-set exports of single-table programs: through the spreadsheet
// application with formats, or straight into a file without.
#include <QDateTime>
#include <filesystem>
#include <memory>

#include "Brokers.h"
#include "DBClient.h"
#include "Dialogs.h"
#include "Db.h"
#include "Format.h"
#include "SingleCD.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "FieldFormats.h"
#include "export/OleExcel.h"
#include "export/XLSExport.h"
#include "forms/RadicalCF.h"
#include "lang/CodeConverter.h"
#include "forms/BaseCF.h"
#include "forms/ExportScope.h"
#include "forms/ShowStatus.h"

using vcl::TClientDataSet;
using vcl::TField;
using vcl::TFieldType;

namespace {

bool HasRecords(TClientDataSet* dataSet) { return dataSet && dataSet->Active() && !dataSet->IsEmpty(); }

// The data-aware combo box of the form that shows `field`, if any.
vcl::TComboBox* ComboOf(TField* field, TClientDataSet* dataSet, vcl::TComponent* form) {
    for (int i = 0; form && i < form->ComponentCount(); ++i) {
        auto* combo = dynamic_cast<vcl::TComboBox*>(form->Components(i));
        if (combo && combo->DataSource() && combo->DataSource()->DataSet() == dataSet &&
            plat::UpperCase(combo->DataField()) == plat::UpperCase(field->FieldName()))
            return combo;
    }
    return nullptr;
}

// The visible fields in order, each with the combo box that shows it.
struct ExportColumn {
    TField* field;
    vcl::TComboBox* combo;
};

std::vector<ExportColumn> ExportColumns(TClientDataSet* dataSet, vcl::TComponent* form) {
    std::vector<ExportColumn> columns;
    for (int i = 0; i < dataSet->FieldCount(); ++i)
        if (TField* f = dataSet->Fields(i); f->Visible()) columns.push_back({f, ComboOf(f, dataSet, form)});
    return columns;
}

// The text a field shows on the form: through its combo box, the part
// before the tab of the first item that contains the field's text.
std::string ShownText(const ExportColumn& column) {
    std::string text = column.field->DisplayText();
    if (!column.combo || text.empty()) return text;
    for (int k = 0; k < column.combo->Items()->Count(); ++k) {
        const std::string& item = (*column.combo->Items())[k];
        if (item.find(text) != std::string::npos) return item.substr(0, item.find('\t'));
    }
    return text;
}

// Where a data-set export goes: "<profile>/c_data/<user>", created (with
// any missing folder above it) when missing; false when that failed.
bool MakeExportFolder(TfrmRadical* form, const std::string& user, std::string& folder) {
    folder = plat::IncludeTrailingPathDelimiter(form->ProfilePath) + "c_data/" + user;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string ExportStamp() { return QDateTime::currentDateTime().toString("yyyyMMddHHmmss").toStdString(); }

// "<folder>/<program>_<stamp>.xlsx": the files hold Office Open XML, and
// their names say so. A name taken by an earlier export of the same second
// is not replaced: the next free "_2", "_3" ... is proposed instead.
std::string ExportFileName(const std::string& folder, const std::string& program, const std::string& stamp) {
    std::string base = folder + "/" + program + "_" + stamp;
    std::string file = base + ".xlsx";
    std::error_code error;
    for (int n = 2; std::filesystem::exists(file, error) && n < 1000; ++n) file = base + "_" + std::to_string(n) + ".xlsx";
    return file;
}

// The question both exports ask about the file they wrote; `format` is the
// language text of "sOpenDoc" with the file's place holder.
bool WantsToOpen(TfrmRadical* form, const std::string& format, const std::string& file) {
    std::string question = plat::Format(format, {plat::Variant(file)});
    return form->KvConverter()->ShowMessageBox(question, plat::MsgDlgType::Confirmation,
                                               {plat::MsgDlgBtn::Yes, plat::MsgDlgBtn::No}) == plat::mrYes;
}

constexpr char kOpenDocText[] = "转出文档: \r%s\r\r是否打开文档?";

void Tell(TfrmRadical* form, const std::string& text) {
    form->KvConverter()->ShowMessageBox(text, plat::MsgDlgType::Warning, {plat::MsgDlgBtn::OK});
}

// A failed export: the user reads the language text, the alert log keeps
// the reason (the library's or the system's own words) under `where`.
void Fail(TfrmRadical* form, const std::string& program, const std::string& text, const std::string& where,
          const std::string& reason) {
    TdmRadical::WriteAlertLog(program.empty() ? "Export" : program, where + ": " + reason, "D");
    Tell(form, text);
}

// One export run: the window kept still and the progress window, which is
// closed and freed on every path.
class ExportRun {
public:
    ExportRun(TClientDataSet* dataSet, TfrmRadical* form, const std::string& text)
        : scope_(dynamic_cast<TfrmBase*>(form)), status_(vcl::TComponent::Create<TfrmShowStatus>(form)) {
        status_->ShowProgress(text, 0, dataSet->RecordCount());
    }
    ~ExportRun() {
        status_->CloseProgress();
        status_->Free();
    }
    TfrmShowStatus& Status() { return *status_; }

private:
    ExportScope scope_;
    TfrmShowStatus* status_;
};

}  // namespace

namespace {

// One cell of the export with formats, by the field's type.
void WriteFormattedCell(TOLEExcel& excel, int row, int col, const ExportColumn& column, bool formatted,
                        const std::string& percentMask, int decimals) {
    TField* f = column.field;
    switch (f->DataType()) {
    case TFieldType::ftString:
    case TFieldType::ftWideString:
        excel.WriteText(row, col, nullptr, true, ShownText(column));
        break;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
        excel.SetDecimals(0);
        excel.WriteInteger(row, col, true, f->AsInteger());
        break;
    case TFieldType::ftBoolean:
        excel.WriteText(row, col, nullptr, true, f->AsBoolean() ? "Y" : "N");
        break;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        if (f->EditMask() == percentMask) {
            excel.WriteText(row, col, nullptr, true, f->DisplayText());
        } else if (formatted) {
            if (decimals >= 0) excel.SetDecimals(decimals);
            excel.WriteFloat(row, col, nullptr, decimals >= 0, f->AsFloat());
        } else {
            excel.WriteText(row, col, nullptr, true, f->Text());
        }
        break;
    case TFieldType::ftFixedChar:
        excel.WriteText(row, col, nullptr, true, f->DisplayText());
        break;
    default:
        break;   // other kinds of data have no cell
    }
}

}  // namespace

bool TdmSingle::ExportToExcel(TClientDataSet* dataSet, TfrmRadical* form, bool formatted) {
    if (!HasRecords(dataSet) || !form) return false;
    // A window's own export may have cleared the reference: start a new component.
    if (!OLEExcel1) OLEExcel1 = vcl::TComponent::Create<TOLEExcel>(this);
    TOLEExcel& excel = *OLEExcel1;
    std::string program = Brokers ? Brokers->ProgramCode : std::string();
    try {
        excel.Connect(true);
        excel.SetVisible(false);
        excel.NewWorkbook();
        excel.SetSheetName(program);
    } catch (const std::exception&) {
        Tell(form, LangText("TdmSingle", "sFailedCreateExcell", "创建新的 EXCEL 文件"));
        return false;
    }

    std::string user = Brokers ? Brokers->UserID : std::string(), stamp = ExportStamp();
    auto saveAsError = [&](const std::string& file) {
        return plat::Format(LangText("TdmSingle", "sSaveAsError", "保存为----> %s 失败!"), {plat::Variant(file)});
    };
    std::vector<ExportColumn> columns = ExportColumns(dataSet, form);
    try {
        ExportRun run(dataSet, form, LangText("TdmSingle", "sConvertStat", "查询结果转 Excel 文件进度"));
        dataSet->FetchAll();
        dataSet->First();
        for (size_t c = 0; c < columns.size(); ++c)
            excel.WriteText(1, static_cast<int>(c) + 1, nullptr, true, columns[c].field->DisplayLabel());
        std::string percentMask = PercentFieldEditMask();
        for (int row = 2; !dataSet->Eof(); ++row, dataSet->Next()) {
            for (size_t c = 0; c < columns.size(); ++c) {
                int col = static_cast<int>(c) + 1;
                try {
                    WriteFormattedCell(excel, row, col, columns[c], formatted, percentMask,
                                       formatted ? FieldDecimals(columns[c].field->FieldName()) : -1);
                } catch (const std::exception&) {
                    try {
                        excel.WriteErrorCell(row, col);
                    } catch (const std::exception&) {
                        // the application refuses this cell altogether; the export goes on
                    }
                }
            }
            run.Status().StepProgress();
        }
    } catch (const std::exception& e) {
        excel.Connect(false);
        std::string planned = plat::IncludeTrailingPathDelimiter(form->ProfilePath) + "c_data/" + user + "/" + program +
                              "_" + stamp + ".xlsx";
        Fail(form, program, saveAsError(planned), "SingleCDExport-1", e.what());
        return false;
    }

    std::string folder;
    if (!MakeExportFolder(form, user, folder)) {
        Tell(form, plat::Format(LangText("TdmSingle", "sCreateDirError", "创建目录%s失败!"), {plat::Variant(folder)}));
        excel.Connect(false);
        return false;
    }
    std::string file = ExportFileName(folder, program, stamp);
    try {
        // A workbook that went missing on the way cannot be saved: say so
        // rather than offer a file that does not exist.
        if (excel.Workbook().IsEmpty()) throw std::runtime_error("no workbook");
        excel.SaveWorkbookAs(file);
    } catch (const std::exception& e) {
        Fail(form, program, saveAsError(file), "SingleCDExport-2", e.what());
        excel.Connect(false);
        return false;
    }
    if (WantsToOpen(form, LangText("TdmSingle", "sOpenDoc", kOpenDocText), file)) {
        // The application shows the workbook; the desktop opens the saved file for it.
        excel.SetVisible(true);
        OpenExportedFile(form, file);
    } else {
        excel.Connect(false);
    }
    return true;
}

void TdmSingle::ExportToXlsFile(TClientDataSet* dataSet, TfrmRadical* form) {
    if (!HasRecords(dataSet) || !form) return;
    std::string program = Brokers ? Brokers->ProgramCode : std::string();
    std::string folder;
    if (!MakeExportFolder(form, Brokers ? Brokers->UserID : std::string(), folder)) {
        Tell(form, plat::Format(LangText("TdmSingle", "sCreateDirError", "创建目录%s失败!"), {plat::Variant(folder)}));
        return;
    }
    std::string file = ExportFileName(folder, program, ExportStamp());
    std::string saveAsError = plat::Format(LangText("TdmSingle", "sSaveAsError", "保存为----> %s 失败!"), {plat::Variant(file)});
    TXLSExport filter(file);
    try {
        filter.CreateStream(file);
    } catch (const std::exception& e) {
        Fail(form, program, saveAsError, "SingleCDExport-3", e.what());
        return;
    }

    std::vector<ExportColumn> columns = ExportColumns(dataSet, form);
    vcl::TBookmark place = dataSet->GetBookmark();
    dataSet->DisableControls();
    try {
        ExportRun run(dataSet, form, LangText("TdmSingle", "sConvertStat", "查询结果转 Excel 文件进度"));
        dataSet->FetchAll();
        for (size_t c = 0; c < columns.size(); ++c)
            filter.WriteCell(0, static_cast<int>(c), TXLSExport::kText, columns[c].field->DisplayLabel());
        dataSet->First();
        for (int row = 1; !dataSet->Eof(); ++row, dataSet->Next()) {
            for (size_t c = 0; c < columns.size(); ++c) {
                TField* f = columns[c].field;
                int col = static_cast<int>(c);
                switch (f->DataType()) {
                case TFieldType::ftSmallint:
                case TFieldType::ftInteger:
                case TFieldType::ftFloat:
                    // An empty number is 0, as the export with formats writes it.
                    filter.WriteNumber(row, col, f->IsNull() ? 0.0 : f->AsFloat());
                    break;
                case TFieldType::ftBoolean:
                    filter.WriteCell(row, col, TXLSExport::kText, f->AsBoolean() ? "Y" : "N");
                    break;
                default:
                    filter.WriteCell(row, col, TXLSExport::kText, ShownText(columns[c]));
                    break;
                }
            }
            run.Status().StepProgress();
        }
        if (dataSet->BookmarkValid(place)) dataSet->GotoBookmark(place);
        dataSet->EnableControls();
        filter.CloseStream();
    } catch (const std::exception& e) {
        // The filter discards the unfinished file with its temporary file.
        if (dataSet->BookmarkValid(place)) dataSet->GotoBookmark(place);
        dataSet->EnableControls();
        Fail(form, program, saveAsError, "SingleCDExport-4", e.what());
        return;
    }
    if (WantsToOpen(form, LangText("TdmSingle", "sOpenDoc", kOpenDocText), file)) OpenExportedFile(form, file);
}
