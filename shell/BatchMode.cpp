// The batch mode: drives the real module through its controller and its
// window's controls, then prints what the window shows.
#include "BatchMode.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>

#include "AppServer.h"
#include "Classes.h"
#include "ComCtrls.h"
#include "CommandLine.h"
#include "Controls.h"
#include "Dialogs.h"
#include "ExcelApplication.h"
#include "Forms.h"
#include "Grids.h"
#include "HostObject.h"
#include "ModuleHost.h"
#include "Mask.h"
#include "ShellSettings.h"
#include "SimpleSql.h"
#include "StdCtrls.h"
#include "StrUtils.h"
#include "SystemInfo.h"
#include "TextFile.h"

namespace shell {

namespace {

const std::pair<const char*, const char*> kRangeOptions[] = {
    {"--order", "sp01"}, {"--order-date", "sp02"}, {"--customer", "sp03"},
    {"--customer-order", "sp04"}, {"--delivery-date", "sp05"},
};

const char* RangePanel(const std::string& option) {
    for (const auto& [name, panel] : kRangeOptions)
        if (option == name) return panel;
    return nullptr;
}

bool ParseRows(const std::string& text, BatchOptions& o) {
    if (text == "all") {
        o.TreeAll = true;
        return true;
    }
    for (int i = 1;; ++i) {
        std::string piece = plat::Trim(plat::GetToken(text, ",", i));
        if (piece.empty()) return !o.TreeRows.empty() && plat::GetToken(text, ",", i + 1).empty();
        char* end = nullptr;
        long row = std::strtol(piece.c_str(), &end, 10);
        if (*end || row < 1 || row > 1000000) return false;
        o.TreeRows.push_back(static_cast<int>(row));
    }
}

// Why a condition text cannot be given to an edit: a control character (a
// user cannot type one into the edit, and tab or backspace would move the
// cursor or delete instead) or bytes that are not UTF-8. Empty when usable.
std::string ConditionProblem(const std::string& text) {
    if (!plat::IsValidUtf8(text)) return "is not valid UTF-8 text";
    QString t = QString::fromStdString(text);
    for (QChar ch : t) {
        char16_t u = ch.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F)) {
            char code[8];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(u));
            return std::string("holds the control character ") + code + ", which cannot be typed into a condition";
        }
    }
    return {};
}

bool CheckCondition(const std::string& option, const std::string& text, std::string& error) {
    std::string problem = ConditionProblem(text);
    if (problem.empty()) return true;
    error = option + ": the condition " + problem;
    return false;
}

std::string JsonString(const std::string& text) {
    // Values come from the database as UTF-8; anything else is marked, never passed on.
    const std::string s = plat::StoredTextToUtf8(text, 0);
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Raised for anything that stops the batch; the text goes to standard
// error, the status is the exit status (2 for a refused option).
struct BatchError {
    std::string text;
    int status = 1;
};

// A value of the text output: tab, line break, carriage return and
// backslash written as \t, \n, \r and \\, so that no value can make a row
// or a node of its own.
std::string TextValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : plat::StoredTextToUtf8(value, 0)) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out;
}

template <class T>
T* Find(vcl::TComponent* owner, const std::string& name) {
    T* found = owner ? dynamic_cast<T*>(owner->FindComponent(name)) : nullptr;
    if (!found) throw BatchError{"the window has no control " + name};
    return found;
}

// Characters of a text as an edit counts them (UTF-16 units).
int EditLength(const std::string& text) { return static_cast<int>(QString::fromStdString(text).size()); }

// Gives a condition to an edit as a paste would: the edit gets the focus and
// the text through its own text, under its mask and length (the edit's exit
// checks run when the focus moves on). A text the edit would cut is refused
// rather than shortened: the condition would no longer be the one asked for.
void Paste(vcl::TCustomEdit* edit, const std::string& text, const std::string& option) {
    if (edit->MaxLength() > 0 && EditLength(text) > edit->MaxLength())
        throw BatchError{option + ": \"" + text + "\" is longer than the " + std::to_string(edit->MaxLength()) +
                             " characters the condition takes",
                         2};
    edit->SetFocus();
    edit->SetText(text);
}

// The text an order-key edit gets: type and number around the mask's "-"
// (a key without "-" fills the 4 characters of the type first, as typing
// does). Parts longer than the mask's 4 and 11 characters are refused.
std::string OrderKeyText(const std::string& key, const std::string& option) {
    size_t dash = key.find('-');
    QString k = QString::fromStdString(key);
    QString type = dash == std::string::npos ? k.left(4) : QString::fromStdString(key.substr(0, dash));
    QString number = dash == std::string::npos ? k.mid(4) : QString::fromStdString(key.substr(dash + 1));
    if (type.size() > 4 || number.size() > 11)
        throw BatchError{option + ": \"" + key + "\" does not fit an order key (type of at most 4 characters, \"-\", " +
                             "number of at most 11)",
                         2};
    return (type + QLatin1Char('-') + number).toStdString();
}

const char* OptionOfPanel(const std::string& panel) {
    for (const auto& [name, p] : kRangeOptions)
        if (panel == p) return name;
    return "";
}

class WindowDriver {
public:
    WindowDriver(vcl::TComponent* form, HostEnvironment& env) : form_(form), env_(env) {}

    void SetConditions(const BatchOptions& o) {
        for (const auto& [panelName, range] : o.Ranges) {
            vcl::TComponent* panel = Find<vcl::TComponent>(form_, panelName);
            if (!range.first.empty()) SetCondition(panelName, Find<vcl::TCustomEdit>(panel, "BeginEdit"), range.first);
            if (!range.second.empty()) SetCondition(panelName, Find<vcl::TCustomEdit>(panel, "FinalEdit"), range.second);
        }
        Find<vcl::TComboBox>(form_, "cbo06")->SetItemIndex(o.Closed - 1);
        if (!o.Project.empty()) {
            auto* project = Find<vcl::TCustomEdit>(form_, "ed07");
            if (!project->Visible()) throw BatchError{"--project: this company does not use project numbers (SYS180)"};
            Paste(project, o.Project, "--project");
        }
        Find<vcl::TWinControl>(form_, "btnQuery1")->SetFocus();   // leaving the last edit runs its checks
    }

    // "查询" shows the results page only when the query ran; a condition the
    // window refused (its message is on standard error) ends the batch.
    void Query() {
        Find<vcl::TButton>(form_, "btnQuery1")->Click();
        if (Find<vcl::TPageControl>(form_, "PageControl1")->ActivePageIndex() != 1)
            throw BatchError{"the query did not run"};
    }

    std::vector<std::vector<std::string>> Grid() {
        auto* grid = Find<vcl::TStringGrid>(form_, "StringGrid1");
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < grid->RowCount(); ++r) {
            std::vector<std::string> cells;
            for (int c = 0; c < grid->ColCount(); ++c) cells.push_back(grid->Cells(c, r));
            rows.push_back(cells);
        }
        return rows;
    }

    std::vector<BatchNode> Expand(int row, bool withOpenings) {
        auto* grid = Find<vcl::TStringGrid>(form_, "StringGrid1");
        grid->SetRow(row);
        grid->Click();
        Find<vcl::TButton>(form_, "BitBtn1")->Click();
        auto* tree = Find<vcl::TTreeView>(form_, "TreeView");
        std::vector<BatchNode> nodes;
        for (int i = 0; i < tree->Items()->Count(); ++i) {
            vcl::TTreeNode* node = tree->Items()->Item(i);
            BatchNode n{node->Level(), node->Text(), node->SelectedIndex(), {}, {}};
            if (withOpenings && n.Kind != 0) Open(tree, node, n);
            nodes.push_back(n);
        }
        return nodes;
    }

    // Presses "汇出", types the file into the export dialog and presses OK.
    // A dialog that stays open refused the file: it is cancelled and the
    // refusal (the last message shown) ends the batch. The timers only act
    // on the dialog while it is up, and their state outlives this call.
    void Export(const std::string& file, const plat::ScriptedDialogs& messages) {
        struct State {
            bool shown = false, refused = false;
        };
        auto state = std::make_shared<State>();
        auto* dialog = Find<vcl::TForm>(form_, "frmORTK41DF");
        QTimer::singleShot(0, [dialog, file, state] {
            if (!dialog->IsModal()) return;
            state->shown = true;
            Find<vcl::TEdit>(dialog, "edPath")->SetText(file);
            auto* ok = Find<vcl::TButton>(dialog, "btnOK");
            ok->SetFocus();
            ok->Click();
            QTimer::singleShot(0, [dialog, state] {
                if (!dialog->IsModal()) return;
                state->refused = true;
                Find<vcl::TButton>(dialog, "btnCancel")->Click();
            });
        });
        Find<vcl::TButton>(form_, "btnExport")->Click();
        QApplication::processEvents();   // a timer left over when no dialog came up does nothing
        if (!state->shown) throw BatchError{"--export: the export dialog did not open"};
        if (state->refused)
            throw BatchError{"--export: " + (messages.Shown.empty() ? std::string("the file was refused")
                                                                     : messages.Shown.back().Text)};
    }

private:
    // Gives one end of a range to its edit. The field must then hold that
    // text (blanks aside; an order key without its "-", which the mask does
    // not keep): characters its mask refuses would change the condition
    // without a word. A date field refuses with the window's own message for
    // a date that is no date.
    void SetCondition(const std::string& panelName, vcl::TCustomEdit* edit, const std::string& text) {
        const std::string option = OptionOfPanel(panelName);
        const bool order = panelName == "sp01";
        std::string pasted = order ? OrderKeyText(text, option) : text;
        std::string expected = pasted;
        if (order) expected.erase(expected.find('-'), 1);
        Paste(edit, pasted, option);
        auto unblanked = [](std::string s) {
            s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
            return s;
        };
        if (unblanked(edit->Text()) == unblanked(expected)) return;
        bool date = panelName == "sp02" || panelName == "sp05";
        throw BatchError{option + ": the field took \"" + edit->Text() + "\" of \"" + text + "\"" +
                         (date ? "\nmessage: " + MessageText(env_, "E", "000005") : std::string())};
    }

    // Clicks the node and presses "开启"; the host records what it was asked.
    void Open(vcl::TTreeView* tree, vcl::TTreeNode* node, BatchNode& n) {
        tree->SetSelected(node);
        tree->Click();
        opened_.clear();
        Find<vcl::TButton>(form_, "BitBtn2")->Click();
        if (!opened_.empty()) {
            n.Program = opened_.front().first;
            n.Condition = opened_.front().second;
        }
    }

public:
    std::vector<std::pair<std::string, std::string>> opened_;

private:
    vcl::TComponent* form_;
    HostEnvironment& env_;
};

// Writes the outline of all listed orders through the window's export. The
// shell's "open" only records the file here: a batch opens no application.
void ExportOutline(WindowDriver& driver, const BatchOptions& o, const plat::ScriptedDialogs& messages, bool listed) {
    if (!listed) throw BatchError{"--export: no order is listed, nothing to export"};
    std::string file = std::filesystem::absolute(o.ExportFile).string();
    std::vector<std::string> opened;
    plat::SetShellOpenHandler([&opened](const std::string& target) {
        opened.push_back(target);
        return true;
    });
    try {
        driver.Export(file, messages);
    } catch (...) {
        plat::SetShellOpenHandler({});
        throw;
    }
    plat::SetShellOpenHandler({});
    if (opened.empty())
        throw BatchError{"--export: the export did not finish" +
                         (messages.Shown.empty() ? std::string() : ": " + messages.Shown.back().Text)};
}

}  // namespace

namespace {

bool ReadRange(OptionReader& r, const char* panel, BatchOptions& o) {
    const std::string& arg = r.Option();
    std::string v;
    if (!r.Value(v)) return false;
    size_t dots = v.find("..");
    if (dots == std::string::npos || v.find("..", dots + 2) != std::string::npos)
        return r.Refuse(arg + " wants FROM..TO (either side may be empty), not \"" + v + "\"");
    std::string error;
    if (!CheckCondition(arg, v, error)) return r.Refuse(error);
    o.Ranges.push_back({panel, {v.substr(0, dots), v.substr(dots + 2)}});
    return true;
}

bool ReadClosed(OptionReader& r, BatchOptions& o) {
    std::string v;
    if (!r.Value(v)) return false;
    if (v != "1" && v != "2" && v != "3")
        return r.Refuse("--closed wants 1 (closed), 2 (open) or 3 (all), not \"" + v + "\"");
    o.Closed = v[0] - '0';
    return true;
}

bool ReadTree(OptionReader& r, BatchOptions& o) {
    std::string v;
    if (!r.Value(v)) return false;
    if (!ParseRows(v, o))
        return r.Refuse("--tree wants all or row numbers from 1 separated by commas, not \"" + v + "\"");
    return true;
}

// One option of the batch mode and its value; false with the reader's error.
bool ReadBatchOption(OptionReader& r, BatchOptions& o) {
    if (std::optional<bool> shared = ReadSharedOption(r, o)) return *shared;
    const std::string& arg = r.Option();
    std::string error;
    if (arg == "--project")
        return r.Value(o.Project) && (CheckCondition(arg, o.Project, error) || r.Refuse(error));
    if (arg == "--export") {
        if (!r.Value(o.ExportFile)) return false;
        return !plat::Trim(o.ExportFile).empty() || r.Refuse("--export needs a file name");
    }
    if (arg == "--json") {
        o.Json = true;
        return true;
    }
    if (const char* panel = RangePanel(arg)) return ReadRange(r, panel, o);
    if (arg == "--closed") return ReadClosed(r, o);
    if (arg == "--tree") return ReadTree(r, o);
    return r.Unknown();
}

}  // namespace

std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& args, std::string& error) {
    return ReadOptions<BatchOptions>(args, error, ReadBatchOption);
}

std::string FormatText(const BatchResult& result) {
    std::string out;
    for (const auto& row : result.Grid) {
        for (size_t c = 0; c < row.size(); ++c) out += (c ? "\t" : "") + TextValue(row[c]);
        out += "\n";
    }
    for (const auto& [row, nodes] : result.Trees) {
        out += "# row " + std::to_string(row) + "\n";
        for (const BatchNode& n : nodes)
            out += std::string(static_cast<size_t>(2 * n.Level), ' ') + TextValue(n.Text) + "\t" +
                   std::to_string(n.Kind) + "\n";
    }
    return out;
}

std::string FormatJson(const BatchResult& result) {
    std::string out = "{\n  \"grid\": [";
    for (size_t r = 0; r < result.Grid.size(); ++r) {
        out += r ? ",\n    [" : "\n    [";
        for (size_t c = 0; c < result.Grid[r].size(); ++c) out += (c ? ", " : "") + JsonString(result.Grid[r][c]);
        out += "]";
    }
    out += "\n  ],\n  \"trees\": [";
    for (size_t t = 0; t < result.Trees.size(); ++t) {
        out += (t ? ",\n    {" : "\n    {") + std::string("\"row\": ") + std::to_string(result.Trees[t].first) +
               ", \"nodes\": [";
        const auto& nodes = result.Trees[t].second;
        for (size_t i = 0; i < nodes.size(); ++i) {
            const BatchNode& n = nodes[i];
            out += (i ? ",\n      {" : "\n      {") + std::string("\"level\": ") + std::to_string(n.Level) +
                   ", \"text\": " + JsonString(n.Text) + ", \"kind\": " + std::to_string(n.Kind);
            if (n.Kind != 0)
                out += ", \"program\": " + JsonString(n.Program) + ", \"condition\": " + JsonString(n.Condition);
            out += "}";
        }
        out += "]}";
    }
    out += "\n  ]\n}\n";
    return out;
}

int RunBatch(int argc, char** argv, int firstOption) {
    std::vector<std::string> args(argv + firstOption, argv + argc);
    std::string error;
    std::optional<BatchOptions> options = ParseBatchOptions(args, error);
    if (!options) {
        std::cerr << "tamber-workcenter: " << error << "\ntamber-workcenter ortk41 --help lists the options\n";
        return kExitUsage;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!options->UICodePage.empty()) setenv("ORTK_UI_CODE_PAGE", options->UICodePage.c_str(), 1);
    vcl::TQtApplication app(argc, argv);
    QApplication::setApplicationName("TamberWorkCenter");

    // Settings, data folder and database are read in this order; whatever
    // fails among them ends the run with a message before a window opens.
    ShellSettings settings;
    std::unique_ptr<server::SimpleSqlService> service;
    try {
        settings = LoadShellSettings();
        if (!settings.Problem.empty()) {
            std::cerr << "tamber-workcenter: " << settings.Problem << "\n";
            return 1;
        }
        if (options->Database.empty())
            options->Database = settings.DefaultDatabase.empty() ? options->Company : settings.DefaultDatabase;
        service = std::make_unique<server::SimpleSqlService>(DatabaseSourceOf(settings));
    } catch (const std::exception& e) {
        std::cerr << "tamber-workcenter: the installation settings cannot be used: " << e.what() << "\n";
        return 1;
    }
    server::SimpleSqlService& sql = *service;
    if (!options->TraceFile.empty() && !sql.SetTraceFile(options->TraceFile)) {
        std::cerr << "tamber-workcenter: --trace-sql: \"" << options->TraceFile
                  << "\" cannot be opened for appending (" << std::strerror(errno) << ")\n";
        return 2;
    }
    std::string problem;
    try {
        problem = server::CheckSignOn(sql, options->User, options->Company, options->Database);
    } catch (const std::exception& e) {
        problem = "Sign-on to database \"" + options->Database + "\" failed: " + e.what();
    }
    if (!problem.empty()) {
        std::cerr << "tamber-workcenter: " << problem << "\n";
        return 1;
    }
    server::RegisterApplicationServers(sql, settings.DocumentFolder);
    excel::RegisterExcelApplication();

    // Messages the program shows are answered OK and reported on standard error.
    auto messages = std::make_shared<plat::ScriptedDialogs>();
    plat::SetDialogPresenter(messages);
    ScriptedShellDialogs windows;
    auto env = std::make_shared<HostEnvironment>();
    env->Sql = &sql;
    env->Dialogs = &windows;
    env->Session = {options->User, options->Company, options->Database,
                    options->UICodePage.empty() ? settings.UICodePage : options->UICodePage};

    int status = 0;
    std::string output;
    try {
        ModuleHost modules(settings.WorkFolders, plat::Variant(MakeHostObject(env)));
        TDLLBaseController& controller = modules.Open({"ORTK41"}, options->User, options->Company, options->Database, 0);
        QWidget* widget = QWidget::find(static_cast<WId>(controller.GetFormHandle()));
        vcl::TComponent* form = widget ? vcl::TControl::ControlOf(widget) : nullptr;
        if (!form) throw BatchError{"the program's window cannot be reached"};
        WindowDriver driver(form, *env);
        env->ExecWork = [&driver](const std::string& program, const std::string& condition) {
            driver.opened_.emplace_back(program, condition);
            return 0;
        };
        // A listing failed when the window showed an error while it ran;
        // the window's messages themselves are printed below with the rest.
        std::vector<std::string> failures;
        auto failedWhile = [&messages, &failures](size_t shownBefore, const std::string& what) {
            for (size_t i = shownBefore; i < messages->Shown.size(); ++i)
                if (messages->Shown[i].Type == plat::MsgDlgType::Error) {
                    failures.push_back(what + ": " + messages->Shown[i].Text);
                    return;
                }
        };
        size_t shown = messages->Shown.size();
        driver.SetConditions(*options);
        failedWhile(shown, "the conditions were refused");
        if (!failures.empty()) throw BatchError{failures.front()};
        shown = messages->Shown.size();
        // An error the window does not show itself (the click comes from here,
        // not from the event loop) fails the listing in the same way.
        try {
            driver.Query();
        } catch (const std::exception& e) {
            failures.push_back(std::string("the order list failed: ") + e.what());
        }
        failedWhile(shown, "the order list failed");
        if (!failures.empty()) throw BatchError{failures.front()};
        BatchResult result;
        result.Grid = driver.Grid();
        // Row 0 is the heading; every row of a string grid has all its columns,
        // so a data row's first cell exists.
        int dataRows = static_cast<int>(result.Grid.size()) - 1;
        bool listed = dataRows > 0 && !plat::Trim(result.Grid[1][0]).empty();
        std::vector<int> rows = options->TreeRows;
        if (options->TreeAll && listed)
            for (int r = 1; r <= dataRows; ++r) rows.push_back(r);
        for (int r : rows) {
            if (!listed || r > dataRows) throw BatchError{"--tree: row " + std::to_string(r) + " is not listed"};
            shown = messages->Shown.size();
            try {
                result.Trees.emplace_back(r, driver.Expand(r, options->Json));
            } catch (const BatchError&) {
                throw;
            } catch (const std::exception& e) {
                failures.push_back("the tree of row " + std::to_string(r) + " failed: " + e.what());
            }
            failedWhile(shown, "the tree of row " + std::to_string(r) + " failed");
        }
        if (!failures.empty()) {
            std::string text = failures.front();
            for (size_t i = 1; i < failures.size(); ++i) text += "\ntamber-workcenter: " + failures[i];
            throw BatchError{text};
        }
        if (!options->ExportFile.empty()) ExportOutline(driver, *options, *messages, listed);
        output = options->Json ? FormatJson(result) : FormatText(result);
        modules.CloseAll();
    } catch (const BatchError& e) {
        std::cerr << "tamber-workcenter: " << e.text << "\n";
        status = e.status;
    } catch (const std::exception& e) {
        std::cerr << "tamber-workcenter: " << e.what() << "\n";
        status = 1;
    }
    for (const plat::MessageDialog& shown : messages->Shown) std::cerr << "message: " << shown.Text << "\n";
    plat::SetDialogPresenter(nullptr);
    server::UnregisterApplicationServers();
    if (status == 0) std::cout << output;
    return status;
}

}  // namespace shell
