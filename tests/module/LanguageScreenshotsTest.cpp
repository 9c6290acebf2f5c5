// The windows a user meets beside the program's own, in each interface
// language: the host's lookup list and calendar, the folder browser of the
// export dialog and the message at the end of an export. The program is
// opened as the host opens it (the controller chooses Qt's language), the
// shell chooses its own as at its start, and each window is rendered to
// build/gui-screenshots/<window>-<code page>.png while it is up; every word
// it shows (titles, labels, buttons, headings, month and day names) must be
// in the interface's language: Chinese in simplified script under 936, in
// traditional script under 950, English under 437.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "Dispatch.h"
#include "FormTestSupport.h"
#include "ShellLanguage.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "forms/ExportScope.h"
#include "host/DLLMTCtrller.h"
#include "lang/CodeConverter.h"
#include "ortk41/ORTK41CF.h"
#include "ortk41/ORTK41DF.h"

namespace {

bool HasChinese(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF) return true;
    return false;
}

bool HasLatinWord(const QString& text) {
    int run = 0;
    for (QChar c : text) {
        run = c.isLetter() && c.unicode() < 0x80 ? run + 1 : 0;
        if (run >= 3) return true;
    }
    return false;
}

// A text without the data it carries: file paths and the company name that
// a window's title shows in brackets.
void AddText(std::vector<std::string>& words, const QString& text) {
    QString t = text;
    t.remove(QLatin1Char('&'));
    t.remove(QRegularExpression(QStringLiteral("\\[[^\\]]*\\]")));
    t.remove(QRegularExpression(QStringLiteral("/\\S*")));
    if (!t.trimmed().isEmpty()) words.push_back(t.trimmed().toStdString());
}

// The words a window shows: its title, the texts of its visible labels,
// buttons and combo boxes, a search field's placeholder, the headings of
// its visible lists, and the month and day names of a calendar. The rows
// of a list are data and left out.
std::vector<std::string> VisibleWords(QWidget* window) {
    std::vector<std::string> words;
    AddText(words, window->windowTitle());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window)) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) AddText(words, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) AddText(words, button->text());
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) AddText(words, combo->currentText());
        if (auto* edit = qobject_cast<QLineEdit*>(w); edit && edit->text().isEmpty()) AddText(words, edit->placeholderText());
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->orientation() == Qt::Horizontal && header->model())
            for (int c = 0; c < header->count(); ++c)
                if (!header->isSectionHidden(c)) AddText(words, header->model()->headerData(c, Qt::Horizontal).toString());
    }
    for (QCalendarWidget* calendar : window->findChildren<QCalendarWidget*>()) {
        QAbstractItemView* days = calendar->findChild<QAbstractItemView*>();
        for (int c = 0; days && c < days->model()->columnCount(); ++c)
            AddText(words, days->model()->data(days->model()->index(0, c)).toString());
    }
    return words;
}

std::string ScreenshotFolder() {
    std::string folder = std::string(ORTK_SCREENSHOT_DIR) + "/";
    std::filesystem::create_directories(folder);
    return folder;
}

// Runs `open` (which shows a modal window and waits for it); once the
// window is up it is rendered to `file`, its words are kept and it is closed.
std::vector<std::string> CaptureModal(const std::string& file, const std::function<void()>& open) {
    std::vector<std::string> words;
    bool seen = false;
    auto* poll = new QTimer;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!window && waited.elapsed() < 5000) return;
        poll->stop();
        if (!window) return;
        QApplication::processEvents();
        window->grab().save(QString::fromStdString(file));
        words = VisibleWords(window);
        seen = true;
        window->reject();
    });
    poll->start(20);
    open();
    delete poll;
    EXPECT_TRUE(seen) << file << ": no window came up";
    return words;
}

class LanguageScreens : public testing::TestWithParam<std::string> {
protected:
    LanguageScreens() : world(GetParam()) {
        std::filesystem::copy(std::string(ORTK_SOURCE_DIR) + "/packages/MultiLanguage",
                              world.install.ClientFolder() + "MultiLanguage", std::filesystem::copy_options::recursive);
        world.env->Dialogs = realShell.get();
    }
    ~LanguageScreens() override {
        plat::SetShellOpenHandler(nullptr);
        shell::UseShellLanguage("936");
    }

    // Words of a window in the wrong script or language.
    void ExpectInterfaceLanguage(const std::string& window, const std::vector<std::string>& words) {
        ASSERT_FALSE(words.empty()) << window;
        const std::string& codePage = GetParam();
        for (const std::string& word : words) {
            QString text = QString::fromStdString(word);
            if (codePage == "437") {
                EXPECT_FALSE(HasChinese(text)) << window << ": " << word;
                continue;
            }
            EXPECT_FALSE(HasLatinWord(text)) << window << ": " << word;
            const std::string traditional = converter.c->GbToBig5Text(word);
            if (codePage == "950") EXPECT_EQ(traditional, word) << window << ": simplified " << word;
            else EXPECT_EQ(converter.c->Big5ToGbText(word), word) << window << ": traditional " << word;
        }
    }

    std::string Shot(const std::string& window) const { return ScreenshotFolder() + window + "-" + GetParam() + ".png"; }

    formtest::DemoWorld world;
    std::unique_ptr<shell::IShellDialogs> realShell = shell::MakeQtShellDialogs();
    struct Converter {
        TCodeConverter* c = vcl::TComponent::Create<TCodeConverter>(nullptr);
        Converter() { c->SetCodePages("936", "950", "936"); }   // a translator for the checks
        ~Converter() { c->Free(); }
    } converter;
};

}  // namespace

TEST_P(LanguageScreens, LookupCalendarFolderBrowserAndMessageSpeakTheInterfaceLanguage) {
    TDLLMTCtrller controller;
    controller.HostObject = world.host;
    ASSERT_EQ(controller.OpenForm(plat::VarArrayOf({"KV", "PRTest65", "PRTest65", int32_t(0), plat::Variant()})), 0);
    auto* form = dynamic_cast<TfrmORTK41*>(controller.Form);
    ASSERT_NE(form, nullptr);
    // The program chose Qt's language for its own dialogs.
    const QString ok = QCoreApplication::translate("QPlatformTheme", "OK");
    if (GetParam() == "437") EXPECT_EQ(ok.toStdString(), "OK");
    else EXPECT_TRUE(HasChinese(ok)) << ok.toStdString();
    shell::UseShellLanguage(GetParam());

    // The end of an export whose file cannot be opened.
    plat::SetShellOpenHandler([](const std::string&) { return false; });
    const std::shared_ptr<plat::IDialogPresenter> scripted = plat::CurrentDialogPresenter();
    plat::SetDialogPresenter(nullptr);   // the real message box and folder browser from here on
    ExpectInterfaceLanguage("message", CaptureModal(Shot("export-message"), [&] {
        OpenExportedFile(form, "/tmp/ORTK41.xlsx");
    }));

    // The host's windows, asked for as the program asks for them.
    plat::Variant picker = plat::GetProperty(world.host, "Com_Picker");
    std::vector<plat::Variant> request(19);
    request[0] = "COPMA";
    request[1] = "01";
    request[3] = true;
    request[5] = "PRTest65";
    request[6] = "PRTest65";
    plat::Variant lookup = plat::VarArrayOf(request);
    ExpectInterfaceLanguage("lookup", CaptureModal(Shot("lookup"), [&] {
        plat::CallMethod(picker, "F2GetData", {plat::ByRef(lookup)});
    }));
    ExpectInterfaceLanguage("calendar", CaptureModal(Shot("calendar"), [&] {
        plat::CallMethod(picker, "ShowInputDay", {plat::ByVal(plat::VarArrayOf({false, "20240115", "PRTest65"}))});
    }));

    // The folder browser of the export dialog (F2 on its path).
    TfrmORTK41DF* dialog = form->ExportDialog;
    dialog->Show();
    dialog->edPath->SetText(world.install.Folder() + "ORTK41.xlsx");
    dialog->edPath->SetFocus();
    ExpectInterfaceLanguage("folder browser", CaptureModal(Shot("folder-browser"), [&] {
        formtest::Press(dialog, Qt::Key_F2);
    }));
    dialog->Hide();
    plat::SetDialogPresenter(scripted);
    controller.CloseForm(0);
}

INSTANTIATE_TEST_SUITE_P(CodePages, LanguageScreens, testing::Values("936", "950", "437"),
                         [](const testing::TestParamInfo<std::string>& info) { return "cp" + info.param; });
