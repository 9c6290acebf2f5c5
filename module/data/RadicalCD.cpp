// The root data module.
#include "RadicalCD.h"

const vcl::TClassInfo& TdmRadical::StaticClass() {
    static const vcl::TClassInfo info =
        vcl::MakeComponentClass<TdmRadical>("TdmRadical", vcl::TDataModule::StaticClass());
    return info;
}

TdmRadical::TdmRadical(vcl::TComponent* owner) : vcl::TDataModule(owner) {}
