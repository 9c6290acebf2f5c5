// The process-wide class registry: in-process automation servers register a
// factory under their ProgID, and CreateOleObject finds them by that name.
// It lives in the shared platform library so that the host shell and every
// module it loads see the same registry.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Dispatch.h"

namespace plat {

using ClassFactory = std::function<DispatchRef()>;

// Registers (or replaces) the factory of a ProgID; names compare without case.
void RegisterClassFactory(const std::string& progId, ClassFactory factory);
void UnregisterClassFactory(const std::string& progId);
bool IsClassRegistered(const std::string& progId);

// Creates an object of a registered class; an unknown ProgID raises
// EOleSysError "Invalid class string".
Variant CreateOleObject(const std::string& progId);

}  // namespace plat
