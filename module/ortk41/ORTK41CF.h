// TfrmORTK41: the order tracking window, the module's main window.
#pragma once

#include "forms/RadicalCF.h"

class TfrmORTK41 : public TfrmRadical {
    VCL_DECLARE_CLASS(TfrmORTK41)
public:
    explicit TfrmORTK41(vcl::TComponent* owner);

    vcl::TClass DataModuleClass() const override;
    void FormClose(vcl::TObject* sender, vcl::TCloseAction& action) override;
};
