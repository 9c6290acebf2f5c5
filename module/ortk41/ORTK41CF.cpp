// The order tracking window.
#include "ORTK41CF.h"

#include "ORTK41CD.h"

const vcl::TClassInfo& TfrmORTK41::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TfrmORTK41>("TfrmORTK41", TfrmRadical::StaticClass());
    return info;
}

TfrmORTK41::TfrmORTK41(vcl::TComponent* owner) : TfrmRadical(owner) {}

vcl::TClass TfrmORTK41::DataModuleClass() const { return &TdmORTK41::StaticClass(); }

// A closed query window is freed and tells the host how it ended: 1 after a
// picking run (modes 7 and 8), 2 otherwise.
// DEFERRED: moves to the single-table window class when the window chain grows.
void TfrmORTK41::FormClose(vcl::TObject* sender, vcl::TCloseAction& action) {
    TfrmRadical::FormClose(sender, action);
    action = vcl::TCloseAction::caFree;
    ReturnKind = (ProgramMode == 7 || ProgramMode == 8) ? 1 : 2;
}
