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
#include "forms/ShowStatus.h"

using vcl::TClientDataSet;
using vcl::TField;
using vcl::TFieldType;

namespace {

bool HasRecords(TClientDataSet* dataSet) { return dataSet && dataSet->Active() && !dataSet->IsEmpty(); }

std::vector<TField*> VisibleFields(TClientDataSet* dataSet) {
    std::vector<TField*> fields;
    for (int i = 0; i < dataSet->FieldCount(); ++i)
        if (dataSet->Fields(i)->Visible()) fields.push_back(dataSet->Fields(i));
    return fields;
}

// The text a field shows on the form: a field shown by a data-aware combo
// box gives the part before the tab of the first item that contains its text.
std::string ShownText(TField* field, TClientDataSet* dataSet, vcl::TComponent* form) {
    std::string text = field->DisplayText();
    for (int i = 0; form && i < form->ComponentCount(); ++i) {
        auto* combo = dynamic_cast<vcl::TComboBox*>(form->Components(i));
        if (!combo || !combo->DataSource() || combo->DataSource()->DataSet() != dataSet ||
            plat::UpperCase(combo->DataField()) != plat::UpperCase(field->FieldName()))
            continue;
        for (int k = 0; k < combo->Items()->Count(); ++k) {
            const std::string& item = (*combo->Items())[k];
            if (item.find(text) != std::string::npos) return item.substr(0, item.find('\t'));
        }
        break;
    }
    return text;
}

// Where a data-set export goes: "<profile>/c_data/<user>/"; created (with
// any missing folder above it) when missing; empty when that failed.
std::string ExportFolder(TfrmRadical* form, const std::string& user) {
    std::string folder = plat::IncludeTrailingPathDelimiter(form->ProfilePath) + "c_data/" + user;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error) ? folder : std::string();
}

std::string ExportFileName(const std::string& folder, const std::string& program) {
    return folder + "/" + program + "_" +
           QDateTime::currentDateTime().toString("yyyyMMddHHmmss").toStdString() + ".xls";
}

int Ask(TfrmRadical* form, const std::string& text) {
    return form->KvConverter()->ShowMessageBox(text, plat::MsgDlgType::Confirmation,
                                               {plat::MsgDlgBtn::Yes, plat::MsgDlgBtn::No});
}

void Tell(TfrmRadical* form, const std::string& text) {
    form->KvConverter()->ShowMessageBox(text, plat::MsgDlgType::Warning, {plat::MsgDlgBtn::OK});
}

// The progress window of one export, closed and freed on every path.
class ExportRun {
public:
    ExportRun(TClientDataSet* dataSet, TfrmRadical* form, const std::string& text)
        : status_(vcl::TComponent::Create<TfrmShowStatus>(form)) {
        status_->ShowProgress(text, 0, dataSet->RecordCount());
    }
    ~ExportRun() {
        status_->CloseProgress();
        status_->Free();
    }
    TfrmShowStatus& Status() { return *status_; }

private:
    TfrmShowStatus* status_;
};

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

    std::vector<TField*> fields = VisibleFields(dataSet);
    {
        ExportRun run(dataSet, form, LangText("TdmSingle", "sConvertStat", "查询结果转 Excel 文件进度"));
        dataSet->FetchAll();
        dataSet->First();
        for (size_t c = 0; c < fields.size(); ++c)
            excel.WriteText(1, static_cast<int>(c) + 1, nullptr, true, fields[c]->DisplayLabel());
        std::string percentMask = PercentFieldEditMask();
        for (int row = 2; !dataSet->Eof(); ++row, dataSet->Next()) {
            for (size_t c = 0; c < fields.size(); ++c) {
                int col = static_cast<int>(c) + 1;
                TField* f = fields[c];
                try {
                    switch (f->DataType()) {
                    case TFieldType::ftString:
                    case TFieldType::ftWideString:
                        excel.WriteText(row, col, nullptr, true, ShownText(f, dataSet, form));
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
                            int decimals = FieldDecimals(f->FieldName());
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
    }

    std::string folder = ExportFolder(form, Brokers ? Brokers->UserID : std::string());
    if (folder.empty()) {
        std::string failed = plat::IncludeTrailingPathDelimiter(form->ProfilePath) + "c_data/" +
                             (Brokers ? Brokers->UserID : std::string());
        Tell(form, plat::Format(LangText("TdmSingle", "sCreateDirError", "创建目录%s失败!"), {plat::Variant(failed)}));
        excel.Connect(false);
        return false;
    }
    std::string file = ExportFileName(folder, program);
    try {
        excel.SaveWorkbookAs(file);
    } catch (const std::exception&) {
        Tell(form, plat::Format(LangText("TdmSingle", "sSaveAsError", "保存为----> %s 失败!"), {plat::Variant(file)}));
        excel.Connect(false);
        return false;
    }
    std::string question = plat::Format(LangText("TdmSingle", "sOpenDoc", "转出文档: \r%s\r\r是否打开文档?"),
                                        {plat::Variant(file)});
    if (Ask(form, question) == plat::mrYes) {
        excel.SetVisible(true);
        // The application shows the workbook; the desktop opens the saved file for it.
        plat::ShellExecute("open", file);
    } else {
        excel.Connect(false);
    }
    return true;
}

void TdmSingle::ExportToXlsFile(TClientDataSet* dataSet, TfrmRadical* form) {
    if (!HasRecords(dataSet) || !form) return;
    std::string user = Brokers ? Brokers->UserID : std::string();
    std::string folder = ExportFolder(form, user);
    if (folder.empty()) {
        Tell(form, "创建目录：" + plat::IncludeTrailingPathDelimiter(form->ProfilePath) + "c_data/" + user + " 失败!");
        return;
    }
    std::string file = ExportFileName(folder, Brokers ? Brokers->ProgramCode : std::string());
    TXLSExport filter(file);
    try {
        filter.CreateStream(file);
    } catch (const std::exception&) {
        Tell(form, "create file: " + file + "  failed!");
        return;
    }

    std::vector<TField*> fields = VisibleFields(dataSet);
    vcl::TBookmark place = dataSet->GetBookmark();
    dataSet->DisableControls();
    try {
        ExportRun run(dataSet, form, "查询结果转 Excel 文件进度");
        dataSet->FetchAll();
        for (size_t c = 0; c < fields.size(); ++c)
            filter.WriteCell(0, static_cast<int>(c), TXLSExport::kText, fields[c]->DisplayLabel());
        dataSet->First();
        for (int row = 1; !dataSet->Eof(); ++row, dataSet->Next()) {
            for (size_t c = 0; c < fields.size(); ++c) {
                TField* f = fields[c];
                int col = static_cast<int>(c);
                switch (f->DataType()) {
                case TFieldType::ftSmallint:
                case TFieldType::ftInteger:
                case TFieldType::ftFloat:
                    if (f->IsNull()) filter.WriteCell(row, col, TXLSExport::kText, "");
                    else filter.WriteNumber(row, col, f->AsFloat());
                    break;
                case TFieldType::ftBoolean:
                    filter.WriteCell(row, col, TXLSExport::kText, f->AsBoolean() ? "Y" : "N");
                    break;
                default:
                    filter.WriteCell(row, col, TXLSExport::kText, ShownText(f, dataSet, form));
                    break;
                }
            }
            run.Status().StepProgress();
        }
        if (dataSet->BookmarkValid(place)) dataSet->GotoBookmark(place);
        dataSet->EnableControls();
        filter.CloseStream();
    } catch (const std::exception& e) {
        if (dataSet->BookmarkValid(place)) dataSet->GotoBookmark(place);
        dataSet->EnableControls();
        Tell(form, e.what());
        return;
    }
    if (Ask(form, "转出文档: \r" + file + "\r\r" + "是否打开文档?") == plat::mrYes) plat::ShellExecute("OPEN", file);
}
