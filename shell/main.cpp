// tamber-workcenter: the host shell. It signs a user on to a company
// database, offers the suite's programs in its menu, loads their modules and
// serves them the host's automation object.
//
//   tamber-workcenter [--user U] [--company C] [--database D]
//                     [--condition TEXT] [--mode N] [--trace-sql FILE] [--open PROGRAM]
//   tamber-workcenter ortk41 [batch options]     (see BatchMode.h)
#include <QApplication>

#include "Forms.h"
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "AppServer.h"
#include "BatchMode.h"
#include "ClassRegistry.h"
#include "ExcelApplication.h"
#include "HostObject.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ShellSettings.h"
#include "SimpleSql.h"
#include "StrUtils.h"

namespace {

struct Options {
    std::string User = "KV";
    std::string Company = "PRTest65";
    std::string Database;
    std::string Condition;
    int Mode = 1;
    std::string TraceFile;
    std::string Program;
};

void Usage() {
    std::cerr << "usage: tamber-workcenter [--user U] [--company C] [--database D] [--condition TEXT]\n"
                 "                         [--mode N] [--trace-sql FILE] [--open PROGRAM]\n"
                 "       tamber-workcenter ortk41 [--user U --company C --database D] [--order FROM..TO]\n"
                 "                         [--order-date FROM..TO] [--customer FROM..TO] [--customer-order FROM..TO]\n"
                 "                         [--delivery-date FROM..TO] [--closed 1|2|3] [--project CODE]\n"
                 "                         [--tree all|ROW[,ROW...]] [--json] [--trace-sql FILE]\n"
                 "                         [--ui-code-page 936|950|437]\n";
}

// Parses the command line; false (after a message) when it is not usable.
bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) {
                std::cerr << "tamber-workcenter: " << arg << " needs a value\n";
                return false;
            }
            target = argv[++i];
            return true;
        };
        std::string mode;
        if (arg == "--user") { if (!value(o.User)) return false; }
        else if (arg == "--company") { if (!value(o.Company)) return false; }
        else if (arg == "--database") { if (!value(o.Database)) return false; }
        else if (arg == "--condition") { if (!value(o.Condition)) return false; }
        else if (arg == "--trace-sql") { if (!value(o.TraceFile)) return false; }
        else if (arg == "--mode") {
            if (!value(mode)) return false;
            char* end = nullptr;
            long m = std::strtol(mode.c_str(), &end, 10);
            if (mode.empty() || *end || m < 0 || m > 255) {
                std::cerr << "tamber-workcenter: --mode wants a number from 0 to 255, not \"" << mode << "\"\n";
                return false;
            }
            o.Mode = static_cast<int>(m);
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return false;
        } else if (arg == "--open") {
            if (!value(o.Program)) return false;
            o.Program = plat::UpperCase(o.Program);
        } else {
            std::cerr << "tamber-workcenter: unknown option \"" << arg << "\"\n";
            Usage();
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // A program name first means a batch run of that program.
    if (argc > 1 && argv[1][0] != '-') {
        if (plat::UpperCase(argv[1]) != "ORTK41") {
            std::cerr << "tamber-workcenter: no batch mode for program \"" << argv[1] << "\"\n";
            Usage();
            return 2;
        }
        return shell::RunBatch(argc, argv, 2);
    }
    // Errors that reach the event loop are shown and logged; the shell goes on.
    vcl::TQtApplication app(argc, argv);
    QApplication::setApplicationName("TamberWorkCenter");
    vcl::TApplication::Instance().Title = "Tamber WorkCenter";
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;

    shell::ShellSettings settings;
    std::unique_ptr<server::SimpleSqlService> service;
    try {
        settings = shell::LoadShellSettings();
        if (!settings.Problem.empty()) {
            std::cerr << "tamber-workcenter: " << settings.Problem << "\n";
            return 1;
        }
        service = std::make_unique<server::SimpleSqlService>(shell::DatabaseSourceOf(settings));
    } catch (const std::exception& e) {
        std::cerr << "tamber-workcenter: the installation settings cannot be used: " << e.what() << "\n";
        return 1;
    }
    if (options.Database.empty()) options.Database = settings.DefaultDatabase.empty() ? options.Company : settings.DefaultDatabase;

    auto environment = std::make_shared<shell::HostEnvironment>();
    server::SimpleSqlService& sql = *service;
    if (!options.TraceFile.empty() && !sql.SetTraceFile(options.TraceFile)) {
        std::cerr << "tamber-workcenter: --trace-sql: \"" << options.TraceFile << "\" cannot be opened for appending\n";
        return 2;
    }
    std::unique_ptr<shell::IShellDialogs> dialogs = shell::MakeQtShellDialogs();
    environment->Sql = &sql;
    environment->Dialogs = dialogs.get();
    environment->Session = {options.User, options.Company, options.Database, settings.UICodePage};

    std::string problem = server::CheckSignOn(sql, options.User, options.Company, options.Database);
    if (!problem.empty()) {
        std::cerr << "tamber-workcenter: " << problem << "\n";
        return 1;
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
