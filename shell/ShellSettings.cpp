// Reading the installation settings the host shell needs.
#include "ShellSettings.h"

#include <cstdlib>
#include <strings.h>

#include "SystemInfo.h"
#include "host/CorvaneIni.h"

namespace shell {

ShellSettings LoadShellSettings() {
    ShellSettings s;
    TCorvaneIniC client;
    if (!client.ErrorCode.empty()) s.Problem = "Client settings unusable (" + client.ErrorCode + ")";
    s.WorkFolders = client.WorkDLLPaths;
    s.UICodePage = client.UICodePage;

    TCorvaneIniS server;
    s.DatabaseType = server.DBESetting.DatabaseType.empty() ? "SQLITE" : server.DBESetting.DatabaseType;
    s.DefaultDatabase = server.DBESetting.DatabaseName;
    if (!server.DBESetting.ServerName.empty())
        s.DataFolder = plat::IncludeTrailingPathDelimiter(plat::NativePath(server.DBESetting.ServerName, server.ServerPath));
    if (!server.ServerPath.empty()) s.DocumentFolder = server.ServerPath + "Documents/";
    if (const char* folder = std::getenv("ORTK_DATA_FOLDER"); folder && *folder) s.DataFolder = folder;
    if (s.DataFolder.empty() && s.Problem.empty())
        s.Problem = "Server settings name no database folder (\"ServerName\" of [DBE Setting] in CorvaneS.ini" +
                    (server.IniFileName.empty() ? std::string(")") : ", " + server.IniFileName + ")");
    if (strcasecmp(s.DatabaseType.c_str(), "SQLITE") != 0 && s.Problem.empty())
        s.Problem = "Database type " + s.DatabaseType + " is not supported by this installation";
    return s;
}

}  // namespace shell
