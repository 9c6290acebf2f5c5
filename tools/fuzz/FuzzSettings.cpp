// Fuzz target: the readers of the installation's settings files, the INI
// file (CorvaneC.ini, CorvaneS.ini) and the registry file (Windows .reg
// text), over any bytes in any encoding. Nothing may crash or hang; every
// section and key a reader lists can be read back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Exceptions.h"
#include "IniFile.h"
#include "RegistryKey.h"

namespace {

std::string& FileName() {
    static std::string name = [] {
        char pattern[] = "/tmp/ortk-fuzz-settings.XXXXXX";
        int fd = mkstemp(pattern);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(pattern);
    }();
    return name;
}

void Write(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(FileName().c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

void ReadIni() {
    plat::TIniFile ini(FileName());
    for (const std::string& section : ini.ReadSections()) {
        (void)ini.ReadSectionValues(section);
        for (const std::string& key : ini.ReadSection(section)) {
            if (!ini.ValueExists(section, key)) std::abort();   // a listed key must be found again
            (void)ini.ReadString(section, key, "");
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadBool(section, key, false);
        }
    }
    (void)ini.ReadString("DBE Setting", "ServerName", "");
    (void)ini.ReadInteger("DBE Setting", "TimeOut", 30);
}

void Walk(plat::TRegistry& registry, const std::string& path, int depth) {
    if (depth > 16 || !registry.OpenKeyReadOnly(path)) return;
    for (const std::string& name : registry.GetValueNames()) {
        try {
            switch (registry.GetDataType(name)) {
            case plat::TRegDataType::rdString:
            case plat::TRegDataType::rdExpandString: (void)registry.ReadString(name); break;
            case plat::TRegDataType::rdInteger: (void)registry.ReadInteger(name); break;
            default: (void)registry.ReadBinaryData(name); break;
            }
        } catch (const plat::Exception&) {
            std::abort();   // a value read as the type it reports must not raise
        }
    }
    for (const std::string& key : registry.GetKeyNames()) {
        Walk(registry, "\\" + (path == "\\" ? std::string() : path.substr(1) + "\\") + key, depth + 1);
    }
}

void ReadRegistry() {
    plat::TRegistry registry(FileName());
    for (plat::HKEY root : {plat::HKEY_LOCAL_MACHINE, plat::HKEY_CURRENT_USER}) {
        registry.SetRootKey(root);
        Walk(registry, "\\", 0);
    }
    registry.SetRootKey(plat::HKEY_LOCAL_MACHINE);
    if (registry.OpenKeyReadOnly("Software\\KVX\\Corvane")) {
        try {
            (void)registry.ReadString("ClientPath");
        } catch (const plat::Exception&) {
            // a ClientPath of another type: the settings report it as missing
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Write(data, size);
    ReadIni();
    ReadRegistry();
    return 0;
}
