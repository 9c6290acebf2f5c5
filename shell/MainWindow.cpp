// The shell's main window.
#include "MainWindow.h"

#include "Classes.h"
#include "Dialogs.h"
#include "ShellLanguage.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <iostream>

namespace shell {

namespace {
// Programs this shell offers in its menu: code and title (in the shell's vocabulary).
const std::pair<const char*, const char*> kPrograms[] = {
    {"ORTK41", "订单追踪查询"},
};

QString NotificationText(int32_t code) {
    switch (code) {
    case ncAfterCreate: return "created";
    case ncFormShow: return "shown";
    case ncFormHide: return "hidden";
    case ncFormClose: return "closed";
    case ncFormDestroy: return "destroyed";
    }
    return QString::number(code, 16);
}
}  // namespace

MainWindow::MainWindow(ModuleHost& modules, std::string user, std::string company, std::string database)
    : modules_(modules), user_(std::move(user)), company_(std::move(company)), database_(std::move(database)),
      log_(new QPlainTextEdit(this)) {
    setWindowTitle(QString::fromStdString("Tamber WorkCenter — " + user_ + " @ " + company_ + " / " + database_));
    resize(720, 360);
    log_->setReadOnly(true);
    setCentralWidget(log_);
    QMenu* programs = menuBar()->addMenu(QString::fromStdString(ShellWord("作业(&P)")));
    for (const auto& [code, title] : kPrograms) {
        std::string program = code;
        programs->addAction(QString::fromUtf8(code) + "  " + QString::fromStdString(ShellWord(title)), this,
                            [this, program] { OpenProgram(OpenRequest{program}); });
    }
    programs->addSeparator();
    programs->addAction(QString::fromStdString(ShellWord("退出(&X)")), this, &QWidget::close);
    modules_.OnNotify = [this](const std::string& program, int32_t code) {
        Log(QString::fromStdString(program) + ": " + NotificationText(code));
    };
}

void MainWindow::OpenProgram(const OpenRequest& request) {
    try {
        modules_.Open(request, user_, company_, database_, static_cast<intptr_t>(winId()));
    } catch (const std::exception& e) {
        Log(QString::fromStdString(request.Program) + ": " + QString::fromUtf8(e.what()));
        QMessageBox::critical(this, windowTitle(), QString::fromUtf8(e.what()));
    }
}

void MainWindow::Log(const QString& line) { log_->appendPlainText(line); }

void MainWindow::closeEvent(QCloseEvent* event) {
    vcl::Guarded([this] { modules_.CloseAll(); });
    event->accept();
}

bool WindowsCanBeSeen() {
    QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

void ReportStartupFailure(const std::string& problem, bool showBox) {
    std::cerr << "tamber-workcenter: " << problem << "\n";
    if (showBox) plat::MessageBox(problem, "Tamber WorkCenter", plat::MsgDlgType::Error);
}

}  // namespace shell
