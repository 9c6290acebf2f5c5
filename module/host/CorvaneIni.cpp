// Loading of the client and server installation settings (TCorvaneIniC,
// TCorvaneIniS) from the registry key and the settings files, and the
// encoding of stored database passwords.
#include "CorvaneIni.h"

#include <cstdlib>

#include <QByteArray>

#include <cctype>
#include <filesystem>
#include <optional>

#include "IniFile.h"
#include "RegistryKey.h"
#include "SystemInfo.h"

namespace {

// "936" or "950" when the system runs one of the Chinese code pages, else "437".
std::string SystemCodePageText() {
    int acp = plat::GetACP();
    return acp == 936 || acp == 950 ? std::to_string(acp) : std::string("437");
}

uint8_t UIConversionOf(const std::string& ui, const std::string& system) {
    if (ui == "950") return 2;
    if (ui == "936" && system == "950") return 4;
    return 0;
}

uint8_t DBConversionOf(const std::string& ui, const std::string& db) {
    if (ui == "950" && db == "936") return 2;
    if (ui == "936" && db == "950") return 1;
    return 0;
}

bool IsTrueText(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s == "1" || s == "Y" || s == "YES" || s == "TRUE";
}

// The installation folder named by a registry value, native, ending in "/".
std::string InstallFolder(const std::string& registryValue) {
    return plat::IncludeTrailingPathDelimiter(plat::NativePath(registryValue, "/"));
}

// Reads the installation folder and profile type from the registry key.
// Answers the error code: kCorvaneErrorNoKey, kCorvaneErrorNoPath or "".
std::string ReadInstallKey(const char* pathValue, std::string& folder, std::string& profileType) {
    plat::TRegistry registry;
    registry.SetRootKey(plat::HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(kCorvaneRegistryKey)) return kCorvaneErrorNoKey;
    std::string path;
    try {
        path = registry.ReadString(pathValue);
        // Installers write the profile type as text or as a number (DWORD); both mean the same.
        if (registry.GetDataType("ProfileType") == plat::TRegDataType::rdInteger)
            profileType = std::to_string(registry.ReadInteger("ProfileType"));
        else
            profileType = registry.ReadString("ProfileType");
    } catch (const plat::ERegistryException&) {
        // A value of the wrong type is as useless as a missing one; the
        // settings keep their defaults rather than failing the caller.
        path.clear();
    }
    if (path.empty()) return kCorvaneErrorNoPath;
    folder = InstallFolder(path);
    return {};
}

struct ProfileLocation {
    std::string path;
    std::string name;
    std::string iniFile;
};

// The per-user profile folder when the profile type asks for one and it
// holds the settings file; otherwise the installation folder itself.
ProfileLocation LocateProfile(const std::string& root, const std::string& profileType,
                              const std::string& fileName) {
    ProfileLocation where{root, "Default", {}};
    if (!profileType.empty() && profileType != "0") {
        where.name = plat::GetUserName();
        where.path = root + "Profile/" + where.name + "/";
    }
    where.iniFile = where.path + fileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(where.iniFile, ec)) {
        where.path = root;
        where.iniFile = root + fileName;
    }
    return where;
}

// Each line of the section as an absolute folder ending in "/"; `fallback`
// below the root when the section has no lines.
std::vector<std::string> WorkFolders(const plat::TIniFile& ini, const std::string& root,
                                     const std::string& fallback) {
    std::vector<std::string> folders;
    for (const std::string& line : ini.ReadSectionValues("WorkDLLPath")) {
        std::string value = line.substr(line.find('=') + 1);
        if (value.empty() || (value.back() != '\\' && value.back() != '/')) value += '\\';
        folders.push_back(plat::IncludeTrailingPathDelimiter(plat::NativePath(value, root)));
    }
    if (folders.empty()) folders.push_back(root + fallback);
    return folders;
}

std::string TrimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// [0..1, 0..n]: one column per address of the ";"-separated list, each with
// the same port. Blank pieces (";;", a trailing ";") are not addresses and
// are skipped, so the first column always names a server when any is named.
plat::Variant BuildServerList(const std::string& addresses, int port) {
    plat::VarArray list(0, 1, 0, 0);
    int column = 0;
    size_t start = 0;
    while (start <= addresses.size()) {
        size_t semicolon = addresses.find(';', start);
        size_t end = semicolon == std::string::npos ? addresses.size() : semicolon;
        std::string address = TrimBlanks(addresses.substr(start, end - start));
        if (!address.empty()) {
            if (column > list.HighBound(2)) list.Redim(column);
            list.At(0, column) = plat::Variant(address);
            list.At(1, column) = plat::Variant(static_cast<int32_t>(port));
            ++column;
        }
        if (semicolon == std::string::npos) break;
        start = semicolon + 1;
    }
    return plat::Variant(std::move(list));
}

TCorvaneDBSetting ReadDBSetting(const plat::TIniFile& ini, const std::string& section) {
    TCorvaneDBSetting s;
    s.Alias = ini.ReadString(section, "Alias", "");
    s.DatabaseType = ini.ReadString(section, "DatabaseType", "");
    s.DatabaseName = ini.ReadString(section, "DatabaseName", "");
    s.ServerName = ini.ReadString(section, "ServerName", "");
    s.UserName = ini.ReadString(section, "UserName", "");
    std::string stored = ini.ReadString(section, "Password", "");
    s.Password = DecodePassword(stored);
    s.PasswordUndecodable = !IsReadablePassword(stored);
    s.TimeOut = ini.ReadInteger(section, "TimeOut", 30);
    return s;
}

const char kPasswordPrefix[] = "ENC1:";
const char kPasswordKey[] = "KVX.Corvane/ORTK";

std::string XorWithKey(std::string bytes) {
    const size_t keyLength = sizeof kPasswordKey - 1;
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ kPasswordKey[i % keyLength]);
    return bytes;
}

}  // namespace

// ---- TCorvaneIniC ----

TCorvaneIniC::TCorvaneIniC() { Load(); }

void TCorvaneIniC::Load() {
    SystemCodePage = SystemCodePageText();
    UICodePage = SystemCodePage;
    UIConversion = UIConversionOf(UICodePage, SystemCodePage);
    DBConversion = DBConversionOf(UICodePage, DBCodePage);

    std::string folder;
    ErrorCode = ReadInstallKey("ClientPath", folder, ProfileType);
    if (!ErrorCode.empty()) {
        if (ProfileType.empty()) ProfileType = "0";
        return;
    }
    ClientPath = folder;

    ProfileLocation where = LocateProfile(ClientPath, ProfileType, "CorvaneC.ini");
    ProfilePath = where.path;
    ProfileName = where.name;
    IniFileName = where.iniFile;

    plat::TIniFile ini(IniFileName);
    LangType = ini.ReadString("Client Components", "LangType", "ENG");
    Version = ini.ReadString("ProductVersion", "Version", "");
    CreateGifBeforeSendEF = ini.ReadString("UserDefine", "CreateGifBeforeSendEF", "Y");
    UICodePage = ini.ReadString("CodePage", "UICodePage", SystemCodePage);
    // One process may run with another interface code page than the
    // installation's (a script checking the English interface, say).
    if (const char* override = std::getenv("ORTK_UI_CODE_PAGE"); override && *override) UICodePage = override;
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
    SupportCallBack = IsTrueText(ini.ReadString("Server Information", "SupportCallBack", "0"));
    std::string addresses = TrimBlanks(ini.ReadString("Server Information", "ComputerName", "127.0.0.1"));
    int port = ini.ReadInteger("Server Information", "ServerPort", 211);
    AutoCheckNewMsg = ini.ReadString("TaskMessageCenter Setting", "AutoCheckNewMsg", "1");
    CheckInterval = ini.ReadString("TaskMessageCenter Setting", "CheckInterval", "1");
    PopupMsg = ini.ReadString("TaskMessageCenter Setting", "PopupMsg", "1");
    LoginCheck = ini.ReadString("TaskMessageCenter Setting", "LoginCheck", "0");

    UIConversion = UIConversionOf(UICodePage, SystemCodePage);
    DBConversion = DBConversionOf(UICodePage, DBCodePage);
    ServerList = BuildServerList(addresses, port);
    WorkDLLPaths = WorkFolders(ini, ClientPath, "C_PKG/");
}

// ---- TCorvaneIniS ----

TCorvaneIniS::TCorvaneIniS() { Load(); }

void TCorvaneIniS::Load() {
    SystemCodePage = SystemCodePageText();
    UICodePage = SystemCodePage;
    UIConversion = UIConversionOf(UICodePage, SystemCodePage);
    DBConversion = DBConversionOf(UICodePage, DBCodePage);
    ComputerName = "127.0.0.1";
    DBPasswordCtrl = "0";
    DataBaseCodeOrder = "Chinese_Taiwan_Stroke_BIN";

    std::string folder;
    ErrorCode = ReadInstallKey("ServerPath", folder, ProfileType);
    if (!ErrorCode.empty()) {
        if (ProfileType.empty()) ProfileType = "0";
        return;
    }
    ServerPath = folder;

    ProfileLocation where = LocateProfile(ServerPath, ProfileType, "CorvaneS.ini");
    ProfilePath = where.path;
    ProfileName = where.name;
    IniFileName = where.iniFile;

    plat::TIniFile ini(IniFileName);
    UICodePage = ini.ReadString("CodePage", "UICodePage", SystemCodePage);
    DBCodePage = ini.ReadString("CodePage", "DBCodePage", "936");
    UIConversion = UIConversionOf(UICodePage, SystemCodePage);
    DBConversion = DBConversionOf(UICodePage, DBCodePage);

    DBESetting = ReadDBSetting(ini, "DBE Setting");
    Tamber = ReadDBSetting(ini, "Tamber");
    TamberTemp = ReadDBSetting(ini, "TamberTemp");
    EDIDATA = ReadDBSetting(ini, "EDIDATA");

    const std::string server = "Server Information";
    ComputerName = TrimBlanks(ini.ReadString(server, "ComputerName", ComputerName));
    ServerPort = ini.ReadInteger(server, "ServerPort", 211);
    ClientSocketPort = ini.ReadInteger(server, "ClientSocketPort", 0);
    SupportCallBack = IsTrueText(ini.ReadString(server, "SupportCallBack", "0"));
    DBPasswordCtrl = ini.ReadString(server, "DBPasswordCtrl", DBPasswordCtrl);
    DataBaseCodeOrder = ini.ReadString(server, "DataBaseCodeOrder", DataBaseCodeOrder);

    WorkDLLPaths = WorkFolders(ini, ServerPath, "S_PKG/");
}

// ---- stored passwords ----

std::string EncodePassword(const std::string& plain) {
    std::string mixed = XorWithKey(plain);
    QByteArray base64 = QByteArray(mixed.data(), static_cast<qsizetype>(mixed.size())).toBase64();
    return kPasswordPrefix + base64.toStdString();
}

namespace {

// The password an "ENC1:" value stands for; nothing when its remainder is
// not valid base64.
std::optional<std::string> DecodeEncoded(const std::string& stored) {
    std::string body = stored.substr(sizeof kPasswordPrefix - 1);
    auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(body),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    return XorWithKey(decoded.decoded.toStdString());
}

}  // namespace

std::string DecodePassword(const std::string& stored) {
    if (stored.rfind(kPasswordPrefix, 0) != 0) return stored;
    return DecodeEncoded(stored).value_or(stored);
}

bool IsReadablePassword(const std::string& stored) {
    return stored.rfind(kPasswordPrefix, 0) != 0 || DecodeEncoded(stored).has_value();
}
