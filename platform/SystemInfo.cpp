// Operating-system queries and shell verbs (GetACP, GetUserName, module
// paths, ShellExecute, Beep) and the Windows-to-native path mapping.
#include "SystemInfo.h"
#include "StrUtils.h"

#include <dlfcn.h>
#include <link.h>
#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace plat {

namespace {

std::string EnvOr(const char* name, const std::string& fallback = {}) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

// Cuts UTF-8 text after `maxChars` code points without splitting one.
std::string TruncateChars(const std::string& s, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == maxChars) return s.substr(0, i);
    }
    return s;
}

std::mutex& OpenHandlerLock() {
    static std::mutex m;
    return m;
}
ShellOpenHandler& OpenHandler() {
    static ShellOpenHandler handler;
    return handler;
}

bool LooksLikeUrl(const std::string& target) {
    auto colon = target.find(':');
    if (colon == std::string::npos || colon < 2) return false;   // "C:" is a drive, not a scheme
    return target.compare(colon, 3, "://") == 0 || plat::LowerCase(target.substr(0, colon)) == "mailto";
}

bool DesktopOpen(const std::string& target) {
    QUrl url = LooksLikeUrl(target)
                   ? QUrl(QString::fromStdString(target))
                   : QUrl::fromLocalFile(QString::fromStdString(std::filesystem::absolute(target).string()));
    return QDesktopServices::openUrl(url);
}

bool OpenTarget(const std::string& file) {
    std::error_code ec;
    if (!LooksLikeUrl(file) && !std::filesystem::exists(file, ec)) return false;
    ShellOpenHandler handler;
    {
        std::lock_guard<std::mutex> lock(OpenHandlerLock());
        handler = OpenHandler();
    }
    return handler ? handler(file) : DesktopOpen(file);
}

bool ShowProperties(const std::string& file) {
    QFileInfo info(QString::fromStdString(file));
    if (!info.exists() || !QApplication::instance()) return false;

    auto* dialog = new QDialog;
    dialog->setObjectName("ShellPropertiesDialog");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(info.fileName());
    auto* form = new QFormLayout;
    form->addRow("Location:", new QLabel(info.absoluteFilePath()));
    QString size = info.isDir() ? QString("folder")
                                : QLocale::system().toString(info.size()) + " bytes";
    form->addRow("Size:", new QLabel(size));
    form->addRow("Modified:", new QLabel(info.lastModified().toString("yyyy-MM-dd HH:mm:ss")));
    for (int i = 0; i < form->rowCount(); ++i)
        if (auto* item = form->itemAt(i, QFormLayout::FieldRole))
            if (auto* label = qobject_cast<QLabel*>(item->widget()))
                label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog->show();   // the shell shows properties without blocking its caller
    return true;
}

}  // namespace

int GetACP() {
    std::string text = EnvOr("ORTK_ACP");
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value <= 0 || value > 65535) return 936;
    return static_cast<int>(value);
}

std::string GetUserName() {
    std::string name;
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) name = pw->pw_name;
    if (name.empty()) name = EnvOr("USER", EnvOr("LOGNAME"));
    for (char& c : name)
        if (c == '/') c = '_';
    return TruncateChars(name, 32);
}

std::string ExecutablePath() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string ModuleFileNameOf(const void* address) {
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP)) return {};
    // The main program's link map has an empty name.
    if (!map || !map->l_name || !*map->l_name) return ExecutablePath();
    std::error_code ec;
    auto full = std::filesystem::absolute(map->l_name, ec);
    return ec ? std::string(map->l_name) : full.lexically_normal().string();
}

bool ShellExecute(const std::string& verb, const std::string& file) {
    std::string v = plat::LowerCase(verb);
    if (file.empty()) return false;
    if (v == "open") return OpenTarget(file);
    if (v == "properties") return ShowProperties(file);
    return false;
}

void SetShellOpenHandler(ShellOpenHandler handler) {
    std::lock_guard<std::mutex> lock(OpenHandlerLock());
    OpenHandler() = std::move(handler);
}

void Beep() {
    if (QApplication::instance()) QApplication::beep();
}

// ---- Windows-style paths ----

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWithDrive(const std::string& p) { return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':'; }

bool StartsWithUnc(const std::string& p) { return p.size() >= 2 && p[0] == '\\' && p[1] == '\\'; }

std::string Slashes(std::string p) {
    std::string out;
    for (char c : p) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

std::string DriveRoot(char letter) {
    char upper = static_cast<char>(letter >= 'a' ? letter - 'a' + 'A' : letter);
    std::string var = std::string("ORTK_DRIVE_") + upper;
    return IncludeTrailingPathDelimiter(EnvOr(var.c_str(), "/"));
}

std::string Join(const std::string& base, const std::string& relative) {
    if (base.empty()) return Slashes(relative);
    return Slashes(IncludeTrailingPathDelimiter(base) + relative);
}

}  // namespace

bool HasDrive(const std::string& path) { return StartsWithDrive(path) || StartsWithUnc(path); }

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (path.empty() || path.back() == '/' || path.back() == '\\') return path;
    return path + "/";
}

std::string NativePath(const std::string& windowsStylePath, const std::string& base) {
    const std::string& p = windowsStylePath;
    if (p.empty()) return {};
    if (StartsWithDrive(p)) return Join(DriveRoot(p[0]), p.substr(2));
    if (StartsWithUnc(p)) return Slashes("/" + p.substr(2));
    if (p[0] == '/') return Slashes(p);
    if (p[0] == '\\') return Join(base.empty() ? std::string("/") : base, p.substr(1));
    return Join(base, p);
}

}  // namespace plat
