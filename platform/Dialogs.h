// Message boxes and modal dialogs go through one presenter, so that a test
// can replace the real (Qt) dialogs by a script that records what would have
// been shown and answers as told. No test ever blocks on a dialog.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace plat {

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Buttons in the order the runtime numbers them.
enum class MsgDlgBtn { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

// Modal results, numbered as the runtime numbers them.
enum ModalResult : int {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
    mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10,
};

int ModalResultOf(MsgDlgBtn button);

// Everything a message dialog shows.
struct MessageDialog {
    std::string Text;
    std::string Caption;
    MsgDlgType Type = MsgDlgType::Custom;
    std::vector<MsgDlgBtn> Buttons{MsgDlgBtn::OK};
    std::map<MsgDlgBtn, std::string> ButtonCaptions;  // replaced captions only
    int DefaultButton = -1;                           // index into Buttons, -1 for none
    std::string FontName;                             // empty: the platform's font
    int FontCharset = 0;
};

class IDialogPresenter {
public:
    virtual ~IDialogPresenter() = default;
    // Shows a modal message dialog and answers its modal result.
    virtual int ShowMessageDialog(const MessageDialog& dialog) = 0;
    // Lets the user choose a folder, in a window over `parent` (none: over
    // no window); false when cancelled.
    virtual bool SelectDirectory(const std::string& caption, std::string& directory, QWidget* parent = nullptr) = 0;
};

// The presenter in use (the Qt one unless a test installed another).
IDialogPresenter& Dialogs();
// Installs a presenter; nullptr restores the Qt presenter.
void SetDialogPresenter(std::shared_ptr<IDialogPresenter> presenter);
std::shared_ptr<IDialogPresenter> CurrentDialogPresenter();

// A plain message box with an OK button (ShowMessage).
void ShowMessage(const std::string& text, const std::string& caption = {});
// A message box of a given type ("Error!!" boxes and the like).
int MessageBox(const std::string& text, const std::string& caption, MsgDlgType type,
               std::vector<MsgDlgBtn> buttons = {MsgDlgBtn::OK});

// Records every dialog and answers from a queue of results (then `Fallback`).
class ScriptedDialogs : public IDialogPresenter {
public:
    int ShowMessageDialog(const MessageDialog& dialog) override;
    bool SelectDirectory(const std::string& caption, std::string& directory, QWidget* parent = nullptr) override;

    std::vector<MessageDialog> Shown;
    std::vector<QWidget*> DirectoryParents;   // the parent of each folder browser asked for
    std::deque<int> Answers;
    int Fallback = mrOk;
    std::deque<std::string> Directories;   // answers of SelectDirectory; empty = cancelled
};

// Installs a ScriptedDialogs for the lifetime of the guard, then puts the
// previous presenter back.
class ScopedScriptedDialogs {
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScriptedDialogs& operator*() { return *dialogs_; }
    ScriptedDialogs* operator->() { return dialogs_.get(); }

private:
    std::shared_ptr<ScriptedDialogs> dialogs_;
    std::shared_ptr<IDialogPresenter> previous_;
};

}  // namespace plat
