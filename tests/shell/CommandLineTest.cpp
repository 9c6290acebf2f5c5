// The shell's command line as a newcomer meets it: the help of both modes
// without a display, the exit statuses, and how the registry file is found.
// Runs the real tamber-workcenter binary on a temporary demo installation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "BatchInstallation.h"
#include "BatchMode.h"
#include "CommandLine.h"
#include "Dialogs.h"
#include "MainWindow.h"
#include "TempEnvironment.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kShell = std::string(ORTK_BIN_DIR) + "/tamber-workcenter";
// No display, no Qt platform and no registry file named: a fresh terminal.
const std::string kBare = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u ORTK_REGISTRY_FILE";

std::set<std::string> OptionsNamedIn(const std::string& help) {
    std::set<std::string> names;
    std::regex option(R"((^|[\s\[(])(--[a-z][a-z-]*))");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it)
        names.insert((*it)[2].str());
    return names;
}

// A value each option accepts, so that only the name is on trial.
std::vector<std::string> WithValue(const std::string& option) {
    static const std::map<std::string, std::string> values = {
        {"--order", "..X"}, {"--order-date", ".."}, {"--customer", ".."}, {"--customer-order", ".."},
        {"--delivery-date", ".."}, {"--closed", "3"}, {"--tree", "all"}, {"--mode", "1"},
        {"--ui-code-page", "437"}, {"--json", ""}};
    auto it = values.find(option);
    if (it == values.end()) return {option, "x"};
    if (it->second.empty()) return {option};
    return {option, it->second};
}

}  // namespace

TEST(ShellHelp, BothModesHelpWithoutADisplayAndNameExportAndRegistry) {
    shelltest::BatchInstallation install;
    std::string out;
    for (const std::string& mode : {std::string(), std::string("ortk41 ")}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(install.RunIn(kBare, kShell + " " + mode + "--help", out), shell::kExitOk) << install.LastErrors();
        EXPECT_EQ(install.LastErrors(), "");
        EXPECT_THAT(out, HasSubstr("--export FILE"));
        EXPECT_THAT(out, HasSubstr("--registry FILE"));
        EXPECT_THAT(out, HasSubstr("ORTK_REGISTRY_FILE"));
        EXPECT_THAT(out, HasSubstr("Exit status"));
        EXPECT_EQ(install.RunIn(kBare, kShell + " " + mode + "--user KV -h", out), shell::kExitOk);
    }
}

TEST(ShellHelp, EveryOptionTheHelpNamesIsAcceptedAndEveryAcceptedOptionIsNamed) {
    std::set<std::string> batch = OptionsNamedIn(shell::BatchHelp()), window = OptionsNamedIn(shell::ShellHelp());
    for (const std::string& option : batch) {
        if (option == "--help" || option == "--registry") continue;
        std::string error;
        EXPECT_TRUE(shell::ParseBatchOptions(WithValue(option), error)) << option << ": " << error;
    }
    for (const char* option : {"--user", "--company", "--database", "--order", "--order-date", "--customer",
                               "--customer-order", "--delivery-date", "--closed", "--project", "--tree", "--json",
                               "--export", "--trace-sql", "--ui-code-page", "--registry", "--help"})
        EXPECT_TRUE(batch.count(option)) << option << " is missing from the batch help";
    for (const std::string& option : window) {
        if (option == "--help" || option == "--registry" || batch.count(option)) continue;
        std::string error;
        EXPECT_TRUE(shell::ParseWindowOptions(WithValue(option), error)) << option << ": " << error;
    }
    for (const char* option : {"--user", "--company", "--database", "--open", "--condition", "--mode",
                               "--ui-code-page", "--trace-sql", "--registry", "--help"})
        EXPECT_TRUE(window.count(option)) << option << " is missing from the shell help";
}

// Both modes read their options through one reader: a missing value and an
// unknown option are reported alike, and the last option may be a switch.
TEST(ShellOptions, BothModesReportAMissingValueAndAnUnknownOptionAlike) {
    using Parser = bool (*)(const std::vector<std::string>&, std::string&);
    const std::pair<const char*, Parser> modes[] = {
        {"window", [](const std::vector<std::string>& a, std::string& e) { return shell::ParseWindowOptions(a, e).has_value(); }},
        {"batch", [](const std::vector<std::string>& a, std::string& e) { return shell::ParseBatchOptions(a, e).has_value(); }},
    };
    for (const auto& [mode, parse] : modes) {
        SCOPED_TRACE(mode);
        std::string error;
        EXPECT_FALSE(parse({"--user", "KV", "--company"}, error));
        EXPECT_EQ(error, "--company needs a value");
        EXPECT_FALSE(parse({"--user"}, error));
        EXPECT_EQ(error, "--user needs a value");
        EXPECT_FALSE(parse({"--user", "KV", "-x", "y"}, error));
        EXPECT_EQ(error, "unknown option \"-x\"");
        EXPECT_FALSE(parse({"--ui-code-page", "1252"}, error));
        EXPECT_EQ(error, "--ui-code-page wants 936, 950 or 437, not \"1252\"");
        error.clear();
        EXPECT_TRUE(parse({"--user", "--company"}, error)) << error;   // a value may look like an option
    }
    std::string error;
    auto batch = shell::ParseBatchOptions({"--trace-sql", "t.txt", "--json"}, error);
    ASSERT_TRUE(batch) << error;
    EXPECT_EQ(batch->TraceFile, "t.txt");
    EXPECT_TRUE(batch->Json);
}

TEST(ShellExitStatus, UsageErrorsTwoFailuresOne) {
    shelltest::BatchInstallation install;
    std::string out;
    struct Case {
        const char* arguments;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"ortk41 --closed 4", shell::kExitUsage, "--closed"},
        {"ortk41 --bogus", shell::kExitUsage, "unknown option \"--bogus\""},
        {"ortk41 --ui-code-page 852", shell::kExitUsage, "--ui-code-page"},
        {"ortk41 --registry", shell::kExitUsage, "--registry needs a file"},
        {"--bogus", shell::kExitUsage, "unknown option"},
        {"--ui-code-page 852", shell::kExitUsage, "--ui-code-page wants 936, 950 or 437"},
        {"--mode 300", shell::kExitUsage, "--mode"},
        {"pgso01", shell::kExitUsage, "no batch mode for program \"pgso01\""},
        {"ortk41 --user NOBODY", shell::kExitFailure, "NOBODY"},
        {"ortk41 --tree 99", shell::kExitFailure, "row 99 is not listed"},
        // The window mode refuses to start without a display, instead of Qt aborting.
        {"--user KV", shell::kExitFailure, "no display"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::string env = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ORTK_REGISTRY_FILE=" + install.RegistryFile();
        EXPECT_EQ(install.RunIn(env, kShell + " " + c.arguments, out), c.status);
        EXPECT_EQ(out, "");
        EXPECT_THAT(install.LastErrors(), HasSubstr(c.says)) << install.LastErrors();
        if (c.status == shell::kExitUsage) EXPECT_THAT(install.LastErrors(), HasSubstr("--help lists the options"));
    }
}

TEST(ShellExitStatus, ATraceFileThatCannotBeOpenedIsAUsageErrorInBothModes) {
    shelltest::BatchInstallation install;
    std::string out;
    for (const char* mode : {"ortk41 ", ""}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(install.Run(std::string(mode) + "--trace-sql /nonexistent-folder/trace.sql", out), shell::kExitUsage);
        EXPECT_THAT(install.LastErrors(), HasSubstr("--trace-sql")) << install.LastErrors();
    }
}

TEST(ShellExitStatus, NoQtWarningsOnABatchRun) {
    shelltest::BatchInstallation install;
    std::string out;
    ASSERT_EQ(install.Run("ortk41 --order 2201-20240100001..2201-20240100001 --tree 1", out), 0);
    std::string errors = install.LastErrors();
    // Qt's own note about a missing XDG_RUNTIME_DIR depends on the session, not on us.
    errors = std::regex_replace(errors, std::regex("QStandardPaths: XDG_RUNTIME_DIR not set[^\n]*\n"), "");
    EXPECT_EQ(errors, "");
}

// A copy of the shell in <root>/build/bin, so that <root>/demo is "beside its build".
class RegistryChoice : public ::testing::Test {
protected:
    RegistryChoice() {
        std::filesystem::create_directories(root_.Path() + "build/bin");
        std::filesystem::copy_file(kShell, shell_);
        env_ = "-u ORTK_REGISTRY_FILE -u DISPLAY QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=" + root_.Path() + "config";
    }

    shelltest::BatchInstallation install_;
    ortktest::TempFolder root_;
    std::string shell_ = root_.Path() + "build/bin/tamber-workcenter";
    std::string env_;
};

TEST_F(RegistryChoice, RegistryOptionNamesTheInstallation) {
    std::string out;
    ASSERT_EQ(install_.RunIn(env_, shell_ + " ortk41 --registry " + install_.RegistryFile() + " --tree 1", out), 0)
        << install_.LastErrors();
    EXPECT_THAT(out, HasSubstr("# row 1\n"));
    EXPECT_THAT(install_.LastErrors(), Not(HasSubstr("demo installation")));
}

TEST_F(RegistryChoice, WithoutOneTheDemoBesideTheBuildIsUsedAndNamed) {
    std::filesystem::create_directories(root_.Path() + "demo");
    std::filesystem::copy_file(install_.RegistryFile(), root_.Path() + "demo/registry.reg");
    std::string out;
    ASSERT_EQ(install_.RunIn(env_, shell_ + " ortk41 --user KV --company PRTest65 --database PRTest65", out), 0)
        << install_.LastErrors();
    EXPECT_THAT(out, HasSubstr("\n2201\t20240100001\t0001\t"));
    EXPECT_THAT(install_.LastErrors(), HasSubstr("using the demo installation's registry file " + root_.Path() +
                                         "demo/registry.reg"))
        << install_.LastErrors();

    // The user's own registry file comes before the demo.
    std::filesystem::create_directories(root_.Path() + "config/kvx");
    root_.Write("config/kvx/registry.reg", "Windows Registry Editor Version 5.00\n");
    EXPECT_EQ(install_.RunIn(env_, shell_ + " ortk41", out), shell::kExitFailure);
    EXPECT_THAT(install_.LastErrors(), HasSubstr("the registry file " + root_.Path() +
                                         "config/kvx/registry.reg has no key HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane"))
        << install_.LastErrors();
}

TEST_F(RegistryChoice, NoRegistryAnywhereNamesTheFileLookedFor) {
    std::string out;
    EXPECT_EQ(install_.RunIn(env_, shell_ + " ortk41", out), shell::kExitFailure);
    EXPECT_EQ(out, "");
    std::string errors = install_.LastErrors();
    EXPECT_THAT(errors, HasSubstr("(E;000015): there is no registry file " + root_.Path() + "config/kvx/registry.reg"))
        << errors;
    EXPECT_THAT(errors, HasSubstr("--registry FILE or ORTK_REGISTRY_FILE"));
    // The window mode says the same on standard error (offscreen: no box to wait on).
    EXPECT_EQ(install_.RunIn(env_, shell_, out), shell::kExitFailure);
    EXPECT_THAT(install_.LastErrors(), HasSubstr("there is no registry file")) << install_.LastErrors();
}

TEST(StartupFailure, WindowModeShowsTheProblemInAMessageBoxToo) {
    plat::ScopedScriptedDialogs dialogs;
    shell::ReportStartupFailure("Sign-on refused: user NOBODY", true);
    ASSERT_EQ(dialogs->Shown.size(), 1u);
    EXPECT_EQ(dialogs->Shown[0].Text, "Sign-on refused: user NOBODY");
    EXPECT_EQ(dialogs->Shown[0].Type, plat::MsgDlgType::Error);
    shell::ReportStartupFailure("nobody can see this", shell::WindowsCanBeSeen());   // offscreen here
    EXPECT_EQ(dialogs->Shown.size(), 1u);
}
