// A demo installation in a temporary folder for runs of the real host shell
// binary: registry file, client settings with the build folder as work
// folder, server settings and the demo company database; optionally the
// module's language packages in the client folder.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "DemoData.h"
#include "TempEnvironment.h"

namespace shelltest {

class BatchInstallation {
public:
    BatchInstallation() {
        std::string root = folder_.Path();
        folder_.Write("registry.reg", "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\n"
                                      "\"ClientPath\"=\"" + root + "client/\"\n\"ServerPath\"=\"" + root + "server/\"\n");
        folder_.Write("client/CorvaneC.ini", "[WorkDLLPath]\nPrograms=" + std::string(ORTK_BIN_DIR) + "/\n");
        folder_.Write("server/CorvaneS.ini", "[DBE Setting]\nDatabaseType=SQLITE\nDatabaseName=PRTest65\nServerName=Data\n");
        std::filesystem::create_directories(root + "server/Data");
        server::CreateDemoDatabase(root + "server/Data/PRTest65.db");
    }

    // Replaces the "DBE Setting" section of the server settings (the
    // company database the shell opens).
    void SetDatabaseSetting(const std::string& dbeSetting) {
        folder_.Write("server/CorvaneS.ini", "[DBE Setting]\n" + dbeSetting);
    }

    // Copies the language packages of the source tree into the client folder,
    // as the demo installation script does.
    void AddLanguagePackages() {
        std::filesystem::copy(std::string(ORTK_SOURCE_DIR) + "/packages/MultiLanguage",
                              folder_.Path() + "client/MultiLanguage", std::filesystem::copy_options::recursive);
    }

    // Runs the shell with `arguments`; answers its exit status and standard
    // output. With `fileSizeLimit` its files may grow to that many bytes only
    // (a write past it fails as on a full disk).
    int Run(const std::string& arguments, std::string& out, long fileSizeLimit = 0) {
        std::string command = Command(arguments, folder_.Path() + "err.txt");
        if (fileSizeLimit > 0)
            command = "trap '' XFSZ; exec prlimit --fsize=" + std::to_string(fileSizeLimit) + " env " + command;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return -1;
        char buffer[4096];
        out.clear();
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Runs `command` (a shell command line) under `env` (an env(1) argument
    // list such as "-u DISPLAY NAME=value"); answers as Run does.
    int RunIn(const std::string& env, const std::string& command, std::string& out) {
        std::string line = "env " + env + " " + command + " 2>" + folder_.Path() + "err.txt";
        FILE* pipe = popen(line.c_str(), "r");
        if (!pipe) return -1;
        char buffer[4096];
        out.clear();
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The demo company database the shell opens.
    std::string DatabaseFile() const { return folder_.Path() + "server/Data/PRTest65.db"; }
    std::string RegistryFile() const { return folder_.Path() + "registry.reg"; }
    // The installation's folder (ending in "/").
    std::string Folder() const { return folder_.Path(); }

    // What the last run wrote on standard error.
    std::string LastErrors() const { return ReadAll(folder_.Path() + "err.txt"); }

    // Changes the company database directly (test set-up; the shell only reads it).
    void WriteDatabase(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(DatabaseFile().c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message << " in " << sql;
    }
    // Reads a file of the installation ("" when there is none).
    std::string Read(const std::string& relative) const { return ReadAll(folder_.Path() + relative); }
    // Starts `count` shells with `arguments` at once and waits for all;
    // answers each one's exit status and standard error.
    std::vector<std::pair<int, std::string>> RunAtOnce(const std::string& arguments, int count) {
        std::vector<FILE*> pipes;
        for (int i = 0; i < count; ++i)
            pipes.push_back(popen((Command(arguments, folder_.Path() + "err" + std::to_string(i) + ".txt") + " >/dev/null").c_str(), "r"));
        std::vector<std::pair<int, std::string>> results;
        for (int i = 0; i < count; ++i) {
            int status = pipes[static_cast<size_t>(i)] ? pclose(pipes[static_cast<size_t>(i)]) : -1;
            results.emplace_back(status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                                 ReadAll(folder_.Path() + "err" + std::to_string(i) + ".txt"));
        }
        return results;
    }

private:
    std::string Command(const std::string& arguments, const std::string& errors) const {
        return "ORTK_REGISTRY_FILE=" + folder_.Path() + "registry.reg QT_QPA_PLATFORM=offscreen " +
               std::string(ORTK_BIN_DIR) + "/tamber-workcenter " + arguments + " 2>" + errors;
    }

    static std::string ReadAll(const std::string& path) {
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            while (size_t n = std::fread(buffer, 1, sizeof buffer, f)) text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }

    ortktest::TempFolder folder_;
};

}  // namespace shelltest
