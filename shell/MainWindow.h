// The host shell's main window: the signed-on session in the title, a
// program menu that opens the suite's programs, and a log of what the
// programs report.
#pragma once

#include <QMainWindow>

#include "ModuleHost.h"

class QPlainTextEdit;

namespace shell {

class MainWindow : public QMainWindow {
public:
    MainWindow(ModuleHost& modules, std::string user, std::string company, std::string database);
    // Opens a program of the suite; errors are shown, not raised.
    void OpenProgram(const OpenRequest& request);
    void Log(const QString& line);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ModuleHost& modules_;
    std::string user_, company_, database_;
    QPlainTextEdit* log_;
};

// Tells of a start-up failure of the window mode: on standard error, and in
// a message box when `showBox` (a user who started the shell from a menu
// sees no standard error). By default the box shows wherever windows can be
// seen, that is not on the offscreen and minimal platforms.
bool WindowsCanBeSeen();
void ReportStartupFailure(const std::string& problem, bool showBox = WindowsCanBeSeen());

}  // namespace shell
