// Option parsing and help texts of the host shell, and the choice of the
// registry file. Nothing here needs the window system, so that --help and
// usage errors work without a display.
#include "CommandLine.h"

#include <cstdlib>
#include <filesystem>

#include "RegistryKey.h"
#include "StrUtils.h"

namespace shell {

namespace {

const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

}  // namespace

bool CheckUICodePage(const std::string& codePage, std::string& error) {
    if (codePage == "936" || codePage == "950" || codePage == "437") return true;
    error = "--ui-code-page wants 936, 950 or 437, not \"" + codePage + "\"";
    return false;
}

bool OptionReader::Next() {
    if (next_ >= args_.size()) return false;
    current_ = next_++;
    return true;
}

bool OptionReader::Value(std::string& target) {
    if (next_ >= args_.size()) return Refuse(Option() + " needs a value");
    target = args_[next_++];
    return true;
}

bool OptionReader::Refuse(std::string text) {
    error_ = std::move(text);
    return false;
}

namespace {

bool ReadMode(OptionReader& r, int& mode) {
    std::string text;
    if (!r.Value(text)) return false;
    char* end = nullptr;
    long m = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || m < 0 || m > 255) return r.Refuse("--mode wants a number from 0 to 255, not \"" + text + "\"");
    mode = static_cast<int>(m);
    return true;
}

// One option of the window mode and its value; false with the reader's error.
bool ReadWindowOption(OptionReader& r, WindowOptions& o) {
    if (std::optional<bool> shared = ReadSharedOption(r, o)) return *shared;
    const std::string& arg = r.Option();
    if (arg == "--condition") return r.Value(o.Condition);
    if (arg == "--open") {
        if (!r.Value(o.Program)) return false;
        o.Program = plat::UpperCase(o.Program);
        return true;
    }
    if (arg == "--mode") return ReadMode(r, o.Mode);
    return r.Unknown();
}

}  // namespace

std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args, std::string& error) {
    return ReadOptions<WindowOptions>(args, error, ReadWindowOption);
}

std::optional<StartOptions> TakeStartOptions(std::vector<std::string>& args, std::string& error) {
    StartOptions o;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            o.Help = true;
        } else if (args[i] == "--registry") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--registry needs a file";
                return std::nullopt;
            }
            o.Registry = args[++i];
        } else {
            rest.push_back(args[i]);
        }
    }
    args = std::move(rest);
    return o;
}

std::string ChooseRegistryFile(const std::string& given, const std::string& executable, std::string& note) {
    namespace fs = std::filesystem;
    note.clear();
    std::string file;
    if (!given.empty()) {
        file = fs::absolute(given).lexically_normal().string();
    } else if (const char* named = Env("ORTK_REGISTRY_FILE")) {
        return named;
    } else {
        file = plat::RegistryFileName();
        fs::path demo = fs::path(executable).parent_path().parent_path().parent_path() / "demo" / "registry.reg";
        std::error_code ec;
        if (!fs::exists(file, ec) && !executable.empty() && fs::is_regular_file(demo, ec)) {
            file = fs::weakly_canonical(demo, ec).string();
            note = "using the demo installation's registry file " + file +
                   " (--registry FILE or ORTK_REGISTRY_FILE names another)";
        }
    }
    setenv("ORTK_REGISTRY_FILE", file.c_str(), 1);
    return file;
}

bool HasDisplay() { return Env("QT_QPA_PLATFORM") || Env("DISPLAY") || Env("WAYLAND_DISPLAY"); }

std::string ShellHelp() {
    return R"(usage: tamber-workcenter [OPTIONS]                opens the host shell's window
       tamber-workcenter ortk41 [BATCH OPTIONS]   runs ORTK41 without a window
                                                  (tamber-workcenter ortk41 --help)

Signs a user on to a company database and shows the host shell's window; its
menu 作业 opens the suite's programs (ORTK41, sales order tracking).

Options:
  --user U             user who signs on (default KV)
  --company C          company (default PRTest65)
  --database D         company database (default: DatabaseName of the server
                       settings, else the company)
  --open PROGRAM       opens PROGRAM (ORTK41) at once
  --condition TEXT     SQL condition handed to the program that --open opens
  --mode N             mode number 0-255 handed to that program (default 1)
  --ui-code-page CP    interface language: 936 simplified Chinese, 950
                       traditional Chinese, 437 English (default: UICodePage
                       of CorvaneC.ini, else the system code page)
  --trace-sql FILE     appends every SQL statement the programs send to FILE
  --registry FILE      registry file that names the installation (see below)
  -h, --help           prints this help and exits

The batch mode needs no display: tamber-workcenter ortk41 [--order FROM..TO]
[--tree all|ROW,...] [--json] [--export FILE] ... prints the order list and
document trees of ORTK41, and --export FILE writes the outline of all listed
orders to a spreadsheet file.

The registry file names the client and server folders of the installation:
--registry FILE, else $ORTK_REGISTRY_FILE, else ~/.config/kvx/registry.reg
(under $XDG_CONFIG_HOME when set) when it exists, else demo/registry.reg
beside the build folder (scripts/make-demo.sh writes it; the shell says when
it uses that one).

Environment:
  ORTK_REGISTRY_FILE   the registry file, when --registry is not given
  ORTK_UI_CODE_PAGE    interface code page, when --ui-code-page is not given
  ORTK_ACP             the system code page the settings start from (936,
                       950, or another such as 1252, read as 437); default 936
  ORTK_DATA_FOLDER     folder of the SQLite company databases, instead of
                       ServerName in the server settings (CorvaneS.ini)
  QT_QPA_PLATFORM      Qt platform; the window needs a display (DISPLAY or
                       WAYLAND_DISPLAY) or xvfb-run

Exit status:
  0  the window was closed, or the help printed
  1  start-up failed (settings unusable, no display, sign-on refused)
  2  usage error (unknown option, missing or bad value, a --trace-sql file
     that cannot be opened)
)";
}

std::string BatchHelp() {
    return R"(usage: tamber-workcenter ortk41 [OPTIONS]

Opens the order tracking program ORTK41 offscreen, types the conditions into
its condition panels as a user would, runs the query and prints the order
list; --tree also expands listed rows and prints their document trees,
--export writes the outline of all listed orders into a spreadsheet file.

Sign-on:
  --user U                  user (default KV)
  --company C               company (default PRTest65)
  --database D              company database (default: DatabaseName of the
                            server settings, else the company)
Conditions (FROM..TO; either side may be empty, as in 2024/01/01..):
  --order FROM..TO          order type and number, 2201-20240100001
  --order-date FROM..TO     order date as the company writes dates, 2024/01/31
  --customer FROM..TO       customer code
  --customer-order FROM..TO customer's order number
  --delivery-date FROM..TO  planned delivery date
  --closed 1|2|3            1 closed lines, 2 open lines, 3 all (default)
  --project CODE            project number (companies that use projects)
Output:
  --tree all|ROW[,ROW...]   expands these rows of the list (from 1)
  --json                    JSON instead of text; every tree node also names
                            the program and condition that 开启 hands the host
  --export FILE             also writes the outline of all listed orders to
                            FILE through 汇出 and its dialog, which refuses a
                            FILE that exists
  --trace-sql FILE          appends every SQL statement sent to FILE
  --ui-code-page 936|950|437
                            interface language: simplified Chinese,
                            traditional Chinese, English
  --registry FILE           registry file that names the installation
                            (tamber-workcenter --help says how it is found)
  -h, --help                prints this help and exits

Text output: one line per grid row, the heading row first, cells separated
by a tab; then for each expanded row a line "# row N" followed by one line
per tree node: two blanks per level, the node's text, a tab and its kind code.
A tab, line break, carriage return or backslash inside a value is written as
\t, \n, \r or \\. The JSON output is valid UTF-8 throughout.

Environment: ORTK_REGISTRY_FILE, ORTK_UI_CODE_PAGE, ORTK_ACP and
ORTK_DATA_FOLDER as tamber-workcenter --help describes. No display is needed.

Exit status:
  0  the list (and trees) printed on standard output, the file written
  1  the run failed: settings unusable, sign-on refused, the window refused
     a condition or a listing failed, a row to expand is not listed, the
     export dialog refused the file or the export failed; nothing is printed
     on standard output, the reason (and the window's messages) on standard
     error
  2  usage error: unknown option, missing or bad value (a condition with a
     control character or longer than its edit, a --trace-sql file that
     cannot be opened)
)";
}

}  // namespace shell
