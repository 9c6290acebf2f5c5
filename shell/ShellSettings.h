// Where the host shell finds what it serves: the work folders of the client
// settings (where program modules live), the interface code page, and the
// business database named by the server settings.
#pragma once

#include <string>
#include <vector>

namespace shell {

struct ShellSettings {
    std::vector<std::string> WorkFolders;
    std::string UICodePage = "936";
    std::string DatabaseType;      // "SQLITE" (the embedded default when empty)
    std::string DataFolder;        // folder of the SQLite company databases
    std::string DocumentFolder;    // attached documents: the server folder's "Documents"
    std::string DefaultDatabase;   // "DatabaseName" of the server's "DBE Setting"
    std::string Problem;           // why the settings are unusable; empty when fine
};

// Reads the client and server settings of this installation. A folder given
// in ORTK_DATA_FOLDER overrides the server's data folder (handy for tests).
ShellSettings LoadShellSettings();

}  // namespace shell
