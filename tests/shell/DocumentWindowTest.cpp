// The document window that "开启" opens through ExecWork: captions from the
// company database's data dictionary, dates and numbers in the company's
// formats, read-only, closed by its button or by Esc. Runs on the demo
// company database with the shell's real Qt windows; leaves a screenshot in
// the build folder (screenshots/document-window.png).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <sqlite3.h>

#include <filesystem>
#include <regex>

#include "HostCatalogue.h"
#include "HostObject.h"
#include "ShellTestSupport.h"

namespace {

const char* kDelivery = " COPTG.TG001 + '-' + COPTG.TG002 ='2301-20240100001'";
const char* kInvoice = " ACRTA.TA001 + '-' + ACRTA.TA002 ='6101-20240100001'";

class DocumentWindow : public ::testing::Test {
protected:
    DocumentWindow() { demo.env->Dialogs = windows.get(); }
    ~DocumentWindow() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "DocumentWindow") delete w;
    }

    // Opens the program's document as "开启" does and answers its window.
    QDialog* Open(const char* program, const char* condition) {
        EXPECT_EQ(shell::OpenDocumentProgram(*demo.env, program, condition), 0);
        QDialog* found = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "DocumentWindow" && w->isVisible()) found = qobject_cast<QDialog*>(w);
        return found;
    }

    // Changes the company's system parameters in the database file itself
    // (the service the shell reads through never writes).
    void SetParameter(const char* name, const char* value) {
        ChangeDatabase(std::string("UPDATE SYSPARAM SET VALUE='") + value + "' WHERE NAME='" + name + "'");
    }
    void ChangeDatabase(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((demo.Folder() + "PRTest65.db").c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    }

    static std::vector<std::string> Headings(QTableWidget* table) {
        std::vector<std::string> headings;
        for (int c = 0; c < table->columnCount(); ++c)
            headings.push_back(table->horizontalHeaderItem(c)->text().toStdString());
        return headings;
    }
    static int Column(QTableWidget* table, const std::string& heading) {
        std::vector<std::string> h = Headings(table);
        auto it = std::find(h.begin(), h.end(), heading);
        return it == h.end() ? -1 : static_cast<int>(it - h.begin());
    }
    static std::string HeadValue(QDialog* window, int index) {
        QList<QLineEdit*> edits = window->findChildren<QLineEdit*>();
        return index < edits.size() ? edits[index]->text().toStdString() : "";
    }

    shelltest::DemoHost demo;
    std::unique_ptr<shell::IShellDialogs> windows = shell::MakeQtShellDialogs();
};

TEST_F(DocumentWindow, DeliveryShowsCaptionsAndTheCompanysFormats) {
    QDialog* window = Open("PGSD01", kDelivery);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle().toStdString(), "PGSD01 销货单");
    auto* lines = window->findChild<QTableWidget*>();
    ASSERT_TRUE(lines);
    std::vector<std::string> headings = Headings(lines);
    for (const char* caption : {"单别", "单号", "序号", "品号", "销货数量", "赠/备品量", "订单单号", "建立日期"})
        EXPECT_NE(std::find(headings.begin(), headings.end(), caption), headings.end()) << caption;
    for (const std::string& h : headings) EXPECT_FALSE(std::regex_match(h, std::regex("[A-Z_]+[0-9]*"))) << h;
    // The system fields come after the business fields.
    EXPECT_GT(Column(lines, "建立者"), Column(lines, "结帐序号"));

    int quantity = Column(lines, "销货数量");
    ASSERT_GE(quantity, 0);
    EXPECT_EQ(lines->horizontalHeaderItem(quantity)->toolTip().toStdString(), "TH008");
    EXPECT_EQ(lines->item(0, quantity)->text().toStdString(), "600");
    EXPECT_TRUE(lines->item(0, quantity)->textAlignment() & Qt::AlignRight);
    EXPECT_EQ(lines->item(0, Column(lines, "单号"))->text().toStdString(), "20240100001");

    // Head: the delivery date under the company's kind 1 with "/".
    std::vector<std::string> head;
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
        EXPECT_TRUE(edit->isReadOnly());
        head.push_back(edit->text().toStdString());
    }
    EXPECT_NE(std::find(head.begin(), head.end(), "2024/01/20"), head.end());
    EXPECT_EQ(lines->editTriggers(), QAbstractItemView::NoEditTriggers);

    std::filesystem::create_directories(std::string(ORTK_BIN_DIR) + "/../screenshots");
    EXPECT_TRUE(window->grab().save(QString::fromStdString(std::string(ORTK_BIN_DIR) + "/../screenshots/document-window.png")));
}

TEST_F(DocumentWindow, AmountsTakeTheCurrencysDigitsAndDatesFollowTheCompanysKind) {
    SetParameter("SYS001", "3");
    SetParameter("SYS002", "-");
    QDialog* window = Open("PGAR01", kInvoice);
    ASSERT_TRUE(window);
    auto* lines = window->findChild<QTableWidget*>();
    int amount = Column(lines, "金额");
    ASSERT_GE(amount, 0);
    std::string text = lines->item(0, amount)->text().toStdString();
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{1,3}(,\d{3})*\.\d\d)"))) << text;   // RMB: 2 amount digits
    std::vector<std::string> head;
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) head.push_back(edit->text().toStdString());
    bool dayFirst = false;
    for (const std::string& value : head) dayFirst = dayFirst || std::regex_match(value, std::regex(R"(\d\d-01-2024)"));
    EXPECT_TRUE(dayFirst) << "no date shown as DD-MM-YYYY";
}

TEST_F(DocumentWindow, EnglishInterfaceTakesTheEnglishCaptions) {
    demo.env->Session.UICodePage = "437";
    QDialog* window = Open("PGSD01", kDelivery);
    ASSERT_TRUE(window);
    auto* lines = window->findChild<QTableWidget*>();
    EXPECT_GE(Column(lines, "Quantity sold"), 0);
    EXPECT_GE(Column(lines, "Item"), 0);
    EXPECT_GE(Column(lines, "Created on"), 0);
    EXPECT_EQ(window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->text().toStdString(), "Close");
}

TEST_F(DocumentWindow, CloseButtonAndEscCloseAndFreeTheWindow) {
    QPointer<QDialog> first = Open("PGSD01", kDelivery);
    ASSERT_TRUE(first);
    QPushButton* close = first->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close);
    ASSERT_TRUE(close);
    EXPECT_EQ(close->text().toStdString(), "关闭");
    QTest::mouseClick(close, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    QPointer<QDialog> second = Open("PGSD01", kDelivery);
    ASSERT_TRUE(second);
    QTest::keyClick(second->findChild<QTableWidget*>(), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
}

TEST_F(DocumentWindow, DatabaseMadeBeforeTheDictionaryStillOpensItsDocuments) {
    ChangeDatabase("DROP TABLE FIELDDICT");
    QDialog* window = Open("PGSD01", kDelivery);
    ASSERT_TRUE(window);
    auto* lines = window->findChild<QTableWidget*>();
    EXPECT_GE(Column(lines, "TH008"), 0);
    EXPECT_EQ(lines->rowCount(), 2);
}

// A column added to a document's table without a caption would show its raw name.
TEST_F(DocumentWindow, DictionaryCaptionsEveryFieldOfEveryDocumentProgram) {
    for (const char* code : {"PGSO01", "PGSD01", "PGAR01", "PGAR02", "PGSR01", "PGPR01", "PGPO01", "PGWO01",
                             "PGWR01", "PGAR04"}) {
        SCOPED_TRACE(code);
        shell::ScriptedShellDialogs recorded;
        demo.env->Dialogs = &recorded;
        ASSERT_EQ(shell::OpenDocumentProgram(*demo.env, code, ""), 0);
        ASSERT_EQ(recorded.Documents.size(), 1u);
        const shell::DocumentView& view = recorded.Documents[0];
        ASSERT_FALSE(view.LineFields.empty());
        for (size_t c = 0; c < view.LineFields.size(); ++c)
            EXPECT_NE(view.LineCaptions[c], view.LineFields[c]) << view.LineFields[c];
        for (const auto& [caption, value] : view.Head) EXPECT_FALSE(std::regex_match(caption, std::regex("[A-Z_]+[0-9]*"))) << caption;
    }
}

}  // namespace
