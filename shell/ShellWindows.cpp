// The shell's own windows on Qt: a searchable lookup list with single or
// multiple selection, a calendar, a read-only document window and the help
// notice; and the scripted stand-in that tests and batch runs use.
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "QtText.h"
#include "ShellDialogs.h"
#include "ShellLanguage.h"

namespace shell {

namespace {

using vcl::Q;

QTableWidget* MakeTable(const std::vector<std::string>& captions, const std::vector<std::vector<std::string>>& rows,
                        QWidget* parent) {
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(captions.size()), parent);
    QStringList headers;
    for (const std::string& c : captions) headers << Q(c);
    table->setHorizontalHeaderLabels(headers);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size() && c < captions.size(); ++c)
            table->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(Q(rows[r][c])));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    return table;
}

// Shows only the rows where some cell contains the search text.
void ApplyFilter(QTableWidget* table, const QString& text) {
    for (int r = 0; r < table->rowCount(); ++r) {
        bool match = text.isEmpty();
        for (int c = 0; !match && c < table->columnCount(); ++c)
            if (QTableWidgetItem* item = table->item(r, c)) match = item->text().contains(text, Qt::CaseInsensitive);
        table->setRowHidden(r, !match);
    }
}

// Head fields per row of the document window's head.
constexpr int kHeadPairsPerRow = 3;

QWidget* MakeDocumentHead(const DocumentView& document, QWidget* parent) {
    auto* head = new QWidget(parent);
    auto* grid = new QGridLayout(head);
    grid->setContentsMargins(0, 0, 0, 0);
    for (size_t i = 0; i < document.Head.size(); ++i) {
        int row = static_cast<int>(i) / kHeadPairsPerRow, column = 2 * (static_cast<int>(i) % kHeadPairsPerRow);
        auto* value = new QLineEdit(Q(document.Head[i].second), head);
        value->setReadOnly(true);
        value->setCursorPosition(0);
        auto* caption = new QLabel(Q(document.Head[i].first), head);
        caption->setBuddy(value);
        grid->addWidget(caption, row, column);
        grid->addWidget(value, row, column + 1);
    }
    return head;
}

QTableWidget* MakeDocumentLines(const DocumentView& document, QWidget* parent) {
    QTableWidget* table = MakeTable(document.LineCaptions, document.Lines, parent);
    for (int c = 0; c < table->columnCount(); ++c) {
        size_t column = static_cast<size_t>(c);
        if (QTableWidgetItem* heading = table->horizontalHeaderItem(c); heading && column < document.LineFields.size())
            heading->setToolTip(Q(document.LineFields[column]));
        if (column >= document.LineNumbers.size() || !document.LineNumbers[column]) continue;
        for (int r = 0; r < table->rowCount(); ++r)
            if (QTableWidgetItem* item = table->item(r, c)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    table->resizeColumnsToContents();
    return table;
}

class QtShellDialogs : public IShellDialogs {
public:
    std::optional<std::vector<int>> PickRows(const LookupList& list) override {
        QDialog dialog;
        dialog.setWindowTitle(Q(list.Title));
        dialog.resize(640, 420);
        auto* layout = new QVBoxLayout(&dialog);
        auto* search = new QLineEdit(Q(list.Filter), &dialog);
        search->setPlaceholderText(Q(ShellWord("查找")));
        QTableWidget* table = MakeTable(list.Captions, list.Rows, &dialog);
        table->setSelectionMode(list.MultiSelect ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::SingleSelection);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        layout->addWidget(search);
        layout->addWidget(table);
        layout->addWidget(buttons);
        QObject::connect(search, &QLineEdit::textChanged, table, [table](const QString& t) { ApplyFilter(table, t); });
        QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        ApplyFilter(table, search->text());
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        std::vector<int> chosen;
        for (const QModelIndex& index : table->selectionModel()->selectedRows()) chosen.push_back(index.row());
        std::sort(chosen.begin(), chosen.end());
        return chosen;
    }

    std::optional<std::string> PickDate(const std::string& initial) override {
        QDialog dialog;
        dialog.setWindowTitle(Q(ShellWord("日期")));
        auto* layout = new QVBoxLayout(&dialog);
        auto* calendar = new QCalendarWidget(&dialog);
        QDate start = QDate::fromString(Q(initial), "yyyyMMdd");
        calendar->setSelectedDate(start.isValid() ? start : QDate::currentDate());
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        layout->addWidget(calendar);
        layout->addWidget(buttons);
        QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return calendar->selectedDate().toString("yyyyMMdd").toStdString();
    }

    void ShowDocument(const DocumentView& document) override { ShowDocumentWindow(document); }

    void ShowHelp(const std::string& program, const std::string& topic) override {
        QMessageBox::information(nullptr, Q(ShellWord("帮助")),
                                 Q(ShellWord("帮助主题") + " " + topic + " (" + program + ")"));
    }
};

template <class T>
std::optional<T> TakeFirst(std::vector<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

}  // namespace

std::unique_ptr<IShellDialogs> MakeQtShellDialogs() { return std::make_unique<QtShellDialogs>(); }

QDialog* ShowDocumentWindow(const DocumentView& document) {
    auto* window = new QDialog;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName("DocumentWindow");
    window->setWindowTitle(Q(document.ProgramCode + " " + document.Title));
    window->resize(900, 520);
    auto* layout = new QVBoxLayout(window);
    if (!document.Head.empty()) layout->addWidget(MakeDocumentHead(document, window));
    layout->addWidget(MakeDocumentLines(document, window), 1);
    // Esc closes the window as the button does (QDialog rejects on Esc).
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    buttons->button(QDialogButtonBox::Close)->setText(Q(document.CloseCaption));
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    QObject::connect(window, &QDialog::rejected, window, &QDialog::close);
    layout->addWidget(buttons);
    window->show();   // modeless, as a program of the suite opens beside the caller
    return window;
}

std::optional<std::vector<int>> ScriptedShellDialogs::PickRows(const LookupList& list) {
    Lookups.push_back(list);
    return TakeFirst(RowAnswers);
}

std::optional<std::string> ScriptedShellDialogs::PickDate(const std::string& initial) {
    DatesAsked.push_back(initial);
    return TakeFirst(DateAnswers);
}

void ScriptedShellDialogs::ShowDocument(const DocumentView& document) { Documents.push_back(document); }

void ScriptedShellDialogs::ShowHelp(const std::string& program, const std::string& topic) {
    HelpTopics.emplace_back(program, topic);
}

}  // namespace shell
