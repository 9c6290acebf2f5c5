// Keeping a window still for an export, and opening what it wrote.
#include "ExportScope.h"

#include "BaseCF.h"
#include "Dialogs.h"
#include "Format.h"
#include "SystemInfo.h"
#include "lang/CodeConverter.h"

ExportScope::ExportScope(TfrmBase* window) : window_(window) {
    if (!window_) return;
    wasEnabled_ = window_->Enabled();
    wasExporting_ = window_->Exporting;
    window_->Exporting = true;
    window_->SetEnabled(false);
}

ExportScope::~ExportScope() {
    if (!window_) return;
    window_->Exporting = wasExporting_;
    window_->SetEnabled(wasEnabled_);
}

void OpenExportedFile(TfrmRadical* window, const std::string& path) {
    if (plat::ShellExecute("open", path)) return;
    std::string text;
    window->GetLangText("TfrmBase", "sExportWritten", text, true, "文件已汇出至:\n%s");
    window->KvConverter()->ShowMessageBox(plat::Format(text, {plat::Variant(path)}), plat::MsgDlgType::Information,
                                          {plat::MsgDlgBtn::OK});
}
