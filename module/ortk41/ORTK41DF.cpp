// The export dialog: the proposed path, the folder browser and the checks
// made before it closes with OK.
#include "ORTK41DF.h"

#include <filesystem>

#include "Buttons.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "KvCtrls.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "data/Brokers.h"
#include "ORTK41CF.h"

using namespace vcl;

namespace {

constexpr char kForbiddenInFileName[] = "/\\:*?\"<>[]|";

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(plat::NativePath(path), error);
}

}  // namespace

std::string ExportFolderPart(const std::string& path) {
    size_t at = LastSeparator(path);
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string ExportFileNamePart(const std::string& path) {
    size_t at = LastSeparator(path);
    return at == std::string::npos ? path : path.substr(at + 1);
}

const TClassInfo& TfrmORTK41DF::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TfrmORTK41DF>("TfrmORTK41DF", TfrmKVDialog::StaticClass());
    return info;
}

TfrmORTK41DF::TfrmORTK41DF(TComponent* owner) : TfrmKVDialog(owner) {
    SetName("frmORTK41DF");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(473);
    SetClientHeight(169);
    Panel1 = TComponent::Create<TPanel>(this);
    Panel1->SetName("Panel1");
    Panel1->SetCaption("");
    Panel1->SetParent(this);
    Panel1->SetAlign(TAlign::alClient);
    lbl01 = TComponent::Create<TLabel>(this);
    lbl01->SetName("lbl01");
    lbl01->SetParent(Panel1);
    lbl01->SetCaption("保存文件");
    lbl01->SetBounds(24, 44, 60, 20);
    edPath = TComponent::Create<TEdit>(this);
    edPath->SetName("edPath");
    edPath->SetParent(Panel1);
    edPath->SetBounds(90, 40, 330, 22);
    edPath->SetColor(TColor(11534335));   // light yellow: an input field
    btnPath = TComponent::Create<TF2Button>(this);
    btnPath->SetName("btnPath");
    btnPath->SetParent(Panel1);
    btnPath->SetBounds(422, 40, 22, 22);
    btnPath->SetGlyphIndex(8);
    btnPath->SetFlat(true);
    btnPath->SetF2Control(edPath);
    memolng = TComponent::Create<TMemo>(this);
    memolng->SetName("memolng");
    memolng->SetParent(Panel1);
    memolng->Lines()->Add("同名文件已存在！");
    memolng->SetVisible(false);
    Panel2 = TComponent::Create<TPanel>(this);
    Panel2->SetName("Panel2");
    Panel2->SetCaption("");
    Panel2->SetParent(this);
    Panel2->SetAlign(TAlign::alBottom);
    Panel2->SetHeight(41);
    btnOK = TComponent::Create<TBitBtn>(this);
    btnOK->SetName("btnOK");
    btnOK->SetParent(Panel2);
    btnOK->SetCaption("确定");
    btnOK->SetModalResult(plat::mrOk);
    btnOK->SetBounds(290, 8, 75, 25);
    btnCancel = TComponent::Create<TBitBtn>(this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetParent(Panel2);
    btnCancel->SetCaption("取消");
    btnCancel->SetModalResult(plat::mrCancel);
    btnCancel->SetBounds(375, 8, 75, 25);
}

void TfrmORTK41DF::BindHandlers() {
    TfrmKVDialog::BindHandlers();
    btnOK->OnClick = TNotifyEvent([this](TObject* s) { btnOKClick(s); }, this);
    OnCloseQuery = TCloseQueryEvent([this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); }, this);
}

void TfrmORTK41DF::FormShow(TObject* sender) {
    TfrmKVDialog::FormShow(sender);
    auto* window = dynamic_cast<TfrmORTK41*>(Owner());
    ExportDir = plat::IncludeTrailingPathDelimiter(window ? window->ExportFolder : std::string()) + "c_data/";
    DefaultFileName = "ORTK41.xlsx";
    edPath->SetText(ExportDir + DefaultFileName);
}

bool TfrmORTK41DF::IsValidExportPath() const {
    std::string path = edPath->Text();
    // Nothing typed is left to the close check, which asks for a path (E000003).
    if (plat::Trim(path).empty()) return true;
    std::string folder = ExportFolderPart(path);
    if (!folder.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(plat::NativePath(folder), error)) return false;
    }
    std::string name = ExportFileNamePart(path);
    if (name.empty() || name == "." || name == ".." || name.find_first_of(kForbiddenInFileName) != std::string::npos)
        return false;
    // A folder typed as the path names no file to write.
    std::error_code error;
    return !std::filesystem::is_directory(plat::NativePath(plat::Trim(path)), error);
}

void TfrmORTK41DF::DoKeyF2(uint16_t& key, TWinControl* control) {
    TfrmKVDialog::DoKeyF2(key, control);
    if (control != edPath) return;
    std::string fileName = ExportFileNamePart(edPath->Text());
    std::string folder = ExportFolderPart(edPath->Text());
    // The folder browser's title in the interface's language, like its buttons.
    std::string caption;
    GetLangText("TfrmORTK41DF", "sChooseFolder", caption, true, "选择文件夹");
    if (!plat::Dialogs().SelectDirectory(caption, folder, Widget())) return;
    edPath->SetText(plat::IncludeTrailingPathDelimiter(folder) + (fileName.empty() ? DefaultFileName : fileName));
}

void TfrmORTK41DF::btnOKClick(TObject*) {
    if (IsValidExportPath()) return;
    edPath->SetFocus();
    if (Brokers) Brokers->ShowCodedMessage("E", "000040", {});
}

void TfrmORTK41DF::FormCloseQuery(TObject*, bool& canClose) {
    if (ModalResult() != plat::mrOk) return;
    // A rejected path put the focus back on the edit: stay open.
    if (ActiveControl() == edPath) {
        canClose = false;
        return;
    }
    ExportFileName = plat::Trim(edPath->Text());
    if (ExportFileName.empty()) {
        if (Brokers) Brokers->ShowCodedMessage("E", "000003", {plat::Variant(lbl01->Caption())});
        canClose = false;
    } else if (IsExistingFile(ExportFileName)) {
        plat::ShowMessage(memolng->Lines()->Count() > 0 ? (*memolng->Lines())[0] : std::string());
        canClose = false;
    }
}
