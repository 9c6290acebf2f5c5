// The class registry behind CreateOleObject.
#include "ClassRegistry.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "StrUtils.h"

namespace plat {

namespace {
struct Registry {
    std::mutex lock;
    std::map<std::string, ClassFactory> factories;  // keys upper-cased
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// ProgIDs are found without regard to case.
std::string Key(const std::string& progId) { return UpperCase(progId); }
}  // namespace

void RegisterClassFactory(const std::string& progId, ClassFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.factories[Key(progId)] = std::move(factory);
}

void UnregisterClassFactory(const std::string& progId) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.factories.erase(Key(progId));
}

bool IsClassRegistered(const std::string& progId) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.factories.count(Key(progId)) != 0;
}

Variant CreateOleObject(const std::string& progId) {
    ClassFactory factory;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> guard(r.lock);
        auto it = r.factories.find(Key(progId));
        if (it == r.factories.end()) throw EOleSysError("Invalid class string");
        factory = it->second;
    }
    DispatchRef object = factory();
    if (!object) throw EOleSysError("Class '" + progId + "' did not create an object");
    return Variant(object);
}

}  // namespace plat
