// TdmORTK41: the data module of the order tracking window. Its connection
// names the application server "SOSRV01S.Class1" and its main dataset the
// provider "pvdMain".
#pragma once

#include "data/KvQueryCD.h"

class TdmORTK41 : public TdmKvQuery {
    VCL_DECLARE_CLASS(TdmORTK41)
public:
    explicit TdmORTK41(vcl::TComponent* owner);
};
