// Loading program modules and driving their controllers.
#include "ModuleHost.h"

#include <dlfcn.h>

#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "Classes.h"
#include "Exceptions.h"

namespace shell {

ModuleHost::ModuleHost(std::vector<std::string> workFolders, plat::Variant hostObject)
    : folders_(std::move(workFolders)), hostObject_(std::move(hostObject)) {}

ModuleHost::~ModuleHost() {
    *alive_ = false;
    CloseAll();
}

std::string ModuleHost::FindModule(const std::string& program) const {
    for (const std::string& folder : folders_) {
        std::filesystem::path file = std::filesystem::path(folder) / (program + "C.so");
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec)) return file.string();
    }
    return {};
}

TGetControllerProc ModuleHost::LoadModule(const std::string& program) {
    std::string file = FindModule(program);
    if (file.empty()) {
        std::string searched;
        for (const std::string& f : folders_) searched += "\n  " + f;
        throw plat::Exception("Program " + program + " not found: no " + program + "C.so in the work folders" + searched);
    }
    void*& library = libraries_[file];
    if (!library) {
        library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) throw plat::Exception("Cannot load " + file + ": " + dlerror());
    }
    auto proc = reinterpret_cast<TGetControllerProc>(dlsym(library, "GetController"));
    if (!proc) throw plat::Exception(file + " does not export GetController");
    return proc;
}

TDLLBaseController& ModuleHost::Open(const OpenRequest& request, const std::string& user, const std::string& company,
                                     const std::string& database, intptr_t hostWindow) {
    TGetControllerProc getController = LoadModule(request.Program);
    Loaded loaded{request.Program, std::unique_ptr<TDLLBaseController>(getController())};
    TDLLBaseController& controller = *loaded.Controller;
    controller.HostObject = hostObject_;
    std::string program = request.Program;
    controller.OnNotify = [this, program](int32_t code, TDLLBaseController*) {
        if (OnNotify) OnNotify(program, code);
        // A destroyed window leaves a controller to free, but not from inside its own call.
        if (code == ncFormDestroy)
            QTimer::singleShot(0, [this, alive = alive_] {
                if (*alive) vcl::Guarded([this] { Collect(); });
            });
    };
    open_.push_back(std::move(loaded));
    plat::Variant params = plat::VarArrayOf({user, company, database, static_cast<int32_t>(hostWindow), request.LaunchData});
    int32_t status = -1;
    try {
        status = controller.OpenForm(params);
    } catch (...) {
        open_.pop_back();   // frees the controller and any window it made
        throw;
    }
    if (status != 0) {
        open_.pop_back();
        throw plat::Exception("Program " + request.Program + " did not start");
    }
    if (!request.Condition.empty()) controller.SetCondition(plat::VarArrayOf({plat::Variant(), request.Condition}));
    controller.SetMode(request.Mode, request.Functions, plat::Variant());
    controller.SetFormVisible(1);
    return controller;
}

size_t ModuleHost::OpenCount() const {
    return static_cast<size_t>(std::count_if(open_.begin(), open_.end(),
                                             [](const Loaded& l) { return l.Controller->IsFormNil() == 0; }));
}

void ModuleHost::Collect() {
    open_.erase(std::remove_if(open_.begin(), open_.end(), [](const Loaded& l) { return l.Controller->IsFormNil() != 0; }),
                open_.end());
}

void ModuleHost::CloseAll() {
    while (!open_.empty()) {
        std::unique_ptr<TDLLBaseController> controller = std::move(open_.back().Controller);
        open_.pop_back();
        controller.reset();   // the controller closes a remaining window
    }
}

}  // namespace shell
