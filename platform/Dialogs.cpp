// The dialog presenter: Qt message boxes in the programs, a script in tests.
#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace plat {

namespace {

QMessageBox::StandardButton QtButton(MsgDlgBtn b) {
    switch (b) {
    case MsgDlgBtn::Yes: return QMessageBox::Yes;
    case MsgDlgBtn::No: return QMessageBox::No;
    case MsgDlgBtn::OK: return QMessageBox::Ok;
    case MsgDlgBtn::Cancel: return QMessageBox::Cancel;
    case MsgDlgBtn::Abort: return QMessageBox::Abort;
    case MsgDlgBtn::Retry: return QMessageBox::Retry;
    case MsgDlgBtn::Ignore: return QMessageBox::Ignore;
    case MsgDlgBtn::All: return QMessageBox::SaveAll;
    case MsgDlgBtn::NoToAll: return QMessageBox::NoToAll;
    case MsgDlgBtn::YesToAll: return QMessageBox::YesToAll;
    case MsgDlgBtn::Help: return QMessageBox::Help;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon QtIcon(MsgDlgType t) {
    switch (t) {
    case MsgDlgType::Warning: return QMessageBox::Warning;
    case MsgDlgType::Error: return QMessageBox::Critical;
    case MsgDlgType::Information: return QMessageBox::Information;
    case MsgDlgType::Confirmation: return QMessageBox::Question;
    case MsgDlgType::Custom: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

class QtDialogs : public IDialogPresenter {
public:
    int ShowMessageDialog(const MessageDialog& d) override {
        if (!QApplication::instance()) return d.Buttons.empty() ? mrOk : ModalResultOf(d.Buttons.front());
        QMessageBox box(QtIcon(d.Type), QString::fromStdString(d.Caption), QString::fromStdString(d.Text));
        std::map<QAbstractButton*, MsgDlgBtn> byWidget;
        for (size_t i = 0; i < d.Buttons.size(); ++i) {
            QPushButton* button = box.addButton(QtButton(d.Buttons[i]));
            auto caption = d.ButtonCaptions.find(d.Buttons[i]);
            if (caption != d.ButtonCaptions.end()) button->setText(QString::fromStdString(caption->second));
            if (static_cast<int>(i) == d.DefaultButton) box.setDefaultButton(button);
            byWidget[button] = d.Buttons[i];
        }
        if (!d.FontName.empty()) {
            QFont font = box.font();
            font.setFamily(QString::fromStdString(d.FontName));
            box.setFont(font);
        }
        box.exec();
        auto it = byWidget.find(box.clickedButton());
        return it == byWidget.end() ? mrCancel : ModalResultOf(it->second);
    }

    // Folders are listed by name alone: the detail columns would show a type
    // word and dates that follow the system's locale, not the interface's.
    bool SelectDirectory(const std::string& caption, std::string& directory, QWidget* parent) override {
        QFileDialog dialog(parent, QString::fromStdString(caption), QString::fromStdString(directory));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setViewMode(QFileDialog::List);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        directory = dialog.selectedFiles().front().toStdString();
        return !directory.empty();
    }
};

std::shared_ptr<IDialogPresenter>& Current() {
    static std::shared_ptr<IDialogPresenter> presenter = std::make_shared<QtDialogs>();
    return presenter;
}

}  // namespace

int ModalResultOf(MsgDlgBtn button) {
    switch (button) {
    case MsgDlgBtn::Yes: return mrYes;
    case MsgDlgBtn::No: return mrNo;
    case MsgDlgBtn::OK: return mrOk;
    case MsgDlgBtn::Cancel: return mrCancel;
    case MsgDlgBtn::Abort: return mrAbort;
    case MsgDlgBtn::Retry: return mrRetry;
    case MsgDlgBtn::Ignore: return mrIgnore;
    case MsgDlgBtn::All: return mrAll;
    case MsgDlgBtn::NoToAll: return mrNoToAll;
    case MsgDlgBtn::YesToAll: return mrYesToAll;
    case MsgDlgBtn::Help: return mrNone;
    }
    return mrNone;
}

IDialogPresenter& Dialogs() { return *Current(); }

std::shared_ptr<IDialogPresenter> CurrentDialogPresenter() { return Current(); }

void SetDialogPresenter(std::shared_ptr<IDialogPresenter> presenter) {
    Current() = presenter ? std::move(presenter) : std::make_shared<QtDialogs>();
}

void ShowMessage(const std::string& text, const std::string& caption) {
    MessageDialog d;
    d.Text = text;
    d.Caption = caption.empty() && QApplication::instance() ? QApplication::applicationName().toStdString() : caption;
    Dialogs().ShowMessageDialog(d);
}

int MessageBox(const std::string& text, const std::string& caption, MsgDlgType type, std::vector<MsgDlgBtn> buttons) {
    MessageDialog d;
    d.Text = text;
    d.Caption = caption;
    d.Type = type;
    d.Buttons = std::move(buttons);
    return Dialogs().ShowMessageDialog(d);
}

int ScriptedDialogs::ShowMessageDialog(const MessageDialog& dialog) {
    Shown.push_back(dialog);
    if (Answers.empty()) return Fallback;
    int answer = Answers.front();
    Answers.pop_front();
    return answer;
}

bool ScriptedDialogs::SelectDirectory(const std::string&, std::string& directory, QWidget* parent) {
    DirectoryParents.push_back(parent);
    if (Directories.empty()) return false;
    directory = Directories.front();
    Directories.pop_front();
    return !directory.empty();
}

ScopedScriptedDialogs::ScopedScriptedDialogs()
    : dialogs_(std::make_shared<ScriptedDialogs>()), previous_(CurrentDialogPresenter()) {
    SetDialogPresenter(dialogs_);
}

ScopedScriptedDialogs::~ScopedScriptedDialogs() { SetDialogPresenter(previous_); }

}  // namespace plat
