// The host shell's command line: the options of its window mode, the options
// both modes share (--help, --registry), the help texts of the window and
// batch modes, the exit statuses, and which registry file names the
// installation.
//
//   tamber-workcenter [--user U] [--company C] [--database D] [--open PROGRAM]
//                     [--condition TEXT] [--mode N] [--ui-code-page CP]
//                     [--trace-sql FILE] [--registry FILE] [--help]
//   tamber-workcenter ortk41 [batch options]     (BatchMode.h)
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

// Exit statuses of both modes.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailure = 1,   // start-up failed, sign-on refused, a dialog refused, the run failed
    kExitUsage = 2,     // the command line is wrong: unknown option, missing or bad value
};

// Options of the window mode.
struct WindowOptions {
    std::string User = "KV";
    std::string Company = "PRTest65";
    std::string Database;     // empty: the server settings' DatabaseName, else the company
    std::string Condition;
    int Mode = 1;
    std::string TraceFile;
    std::string Program;      // upper case; empty: open nothing at start
    std::string UICodePage;   // empty: the client settings decide
};

// Walks an option list for both modes' parsers, so that a missing value and
// an unknown option read the same wherever they occur. Every failure sets
// `error` and answers false; the caller then exits with kExitUsage.
class OptionReader {
public:
    OptionReader(const std::vector<std::string>& args, std::string& error) : args_(args), error_(error) {}

    // Moves to the next option; false when the line is used up.
    bool Next();
    const std::string& Option() const { return args_[current_]; }
    // The word after the option, taken as its value; fails with
    // "<option> needs a value" when the line ends first.
    bool Value(std::string& target);
    // Fails with `text` as the error.
    bool Refuse(std::string text);
    // Fails with "unknown option \"<option>\"".
    bool Unknown() { return Refuse("unknown option \"" + Option() + "\""); }

private:
    const std::vector<std::string>& args_;
    std::string& error_;
    size_t current_ = 0;
    size_t next_ = 0;
};

// Parses the window mode's options (the shared ones taken out already);
// nullopt with `error` naming the offending option.
std::optional<WindowOptions> ParseWindowOptions(const std::vector<std::string>& args, std::string& error);

// Options both modes take, wherever they stand on the line.
struct StartOptions {
    bool Help = false;
    std::string Registry;     // --registry FILE
};

// Takes --help (-h) and --registry FILE out of `args`; nullopt with `error`
// when --registry has no value.
std::optional<StartOptions> TakeStartOptions(std::vector<std::string>& args, std::string& error);

// Checks a --ui-code-page value; the error text names the option.
bool CheckUICodePage(const std::string& codePage, std::string& error);

// Reads an option both modes take into the field of the same name (--user,
// --company, --database, --trace-sql, --ui-code-page); nullopt when the
// reader's option is none of them, else whether it was read.
template <class Options>
std::optional<bool> ReadSharedOption(OptionReader& r, Options& o) {
    const std::string& arg = r.Option();
    if (arg == "--user") return r.Value(o.User);
    if (arg == "--company") return r.Value(o.Company);
    if (arg == "--database") return r.Value(o.Database);
    if (arg == "--trace-sql") return r.Value(o.TraceFile);
    if (arg != "--ui-code-page") return std::nullopt;
    std::string error;
    return r.Value(o.UICodePage) && (CheckUICodePage(o.UICodePage, error) || r.Refuse(error));
}

// Reads every option of `args` with `readOne`; nullopt, with the reader's
// error, at the first option it refuses.
template <class Options>
std::optional<Options> ReadOptions(const std::vector<std::string>& args, std::string& error,
                                   bool (*readOne)(OptionReader&, Options&)) {
    Options o;
    OptionReader reader(args, error);
    while (reader.Next())
        if (!readOne(reader, o)) return std::nullopt;
    return o;
}

std::string ShellHelp();
std::string BatchHelp();

// The registry file this run uses, made known to everything in the process
// (the loaded modules too) through ORTK_REGISTRY_FILE: `given` (--registry)
// when not empty, else $ORTK_REGISTRY_FILE, else the user's registry file
// when it exists, else demo/registry.reg beside the build folder of
// `executable` (<build>/bin/tamber-workcenter) when that exists. `note` says
// so when the demo file was chosen, and is empty otherwise. Answers the
// file (which need not exist: the settings then report it).
std::string ChooseRegistryFile(const std::string& given, const std::string& executable, std::string& note);

// True when windows can be shown: a Qt platform is named, or an X11 or
// Wayland display is set.
bool HasDisplay();

}  // namespace shell
