// tamber-workcenter: the host shell. It signs a user on to a company
// database, offers the suite's programs in its menu, loads their modules and
// serves them the host's automation object.
//
//   tamber-workcenter [window options]            (CommandLine.h)
//   tamber-workcenter ortk41 [batch options]      (BatchMode.h)
//
// The command line is read before the window system is touched, so that
// --help and usage errors work without a display.
#include <QApplication>

#include "Forms.h"
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "AppServer.h"
#include "BatchMode.h"
#include "ClassRegistry.h"
#include "CommandLine.h"
#include "ExcelApplication.h"
#include "HostObject.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ShellLanguage.h"
#include "ShellSettings.h"
#include "SimpleSql.h"
#include "StrUtils.h"
#include "SystemInfo.h"

namespace {

int UsageError(const std::string& error, bool batch) {
    std::cerr << "tamber-workcenter: " << error << "\n"
              << (batch ? "tamber-workcenter ortk41 --help" : "tamber-workcenter --help") << " lists the options\n";
    return shell::kExitUsage;
}

// The window mode, after the command line was read.
int RunWindow(int argc, char** argv, shell::WindowOptions& options) {
    if (!shell::HasDisplay()) {
        std::cerr << "tamber-workcenter: no display to show the window on (DISPLAY is not set); run it under "
                     "xvfb-run, or use the batch mode: tamber-workcenter ortk41 --help\n";
        return shell::kExitFailure;
    }
    if (!options.UICodePage.empty()) setenv("ORTK_UI_CODE_PAGE", options.UICodePage.c_str(), 1);
    // Errors that reach the event loop are shown and logged; the shell goes on.
    vcl::TQtApplication app(argc, argv);
    QApplication::setApplicationName("TamberWorkCenter");
    vcl::TApplication::Instance().Title = "Tamber WorkCenter";

    shell::ShellSettings settings;
    std::unique_ptr<server::SimpleSqlService> service;
    try {
        settings = shell::LoadShellSettings();
        if (!settings.Problem.empty()) {
            shell::ReportStartupFailure(settings.Problem);
            return shell::kExitFailure;
        }
        service = std::make_unique<server::SimpleSqlService>(shell::DatabaseSourceOf(settings));
    } catch (const std::exception& e) {
        shell::ReportStartupFailure(std::string("the installation settings cannot be used: ") + e.what());
        return shell::kExitFailure;
    }
    if (options.Database.empty()) options.Database = settings.DefaultDatabase.empty() ? options.Company : settings.DefaultDatabase;
    // The menu, the shell's windows and Qt's own texts in the interface's language.
    shell::UseShellLanguage(settings.UICodePage);

    auto environment = std::make_shared<shell::HostEnvironment>();
    server::SimpleSqlService& sql = *service;
    if (!options.TraceFile.empty() && !sql.SetTraceFile(options.TraceFile)) {
        std::cerr << "tamber-workcenter: --trace-sql: \"" << options.TraceFile << "\" cannot be opened for appending\n";
        return shell::kExitUsage;
    }
    std::unique_ptr<shell::IShellDialogs> dialogs = shell::MakeQtShellDialogs();
    environment->Sql = &sql;
    environment->Dialogs = dialogs.get();
    environment->Session = {options.User, options.Company, options.Database, settings.UICodePage};

    std::string problem;
    try {
        problem = server::CheckSignOn(sql, options.User, options.Company, options.Database);
    } catch (const std::exception& e) {
        problem = "Sign-on to database \"" + options.Database + "\" failed: " + e.what();
    }
    if (!problem.empty()) {
        shell::ReportStartupFailure(problem);
        return shell::kExitFailure;
    }
    server::RegisterApplicationServers(sql, settings.DocumentFolder);
    excel::RegisterExcelApplication();

    shell::ModuleHost modules(settings.WorkFolders, plat::Variant(shell::MakeHostObject(environment)));
    shell::MainWindow window(modules, options.User, options.Company, options.Database);
    window.show();
    if (!options.Program.empty())
        window.OpenProgram(shell::OpenRequest{options.Program, options.Condition, options.Mode});
    int status = app.exec();
    modules.CloseAll();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // A program name first means a batch run of that program.
    bool batch = !args.empty() && !args[0].empty() && args[0][0] != '-';
    if (batch && plat::UpperCase(args[0]) != "ORTK41")
        return UsageError("no batch mode for program \"" + args[0] + "\" (only ortk41)", false);
    if (batch) args.erase(args.begin());

    std::string error;
    std::optional<shell::StartOptions> start = shell::TakeStartOptions(args, error);
    if (!start) return UsageError(error, batch);
    if (start->Help) {
        std::cout << (batch ? shell::BatchHelp() : shell::ShellHelp());
        return shell::kExitOk;
    }
    std::optional<shell::WindowOptions> options;
    if (!batch && !(options = shell::ParseWindowOptions(args, error))) return UsageError(error, false);
    std::string note;
    shell::ChooseRegistryFile(start->Registry, plat::ExecutablePath(), note);
    if (!note.empty()) std::cerr << "tamber-workcenter: " << note << "\n";

    if (batch) {
        std::vector<char*> batchArgv{argv[0], argv[1]};
        for (std::string& arg : args) batchArgv.push_back(arg.data());
        batchArgv.push_back(nullptr);
        return shell::RunBatch(static_cast<int>(batchArgv.size()) - 1, batchArgv.data(), 2);
    }
    return RunWindow(argc, argv, *options);
}
