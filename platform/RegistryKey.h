// TRegistry: the Windows registry as the suite reads it, kept in a text file
// in the registry editor's ".reg" export format. Read-only: the system only
// ever reads its installation keys.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace plat {

// A value that exists but cannot be read as asked (ReadInteger of a string,
// ReadString of binary data, ReadInteger of a missing value).
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The predefined root keys.
enum class HKEY : uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    CurrentConfig = 0x80000005u,
};
inline constexpr HKEY HKEY_CLASSES_ROOT = HKEY::ClassesRoot;
inline constexpr HKEY HKEY_CURRENT_USER = HKEY::CurrentUser;
inline constexpr HKEY HKEY_LOCAL_MACHINE = HKEY::LocalMachine;
inline constexpr HKEY HKEY_USERS = HKEY::Users;
inline constexpr HKEY HKEY_CURRENT_CONFIG = HKEY::CurrentConfig;

// "HKEY_LOCAL_MACHINE" and so on.
const char* RootKeyName(HKEY root);

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// The registry file: $ORTK_REGISTRY_FILE when set, else
// $XDG_CONFIG_HOME/kvx/registry.reg, else ~/.config/kvx/registry.reg.
std::string RegistryFileName();

// File format understood:
//   Windows Registry Editor Version 5.00        (or REGEDIT4; optional)
//   ; comment
//   [HKEY_LOCAL_MACHINE\Software\KVX\Corvane]
//   "ClientPath"="D:\\app\\"                     strings escape \ and " with \;
//   "Count"=dword:0000012c                       32-bit value in hexadecimal
//   "Raw"=hex:01,02,\                            binary, "\" continues a line
//     03
//   "Expand"=hex(2):44,00,3a,00,00,00            REG_EXPAND_SZ (UTF-16 bytes)
//   @="default value"                            the key's unnamed value
//   "Gone"=-                                     removes a value written above
//   [-HKEY_CURRENT_USER\Software\Old]            removes a key and its subkeys
// The file may be UTF-16 with BOM (as the registry editor writes it) or UTF-8.
// Lines that do not parse are skipped. A key listed in the file implies its
// parent keys. Key paths and value names compare case-insensitively.
class TRegistry {
public:
    // Reads RegistryFileName() now; a missing file is an empty registry.
    TRegistry();
    explicit TRegistry(const std::string& fileName);

    // The root that relative paths start from; HKEY_CURRENT_USER until set.
    // Setting it closes the open key.
    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);

    // Opens a key for reading. A path starting with "\" is taken from the
    // root; any other path is relative to the open key (to the root when
    // none is open). False, with the open key unchanged, when it does not exist.
    bool OpenKeyReadOnly(const std::string& key);
    bool KeyExists(const std::string& key) const;
    void CloseKey();
    // Path of the open key below the root, without leading "\"; "" when closed.
    std::string CurrentPath() const;
    bool HasOpenKey() const { return open_; }

    // Values of the open key. "" names the key's unnamed (default) value.
    bool ValueExists(const std::string& name) const;
    TRegDataType GetDataType(const std::string& name) const;   // rdUnknown when missing
    // The text of a string value; "" when the value (or the open key) is
    // missing. Raises ERegistryException for a value of another type.
    std::string ReadString(const std::string& name) const;
    // A dword value. Raises ERegistryException when missing or of another type.
    int ReadInteger(const std::string& name) const;
    // Raw bytes of a binary value (also of any value stored as hex).
    std::vector<uint8_t> ReadBinaryData(const std::string& name) const;

    std::vector<std::string> GetValueNames() const;   // in file order
    std::vector<std::string> GetKeyNames() const;     // direct subkeys, alphabetical

    struct Value {
        std::string name;
        TRegDataType type = TRegDataType::rdUnknown;
        std::string text;              // rdString, rdExpandString
        uint32_t dword = 0;            // rdInteger
        std::vector<uint8_t> bytes;    // rdBinary and other hex(n) kinds
    };
    struct Key {
        std::string path;              // full path with root name, as first written
        std::vector<Value> values;
    };
    // Full lower-case path ("hkey_local_machine\software\kvx") -> key.
    using Store = std::map<std::string, Key>;

private:
    std::string FullPath(const std::string& key) const;
    const Key* FindKey(const std::string& fullLowerPath) const;
    const Value* FindValue(const std::string& name) const;

    std::shared_ptr<const Store> store_;
    HKEY root_ = HKEY_CURRENT_USER;
    bool open_ = false;
    std::string current_;   // lower-case full path of the open key
};

}  // namespace plat
