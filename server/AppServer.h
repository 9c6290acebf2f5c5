// The suite's application-server objects, created in process by ProgID:
// "SOSRV01S.Class1" (log-on, user information, server facts, per-user
// settings), "KvQueryS.Class1" (the query server), "PickerS.Class1" (the
// lookup server) and "DmsC.DMSClass1" (attached documents). They read the
// same company databases as the "SimpleSQL" service; "SOSRV01S.Class1" and
// "KvQueryS.Class1" also offer the providers of Provider.h.
#pragma once

#include <filesystem>
#include <string>

#include "SimpleSql.h"

namespace server {

// Why `user` may not work in `company` on `database`; empty when they may.
std::string CheckSignOn(SimpleSqlService& sql, const std::string& user, const std::string& company,
                        const std::string& database);

// The user information lines ("NAME=value") of a user for a program: the
// program's own entries first, then the general ones not given there.
std::string UserInformation(SimpleSqlService& sql, const std::string& user, const std::string& company,
                            const std::string& database, const std::string& program);

// Registers the server objects in the class registry; they use `sql`,
// which must outlive them. Attached documents are files in
// `documentFolder`/<kind>/<key>.<extension>; the document server checks out
// a copy into the temporary folder.
void RegisterApplicationServers(SimpleSqlService& sql, std::filesystem::path documentFolder = {});

// The file of an attached document: the first file named <key> (any
// extension) in `documentFolder`/<kind>; empty when there is none or when
// kind or key would leave the folder.
std::filesystem::path FindAttachedDocument(const std::filesystem::path& documentFolder, const std::string& kind,
                                           const std::string& key);
void UnregisterApplicationServers();

}  // namespace server
