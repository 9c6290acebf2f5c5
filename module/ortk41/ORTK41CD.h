// TdmORTK41: the data module of the order tracking window.
#pragma once

#include "data/RadicalCD.h"

class TdmORTK41 : public TdmRadical {
    VCL_DECLARE_CLASS(TdmORTK41)
public:
    explicit TdmORTK41(vcl::TComponent* owner);
};
