// The host shell's own windows that services open on behalf of a program:
// the lookup (F2) list, the calendar, the read-only document window and the
// help notice. They go through one interface so that tests and batch runs
// script the answers instead of waiting on a window.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Variant.h"

class QDialog;

namespace shell {

// A list the user picks rows from.
struct LookupList {
    std::string Title;
    std::vector<std::string> Captions;              // one per column
    std::vector<std::vector<std::string>> Rows;     // display texts
    bool MultiSelect = false;
    std::string Filter;                             // search text to start with
};

// A document shown read-only: its head fields and its lines, captioned and
// formatted as the company shows them (FieldDictionary.h).
struct DocumentView {
    std::string ProgramCode;
    std::string Title;
    std::string Condition;
    std::vector<std::pair<std::string, std::string>> Head;   // caption, value
    std::vector<std::string> LineFields;      // field name of each line column
    std::vector<std::string> LineCaptions;    // its caption
    std::vector<bool> LineNumbers;            // true: a quantity or amount, right-aligned
    std::vector<std::vector<std::string>> Lines;   // display texts
    std::string CloseCaption = "关闭";             // the close button, in the interface's language
};

class IShellDialogs {
public:
    virtual ~IShellDialogs() = default;
    // Indexes of the chosen rows; nullopt when the user cancelled.
    virtual std::optional<std::vector<int>> PickRows(const LookupList& list) = 0;
    // The chosen date as "YYYYMMDD"; nullopt when cancelled. `initial` may be empty.
    virtual std::optional<std::string> PickDate(const std::string& initial) = 0;
    virtual void ShowDocument(const DocumentView& document) = 0;
    virtual void ShowHelp(const std::string& program, const std::string& topic) = 0;
};

// The real windows, on Qt.
std::unique_ptr<IShellDialogs> MakeQtShellDialogs();
// The read-only document window of the real windows: head fields, lines,
// a close button; Esc closes it too. It frees itself when closed.
QDialog* ShowDocumentWindow(const DocumentView& document);

// Answers from a script and records what was asked.
class ScriptedShellDialogs : public IShellDialogs {
public:
    std::optional<std::vector<int>> PickRows(const LookupList& list) override;
    std::optional<std::string> PickDate(const std::string& initial) override;
    void ShowDocument(const DocumentView& document) override;
    void ShowHelp(const std::string& program, const std::string& topic) override;

    std::vector<LookupList> Lookups;
    std::vector<std::optional<std::vector<int>>> RowAnswers;   // taken in order; none left = cancel
    std::vector<std::string> DatesAsked;
    std::vector<std::optional<std::string>> DateAnswers;
    std::vector<DocumentView> Documents;
    std::vector<std::pair<std::string, std::string>> HelpTopics;
};

}  // namespace shell
