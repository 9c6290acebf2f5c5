// The module's entry: the exported GetController, and the start-up code
// that registers the controller class and the main window class when the
// host loads the library.
#include "DLLMTCtrller.h"
#include "ortk41/ORTK41CF.h"

namespace {

TDLLBaseController* CreateMTController() { return new TDLLMTCtrller(); }

// Runs when the library is loaded, as the library's main block does.
struct LibraryStartup {
    LibraryStartup() {
        DLLControllerClass = &CreateMTController;
        frmRadicalClass = &TfrmORTK41::StaticClass();
    }
} startup;

}  // namespace

extern "C" __attribute__((visibility("default"))) TDLLBaseController* GetController() {
    if (!DLLControllerClass) throw plat::Exception(InternalErrorText("DLLControllerClass"));
    return DLLControllerClass();
}
