// Installation settings: registry key, profile rule, code pages, server list,
// work folders, and the server-side settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "SystemInfo.h"
#include "TempEnvironment.h"
#include "host/CorvaneIni.h"

using ::testing::HasSubstr;
using ::testing::Not;

using ortktest::ScopedEnv;
using ortktest::TempFolder;

namespace {

// A client installed in <temp>/app/ reached as drive D: (ORTK_DRIVE_D), with
// a registry file of the caller's choice.
class CorvaneIniTest : public testing::Test {
protected:
    TempFolder dir;
    ScopedEnv drive{"ORTK_DRIVE_D", dir.Path()};
    ScopedEnv registry{"ORTK_REGISTRY_FILE", dir.Path() + "registry.reg"};
    ScopedEnv acp{"ORTK_ACP", "936"};
    std::string app = dir.Path() + "app/";

    // Writes the registry key with the given "Name"="value" lines.
    void WriteRegistry(const std::string& values) {
        dir.Write("registry.reg",
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n" + values);
    }
    void InstallClient(const std::string& profileType = "0") {
        WriteRegistry("\"ClientPath\"=\"D:\\\\app\"\r\n\"ProfileType\"=\"" + profileType + "\"\r\n");
    }
    void WriteClientIni(const std::string& text, const std::string& folder = "app/") {
        dir.Write(folder + "CorvaneC.ini", text);
    }
};

}  // namespace

// ---- registry key ----

TEST_F(CorvaneIniTest, MissingRegistryKeyIsReportedAndDefaultsStay) {
    dir.Write("registry.reg", "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000015");
    EXPECT_EQ(ini.ClientPath, "");
    EXPECT_EQ(ini.IniFileName, "");
    EXPECT_EQ(ini.ProfileType, "0");
    EXPECT_EQ(ini.ProfileName, "Default");
    EXPECT_EQ(ini.UICodePage, "936");
    EXPECT_TRUE(ini.ServerList.IsEmpty());
    EXPECT_TRUE(ini.WorkDLLPaths.empty());
}

TEST_F(CorvaneIniTest, NoRegistryFileAtAllIsAMissingKey) {
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000015");
}

TEST_F(CorvaneIniTest, EmptyClientPathIsReported) {
    WriteRegistry("\"ClientPath\"=\"\"\r\n\"ServerPath\"=\"D:\\\\srv\\\\\"\r\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000016");
    EXPECT_EQ(ini.ClientPath, "");
    EXPECT_TRUE(ini.WorkDLLPaths.empty());
}

TEST_F(CorvaneIniTest, ClientPathOfTheWrongTypeIsAnEmptyPathNotACrash) {
    WriteRegistry("\"ClientPath\"=dword:00000001\r\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000016");
}

TEST_F(CorvaneIniTest, ClientPathGetsItsTrailingDelimiter) {
    InstallClient();
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "");
    EXPECT_EQ(ini.ClientPath, app);
    WriteRegistry("\"ClientPath\"=\"" + dir.Path() + "native\"\r\n");
    EXPECT_EQ(TCorvaneIniC().ClientPath, dir.Path() + "native/");
}

// ---- profile ----

TEST_F(CorvaneIniTest, SharedProfileReadsTheFileInTheClientFolder) {
    InstallClient("0");
    WriteClientIni("[Client Components]\nLangType=CHS\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ProfileName, "Default");
    EXPECT_EQ(ini.ProfilePath, app);
    EXPECT_EQ(ini.IniFileName, app + "CorvaneC.ini");
    EXPECT_EQ(ini.LangType, "CHS");
}

TEST_F(CorvaneIniTest, PerUserProfileUsesTheUsersOwnFile) {
    InstallClient("1");
    std::string user = plat::GetUserName();
    WriteClientIni("[Client Components]\nLangType=CHS\n");
    WriteClientIni("[Client Components]\nLangType=CHT\n", "app/Profile/" + user + "/");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ProfileType, "1");
    EXPECT_EQ(ini.ProfileName, user);
    EXPECT_EQ(ini.ProfilePath, app + "Profile/" + user + "/");
    EXPECT_EQ(ini.IniFileName, app + "Profile/" + user + "/CorvaneC.ini");
    EXPECT_EQ(ini.LangType, "CHT");
}

// A profile type written as a number used to fail the whole key with "no client path".
TEST_F(CorvaneIniTest, ProfileTypeWrittenAsANumberCountsLikeItsText) {
    WriteRegistry("\"ClientPath\"=\"D:\\\\app\"\r\n\"ProfileType\"=dword:00000001\r\n");
    std::string user = plat::GetUserName();
    WriteClientIni("[Client Components]\nLangType=CHT\n", "app/Profile/" + user + "/");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "");
    EXPECT_EQ(ini.ClientPath, app);
    EXPECT_EQ(ini.ProfileType, "1");
    EXPECT_EQ(ini.ProfileName, user);
    EXPECT_EQ(ini.LangType, "CHT");
    WriteRegistry("\"ClientPath\"=\"D:\\\\app\"\r\n\"ProfileType\"=dword:00000000\r\n");
    TCorvaneIniC shared;
    EXPECT_EQ(shared.ProfileType, "0");
    EXPECT_EQ(shared.ProfilePath, app);
}

TEST_F(CorvaneIniTest, PerUserProfileWithoutAFileFallsBackToTheSharedFile) {
    InstallClient("1");
    std::filesystem::create_directories(app + "Profile/" + plat::GetUserName());
    WriteClientIni("[Client Components]\nLangType=CHS\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ProfileName, plat::GetUserName());
    EXPECT_EQ(ini.ProfilePath, app);
    EXPECT_EQ(ini.IniFileName, app + "CorvaneC.ini");
    EXPECT_EQ(ini.LangType, "CHS");
}

TEST_F(CorvaneIniTest, NoSettingsFileGivesTheDocumentedDefaults) {
    InstallClient();
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "");
    EXPECT_EQ(ini.IniFileName, app + "CorvaneC.ini");
    EXPECT_EQ(ini.LangType, "ENG");
    EXPECT_EQ(ini.Version, "");
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "Y");
    EXPECT_EQ(ini.DBCodePage, "936");
    EXPECT_FALSE(ini.SupportCallBack);
    EXPECT_EQ(ini.AutoCheckNewMsg, "1");
    EXPECT_EQ(ini.CheckInterval, "1");
    EXPECT_EQ(ini.PopupMsg, "1");
    EXPECT_EQ(ini.LoginCheck, "0");
    const auto& list = ini.ServerList.Array();
    ASSERT_EQ(list.Count(2), 1);
    EXPECT_EQ(list.At(0, 0).ToString(), "127.0.0.1");
    EXPECT_EQ(list.At(1, 0).ToInt(), 211);
    EXPECT_EQ(ini.WorkDLLPaths, (std::vector<std::string>{app + "C_PKG/"}));
}

TEST_F(CorvaneIniTest, KeysAreFoundWhateverTheirCase) {
    InstallClient();
    WriteClientIni("[client components]\nlangtype=CHT\n[PRODUCTVERSION]\nversion=9.1\n"
                   "[userdefine]\nCREATEGIFBEFORESENDEF=N\n[taskmessagecenter setting]\ncheckinterval=5\n"
                   "[server information]\nsupportcallback=yes\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.LangType, "CHT");
    EXPECT_EQ(ini.Version, "9.1");
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "N");
    EXPECT_EQ(ini.CheckInterval, "5");
    EXPECT_TRUE(ini.SupportCallBack);
}

TEST_F(CorvaneIniTest, SupportCallBackAcceptsOnlyItsTrueWords) {
    InstallClient();
    for (const char* yes : {"1", "y", "Yes", "TRUE"}) {
        WriteClientIni(std::string("[Server Information]\nSupportCallBack=") + yes + "\n");
        EXPECT_TRUE(TCorvaneIniC().SupportCallBack) << yes;
    }
    for (const char* no : {"0", "N", "on", "2"}) {
        WriteClientIni(std::string("[Server Information]\nSupportCallBack=") + no + "\n");
        EXPECT_FALSE(TCorvaneIniC().SupportCallBack) << no;
    }
}

// ---- code pages and conversion modes ----

struct CodePageCase {
    const char* acp;
    const char* iniCodePages;   // lines of section [CodePage]
    const char* system;
    const char* ui;
    const char* db;
    int uiConversion;
    int dbConversion;
};

void PrintTo(const CodePageCase& c, std::ostream* os) {
    *os << "ACP " << c.acp << " with [CodePage] \"" << c.iniCodePages << "\"";
}

class CorvaneIniCodePageTest : public CorvaneIniTest, public testing::WithParamInterface<CodePageCase> {};

TEST_P(CorvaneIniCodePageTest, DerivesCodePagesAndConversionModes) {
    const CodePageCase& c = GetParam();
    ScopedEnv acpValue("ORTK_ACP", c.acp);
    InstallClient();
    WriteClientIni(std::string("[CodePage]\n") + c.iniCodePages);
    TCorvaneIniC ini;
    EXPECT_EQ(ini.SystemCodePage, c.system);
    EXPECT_EQ(ini.UICodePage, c.ui);
    EXPECT_EQ(ini.DBCodePage, c.db);
    EXPECT_EQ(ini.UIConversion, c.uiConversion);
    EXPECT_EQ(ini.DBConversion, c.dbConversion);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, CorvaneIniCodePageTest,
    testing::Values(
        // system code page only
        CodePageCase{"936", "", "936", "936", "936", 0, 0},
        CodePageCase{"950", "", "950", "950", "936", 2, 2},
        CodePageCase{"1252", "", "437", "437", "936", 0, 0},
        // Big5 system with a GB interface, then over a Big5 database
        CodePageCase{"950", "UICodePage=936\n", "950", "936", "936", 4, 0},
        CodePageCase{"950", "UICodePage=936\nDBCodePage=950\n", "950", "936", "950", 4, 1},
        // GB system with a Big5 interface over the GB database
        CodePageCase{"936", "UICodePage=950\n", "936", "950", "936", 2, 2},
        CodePageCase{"936", "UICodePage=950\nDBCodePage=950\n", "936", "950", "950", 2, 0},
        // English system with an English interface over a Big5 database
        CodePageCase{"1252", "DBCodePage=950\n", "437", "437", "950", 0, 0}));

TEST_F(CorvaneIniTest, CodePagesAreDerivedEvenWhenTheRegistryKeyIsMissing) {
    ScopedEnv acpValue("ORTK_ACP", "950");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000015");
    EXPECT_EQ(ini.SystemCodePage, "950");
    EXPECT_EQ(ini.UICodePage, "950");
    EXPECT_EQ(ini.UIConversion, 2);
    EXPECT_EQ(ini.DBConversion, 2);
}

// ---- server list ----

TEST_F(CorvaneIniTest, ServerListHasOneColumnPerAddressWithThePort) {
    InstallClient();
    WriteClientIni("[Server Information]\nComputerName= alpha;beta \nServerPort=300\n");
    TCorvaneIniC ini;
    ASSERT_TRUE(ini.ServerList.IsArray());
    const auto& list = ini.ServerList.Array();
    EXPECT_EQ(list.DimCount(), 2);
    EXPECT_EQ(list.LowBound(1), 0);
    EXPECT_EQ(list.HighBound(1), 1);
    EXPECT_EQ(list.LowBound(2), 0);
    ASSERT_EQ(list.HighBound(2), 1);
    EXPECT_EQ(list.At(0, 0).ToString(), "alpha");
    EXPECT_EQ(list.At(0, 1).ToString(), "beta");
    EXPECT_EQ(list.At(1, 0).ToInt(), 300);
    EXPECT_EQ(list.At(1, 1).ToInt(), 300);
}

TEST_F(CorvaneIniTest, EmptyAddressTextLeavesOneEmptyColumn) {
    InstallClient();
    WriteClientIni("[Server Information]\nComputerName=\n");
    TCorvaneIniC ini;
    const auto& list = ini.ServerList.Array();
    ASSERT_EQ(list.Count(2), 1);
    EXPECT_TRUE(list.At(0, 0).IsEmpty());
    EXPECT_TRUE(list.At(1, 0).IsEmpty());
}

TEST_F(CorvaneIniTest, BlankPiecesOfTheAddressTextAreNotServers) {
    InstallClient();
    WriteClientIni("[Server Information]\nComputerName=;alpha;; beta;\nServerPort=abc\n");
    TCorvaneIniC ini;
    const auto& list = ini.ServerList.Array();
    ASSERT_EQ(list.Count(2), 2);
    EXPECT_EQ(list.At(0, 0).ToString(), "alpha");
    EXPECT_EQ(list.At(0, 1).ToString(), "beta");
    EXPECT_EQ(list.At(1, 1).ToInt(), 211);   // a port that is not a number: the default
}

// ---- work folders ----

TEST_F(CorvaneIniTest, WorkFoldersBecomeAbsoluteFolders) {
    ScopedEnv noE("ORTK_DRIVE_E", std::nullopt);
    InstallClient();
    WriteClientIni("[WorkDLLPath]\n"
                   "1=\\lib\n"
                   "2=pkg\\sub\n"
                   "3=D:\\shared\\PKG\\\n"
                   "4=E:\\other\n"
                   "5=/opt/kvx/lib\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.WorkDLLPaths, (std::vector<std::string>{app + "lib/", app + "pkg/sub/",
                                                         dir.Path() + "shared/PKG/", "/other/",
                                                         "/opt/kvx/lib/"}));
}

TEST_F(CorvaneIniTest, WorkFolderSectionWithoutLinesGivesTheClientPackageFolder) {
    InstallClient();
    WriteClientIni("[WorkDLLPath]\n; none yet\n[Other]\nx=1\n");
    TCorvaneIniC ini;
    EXPECT_EQ(ini.WorkDLLPaths, (std::vector<std::string>{app + "C_PKG/"}));
}

// ---- server settings ----

TEST_F(CorvaneIniTest, ServerSettingsReadTheServerFileAndItsDefaults) {
    WriteRegistry("\"ClientPath\"=\"D:\\\\app\\\\\"\r\n\"ServerPath\"=\"D:\\\\srv\"\r\n");
    std::string srv = dir.Path() + "srv/";
    TCorvaneIniS defaults;
    EXPECT_EQ(defaults.ErrorCode, "");
    EXPECT_EQ(defaults.ServerPath, srv);
    EXPECT_EQ(defaults.IniFileName, srv + "CorvaneS.ini");
    EXPECT_EQ(defaults.DataBaseCodeOrder, "Chinese_Taiwan_Stroke_BIN");
    EXPECT_EQ(defaults.ComputerName, "127.0.0.1");
    EXPECT_EQ(defaults.ServerPort, 211);
    EXPECT_EQ(defaults.Tamber.TimeOut, 30);
    EXPECT_EQ(defaults.WorkDLLPaths, (std::vector<std::string>{srv + "S_PKG/"}));

    dir.Write("srv/CorvaneS.ini",
              "[CodePage]\nUICodePage=950\n"
              "[Tamber]\nAlias=TB\nDatabaseType=MSSQL\nDatabaseName=TAMBER\nServerName=db1\n"
              "UserName=sa\nPassword=" + EncodePassword("s3cret;=") + "\nTimeOut=60\n"
              "[EDIDATA]\nPassword=plain\n"
              "[Server Information]\nServerPort=2000\nClientSocketPort=2001\nDataBaseCodeOrder=Chinese_PRC_BIN\n"
              "[WorkDLLPath]\nA=\\lib\n");
    TCorvaneIniS ini;
    EXPECT_EQ(ini.UICodePage, "950");
    EXPECT_EQ(ini.UIConversion, 2);
    EXPECT_EQ(ini.DBConversion, 2);
    EXPECT_EQ(ini.Tamber.Alias, "TB");
    EXPECT_EQ(ini.Tamber.DatabaseType, "MSSQL");
    EXPECT_EQ(ini.Tamber.DatabaseName, "TAMBER");
    EXPECT_EQ(ini.Tamber.ServerName, "db1");
    EXPECT_EQ(ini.Tamber.UserName, "sa");
    EXPECT_EQ(ini.Tamber.Password, "s3cret;=");
    EXPECT_EQ(ini.Tamber.TimeOut, 60);
    EXPECT_EQ(ini.EDIDATA.Password, "plain");
    EXPECT_EQ(ini.DBESetting.Alias, "");
    EXPECT_EQ(ini.ServerPort, 2000);
    EXPECT_EQ(ini.ClientSocketPort, 2001);
    EXPECT_EQ(ini.DataBaseCodeOrder, "Chinese_PRC_BIN");
    EXPECT_EQ(ini.WorkDLLPaths, (std::vector<std::string>{srv + "lib/"}));
}

TEST_F(CorvaneIniTest, ServerSettingsReportAMissingServerPath) {
    InstallClient();
    EXPECT_EQ(TCorvaneIniS().ErrorCode, "E;000016");
    dir.Write("registry.reg", "");
    EXPECT_EQ(TCorvaneIniS().ErrorCode, "E;000015");
}

TEST(CorvanePassword, EncodingHidesThePasswordAndDecodesBack) {
    for (std::string plain : {"", "sa", "p@ss=word;1", "\xe5\xaf\x86\xe7\xa0\x81"}) {
        SCOPED_TRACE("password \"" + plain + "\"");
        std::string stored = EncodePassword(plain);
        EXPECT_EQ(stored.rfind("ENC1:", 0), 0u);
        if (!plain.empty()) {
            EXPECT_THAT(stored, Not(HasSubstr(plain)));
        }
        EXPECT_EQ(DecodePassword(stored), plain);
    }
}

TEST(CorvanePassword, ValuesThatAreNotOursAreReadAsTheyStand) {
    EXPECT_EQ(DecodePassword("secret"), "secret");
    EXPECT_EQ(DecodePassword("ENC1:not base64!"), "ENC1:not base64!");
    EXPECT_EQ(DecodePassword(""), "");
    // only a value that claims to be ours and does not decode is unreadable
    EXPECT_FALSE(IsReadablePassword("ENC1:not base64!"));
    EXPECT_TRUE(IsReadablePassword("secret"));
    EXPECT_TRUE(IsReadablePassword(EncodePassword("s3cret")));
    EXPECT_TRUE(IsReadablePassword(""));
}
