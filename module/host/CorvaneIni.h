// Installation settings of the suite: where the client (TCorvaneIniC) or the
// application server (TCorvaneIniS) is installed, which settings file applies
// to the signed-in user, code pages and conversion modes, server addresses,
// work-library folders and the server's database connections.
//
// Both classes read everything once, in their constructor, from the registry
// key HKEY_LOCAL_MACHINE\Software\KVX\Corvane and the settings file; nothing
// is cached and nothing is written. Create, read the fields, free.
//
// Paths are native: folders end in "/". Values written Windows-style in the
// registry or the settings file ("D:\app\", "\lib", "pkg\") are mapped with
// plat::NativePath: "\" becomes "/", a drive "X:" is the folder in
// $ORTK_DRIVE_X (else "/"), a leading "\" in a work folder means "below the
// client (server) folder". A registry path without a drive is taken from "/".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Variant.h"

// Registry key and file names shared by both readers.
inline constexpr const char* kCorvaneRegistryKey = "Software\\KVX\\Corvane";
inline constexpr const char* kCorvaneErrorNoKey = "E;000015";        // registry key missing
inline constexpr const char* kCorvaneErrorNoPath = "E;000016";       // no client (server) path

// The client-side installation settings ("CorvaneC.ini").
class TCorvaneIniC {
public:
    // Runs the load. Never throws for a missing registry key, an empty client
    // path or a missing settings file: the first two set ErrorCode and leave
    // every later field at its default (ServerList stays Empty, WorkDLLPaths
    // stays empty); the third reads as a file without entries.
    TCorvaneIniC();

    std::string ClientPath;              // ends in "/" when not empty
    std::string ProfilePath;             // folder of the settings file actually used
    std::string ProfileType = "0";
    std::string ProfileName = "Default"; // or the user name with per-user profiles
    std::string UICodePage = "936";      // "936", "950" or "437"
    std::string DBCodePage = "936";
    std::string SystemCodePage;
    // 2: interface Big5; 4: GB interface on a Big5 system; 0: none.
    uint8_t UIConversion = 0;
    // 2: Big5 interface over a GB database; 1: GB interface over a Big5 database; 0: none.
    uint8_t DBConversion = 0;
    bool SupportCallBack = false;
    std::string IniFileName;             // full name of the settings file; "" when not located
    // Two-dimensional [0..1, 0..n]: [0, i] address of entry i, [1, i] its port.
    // One column per address; an empty address text leaves one column of
    // Empty values. Empty (not an array) when ErrorCode is set.
    plat::Variant ServerList;
    std::string ErrorCode;               // "", kCorvaneErrorNoKey or kCorvaneErrorNoPath
    std::string LangType;
    std::vector<std::string> WorkDLLPaths;   // absolute folders ending in "/"
    std::string Version;
    std::string CreateGifBeforeSendEF;
    std::string AutoCheckNewMsg;
    std::string CheckInterval;
    std::string PopupMsg;
    std::string LoginCheck;

private:
    void Load();
};

// One database connection of the application server.
struct TCorvaneDBSetting {
    std::string Alias;
    std::string DatabaseType;
    std::string DatabaseName;
    std::string ServerName;
    std::string UserName;
    std::string Password;     // decoded (see DecodePassword)
    bool PasswordUndecodable = false;   // "ENC1:" value that does not decode; Password holds it as stored
    int TimeOut = 30;         // seconds
};

// The server-side installation settings ("CorvaneS.ini"): same registry key
// (value "ServerPath"), same profile rule and code-page rules as the client.
//
// Settings file keys read (section: keys, defaults):
//   "CodePage": "UICodePage" (system code page), "DBCodePage" ("936")
//   "DBE Setting", "Tamber", "TamberTemp", "EDIDATA": "Alias", "DatabaseType",
//       "DatabaseName", "ServerName", "UserName", "Password" (all ""),
//       "TimeOut" (30)
//   "Server Information": "ComputerName" ("127.0.0.1"), "ServerPort" (211),
//       "ClientSocketPort" (0: not set), "SupportCallBack" ("1"/"Y"/"YES"/"TRUE"
//       = true), "DBPasswordCtrl" ("0"), "DataBaseCodeOrder"
//       ("Chinese_Taiwan_Stroke_BIN")
//   "WorkDLLPath": name=folder lines; none gives ServerPath + "S_PKG/"
class TCorvaneIniS {
public:
    // Same failure contract as TCorvaneIniC; kCorvaneErrorNoPath means the
    // registry has no "ServerPath".
    TCorvaneIniS();

    std::string ServerPath;              // ends in "/" when not empty
    std::string ProfilePath;
    std::string ProfileType = "0";
    std::string ProfileName = "Default";
    std::string UICodePage = "936";
    std::string DBCodePage = "936";
    std::string SystemCodePage;
    uint8_t UIConversion = 0;
    uint8_t DBConversion = 0;
    std::string IniFileName;
    std::string ErrorCode;

    TCorvaneDBSetting DBESetting;
    TCorvaneDBSetting Tamber;
    TCorvaneDBSetting TamberTemp;
    TCorvaneDBSetting EDIDATA;

    std::string ComputerName;
    int ServerPort = 211;
    int ClientSocketPort = 0;
    bool SupportCallBack = false;
    std::string DBPasswordCtrl;
    std::string DataBaseCodeOrder;
    std::vector<std::string> WorkDLLPaths;   // absolute folders ending in "/"

private:
    void Load();
};

// Stored database passwords. EncodePassword gives "ENC1:" followed by the
// base64 form of the UTF-8 bytes XOR-ed with a fixed key; it keeps passwords
// from being read over a shoulder, it is not encryption. DecodePassword
// reverses it; a value without the "ENC1:" prefix, or one whose remainder is
// not valid base64, is returned unchanged (plain-text passwords keep working).
std::string EncodePassword(const std::string& plain);
std::string DecodePassword(const std::string& stored);
// False for a value that claims to be encoded ("ENC1:") but does not decode:
// almost always a damaged entry rather than a plain password.
bool IsReadablePassword(const std::string& stored);
