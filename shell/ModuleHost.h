// Opens program modules of the suite: finds "<PROGRAM>C.so" in the work
// folders, loads it, gets its controller and drives it through the
// controller's operations — open with the signed-on identity, condition,
// mode, show — and frees the controller once its window is gone.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Variant.h"
#include "host/DLLBaseController.h"

namespace shell {

struct OpenRequest {
    std::string Program;        // "ORTK41"
    std::string Condition;      // handed to SetCondition when not empty
    int Mode = 1;
    int Functions = 0xFF;
    plat::Variant LaunchData;
};

class ModuleHost {
public:
    ModuleHost(std::vector<std::string> workFolders, plat::Variant hostObject);
    ~ModuleHost();

    // The module file of a program in the work folders; empty when none.
    std::string FindModule(const std::string& program) const;
    // Loads the program's module, opens and shows its window. Raises
    // plat::Exception with a readable text when anything fails.
    TDLLBaseController& Open(const OpenRequest& request, const std::string& user, const std::string& company,
                             const std::string& database, intptr_t hostWindow);
    // Controllers whose windows are still open.
    size_t OpenCount() const;
    // Called with every notification of every controller (program, code).
    std::function<void(const std::string&, int32_t)> OnNotify;
    // Frees controllers whose windows are gone (done after each notification).
    void Collect();
    // Closes every window and frees every controller.
    void CloseAll();

private:
    struct Loaded {
        std::string Program;
        std::unique_ptr<TDLLBaseController> Controller;
    };
    TGetControllerProc LoadModule(const std::string& program);

    std::vector<std::string> folders_;
    plat::Variant hostObject_;
    std::map<std::string, void*> libraries_;   // kept loaded for the process lifetime
    std::vector<Loaded> open_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace shell
