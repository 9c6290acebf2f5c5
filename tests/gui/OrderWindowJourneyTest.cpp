// The order tracking window in a person's hands: hosted as the shell hosts
// it (the built module loaded with dlopen, over the demo installation),
// shown on Qt's xcb platform under an X server (scripts/with-xvfb.sh), and
// used with the mouse and the keyboard alone (RealInput.h): conditions typed,
// Chinese included, "查询", a row clicked, "展开", a document node clicked,
// "开启", "汇出" cancelled and confirmed, the splitter dragged and the window
// resized. After each modal dialog the window behind it must take clicks and
// keys again. Every step leaves a screenshot in gui-screenshots/ of the build
// folder for a person to look at.
#include "RealInput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExcelApplication.h"
#include "Forms.h"
#include "Grids.h"
#include "ModuleHost.h"
#include "QtText.h"
#include "ShellTestSupport.h"
#include "StdCtrls.h"
#include "SystemInfo.h"

using ::testing::HasSubstr;

using realinput::Click;
using realinput::Key;
using realinput::Settle;
using realinput::Type;
using realinput::WaitUntil;

namespace {

realinput::Screenshots& Shots() {
    static realinput::Screenshots shots(ORTK_SCREENSHOT_DIR);
    return shots;
}

using vcl::Q;

std::string Text(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

// What a user sees of the modal window on top, once it is up and drawn.
QWidget* WaitForModalWindow() {
    QWidget* found = nullptr;
    WaitUntil([&found] {
        found = QApplication::activeModalWidget();
        return found && found->isVisible() && found->windowHandle() && found->windowHandle()->isExposed();
    });
    return found && found->isVisible() ? found : nullptr;
}

QAbstractButton* ButtonIn(QWidget* window, const QString& caption) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->isVisible() && b->text().remove('&') == caption) return b;
    return nullptr;
}

// The options a table view hands its item delegate (font, alignment,
// wrapping, eliding), read through the view's own protected initViewItemOption.
struct ViewItemOptions : QTableView {
    static void Init(const QTableView* view, QStyleOptionViewItem* option) {
        (view->*&ViewItemOptions::initViewItemOption)(option);
    }
};

// Cell `index` as the view's item delegate draws it into a cell `width`
// pixels wide (grid line included), unselected, on white.
QImage RenderCell(QTableView* view, const QModelIndex& index, int width) {
    QStyleOptionViewItem option;
    ViewItemOptions::Init(view, &option);
    const int grid = view->showGrid() ? 1 : 0;
    const int height = view->rowHeight(index.row());
    option.rect = QRect(0, 0, width - grid, height - grid);
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    view->itemDelegateForIndex(index)->paint(&painter, option, index);
    return image;
}

// Whether cell `index` shows its whole text: drawn in its column it looks as
// it does in a column 400 pixels wider, up to the last pixel column of its
// own (where a fixed cell draws its edge line), so that elided ("0…") or
// wrapped ("序…") text fails; and in the wide column nothing of the text lies
// beyond the width of its own, so that clipped text fails. `why` tells which.
bool ShowsWholeText(QTableView* view, const QModelIndex& index, std::string& why) {
    const int grid = view->showGrid() ? 1 : 0;
    const int width = view->columnWidth(index.column());
    const int room = width - grid;   // the delegate's width
    QImage narrow = RenderCell(view, index, width);
    QImage wide = RenderCell(view, index, width + 400);
    const int wideRoom = wide.width() - grid;
    for (int y = 0; y < narrow.height(); ++y) {
        for (int x = 0; x < room - 1; ++x)
            if (narrow.pixel(x, y) != wide.pixel(x, y)) {
                why = "drawn otherwise than in a wide column (elided or wrapped) from x=" + std::to_string(x);
                return false;
            }
        const QRgb background = wide.pixel(wideRoom - 2, y);
        for (int x = room; x < wideRoom - 1; ++x)
            if (wide.pixel(x, y) != background) {
                why = "the text reaches x=" + std::to_string(x) + ", beyond the cell's " + std::to_string(room) +
                      " px";
                return false;
            }
    }
    return true;
}

class OrderWindowJourney : public testing::Test {
protected:
    OrderWindowJourney() : host_({std::string(ORTK_BIN_DIR) + "/"}, demo_.host) {}

    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb")
            << "the window journeys run on the xcb platform: start them with scripts/with-xvfb.sh";
        // What the host shell registers and serves: the spreadsheet
        // application, its own document windows, and the desktop's file opener.
        excel::RegisterExcelApplication();
        demo_.env->Dialogs = documents_.get();
        plat::SetShellOpenHandler([this](const std::string& file) {
            openedFiles_.push_back(file);
            return true;
        });
        demo_.Sql().SetTraceFile(demo_.Folder() + "sql-trace.txt");
        TDLLBaseController& controller = host_.Open({"ORTK41", "", 1, 0xFF, {}}, "KV", "PRTest65", "PRTest65", 0);
        window_ = QWidget::find(static_cast<WId>(controller.GetFormHandle()));
        ASSERT_NE(window_, nullptr);
        form_ = vcl::TControl::ControlOf(window_);
        ASSERT_NE(form_, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
        Settle();
    }

    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window_ && w->isVisible() && w->windowTitle().startsWith("PG")) w->close();
        host_.CloseAll();
        Settle();
        demo_.Sql().SetTraceFile("");
        plat::SetShellOpenHandler({});
    }

    // ---- the window's parts ----

    template <class T>
    T* Get(const std::string& name, vcl::TComponent* owner = nullptr) {
        auto* found = dynamic_cast<T*>((owner ? owner : form_)->FindComponent(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QWidget* WidgetOf(const std::string& name) {
        auto* control = Get<vcl::TControl>(name);
        return control ? control->Widget() : nullptr;
    }
    QLineEdit* EditOf(const std::string& panel, const std::string& edit) {
        auto* control = Get<vcl::TCustomEdit>(edit, Get<vcl::TComponent>(panel));
        return control ? control->LineEdit() : nullptr;
    }
    vcl::TPageControl* Pages() { return Get<vcl::TPageControl>("PageControl1"); }
    vcl::TStringGrid* Grid() { return Get<vcl::TStringGrid>("StringGrid1"); }
    vcl::TTreeView* Tree() { return Get<vcl::TTreeView>("TreeView"); }
    std::string Caption(const std::string& label) { return Get<vcl::TLabel>(label)->Caption(); }

    // ---- what a user does ----

    // Clicks into the edit, selects what it holds and types `text` over it.
    void TypeInto(QLineEdit* edit, const QString& text) {
        ASSERT_NE(edit, nullptr);
        Click(edit);
        Key(edit, Qt::Key_Home);
        Key(edit, Qt::Key_End, Qt::ShiftModifier);
        if (text.isEmpty()) Key(edit, Qt::Key_Delete);
        else Type(edit, text);
    }
    void ClickButton(const std::string& name) {
        QWidget* button = WidgetOf(name);
        ASSERT_NE(button, nullptr);
        Click(button);
    }
    void ClickTab(int index) {
        QTabBar* bar = Pages()->Tabs()->tabBar();
        Click(bar, bar->tabRect(index).center());
    }
    void ClickGridRow(int row) {
        QTableView* view = Grid()->View();
        QRect cell = view->visualRect(view->model()->index(row, 1));
        ASSERT_TRUE(view->viewport()->rect().contains(cell.center())) << "row " << row << " is not in view";
        Click(view->viewport(), cell.center());
    }
    void ClickTreeNode(vcl::TTreeNode* node) {
        QTreeWidget* tree = Tree()->Tree();
        QRect at = tree->visualItemRect(node->WidgetItem());
        ASSERT_TRUE(tree->viewport()->rect().contains(at.center())) << node->Text() << " is not in view";
        Click(tree->viewport(), at.center());
    }
    // Types the order range and runs the query with the mouse.
    void QueryOrders(const QString& from, const QString& to) {
        TypeInto(EditOf("sp01", "BeginEdit"), from);
        TypeInto(EditOf("sp01", "FinalEdit"), to);
        ClickButton("btnQuery1");
    }

    // Presses "汇出"; once the export dialog is up, `inDialog` runs with it
    // from the dialog's own event loop and clicks it shut (the dialog goes
    // when that loop gets control back). Answers whether the dialog came up.
    // A dialog still up 3 s after the script is cancelled so that the test
    // goes on, and the step fails.
    bool Export(const std::function<void(QWidget*)>& inDialog) {
        enum Stage { Waiting, Shown, Returned };
        auto stage = std::make_shared<Stage>(Waiting);
        QTimer::singleShot(0, [stage, inDialog] {
            QWidget* dialog = WaitForModalWindow();
            if (!dialog) return;
            *stage = Shown;
            inDialog(dialog);
            QTimer::singleShot(3000, [stage, dialog = QPointer<QWidget>(dialog)] {
                if (*stage != Shown || !dialog || !dialog->isVisible()) return;
                ADD_FAILURE() << "the export dialog did not close";
                if (auto* form = dynamic_cast<vcl::TForm*>(vcl::TControl::ControlOf(dialog)))
                    form->SetModalResult(plat::mrCancel);
            });
        });
        ClickButton("btnExport");
        bool shown = *stage != Waiting;
        *stage = Returned;
        return shown;
    }

    // Rows of a confirmed order in the company database.
    int OrderLines(const std::string& type, const std::string& number) {
        server::ResultTable lines = demo_.Sql().Database("PRTest65").Query(
            "SELECT TD003 FROM $$COPTD COPTD INNER JOIN $$COPTC COPTC ON TC001=TD001 AND TC002=TD002 "
            "WHERE TC027='Y' AND TD001='" + type + "' AND TD002='" + number + "'");
        return static_cast<int>(lines.rows.size());
    }
    std::string SqlTrace() {
        std::ifstream in(demo_.Folder() + "sql-trace.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // ---- what a user sees ----

    // The page on top, as the tab widget shows it.
    int ShownPage() { return Pages()->Tabs()->currentIndex(); }

    // The button lies whole inside its panel, the window and the screen, and
    // nothing covers or clips it.
    void ExpectFullyShown(const std::string& name) {
        SCOPED_TRACE(name);
        QWidget* button = WidgetOf(name);
        ASSERT_NE(button, nullptr);
        QWidget* panel = button->parentWidget();
        EXPECT_TRUE(button->isVisible());
        EXPECT_TRUE(panel->rect().contains(button->geometry()))
            << "button at " << Text(button->geometry()) << " in a panel of " << Text(panel->rect());
        QRect inWindow(button->mapTo(window_, QPoint(0, 0)), button->size());
        EXPECT_TRUE(window_->rect().contains(inWindow))
            << "button at " << Text(inWindow) << " in a window of " << Text(window_->rect());
        QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        EXPECT_TRUE(window_->screen()->geometry().contains(onScreen))
            << "button at " << Text(onScreen) << " on a screen of " << Text(window_->screen()->geometry());
        EXPECT_TRUE(button->visibleRegion() == QRegion(button->rect()))
            << "shown: " << Text(button->visibleRegion().boundingRect()) << " of " << Text(button->rect());
    }

    // After a modal dialog has closed, a click on the "查询条件" tab turns
    // the page: the window takes input again.
    void ExpectTabSwitchesPagesAfterDialog(const char* shot) {
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr) << "Qt still counts a modal window";
        ASSERT_EQ(ShownPage(), 1);
        ClickTab(0);
        Shots().Take(shot);
        EXPECT_EQ(ShownPage(), 0) << "a click on 查询条件 did not reach the window";
        EXPECT_EQ(Pages()->ActivePageIndex(), 0);
    }

    plat::ScopedScriptedDialogs messages_;   // message boxes: recorded, answered OK
    shelltest::DemoHost demo_;
    std::unique_ptr<shell::IShellDialogs> documents_ = shell::MakeQtShellDialogs();
    shell::ModuleHost host_;
    QWidget* window_ = nullptr;
    vcl::TComponent* form_ = nullptr;
    std::vector<std::string> openedFiles_;
};

}  // namespace

TEST_F(OrderWindowJourney, ChineseConditionThenOrderQueryExpandAndOpenADocument) {
    Shots().Take("started");
    EXPECT_EQ(ShownPage(), 0);

    // A customer's order number in Chinese: typed as key events with text.
    const QString customerOrder = QString::fromUtf8("华东订单");
    TypeInto(EditOf("sp04", "BeginEdit"), customerOrder);
    TypeInto(EditOf("sp04", "FinalEdit"), customerOrder);
    EXPECT_EQ(EditOf("sp04", "BeginEdit")->text(), customerOrder);
    EXPECT_EQ(EditOf("sp04", "FinalEdit")->text(), customerOrder);
    Shots().Take("chinese-condition-typed");
    ClickButton("btnQuery1");
    Shots().Take("chinese-condition-queried");
    EXPECT_EQ(ShownPage(), 1);
    EXPECT_EQ(Grid()->RowCount(), 2);   // the demo has no such customer order: heading and a blank row
    EXPECT_EQ(Grid()->Cells(0, 1), "");
    EXPECT_THAT(SqlTrace(), HasSubstr("TC012 BETWEEN '华东订单' AND '华东订单'"))
        << "the Chinese condition did not reach the server whole";

    // Back to the conditions: the Chinese text out, one order in.
    ClickTab(0);
    EXPECT_EQ(ShownPage(), 0);
    TypeInto(EditOf("sp04", "BeginEdit"), "");
    TypeInto(EditOf("sp04", "FinalEdit"), "");
    EXPECT_EQ(EditOf("sp04", "BeginEdit")->text(), "");
    QueryOrders("220120240100001", "220120240100001");
    Shots().Take("order-queried");
    EXPECT_EQ(ShownPage(), 1);
    ASSERT_EQ(Grid()->RowCount(), 1 + OrderLines("2201", "20240100001"));
    ASSERT_EQ(Grid()->RowCount(), 3);
    EXPECT_EQ(Caption("lblQuery2"), "2201-20240100001-0001");

    ClickGridRow(2);
    Shots().Take("second-row-clicked");
    EXPECT_EQ(Grid()->Row(), 2);
    EXPECT_EQ(Caption("lblQuery2"), "2201-20240100001-0002");
    ClickGridRow(1);
    EXPECT_EQ(Caption("lblQuery2"), "2201-20240100001-0001");

    ClickButton("BitBtn1");
    Shots().Take("expanded");
    vcl::TTreeNodes* nodes = Tree()->Items();
    ASSERT_GT(nodes->Count(), 20);
    vcl::TTreeNode* delivery = nullptr;
    for (int i = 0; i < nodes->Count() && !delivery; ++i)
        if (nodes->Item(i)->SelectedIndex() == 2000) delivery = nodes->Item(i);
    ASSERT_NE(delivery, nullptr);
    ClickTreeNode(delivery);
    Shots().Take("delivery-node-clicked");
    EXPECT_EQ(Tree()->Selected(), delivery);
    EXPECT_EQ(Caption("lblView2"), "2301-20240100001-0001");

    // "开启": the shell opens the delivery in a document window of its own.
    ClickButton("BitBtn2");
    QWidget* document = nullptr;
    WaitUntil([&document, this] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window_ && w->isVisible() && w->windowTitle().startsWith("PGSD01")) document = w;
        return document && document->windowHandle() && document->windowHandle()->isExposed();
    });
    Shots().Take("document-opened");
    ASSERT_NE(document, nullptr) << "no document window after 开启";
    auto* lines = document->findChild<QTableWidget*>();
    ASSERT_NE(lines, nullptr);
    EXPECT_GT(lines->rowCount(), 0);
    bool showsDelivery = false;
    // The head fields are read-only edits, so that their texts can be copied.
    for (QLineEdit* field : document->findChildren<QLineEdit*>())
        showsDelivery = showsDelivery || (field->isReadOnly() && field->text() == "20240100001");
    EXPECT_TRUE(showsDelivery) << "the document window does not show delivery 2301-20240100001";
    document->close();
    EXPECT_TRUE(messages_->Shown.empty());
}

TEST_F(OrderWindowJourney, ExportDialogCancelledGivesInputBack) {
    QueryOrders("220120240100001", "220120240100002");
    ASSERT_EQ(Grid()->RowCount(), 1 + OrderLines("2201", "20240100001") + OrderLines("2201", "20240100002"));

    bool shown = Export([](QWidget* dialog) {
        Shots().Take("export-dialog");
        QAbstractButton* cancel = ButtonIn(dialog, "取消");
        ASSERT_NE(cancel, nullptr);
        Click(cancel);
    });
    ASSERT_TRUE(shown) << "汇出 brought up no modal dialog";
    Shots().Take("export-cancelled");
    EXPECT_TRUE(openedFiles_.empty());
    ExpectTabSwitchesPagesAfterDialog("export-cancelled-conditions-tab-clicked");
    // The keyboard reaches the window too: a second query typed and clicked.
    QueryOrders("220120240100002", "220120240100002");
    Shots().Take("export-cancelled-second-query");
    EXPECT_EQ(ShownPage(), 1);
    EXPECT_EQ(Grid()->RowCount(), 1 + OrderLines("2201", "20240100002"));
    EXPECT_EQ(Grid()->Cells(1, 1), "20240100002");
    EXPECT_TRUE(messages_->Shown.empty());
}

TEST_F(OrderWindowJourney, ExportDialogConfirmedWritesTheFileAndGivesInputBack) {
    QueryOrders("220120240100001", "220120240100002");
    ASSERT_GE(Grid()->RowCount(), 3);

    // A file name of the user's, typed over the proposed one, and "确定".
    const std::string file = demo_.Folder() + "journey-export.xlsx";
    bool shown = Export([&file](QWidget* dialog) {
        auto* path = dialog->findChild<QLineEdit*>();
        ASSERT_NE(path, nullptr);
        Click(path);
        Key(path, Qt::Key_Home);
        Key(path, Qt::Key_End, Qt::ShiftModifier);
        Type(path, Q(file));
        EXPECT_EQ(path->text(), Q(file));
        Shots().Take("export-dialog-path-typed");
        QAbstractButton* ok = ButtonIn(dialog, "确定");
        ASSERT_NE(ok, nullptr);
        Click(ok);
    });
    ASSERT_TRUE(shown) << "汇出 brought up no modal dialog";
    Shots().Take("exported");
    ASSERT_EQ(openedFiles_.size(), 1u) << "the written file was not handed to the desktop";
    EXPECT_EQ(std::filesystem::path(openedFiles_[0]).filename(), "journey-export.xlsx");
    EXPECT_GT(std::filesystem::file_size(file), 0u);
    EXPECT_TRUE(messages_->Shown.empty());
    ExpectTabSwitchesPagesAfterDialog("exported-conditions-tab-clicked");
    QueryOrders("220120240100001", "220120240100001");
    Shots().Take("exported-second-query");
    EXPECT_EQ(ShownPage(), 1);
    EXPECT_EQ(Grid()->RowCount(), 1 + OrderLines("2201", "20240100001"));
    EXPECT_EQ(Grid()->Cells(1, 1), "20240100001");
}

TEST_F(OrderWindowJourney, BottomBarButtonsStayOnScreenWhenTheWindowResizesOrTheSplitterMoves) {
    QueryOrders("220120240100001", "220120240100001");
    ASSERT_EQ(ShownPage(), 1);
    const char* buttons[] = {"BitBtn1", "btnExport", "BitBtn2"};

    // The window made small, then large (and moved to the screen's corner so
    // that it fits), as a window manager resizes and moves it.
    window_->resize(700, 440);
    ASSERT_TRUE(WaitUntil([this] { return window_->width() == 700; }));
    Settle();
    Shots().Take("window-small");
    for (const char* b : buttons) ExpectFullyShown(b);
    window_->move(window_->screen()->availableGeometry().topLeft());
    window_->resize(1200, 760);
    ASSERT_TRUE(WaitUntil([this] { return window_->width() == 1200; }));
    Settle();
    Shots().Take("window-large");
    for (const char* b : buttons) ExpectFullyShown(b);

    QWidget* splitter = WidgetOf("Splitter1");
    ASSERT_NE(splitter, nullptr);
    auto splitterAt = [&] { return splitter->mapTo(window_, QPoint(0, 0)).x(); };
    int start = splitterAt();
    QPoint grip(splitter->width() / 2, splitter->height() / 2);
    auto gripRow = [&] { return splitter->mapTo(window_, grip).y(); };

    // To the left end: the list keeps its minimum width.
    realinput::Drag(splitter, grip, QPoint(2, gripRow()));
    Shots().Take("splitter-left-end");
    EXPECT_LT(splitterAt(), start);
    for (const char* b : buttons) ExpectFullyShown(b);
    // The moved buttons answer a click where they are drawn.
    ClickButton("BitBtn1");
    EXPECT_GT(Tree()->Items()->Count(), 0) << "展开 did not take the click after the splitter moved";

    // To the right end: the tree keeps its minimum width.
    realinput::Drag(splitter, grip, QPoint(window_->width() - 3, gripRow()));
    Shots().Take("splitter-right-end");
    EXPECT_GT(splitterAt(), start);
    for (const char* b : buttons) ExpectFullyShown(b);
}

TEST_F(OrderWindowJourney, PagesFillTheClientAreaAndFixedWidthTextsShowWhole) {
    // Right under the menu bar lies the page control, on either page: no
    // empty band between them.
    auto* menuBar = window_->findChild<QMenuBar*>();
    int below = (menuBar && menuBar->isVisible() ? menuBar->mapTo(window_, QPoint(0, menuBar->height())).y() : 0) + 4;
    QWidget* pages = Pages()->Tabs();
    auto underMenu = [&] { return window_->childAt(window_->width() / 2, below); };
    Shots().Take("conditions-page");
    EXPECT_TRUE(underMenu() && (underMenu() == pages || pages->isAncestorOf(underMenu())))
        << "4 px under the menu bar lies " << (underMenu() ? underMenu()->metaObject()->className() : "nothing")
        << ", not the pages; the pages start at y=" << pages->mapTo(window_, QPoint(0, 0)).y();

    QueryOrders("220120240100001", "220120240100001");
    Shots().Take("results-page");
    ASSERT_EQ(ShownPage(), 1);
    EXPECT_TRUE(underMenu() && (underMenu() == pages || pages->isAncestorOf(underMenu())));

    // The line numbers of the "序号" column read whole: two lines of one
    // order must not both show "0…".
    QTableView* view = Grid()->View();
    ASSERT_EQ(Grid()->Cells(2, 0), "序号");
    for (int row = 0; row < 3; ++row) {
        QModelIndex cell = view->model()->index(row, 2);
        std::string why;
        EXPECT_TRUE(ShowsWholeText(view, cell, why))
            << "\"" << cell.data().toString().toStdString() << "\" in a column of " << view->columnWidth(2)
            << " px: " << why;
    }
    EXPECT_EQ(Grid()->Cells(2, 1), "0001");

    // The status bar's panels show their texts whole ("单据笔数").
    auto* status = Get<vcl::TStatusBar>("Status");
    ASSERT_NE(status, nullptr);
    for (int i = 0; i < status->Panels()->Count(); ++i) {
        QLabel* label = status->Panels()->Items(i)->Label();
        if (!label->isVisible() || label->text().isEmpty()) continue;
        int room = label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), room)
            << "status panel " << i << " \"" << label->text().toStdString() << "\" in " << label->width() << " px";
    }
}
