// A demo installation (company database in a scratch folder, application
// server in process) and a host environment over it with scripted shell
// windows: what the shell's tests stand on.
#pragma once

#include <memory>

#include "DemoInstallation.h"
#include "HostObject.h"
#include "ShellDialogs.h"
#include "SimpleSql.h"
#include "TempEnvironment.h"

namespace shelltest {

class DemoHost {
    // Program windows opened here sign on to the application server in
    // process; declared first, so that it outlives everything below.
    ortktest::DemoInstallation install_;

public:
    // `demo` sizes the company database (the showcase orders alone by default).
    explicit DemoHost(const server::DemoOptions& demo = {}) : install_("936", demo) {
        env = std::make_shared<shell::HostEnvironment>();
        env->Sql = &install_.Sql();
        env->Dialogs = &dialogs;
        env->Session = {"KV", "PRTest65", "PRTest65", "936"};
        host = plat::Variant(shell::MakeHostObject(env));
    }

    server::SimpleSqlService& Sql() { return install_.Sql(); }
    std::string Folder() const { return install_.Folder(); }

    shell::ScriptedShellDialogs dialogs;
    std::shared_ptr<shell::HostEnvironment> env;
    plat::Variant host;
};

}  // namespace shelltest
