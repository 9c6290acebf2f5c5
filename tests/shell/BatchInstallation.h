// A demo installation in a temporary folder for runs of the real host shell
// binary: registry file, client settings with the build folder as work
// folder, server settings and the demo company database; optionally the
// module's language packages in the client folder.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

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

    // Runs the shell with `arguments`; answers its exit status and standard output.
    int Run(const std::string& arguments, std::string& out) {
        return RunIn("ORTK_REGISTRY_FILE=" + RegistryFile() + " QT_QPA_PLATFORM=offscreen",
                     std::string(ORTK_BIN_DIR) + "/tamber-workcenter " + arguments, out);
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
    std::string Folder() const { return folder_.Path(); }

    // What the last run wrote on standard error.
    std::string LastErrors() const { return ReadAll(folder_.Path() + "err.txt"); }

private:
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
