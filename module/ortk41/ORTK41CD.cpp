// The order tracking window's data module.
#include "ORTK41CD.h"

const vcl::TClassInfo& TdmORTK41::StaticClass() {
    static const vcl::TClassInfo info = vcl::MakeComponentClass<TdmORTK41>("TdmORTK41", TdmKvQuery::StaticClass());
    return info;
}

TdmORTK41::TdmORTK41(vcl::TComponent* owner) : TdmKvQuery(owner) {
    MIDAS->ServerName = "SOSRV01S.Class1";
    cdsMain->SetProviderName("pvdMain");
}
