// The dialog presenter: Qt message boxes in the programs, a script in tests.
#include "Dialogs.h"

#include <QApplication>
#include <QFontDatabase>
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

// The default button is the only default one and the first in tab order,
// so that it also has the focus when the box opens. Without a default
// button (one the dialog does not show) no button is default: Enter then
// answers nothing by itself.
void ArrangeDefault(QMessageBox& box, const std::vector<QPushButton*>& buttons, int defaultButton) {
    for (QPushButton* button : buttons) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    if (defaultButton < 0 || defaultButton >= static_cast<int>(buttons.size())) return;
    QPushButton* chosen = buttons[static_cast<size_t>(defaultButton)];
    box.setDefaultButton(chosen);
    chosen->setFocus();
    QWidget* previous = chosen;
    for (QPushButton* button : buttons) {
        if (button == chosen) continue;
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
}

// The writing system a Windows character set asks for: 134 simplified and
// 136 traditional Chinese; any other keeps the platform's choice.
QFontDatabase::WritingSystem WritingSystemOf(int charset) {
    switch (charset) {
    case 134: return QFontDatabase::SimplifiedChinese;
    case 136: return QFontDatabase::TraditionalChinese;
    default: return QFontDatabase::Any;
    }
}

// The named face when it can write the character set's script, else the
// first installed face that can (the named face may be missing here).
QFont DialogFont(QFont font, const std::string& name, int charset) {
    const QString family = QString::fromStdString(name);
    const QFontDatabase::WritingSystem system = WritingSystemOf(charset);
    if (system == QFontDatabase::Any) {
        if (!family.isEmpty()) font.setFamily(family);
        return font;
    }
    const QStringList able = QFontDatabase::families(system);
    if (!family.isEmpty() && able.contains(family)) font.setFamily(family);
    else if (!able.isEmpty()) font.setFamily(able.front());
    else if (!family.isEmpty()) font.setFamily(family);
    return font;
}

class QtDialogs : public IDialogPresenter {
public:
    int ShowMessageDialog(const MessageDialog& d) override {
        if (!QApplication::instance()) return d.Buttons.empty() ? mrOk : ModalResultOf(d.Buttons.front());
        QMessageBox box(QtIcon(d.Type), QString::fromStdString(d.Caption), QString::fromStdString(d.Text));
        std::map<QAbstractButton*, MsgDlgBtn> byWidget;
        std::vector<QPushButton*> buttons;
        for (size_t i = 0; i < d.Buttons.size(); ++i) {
            QPushButton* button = box.addButton(QtButton(d.Buttons[i]));
            auto caption = d.ButtonCaptions.find(d.Buttons[i]);
            if (caption != d.ButtonCaptions.end()) button->setText(QString::fromStdString(caption->second));
            byWidget[button] = d.Buttons[i];
            buttons.push_back(button);
        }
        ArrangeDefault(box, buttons, d.DefaultButton);
        if (!d.FontName.empty() || d.FontCharset != 0) box.setFont(DialogFont(box.font(), d.FontName, d.FontCharset));
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
