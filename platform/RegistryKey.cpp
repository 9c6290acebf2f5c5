// The registry stand-in: parsing of ".reg" files and read access to keys and
// values (TRegistry).
#include "RegistryKey.h"

#include <cctype>
#include <cstdlib>

#include "StrUtils.h"
#include "SystemInfo.h"
#include "TextFile.h"

namespace plat {

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                       HKEY_CURRENT_CONFIG};

// Pieces of a key path; empty pieces (doubled or outer "\") are dropped.
std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string piece;
    for (char c : path + "\\") {
        if (c != '\\') {
            piece += c;
        } else if (!piece.empty()) {
            parts.push_back(piece);
            piece.clear();
        }
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

// Reads a quoted string starting at s[pos] == '"'; pos ends after the closing
// quote. "\\" and "\"" are escapes; a backslash before anything else stays.
bool ReadQuoted(const std::string& s, size_t& pos, std::string& out) {
    out.clear();
    for (size_t i = pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) c = s[++i];
        out += c;
    }
    return false;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::string digits;
    for (char c : text + ",") {
        if (c == ' ' || c == '\t') continue;
        if (c == ',') {
            if (digits.empty()) continue;
            bytes.push_back(static_cast<uint8_t>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        } else if (std::isxdigit(static_cast<unsigned char>(c)) && digits.size() < 2) {
            digits += c;
        } else {
            return false;
        }
    }
    return true;
}

// A string value written as hex bytes: UTF-16 in version 5 files, ANSI in REGEDIT4.
std::string HexText(const std::vector<uint8_t>& bytes, bool unicode) {
    std::string raw(bytes.begin(), bytes.end());
    if (unicode) {
        std::string text = Utf16ToUtf8(raw, false);
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
    while (!raw.empty() && raw.back() == '\0') raw.pop_back();
    return IsValidUtf8(raw) ? raw : AnsiToUtf8(raw, GetACP());
}

// Parses the data after "=" into `value`; false when it does not parse.
bool ParseData(const std::string& data, bool unicode, TRegistry::Value& value) {
    if (!data.empty() && data[0] == '"') {
        size_t pos = 0;
        value.type = TRegDataType::rdString;
        return ReadQuoted(data, pos, value.text);
    }
    std::string lower = LowerCase(data);
    if (lower.rfind("dword:", 0) == 0) {
        std::string digits = Trim(data.substr(6));
        if (digits.empty() || digits.size() > 8) return false;
        for (char c : digits)
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        value.type = TRegDataType::rdInteger;
        value.dword = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
        return true;
    }
    if (lower.rfind("hex", 0) != 0) return false;
    size_t colon = data.find(':');
    if (colon == std::string::npos) return false;
    std::string kind = LowerCase(Trim(data.substr(3, colon - 3)));   // "", "(2)", "(7)" ...
    if (!ParseHexBytes(data.substr(colon + 1), value.bytes)) return false;
    if (kind == "(1)" || kind == "(2)") {
        value.type = kind == "(1)" ? TRegDataType::rdString : TRegDataType::rdExpandString;
        value.text = HexText(value.bytes, unicode);
    } else {
        value.type = TRegDataType::rdBinary;
    }
    return true;
}

class RegParser {
public:
    explicit RegParser(TRegistry::Store& store) : store_(store) {}

    void Parse(const std::string& text) {
        std::vector<std::string> lines = LogicalLines(text);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (line.empty() || line[0] == ';') continue;
            if (i == FirstContentLine(lines) && IsHeader(line)) continue;
            if (line[0] == '[') KeyLine(line);
            else if (current_) ValueLine(line);
        }
    }

private:
    // Joins hex data continued with a trailing "\" and trims every line.
    static std::vector<std::string> LogicalLines(const std::string& text) {
        std::vector<std::string> lines;
        bool continuing = false;
        for (const std::string& line : TrimmedLines(text)) {
            if (continuing) lines.back() += line;
            else lines.push_back(line);
            std::string& last = lines.back();
            size_t eq = last.find("=hex");
            continuing = eq != std::string::npos && !last.empty() && last.back() == '\\';
            if (continuing) last.pop_back();
        }
        return lines;
    }

    size_t FirstContentLine(const std::vector<std::string>& lines) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (!lines[i].empty()) return i;
        return lines.size();
    }

    bool IsHeader(const std::string& line) {
        if (line == "REGEDIT4") {
            unicode_ = false;
            return true;
        }
        return line.rfind("Windows Registry Editor Version", 0) == 0;
    }

    void KeyLine(const std::string& line) {
        size_t close = line.rfind(']');
        if (close == std::string::npos) {
            current_ = nullptr;
            return;
        }
        bool remove = line.size() > 1 && line[1] == '-';
        std::vector<std::string> parts = SplitPath(line.substr(remove ? 2 : 1, close - (remove ? 2 : 1)));
        if (parts.empty() || !IsRootName(parts[0])) {
            current_ = nullptr;
            return;
        }
        if (remove) {
            RemoveKey(LowerCase(JoinPath(parts, parts.size())));
            current_ = nullptr;
            return;
        }
        for (size_t n = 1; n <= parts.size(); ++n) {
            std::string full = JoinPath(parts, n);
            auto it = store_.try_emplace(LowerCase(full), TRegistry::Key{full, {}}).first;
            current_ = &it->second;
        }
    }

    void ValueLine(const std::string& line) {
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] != '"' || !ReadQuoted(line, pos, name)) {
            return;
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') return;
        std::string data = Trim(line.substr(pos + 1));

        auto& values = current_->values;
        auto existing = values.end();
        for (auto it = values.begin(); it != values.end(); ++it)
            if (LowerCase(it->name) == LowerCase(name)) existing = it;
        if (data == "-") {
            if (existing != values.end()) values.erase(existing);
            return;
        }
        TRegistry::Value value;
        value.name = name;
        if (!ParseData(data, unicode_, value)) return;
        if (existing != values.end()) *existing = value;
        else values.push_back(value);
    }

    void RemoveKey(const std::string& lowerPath) {
        for (auto it = store_.begin(); it != store_.end();) {
            bool inside = it->first == lowerPath || it->first.rfind(lowerPath + "\\", 0) == 0;
            it = inside ? store_.erase(it) : std::next(it);
        }
    }

    static bool IsRootName(const std::string& name) {
        for (HKEY root : kRoots)
            if (LowerCase(name) == LowerCase(RootKeyName(root))) return true;
        return false;
    }

    TRegistry::Store& store_;
    TRegistry::Key* current_ = nullptr;
    bool unicode_ = true;
};

std::shared_ptr<const TRegistry::Store> LoadStore(const std::string& fileName) {
    auto store = std::make_shared<TRegistry::Store>();
    if (auto text = ReadTextFileUtf8(fileName)) RegParser(*store).Parse(*text);
    return store;
}

}  // namespace

const char* RootKeyName(HKEY root) {
    switch (root) {
    case HKEY::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case HKEY::CurrentUser: return "HKEY_CURRENT_USER";
    case HKEY::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case HKEY::Users: return "HKEY_USERS";
    case HKEY::CurrentConfig: return "HKEY_CURRENT_CONFIG";
    }
    return "";
}

std::string RegistryFileName() {
    if (const char* file = std::getenv("ORTK_REGISTRY_FILE"); file && *file) return file;
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home) config = std::string(home) + "/.config";
    else config = "/etc";
    return config + "/kvx/registry.reg";
}

TRegistry::TRegistry() : TRegistry(RegistryFileName()) {}

TRegistry::TRegistry(const std::string& fileName) : store_(LoadStore(fileName)) {}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

std::string TRegistry::FullPath(const std::string& key) const {
    bool relative = !key.empty() && key[0] != '\\' && open_;
    std::string path = relative ? current_ + "\\" + key : std::string(RootKeyName(root_)) + "\\" + key;
    std::vector<std::string> parts = SplitPath(path);
    return LowerCase(JoinPath(parts, parts.size()));
}

const TRegistry::Key* TRegistry::FindKey(const std::string& fullLowerPath) const {
    auto it = store_->find(fullLowerPath);
    return it == store_->end() ? nullptr : &it->second;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    std::string full = FullPath(key);
    if (!FindKey(full)) return false;
    current_ = full;
    open_ = true;
    return true;
}

bool TRegistry::KeyExists(const std::string& key) const { return FindKey(FullPath(key)) != nullptr; }

void TRegistry::CloseKey() {
    open_ = false;
    current_.clear();
}

std::string TRegistry::CurrentPath() const {
    if (!open_) return {};
    const Key* key = FindKey(current_);
    std::string path = key ? key->path : current_;
    size_t slash = path.find('\\');
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

const TRegistry::Value* TRegistry::FindValue(const std::string& name) const {
    if (!open_) return nullptr;
    const Key* key = FindKey(current_);
    if (!key) return nullptr;
    for (const Value& v : key->values)
        if (LowerCase(v.name) == LowerCase(name)) return &v;
    return nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const { return FindValue(name) != nullptr; }

TRegDataType TRegistry::GetDataType(const std::string& name) const {
    const Value* v = FindValue(name);
    return v ? v->type : TRegDataType::rdUnknown;
}

std::string TRegistry::ReadString(const std::string& name) const {
    const Value* v = FindValue(name);
    if (!v) return {};
    if (v->type != TRegDataType::rdString && v->type != TRegDataType::rdExpandString)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return v->text;
}

int TRegistry::ReadInteger(const std::string& name) const {
    const Value* v = FindValue(name);
    if (!v) throw ERegistryException("Failed to get data for '" + name + "'");
    if (v->type != TRegDataType::rdInteger) throw ERegistryException("Invalid data type for '" + name + "'");
    return static_cast<int>(v->dword);
}

std::vector<uint8_t> TRegistry::ReadBinaryData(const std::string& name) const {
    const Value* v = FindValue(name);
    if (!v) throw ERegistryException("Failed to get data for '" + name + "'");
    if (v->bytes.empty() && v->type != TRegDataType::rdBinary)
        throw ERegistryException("Invalid data type for '" + name + "'");
    return v->bytes;
}

std::vector<std::string> TRegistry::GetValueNames() const {
    std::vector<std::string> names;
    if (!open_) return names;
    if (const Key* key = FindKey(current_))
        for (const Value& v : key->values) names.push_back(v.name);
    return names;
}

std::vector<std::string> TRegistry::GetKeyNames() const {
    std::vector<std::string> names;
    if (!open_) return names;
    std::string prefix = current_ + "\\";
    for (auto it = store_->lower_bound(prefix); it != store_->end() && it->first.rfind(prefix, 0) == 0; ++it)
        if (it->first.find('\\', prefix.size()) == std::string::npos)
            names.push_back(it->second.path.substr(it->second.path.rfind('\\') + 1));
    return names;
}

}  // namespace plat
