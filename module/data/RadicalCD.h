// TdmRadical: the root of the data module chain that every program window
// owns. It holds the window's broker once the window hands it over.
#pragma once

#include "Forms.h"

class TBrokers;

class TdmRadical : public vcl::TDataModule {
    VCL_DECLARE_CLASS(TdmRadical)
public:
    explicit TdmRadical(vcl::TComponent* owner);

    TBrokers* Brokers = nullptr;   // the owning window's broker, set at start-up
    int DateFormatKind = 1;
    std::string DateSeparator;
};
