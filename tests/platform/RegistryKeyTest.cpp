// The registry stand-in: ".reg" parsing, key paths, value types.
#include <gtest/gtest.h>

#include "RegistryKey.h"
#include "TempEnvironment.h"

using namespace plat;
using ortktest::ScopedEnv;
using ortktest::TempFolder;

namespace {

const char* kRegFile =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; the client installation\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n"
    "\"ClientPath\"=\"D:\\\\Corvane\\\\Client\\\\\"\r\n"
    "\"ProfileType\"=\"0\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "\"Count\"=dword:0000012c\r\n"
    "\"Raw\"=hex:01,02,\\\r\n"
    "  ff\r\n"
    "\"Expand\"=hex(2):44,00,3a,00,5c,00,00,00\r\n"
    "@=\"the default\"\r\n"
    "\"Temp\"=\"x\"\r\n"
    "\"temp\"=-\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane\\Sub]\r\n"
    "\"Bad\"=unknown:12\r\n"
    "\"Good\"=\"1\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
    "\"A\"=\"1\"\r\n"
    "[HKEY_CURRENT_USER\\Software\\Old\\Child]\r\n"
    "[-HKEY_CURRENT_USER\\Software\\Old]\r\n";

class RegistryTest : public testing::Test {
protected:
    TempFolder dir;
    std::string file = dir.Write("registry.reg", kRegFile);
};

}  // namespace

TEST_F(RegistryTest, OpensKeysCaseInsensitivelyUnderTheRoot) {
    TRegistry reg(file);
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));   // the default root is HKEY_CURRENT_USER
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("SOFTWARE\\kvx\\corvane"));
    EXPECT_EQ(reg.CurrentPath(), "Software\\KVX\\Corvane");
    EXPECT_EQ(reg.ReadString("clientpath"), "D:\\Corvane\\Client\\");
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\KVX\\Missing"));
    EXPECT_EQ(reg.CurrentPath(), "Software\\KVX\\Corvane");   // a failed open keeps the open key
}

TEST_F(RegistryTest, ResolvesRelativeAndRootedPaths) {
    TRegistry reg(file);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX"));   // a parent key exists implicitly
    ASSERT_TRUE(reg.OpenKeyReadOnly("Corvane\\Sub"));
    EXPECT_EQ(reg.CurrentPath(), "Software\\KVX\\Corvane\\Sub");
    EXPECT_TRUE(reg.OpenKeyReadOnly("\\Software\\KVX\\Corvane\\"));
    EXPECT_EQ(reg.CurrentPath(), "Software\\KVX\\Corvane");
    EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"Sub"}));
    reg.CloseKey();
    EXPECT_FALSE(reg.ValueExists("ClientPath"));
    EXPECT_EQ(reg.ReadString("ClientPath"), "");
}

TEST_F(RegistryTest, ReadsEachKindOfValue) {
    TRegistry reg(file);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));
    EXPECT_EQ(reg.ReadString("Quote"), "say \"hi\"");
    EXPECT_EQ(reg.ReadInteger("Count"), 300);
    EXPECT_EQ(reg.GetDataType("Count"), TRegDataType::rdInteger);
    EXPECT_EQ(reg.ReadBinaryData("Raw"), (std::vector<uint8_t>{1, 2, 0xff}));
    EXPECT_EQ(reg.ReadString("Expand"), "D:\\");
    EXPECT_EQ(reg.GetDataType("Expand"), TRegDataType::rdExpandString);
    EXPECT_EQ(reg.ReadString(""), "the default");
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"ClientPath", "ProfileType", "Quote", "Count", "Raw", "Expand", ""}));
}

TEST_F(RegistryTest, ReportsValuesOfTheWrongTypeAndMissingIntegers) {
    TRegistry reg(file);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));
    EXPECT_THROW(reg.ReadString("Count"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("ClientPath"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Nothing"), ERegistryException);
    EXPECT_EQ(reg.ReadString("Nothing"), "");
}

TEST_F(RegistryTest, AppliesRemovalsAndSkipsLinesThatDoNotParse) {
    TRegistry reg(file);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));
    EXPECT_FALSE(reg.ValueExists("Temp"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("Sub"));
    EXPECT_FALSE(reg.ValueExists("Bad"));
    EXPECT_EQ(reg.ReadString("Good"), "1");
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.KeyExists("Software\\Old"));
    EXPECT_FALSE(reg.KeyExists("Software\\Old\\Child"));
    EXPECT_TRUE(reg.KeyExists("Software"));
}

TEST_F(RegistryTest, ReadsUtf16FilesAsTheRegistryEditorWritesThem) {
    std::string text = "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]\r\n"
                       "\"ClientPath\"=\"/opt/kvx/\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    TRegistry reg(dir.Write("u16.reg", utf16));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));
    EXPECT_EQ(reg.ReadString("ClientPath"), "/opt/kvx/");
}

TEST_F(RegistryTest, FindsItsFileThroughTheEnvironment) {
    {
        ScopedEnv env("ORTK_REGISTRY_FILE", file);
        EXPECT_EQ(RegistryFileName(), file);
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        EXPECT_TRUE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));
    }
    ScopedEnv noFile("ORTK_REGISTRY_FILE", std::nullopt);
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(RegistryFileName(), "/cfg/kvx/registry.reg");
    }
    ScopedEnv noXdg("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(RegistryFileName(), "/home/someone/.config/kvx/registry.reg");
}

TEST_F(RegistryTest, AMissingFileIsAnEmptyRegistry) {
    TRegistry reg(dir.Path() + "none.reg");
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\KVX\\Corvane"));
    EXPECT_FALSE(reg.HasOpenKey());
}
