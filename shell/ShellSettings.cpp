// Reading the installation settings the host shell needs.
#include "ShellSettings.h"

#include <cstdlib>
#include <filesystem>
#include <strings.h>

#include "RegistryKey.h"
#include "SqliteDatabase.h"
#include "SystemInfo.h"
#include "host/CorvaneIni.h"

namespace shell {

namespace {

void ReadSqlite(const TCorvaneIniS& server, ShellSettings& s) {
    if (!server.DBESetting.ServerName.empty())
        s.DataFolder = plat::IncludeTrailingPathDelimiter(plat::NativePath(server.DBESetting.ServerName, server.ServerPath));
    if (const char* folder = std::getenv("ORTK_DATA_FOLDER"); folder && *folder) s.DataFolder = folder;
    if (s.DataFolder.empty() && s.Problem.empty())
        s.Problem = "Server settings name no database folder (\"ServerName\" of [DBE Setting] in CorvaneS.ini" +
                    (server.IniFileName.empty() ? std::string(")") : ", " + server.IniFileName + ")");
}

void ReadPostgres(const TCorvaneIniS& server, ShellSettings& s) {
    const TCorvaneDBSetting& db = server.DBESetting;
    if (db.ServerName.empty() || !server::ParsePostgresServerName(db.ServerName, s.Postgres)) {
        if (s.Problem.empty())
            s.Problem = "Server settings name no PostgreSQL server (\"ServerName\" of [DBE Setting] in CorvaneS.ini "
                        "should be host[:port][/database], not \"" + db.ServerName + "\")";
        return;
    }
    if (db.PasswordUndecodable && s.Problem.empty()) {
        s.Problem = "Server settings hold a damaged password (\"Password\" of [DBE Setting] in CorvaneS.ini starts "
                    "with \"ENC1:\" but does not decode; write it again with ortk-encode-password)";
        return;
    }
    s.Postgres.user = db.UserName;
    s.Postgres.password = db.Password;
    s.Postgres.connectTimeout = db.TimeOut > 0 ? db.TimeOut : 30;
}

// Why the client settings are unusable, naming the registry file read.
std::string ClientSettingsProblem(const std::string& errorCode) {
    std::string file = plat::RegistryFileName();
    std::string key = "HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane";
    std::string problem = "Client settings unusable (" + errorCode + "): ";
    std::error_code ec;
    if (errorCode == "E;000015" && !std::filesystem::exists(file, ec))
        problem += "there is no registry file " + file;
    else if (errorCode == "E;000015")
        problem += "the registry file " + file + " has no key " + key;
    else if (errorCode == "E;000016")
        problem += "the key " + key + " in the registry file " + file + " names no ClientPath";
    else
        problem += "registry file " + file;
    return problem + "; --registry FILE or ORTK_REGISTRY_FILE names the installation's registry file "
                     "(scripts/make-demo.sh writes demo/registry.reg)";
}

}  // namespace

ShellSettings LoadShellSettings() {
    ShellSettings s;
    TCorvaneIniC client;
    if (!client.ErrorCode.empty()) s.Problem = ClientSettingsProblem(client.ErrorCode);
    s.WorkFolders = client.WorkDLLPaths;
    s.UICodePage = client.UICodePage;

    TCorvaneIniS server;
    s.DatabaseType = server.DBESetting.DatabaseType.empty() ? "SQLITE" : server.DBESetting.DatabaseType;
    s.DefaultDatabase = server.DBESetting.DatabaseName;
    s.StatementTimeLimit = server.DBESetting.TimeOut > 0 ? server.DBESetting.TimeOut : 30;
    s.DatabaseCodePage = server.DBCodePage == "950" ? 950 : 936;
    if (!server.ServerPath.empty()) s.DocumentFolder = server.ServerPath + "Documents/";
    if (strcasecmp(s.DatabaseType.c_str(), "SQLITE") == 0) {
        s.DatabaseType = "SQLITE";
        ReadSqlite(server, s);
    } else if (strcasecmp(s.DatabaseType.c_str(), "POSTGRESQL") == 0) {
        s.DatabaseType = "POSTGRESQL";
        ReadPostgres(server, s);
    } else if (s.Problem.empty()) {
        s.Problem = "Database type " + s.DatabaseType + " is not supported by this installation (SQLITE, POSTGRESQL)";
    }
    return s;
}

std::unique_ptr<server::DatabaseSource> DatabaseSourceOf(const ShellSettings& settings) {
    std::unique_ptr<server::DatabaseSource> source;
    if (settings.DatabaseType == "POSTGRESQL") source = std::make_unique<server::PostgresServer>(settings.Postgres);
    else source = std::make_unique<server::SqliteFolder>(settings.DataFolder);
    source->SetTimeLimit(std::chrono::seconds(settings.StatementTimeLimit));
    source->SetCodePage(settings.DatabaseCodePage);
    return source;
}

}  // namespace shell
