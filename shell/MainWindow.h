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

}  // namespace shell
