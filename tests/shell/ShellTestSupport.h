// A demo company database in a scratch folder and a host environment over
// it with scripted shell windows: what the shell's tests stand on.
#pragma once

#include <memory>

#include "DemoData.h"
#include "HostObject.h"
#include "ShellDialogs.h"
#include "SimpleSql.h"
#include "TempEnvironment.h"

namespace shelltest {

class DemoHost {
public:
    DemoHost() : sql_((server::CreateDemoDatabase(folder_.Path() + "PRTest65.db"), folder_.Path())) {
        env = std::make_shared<shell::HostEnvironment>();
        env->Sql = &sql_;
        env->Dialogs = &dialogs;
        env->Session = {"KV", "PRTest65", "PRTest65", "936"};
        host = plat::Variant(shell::MakeHostObject(env));
    }

    server::SimpleSqlService& Sql() { return sql_; }
    std::string Folder() const { return folder_.Path(); }

    shell::ScriptedShellDialogs dialogs;
    std::shared_ptr<shell::HostEnvironment> env;
    plat::Variant host;

private:
    ortktest::TempFolder folder_;
    server::SimpleSqlService sql_;
};

}  // namespace shelltest
