// A client installation whose application server runs in process, over the
// demo company database "PRTest65" in a scratch folder: the registry key
// names the client folder, the settings file leaves the server address at
// 127.0.0.1, and the application-server objects are registered for the
// lifetime of the object. Program windows started here sign on for real.
#pragma once

#include <filesystem>
#include <string>

#include "AppServer.h"
#include "DemoData.h"
#include "SimpleSql.h"
#include "TempEnvironment.h"

namespace ortktest {

class DemoInstallation {
public:
    explicit DemoInstallation(const std::string& uiCodePage = "936", const server::DemoOptions& demo = {})
        : drive_("ORTK_DRIVE_D", folder_.Path()),
          registry_("ORTK_REGISTRY_FILE", folder_.Path() + "registry.reg"),
          acp_("ORTK_ACP", "936"),
          sql_((server::CreateDemoDatabase(folder_.Path() + "PRTest65.db", demo), folder_.Path())) {
        folder_.Write("registry.reg",
                      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n"
                      "\"ClientPath\"=\"D:\\\\app\"\r\n");
        folder_.Write("app/CorvaneC.ini", "[CodePage]\r\nUICodePage=" + uiCodePage +
                                              "\r\n[Server Information]\r\nComputerName=127.0.0.1\r\nServerPort=211\r\n");
        server::RegisterApplicationServers(sql_, folder_.Path() + "Documents/");
    }
    ~DemoInstallation() { server::UnregisterApplicationServers(); }
    DemoInstallation(const DemoInstallation&) = delete;
    DemoInstallation& operator=(const DemoInstallation&) = delete;

    server::SimpleSqlService& Sql() { return sql_; }
    // The scratch folder, ending in "/"; the client folder is its "app/".
    std::string Folder() const { return folder_.Path(); }
    std::string ClientFolder() const { return folder_.Path() + "app/"; }
    std::string DatabaseFile() const { return folder_.Path() + "PRTest65.db"; }
    const TempFolder& Files() const { return folder_; }

private:
    TempFolder folder_;
    ScopedEnv drive_, registry_, acp_;
    server::SimpleSqlService sql_;
};

}  // namespace ortktest
