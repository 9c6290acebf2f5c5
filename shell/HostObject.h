// The host shell's automation object, handed to every program module it
// opens, and its three service objects: the validator (code checks, data
// queries, sequence numbers), the picker (lookup lists, calendar, phrases,
// calculator, special characters) and the counter (server methods, system
// parameters). Everything they answer comes from the company database
// through the "SimpleSQL" service, so programs and host read the same data.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Dispatch.h"
#include "ShellDialogs.h"
#include "SimpleSql.h"

namespace shell {

// The signed-on session the host serves.
struct Session {
    std::string UserID;
    std::string CompanyID;
    std::string DatabaseName;
    std::string UICodePage = "936";   // "437" answers messages and titles in English
};

struct HostEnvironment {
    server::SimpleSqlService* Sql = nullptr;
    IShellDialogs* Dialogs = nullptr;
    shell::Session Session;
    // When set, "ExecWork" hands program and condition here instead of
    // opening the document window (batch runs record what would be opened).
    std::function<int(const std::string& program, const std::string& condition)> ExecWork;
};

// Creates the host object; its services share `environment`, which must
// outlive every reference a program keeps.
plat::DispatchRef MakeHostObject(std::shared_ptr<HostEnvironment> environment);

// Service pieces, usable on their own (and tested so).
std::string MessageText(HostEnvironment& env, const std::string& kind, const std::string& code);
std::string SystemParameterLines(HostEnvironment& env, const std::string& company);
// The answer row of a code check; Empty when the code is unknown.
plat::Variant CheckAnswer(HostEnvironment& env, const std::string& table, const std::string& kind,
                          const std::string& database, const plat::Variant& key);
// Opens a document program read-only; -1 for an unknown program code.
int OpenDocumentProgram(HostEnvironment& env, const std::string& programCode, const std::string& condition);
// The rows a lookup answers: Empty when cancelled or nothing chosen.
plat::Variant RunLookup(HostEnvironment& env, const plat::Variant& request);
// Evaluates + - * / and parentheses over decimal numbers; nullopt when malformed.
std::optional<double> Calculate(const std::string& expression);

}  // namespace shell
