// TfrmORTK41DF: the export dialog of the order tracking window. It proposes
// "<client folder>/c_data/ORTK41.xlsx" (the export writes Office Open XML,
// and the name says so; a typed ".xls" name is still accepted), lets the user type a path or choose a
// folder (F2 or the lookup button), and closes with OK only for a path whose
// folder exists, whose file name is allowed and that names no existing file,
// so that an export never overwrites a file.
#pragma once

#include <string>

#include "forms/KVDialog.h"

namespace vcl {
class TBitBtn;
class TEdit;
class TF2Button;
class TLabel;
class TMemo;
class TPanel;
}  // namespace vcl

class TfrmORTK41DF : public TfrmKVDialog {
    VCL_DECLARE_CLASS(TfrmORTK41DF)
public:
    explicit TfrmORTK41DF(vcl::TComponent* owner);

    vcl::TPanel* Panel1 = nullptr;
    vcl::TLabel* lbl01 = nullptr;
    vcl::TEdit* edPath = nullptr;
    vcl::TF2Button* btnPath = nullptr;
    vcl::TMemo* memolng = nullptr;   // line 0: the message of an existing file
    vcl::TPanel* Panel2 = nullptr;
    vcl::TBitBtn* btnOK = nullptr;
    vcl::TBitBtn* btnCancel = nullptr;

    std::string ExportDir;                         // proposed folder, ends in "c_data/"
    std::string DefaultFileName = "ORTK41.xlsx";
    std::string ExportFileName;                    // the trimmed path accepted with OK

    // True when the folder part of edPath is empty or an existing folder and
    // the file-name part names a file: not empty, not "." or "..", none of
    // / \ : * ? " < > [ ] |, and not an existing folder.
    bool IsValidExportPath() const;

    void FormShow(vcl::TObject* sender) override;
    void DoKeyF2(uint16_t& key, vcl::TWinControl* control) override;
    void btnOKClick(vcl::TObject* sender);
    void FormCloseQuery(vcl::TObject* sender, bool& canClose);

protected:
    void BindHandlers() override;
};

// The folder part of a path typed by the user (up to and including the last
// "/" or "\") and its file-name part (the rest).
std::string ExportFolderPart(const std::string& path);
std::string ExportFileNamePart(const std::string& path);
