// Common controls over QTabWidget (page control), QTreeWidget (tree view and
// list view in report style), labels in a bar (status bar) and tool buttons
// in a bar (tool bar). Each node or item keeps its Qt item and the Qt item
// points back at it, so that Qt's selection and click signals reach the
// node or item they concern.
#include "ComCtrls.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "ImgList.h"
#include "Menus.h"
#include "QtText.h"
#include "WidgetHelpers.h"

namespace vcl {

namespace {

// Lets a function see (and refuse) the mouse presses of a widget.
class PressGuard : public QObject {
public:
    PressGuard(QObject* parent, std::function<bool(QMouseEvent*)> allow) : QObject(parent), allow_(std::move(allow)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress)
            return GuardedOr(true, [&] { return !allow_(static_cast<QMouseEvent*>(e)); });
        return false;
    }

private:
    std::function<bool(QMouseEvent*)> allow_;
};

// With HideSelection the selection is not shown while the view has no focus.
void ApplyHideSelection(QWidget* view, bool hide) {
    QPalette p = view->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               hide ? p.color(QPalette::Active, QPalette::Base) : p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               hide ? p.color(QPalette::Active, QPalette::Text) : p.color(QPalette::Active, QPalette::HighlightedText));
    view->setPalette(p);
}

Qt::Alignment AlignmentOf(TAlignment a) {
    switch (a) {
    case TAlignment::taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case TAlignment::taCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

// ---- TPageControl ----

const TClassInfo& TPageControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TPageControl>("TPageControl", TWinControl::StaticClass());
        TPropBuilder<TPageControl>(c)
            .Obj<TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
            .Int("ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex)
            .Int("PageCount", &TPageControl::PageCount, nullptr)
            .Obj<TImageList>("Images", &TPageControl::Images, &TPageControl::SetImages)
            .Event("OnChange")
            .Event("OnChanging");
        return c;
    }();
    return info;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner), tabs_(new QTabWidget) {
    SetWidget(tabs_);
    tabs_->resize(289, 193);
    SetTabStop(true);
    // A click on another tab asks OnChanging first; a refusal keeps the page.
    tabs_->tabBar()->installEventFilter(new PressGuard(tabs_, [this](QMouseEvent* e) {
        int index = tabs_->tabBar()->tabAt(e->position().toPoint());
        if (index < 0 || index == tabs_->currentIndex() || e->button() != Qt::LeftButton) return true;
        bool allow = true;
        OnChanging(this, allow);
        return allow;
    }));
    QObject::connect(tabs_, &QTabWidget::currentChanged, [this](int) {
        Guarded([this] {
            TTabSheet* now = ActivePage();
            for (TTabSheet* page : pages_)
                if (page != now) page->OnHide(page);
            if (now) now->OnShow(now);
            if (!switching_) OnChange(this);
        });
    });
}

TPageControl::~TPageControl() { DestroyControls(); }

QWidget* TPageControl::ClientWidget() const { return tabs_; }

int TPageControl::TabIndexOf(const TTabSheet* page) const { return tabs_->indexOf(page->Widget()); }

void TPageControl::InsertPage(TTabSheet* page) {
    if (std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
    switching_ = true;
    pages_.push_back(page);
    tabs_->addTab(page->Widget(), Q(page->Caption()));
    UpdateTab(page);
    switching_ = false;
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    switching_ = true;
    pages_.erase(it);
    int index = TabIndexOf(page);
    if (index >= 0) tabs_->removeTab(index);
    switching_ = false;
}

void TPageControl::UpdateTab(TTabSheet* page) {
    int index = TabIndexOf(page);
    if (index < 0) return;
    bool wasSwitching = switching_;
    switching_ = true;
    tabs_->setTabText(index, Q(page->Caption()));
    tabs_->setTabVisible(index, page->tabVisible_);
    tabs_->setTabIcon(index, images_ && page->imageIndex_ >= 0 ? images_->Icon(page->imageIndex_) : QIcon());
    switching_ = wasSwitching;
}

TTabSheet* TPageControl::ActivePage() const {
    QWidget* current = tabs_->currentWidget();
    for (TTabSheet* page : pages_)
        if (page->Widget() == current) return page;
    return nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) return;
    switching_ = true;
    if (page) tabs_->setCurrentWidget(page->Widget());
    switching_ = false;
}

int TPageControl::ActivePageIndex() const {
    TTabSheet* page = ActivePage();
    return page ? page->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
    if (index >= 0 && index < PageCount()) SetActivePage(Pages(index));
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool forward) const {
    int count = PageCount();
    if (count == 0) return nullptr;
    auto it = std::find(pages_.begin(), pages_.end(), current);
    int start = it == pages_.end() ? (forward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
    int i = start;
    do {
        i = forward ? (i + 1) % count : (i + count - 1) % count;
        if (pages_[static_cast<size_t>(i)]->TabVisible()) return pages_[static_cast<size_t>(i)];
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool forward) {
    TTabSheet* next = FindNextPage(ActivePage(), forward);
    if (!next || next == ActivePage()) return;
    bool allow = true;
    OnChanging(this, allow);
    if (!allow) return;
    SetActivePage(next);
    OnChange(this);
}

void TPageControl::SetImages(TImageList* images) {
    images_ = images;
    for (TTabSheet* page : pages_) UpdateTab(page);
}

// ---- TTabSheet ----

const TClassInfo& TTabSheet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TTabSheet>("TTabSheet", TWinControl::StaticClass());
        TPropBuilder<TTabSheet>(c)
            .Obj<TPageControl>("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl)
            .Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex)
            .Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible)
            .Int("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex)
            .Event("OnShow")
            .Event("OnHide");
        return c;
    }();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetWidget(new QWidget);
    Widget()->setFocusPolicy(Qt::NoFocus);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
    pageControl_ = nullptr;
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (auto* pc = dynamic_cast<TPageControl*>(parent)) return SetPageControl(pc);
    if (pageControl_) {
        pageControl_->RemovePage(this);
        pageControl_ = nullptr;
    }
    TWinControl::SetParent(parent);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
    if (pageControl == pageControl_) return;
    if (pageControl_) pageControl_->RemovePage(this);
    pageControl_ = pageControl;
    TWinControl::SetParent(pageControl);
}

void TTabSheet::AttachWidget(TWinControl* parent) {
    if (auto* pc = dynamic_cast<TPageControl*>(parent)) return pc->InsertPage(this);
    TWinControl::AttachWidget(parent);
    if (Widget()) Widget()->setVisible(parent != nullptr && TControl::Visible());
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& pages = pageControl_->pages_;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (!pageControl_) return;
    auto& pages = pageControl_->pages_;
    index = std::clamp(index, 0, static_cast<int>(pages.size()) - 1);
    int from = PageIndex();
    if (from == index) return;
    pages.erase(pages.begin() + from);
    pages.insert(pages.begin() + index, this);
    pageControl_->switching_ = true;
    pageControl_->tabs_->tabBar()->moveTab(from, index);
    pageControl_->switching_ = false;
}

void TTabSheet::SetTabVisible(bool visible) {
    tabVisible_ = visible;
    if (pageControl_) pageControl_->UpdateTab(this);
}

void TTabSheet::SetImageIndex(int index) {
    imageIndex_ = index;
    if (pageControl_) pageControl_->UpdateTab(this);
}

bool TTabSheet::Visible() const {
    if (pageControl_) return tabVisible_ && pageControl_->ActivePage() == this;
    return TWinControl::Visible();
}

void TTabSheet::SetVisible(bool visible) {
    if (pageControl_) {
        if (visible) pageControl_->SetActivePage(this);
        return;
    }
    TWinControl::SetVisible(visible);
}

void TTabSheet::CaptionChanged() {
    if (pageControl_) pageControl_->UpdateTab(this);
}

// ---- TTreeNode ----

const TClassInfo& TTreeNode::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TTreeNode", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TTreeNode>(c)
            .Str("Text", &TTreeNode::Text, &TTreeNode::SetText)
            .Int("ImageIndex", &TTreeNode::ImageIndex, &TTreeNode::SetImageIndex)
            .Int("SelectedIndex", &TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex)
            .Int("StateIndex", &TTreeNode::StateIndex, &TTreeNode::SetStateIndex)
            .Bool("Expanded", &TTreeNode::Expanded, &TTreeNode::SetExpanded);
        return c;
    }();
    return info;
}

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent, QTreeWidgetItem* item)
    : owner_(owner), parent_(parent), item_(item) {}

TTreeNode::~TTreeNode() {
    for (TTreeNode* child : children_) delete child;
    children_.clear();
    delete item_;
}

std::string TTreeNode::Text() const { return item_->text(0).toStdString(); }
void TTreeNode::SetText(const std::string& text) { item_->setText(0, Q(text)); }

void TTreeNode::SetImageIndex(int index) {
    imageIndex_ = index;
    UpdateIcon();
}

void TTreeNode::SetSelectedIndex(int index) {
    selectedIndex_ = index;
    UpdateIcon();
}

// Without an image list the indexes are only numbers the program keeps.
void TTreeNode::UpdateIcon() {
    TImageList* images = owner_->view_->Images();
    if (!images) return item_->setIcon(0, QIcon());
    QIcon icon;
    if (imageIndex_ >= 0 && imageIndex_ < images->Count()) icon.addPixmap(images->Pixmap(imageIndex_), QIcon::Normal);
    if (selectedIndex_ >= 0 && selectedIndex_ < images->Count())
        icon.addPixmap(images->Pixmap(selectedIndex_), QIcon::Selected);
    item_->setIcon(0, icon);
}

std::vector<TTreeNode*>& TTreeNode::Siblings() const { return parent_ ? parent_->children_ : owner_->top_; }

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

int TTreeNode::Index() const {
    auto& s = Siblings();
    return static_cast<int>(std::find(s.begin(), s.end(), this) - s.begin());
}

int TTreeNode::AbsoluteIndex() const {
    int index = 0;
    for (TTreeNode* n = owner_->GetFirstNode(); n; n = n->GetNext(), ++index)
        if (n == this) return index;
    return -1;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    auto& s = Siblings();
    size_t i = static_cast<size_t>(Index());
    return i + 1 < s.size() ? s[i + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    int i = Index();
    return i > 0 ? Siblings()[static_cast<size_t>(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

bool TTreeNode::Expanded() const { return item_->isExpanded(); }
void TTreeNode::SetExpanded(bool expanded) { item_->setExpanded(expanded); }

void TTreeNode::Expand(bool recursive) {
    item_->setExpanded(true);
    if (recursive)
        for (TTreeNode* c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recursive) {
    item_->setExpanded(false);
    if (recursive)
        for (TTreeNode* c : children_) c->Collapse(true);
}

bool TTreeNode::Selected() const { return owner_->view_->Selected() == this; }

void TTreeNode::SetSelected(bool selected) {
    if (selected) owner_->view_->SetSelected(this);
    else if (Selected()) owner_->view_->SetSelected(nullptr);
}

void TTreeNode::MakeVisible() { owner_->view_->tree_->scrollToItem(item_); }

TTreeView* TTreeNode::TreeView() const { return owner_->view_; }

void TTreeNode::Delete() {
    TTreeView* view = owner_->view_;
    TTreeNode* before = view->Selected();
    bool wasSelected = before == this;
    for (TTreeNode* p = before; p && !wasSelected; p = p->parent_) wasSelected = p == this;
    auto& s = Siblings();
    s.erase(std::find(s.begin(), s.end(), this));
    view->selecting_ = true;
    delete this;
    view->selecting_ = false;
    if (wasSelected) view->OnChange(view, view->Selected());
}

void TTreeNode::DeleteChildren() {
    while (!children_.empty()) children_.back()->Delete();
}

// ---- TTreeNodes ----

const TClassInfo& TTreeNodes::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TTreeNodes", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TTreeNodes>(c).Int("Count", &TTreeNodes::Count, nullptr);
        return c;
    }();
    return info;
}

TTreeNodes::TTreeNodes(TTreeView* view) : view_(view) {}

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* n : top_) delete n;
}

int TTreeNodes::Count() const {
    int count = 0;
    for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) ++count;
    return count;
}

TTreeNode* TTreeNodes::Item(int absoluteIndex) const {
    int i = 0;
    for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext(), ++i)
        if (i == absoluteIndex) return n;
    throw plat::Exception("Tree node index out of bounds (" + std::to_string(absoluteIndex) + ")");
}

TTreeNode* TTreeNodes::NodeOf(const QTreeWidgetItem* item) const {
    return item ? static_cast<TTreeNode*>(item->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

TTreeNode* TTreeNodes::Create(TTreeNode* parent, int position, const std::string& text) {
    auto* item = new QTreeWidgetItem(QStringList{Q(text)});
    auto* node = new TTreeNode(this, parent, item);
    item->setData(0, Qt::UserRole, QVariant::fromValue<void*>(node));
    Qt::ItemFlags flags = item->flags();
    item->setFlags(view_->readOnly_ ? flags & ~Qt::ItemIsEditable : flags | Qt::ItemIsEditable);
    std::vector<TTreeNode*>& siblings = parent ? parent->children_ : top_;
    position = std::clamp(position, 0, static_cast<int>(siblings.size()));
    if (parent) parent->item_->insertChild(position, item);
    else view_->tree_->insertTopLevelItem(position, item);
    siblings.insert(siblings.begin() + position, node);
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
    TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    return Create(parent, parent ? parent->Count() : static_cast<int>(top_.size()), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
    return Create(sibling ? sibling->parent_ : nullptr, 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    return Create(parent, parent ? parent->Count() : static_cast<int>(top_.size()), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) { return Create(parent, 0, text); }

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
    TTreeNode* node = AddChild(parent, text);
    node->SetData(data);
    return node;
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
    if (!sibling) return Add(nullptr, text);
    return Create(sibling->parent_, sibling->Index(), text);
}

void TTreeNodes::Clear() {
    view_->selecting_ = true;
    view_->tree_->setCurrentItem(nullptr);
    for (TTreeNode* n : top_) delete n;
    top_.clear();
    view_->selecting_ = false;
}

void TTreeNodes::BeginUpdate() {
    if (updating_++ == 0) view_->tree_->setUpdatesEnabled(false);
}

void TTreeNodes::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0) view_->tree_->setUpdatesEnabled(true);
}

// ---- TTreeView ----

const TClassInfo& TTreeView::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TTreeView>("TTreeView", TWinControl::StaticClass());
        TPropBuilder<TTreeView>(c)
            .Obj<TTreeNodes>("Items", &TTreeView::Items)
            .Bool("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly)
            .Bool("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection)
            .Int("Indent", &TTreeView::Indent, &TTreeView::SetIndent)
            .Bool("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines)
            .Bool("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot)
            .Bool("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons)
            .Bool("RowSelect", &TTreeView::RowSelect, &TTreeView::SetRowSelect)
            .Bool("AutoExpand", &TTreeView::AutoExpand, &TTreeView::SetAutoExpand)
            .Enum<TDragMode>("DragMode", &TTreeView::DragMode, &TTreeView::SetDragMode, {"dmManual", "dmAutomatic"})
            .Obj<TImageList>("Images", &TTreeView::Images, &TTreeView::SetImages)
            .Event("OnChange")
            .Event("OnChanging")
            .Event("OnExpanded")
            .Event("OnCollapsed");
        return c;
    }();
    return info;
}

TTreeView::TTreeView(TComponent* owner)
    : TWinControl(owner), tree_(new QTreeWidget), items_(std::make_unique<TTreeNodes>(this)) {
    SetWidget(tree_);
    WatchMouse(tree_->viewport());
    tree_->resize(121, 97);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    // Every node is one line of text in one font: rows have one height, so
    // laying out the tree need not measure the text of every node.
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::SelectedClicked);
    SetTabStop(true);
    SetColor(clWindow);
    SetHideSelection(true);
    QObject::connect(tree_, &QTreeWidget::currentItemChanged, [this](QTreeWidgetItem* now, QTreeWidgetItem* before) {
        if (selecting_) return;
        Guarded([&] {
            TTreeNode* node = items_->NodeOf(now);
            bool allow = true;
            OnChanging(this, node, allow);
            if (!allow) {
                selecting_ = true;
                tree_->setCurrentItem(before);
                selecting_ = false;
                return;
            }
            OnChange(this, node);
        });
    });
    QObject::connect(tree_, &QTreeWidget::itemExpanded,
                     [this](QTreeWidgetItem* i) { Guarded([&] { OnExpanded(this, items_->NodeOf(i)); }); });
    QObject::connect(tree_, &QTreeWidget::itemCollapsed,
                     [this](QTreeWidgetItem* i) { Guarded([&] { OnCollapsed(this, items_->NodeOf(i)); }); });
}

TTreeView::~TTreeView() {
    selecting_ = true;
    items_.reset();
}

TTreeNode* TTreeView::Selected() const { return items_->NodeOf(tree_->currentItem()); }

void TTreeView::SetSelected(TTreeNode* node) { tree_->setCurrentItem(node ? node->item_ : nullptr); }

TTreeNode* TTreeView::TopItem() const {
    tree_->doItemsLayout();
    return items_->NodeOf(tree_->itemAt(QPoint(tree_->indentation() * 4, 1)));
}

void TTreeView::SetTopItem(TTreeNode* node) {
    if (node) tree_->scrollToItem(node->item_, QAbstractItemView::PositionAtTop);
}

void TTreeView::FullExpand() { tree_->expandAll(); }
void TTreeView::FullCollapse() { tree_->collapseAll(); }

TTreeNode* TTreeView::GetNodeAt(int x, int y) const {
    QPoint at = tree_->viewport()->mapFrom(tree_, QPoint(x, y));
    return items_->NodeOf(tree_->itemAt(at));
}

void TTreeView::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) {
        Qt::ItemFlags f = n->item_->flags();
        n->item_->setFlags(readOnly ? f & ~Qt::ItemIsEditable : f | Qt::ItemIsEditable);
    }
}

void TTreeView::SetHideSelection(bool hide) {
    hideSelection_ = hide;
    ApplyHideSelection(tree_, hide);
}

int TTreeView::Indent() const { return tree_->indentation(); }
void TTreeView::SetIndent(int indent) { tree_->setIndentation(indent); }
bool TTreeView::ShowRoot() const { return tree_->rootIsDecorated(); }
void TTreeView::SetShowRoot(bool show) { tree_->setRootIsDecorated(show); }

void TTreeView::SetShowButtons(bool show) {
    showButtons_ = show;
    tree_->setItemsExpandable(true);
    tree_->setRootIsDecorated(show && tree_->rootIsDecorated());
}

void TTreeView::SetDragMode(TDragMode mode) {
    dragMode_ = mode;
    tree_->setDragEnabled(mode == TDragMode::dmAutomatic);
}

void TTreeView::SetImages(TImageList* images) {
    images_ = images;
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->UpdateIcon();
}

// ---- list view: columns ----

const TClassInfo& TListColumn::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TListColumn", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TListColumn>(c)
            .Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
            .Int("Width", &TListColumn::Width, &TListColumn::SetWidth)
            .Enum<TAlignment>("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, AlignmentNames())
            .Bool("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize)
            .Int("Index", &TListColumn::Index, nullptr);
        return c;
    }();
    return info;
}

void TListColumn::SetCaption(const std::string& caption) {
    caption_ = caption;
    view_->UpdateColumns();
}

int TListColumn::Width() const {
    int i = Index();
    if (view_->viewStyle_ == TViewStyle::vsReport && i < view_->tree_->columnCount()) return view_->tree_->columnWidth(i);
    return width_;
}

void TListColumn::SetWidth(int width) {
    width_ = width;
    int i = Index();
    if (i < view_->tree_->columnCount()) view_->tree_->setColumnWidth(i, width);
}

void TListColumn::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    view_->UpdateColumns();
}

int TListColumn::Index() const {
    auto& c = view_->columns_->columns_;
    return static_cast<int>(std::find(c.begin(), c.end(), this) - c.begin());
}

const TClassInfo& TListColumns::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TListColumns", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TListColumns>(c).Int("Count", &TListColumns::Count, nullptr);
        return c;
    }();
    return info;
}

TListColumns::~TListColumns() {
    for (TListColumn* c : columns_) delete c;
}

TListColumn* TListColumns::Add() {
    auto* column = new TListColumn(view_);
    columns_.push_back(column);
    view_->UpdateColumns();
    column->SetWidth(column->width_);
    return column;
}

void TListColumns::Delete(int index) {
    TListColumn* column = Items(index);
    columns_.erase(columns_.begin() + index);
    delete column;
    view_->UpdateColumns();
}

void TListColumns::Clear() {
    for (TListColumn* c : columns_) delete c;
    columns_.clear();
    view_->UpdateColumns();
}

// ---- list view: items ----

const TClassInfo& TListItem::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TListItem", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TListItem>(c)
            .Str("Caption", &TListItem::Caption, &TListItem::SetCaption)
            .Obj<TStrings>("SubItems", &TListItem::SubItems)
            .Int("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex)
            .Bool("Selected", &TListItem::Selected, &TListItem::SetSelected)
            .Bool("Checked", &TListItem::Checked, &TListItem::SetChecked)
            .Int("Index", &TListItem::Index, nullptr);
        return c;
    }();
    return info;
}

TListItem::TListItem(TListView* view, QTreeWidgetItem* item)
    : view_(view), item_(item), subItems_(std::make_unique<TStrings>()) {
    item_->setData(0, Qt::UserRole, QVariant::fromValue<void*>(this));
    subItems_->Changed = [this] {
        Show();
        view_->OnChange(view_, this, TItemChange::ctText);
    };
    Show();
}

TListItem::~TListItem() { delete item_; }

void TListItem::Show() {
    item_->setText(0, Q(caption_));
    for (int i = 0; i < subItems_->Count(); ++i) item_->setText(i + 1, Q((*subItems_)[i]));
    for (int i = subItems_->Count() + 1; i < item_->columnCount(); ++i) item_->setText(i, QString());
    for (int i = 0; i < view_->columns_->Count(); ++i)
        item_->setTextAlignment(i, AlignmentOf(view_->columns_->Items(i)->Alignment()));
    if (view_->checkboxes_) item_->setCheckState(0, item_->checkState(0));
    else item_->setData(0, Qt::CheckStateRole, QVariant());
    TImageList* images = view_->smallImages_;
    item_->setIcon(0, images && imageIndex_ >= 0 ? images->Icon(imageIndex_) : QIcon());
}

void TListItem::SetCaption(const std::string& caption) {
    bool allow = true;
    view_->OnChanging(view_, this, TItemChange::ctText, allow);
    if (!allow) return;
    caption_ = caption;
    Show();
    view_->OnChange(view_, this, TItemChange::ctText);
    if (view_->SortsByText()) view_->PlaceByText(this);
}

void TListItem::SetImageIndex(int index) {
    bool allow = true;
    view_->OnChanging(view_, this, TItemChange::ctImage, allow);
    if (!allow) return;
    imageIndex_ = index;
    Show();
}

bool TListItem::Selected() const { return item_->isSelected(); }
void TListItem::SetSelected(bool selected) { item_->setSelected(selected); }
bool TListItem::Checked() const { return item_->checkState(0) == Qt::Checked; }
void TListItem::SetChecked(bool checked) { item_->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked); }
bool TListItem::Focused() const { return view_->tree_->currentItem() == item_; }

void TListItem::SetFocused(bool focused) {
    if (focused) view_->tree_->setCurrentItem(item_, 0, QItemSelectionModel::NoUpdate);
}

int TListItem::Index() const { return view_->items_->IndexOf(this); }

void TListItem::Delete() { view_->items_->Delete(Index()); }

const TClassInfo& TListItems::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TListItems", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TListItems>(c).Int("Count", &TListItems::Count, nullptr);
        return c;
    }();
    return info;
}

TListItems::~TListItems() {
    for (TListItem* i : items_) delete i;
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
    index = std::clamp(index, 0, Count());
    auto* qi = new QTreeWidgetItem;
    view_->tree_->insertTopLevelItem(index, qi);
    auto* item = new TListItem(view_, qi);
    items_.insert(items_.begin() + index, item);
    if (view_->SortsByText() && view_->textOrdered_) {
        const bool afterPrevious = index == 0 || view_->CompareText(items_[static_cast<size_t>(index) - 1], item) <= 0;
        const bool beforeNext = index + 1 >= Count() || view_->CompareText(item, items_[static_cast<size_t>(index) + 1]) <= 0;
        if (!afterPrevious || !beforeNext) view_->unplaced_.insert(item);
    }
    view_->lastSelection_.insert(view_->lastSelection_.begin() + std::min<size_t>(index, view_->lastSelection_.size()),
                                 false);
    return item;
}

void TListItems::Delete(int index) {
    TListItem* item = Item(index);
    view_->unplaced_.erase(item);
    items_.erase(items_.begin() + index);
    if (static_cast<size_t>(index) < view_->lastSelection_.size())
        view_->lastSelection_.erase(view_->lastSelection_.begin() + index);
    delete item;
}

void TListItems::Clear() {
    std::vector<TListItem*> items;
    items.swap(items_);
    view_->lastSelection_.clear();
    view_->unplaced_.clear();
    for (TListItem* i : items) delete i;
}

void TListItems::BeginUpdate() {
    if (updating_++ == 0) view_->tree_->setUpdatesEnabled(false);
}

void TListItems::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0) view_->tree_->setUpdatesEnabled(true);
}

int TListItems::IndexOf(const TListItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

// ---- TListView ----

const TClassInfo& TListView::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TListView>("TListView", TWinControl::StaticClass());
        TPropBuilder<TListView>(c)
            .Obj<TListColumns>("Columns", &TListView::Columns)
            .Obj<TListItems>("Items", &TListView::Items)
            .Enum<TViewStyle>("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle,
                              {"vsIcon", "vsSmallIcon", "vsList", "vsReport"})
            .Bool("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect)
            .Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect)
            .Bool("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly)
            .Bool("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders)
            .Bool("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection)
            .Bool("Checkboxes", &TListView::Checkboxes, &TListView::SetCheckboxes)
            .Bool("GridLines", &TListView::GridLines, &TListView::SetGridLines)
            .Enum<TSortType>("SortType", &TListView::SortType, &TListView::SetSortType,
                             {"stNone", "stData", "stText", "stBoth"})
            .Obj<TImageList>("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages)
            .Int("ItemIndex", &TListView::ItemIndex, &TListView::SetItemIndex)
            .Int("SelCount", &TListView::SelCount, nullptr)
            .Event("OnColumnClick")
            .Event("OnSelectItem")
            .Event("OnChange")
            .Event("OnChanging");
        return c;
    }();
    return info;
}

TListView::TListView(TComponent* owner)
    : TWinControl(owner), tree_(new QTreeWidget), columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
    SetWidget(tree_);
    WatchMouse(tree_->viewport());
    tree_->resize(250, 150);
    tree_->setRootIsDecorated(false);
    tree_->setItemsExpandable(false);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->header()->setSectionsClickable(true);
    tree_->header()->setStretchLastSection(false);
    SetTabStop(true);
    SetColor(clWindow);
    SetHideSelection(true);
    UpdateColumns();
    QObject::connect(tree_->header(), &QHeaderView::sectionClicked, [this](int section) {
        if (section >= 0 && section < columns_->Count())
            Guarded([&] { OnColumnClick(this, columns_->Items(section)); });
    });
    // Every item whose selection changed is reported once, in list order.
    QObject::connect(tree_, &QTreeWidget::itemSelectionChanged, [this] {
        lastSelection_.resize(items_->items_.size(), false);
        std::vector<std::pair<TListItem*, bool>> changed;
        for (size_t i = 0; i < items_->items_.size(); ++i) {
            bool now = items_->items_[i]->Selected();
            if (now != lastSelection_[i]) changed.emplace_back(items_->items_[i], now);
            lastSelection_[i] = now;
        }
        Guarded([&] {
            for (auto& [item, selected] : changed) OnSelectItem(this, item, selected);
        });
    });
}

TListView::~TListView() {
    tree_->blockSignals(true);
    items_.reset();
}

TListItem* TListView::ItemOf(const QTreeWidgetItem* item) const {
    return item ? static_cast<TListItem*>(item->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

void TListView::UpdateColumns() {
    bool report = viewStyle_ == TViewStyle::vsReport;
    int count = report ? std::max(1, columns_->Count()) : 1;
    tree_->setColumnCount(count);
    QStringList labels;
    for (int i = 0; i < count; ++i) labels << (i < columns_->Count() ? Q(columns_->Items(i)->Caption()) : QString());
    tree_->setHeaderLabels(labels);
    tree_->setHeaderHidden(!report || !showColumnHeaders_);
    for (int i = 0; i < columns_->Count() && i < count; ++i) {
        TListColumn* c = columns_->Items(i);
        if (tree_->headerItem()) tree_->headerItem()->setTextAlignment(i, AlignmentOf(c->Alignment()));
        tree_->setColumnWidth(i, c->width_);
    }
    for (TListItem* item : items_->items_) item->Show();
}

void TListView::SetViewStyle(TViewStyle style) {
    viewStyle_ = style;
    UpdateColumns();
}

void TListView::SetMultiSelect(bool multi) {
    multiSelect_ = multi;
    tree_->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TListView::SetRowSelect(bool rowSelect) {
    rowSelect_ = rowSelect;
    tree_->setAllColumnsShowFocus(rowSelect);
}

void TListView::SetShowColumnHeaders(bool show) {
    showColumnHeaders_ = show;
    UpdateColumns();
}

void TListView::SetHideSelection(bool hide) {
    hideSelection_ = hide;
    ApplyHideSelection(tree_, hide);
}

void TListView::SetCheckboxes(bool checkboxes) {
    checkboxes_ = checkboxes;
    for (TListItem* item : items_->items_) {
        if (checkboxes) item->item_->setCheckState(0, Qt::Unchecked);
        item->Show();
    }
}

void TListView::SetSortType(TSortType type) {
    sortType_ = type;
    if (type == TSortType::stText || type == TSortType::stBoth) AlphaSort();
}

void TListView::SetSmallImages(TImageList* images) {
    smallImages_ = images;
    for (TListItem* item : items_->items_) item->Show();
}

TListItem* TListView::Selected() const {
    for (TListItem* item : items_->items_)
        if (item->Selected()) return item;
    return nullptr;
}

void TListView::SetSelected(TListItem* item) {
    tree_->clearSelection();
    if (item) {
        item->SetSelected(true);
        tree_->setCurrentItem(item->item_, 0, QItemSelectionModel::NoUpdate);
    }
}

int TListView::SelCount() const {
    int n = 0;
    for (TListItem* item : items_->items_) n += item->Selected() ? 1 : 0;
    return n;
}

int TListView::ItemIndex() const {
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TListView::SetItemIndex(int index) {
    SetSelected(index >= 0 && index < items_->Count() ? items_->Item(index) : nullptr);
}

TListItem* TListView::ItemFocused() const { return ItemOf(tree_->currentItem()); }

void TListView::CustomSort(const std::function<int(TListItem*, TListItem*)>& compare) {
    std::stable_sort(items_->items_.begin(), items_->items_.end(),
                     [&compare](TListItem* a, TListItem* b) { return compare(a, b) < 0; });
    ReorderWidget();
    textOrdered_ = false;
    unplaced_.clear();
}

void TListView::AlphaSort() {
    CustomSort([this](TListItem* a, TListItem* b) { return CompareText(a, b); });
    textOrdered_ = true;
}

int TListView::CompareText(const TListItem* a, const TListItem* b) const {
    if (textCompare_) return textCompare_(a, b);
    return QString::fromStdString(a->Caption()).compare(QString::fromStdString(b->Caption()), Qt::CaseInsensitive);
}

void TListView::SetTextCompare(TLVCompare compare) {
    textCompare_ = std::move(compare);
    textOrdered_ = false;
    if (SortsByText()) AlphaSort();
}

// The other items keep their order, so a binary search finds the place: a
// changed caption costs a search and one move instead of a sort of the whole
// list. The item goes after the items that compare equal to it, as a stable
// sort puts an item added last. A list not (yet) in text order is sorted.
void TListView::PlaceByText(TListItem* item) {
    unplaced_.erase(item);
    if (!textOrdered_ || !unplaced_.empty()) return AlphaSort();
    std::vector<TListItem*>& items = items_->items_;
    auto at = std::find(items.begin(), items.end(), item);
    if (at == items.end()) return;
    const size_t from = static_cast<size_t>(at - items.begin());
    items.erase(at);
    auto place = std::upper_bound(items.begin(), items.end(), item,
                                  [this](const TListItem* a, const TListItem* b) { return CompareText(a, b) < 0; });
    const size_t to = static_cast<size_t>(place - items.begin());
    items.insert(place, item);
    if (from == to) return;
    // Moving a Qt item loses its selection; it is put back without signals.
    const bool selected = item->Selected();
    const bool current = tree_->currentItem() == item->item_;
    tree_->blockSignals(true);
    tree_->takeTopLevelItem(static_cast<int>(from));
    tree_->insertTopLevelItem(static_cast<int>(to), item->item_);
    item->item_->setSelected(selected);
    if (current) tree_->setCurrentItem(item->item_, 0, QItemSelectionModel::NoUpdate);
    tree_->blockSignals(false);
    if (from < lastSelection_.size() && to < lastSelection_.size()) {
        const bool was = lastSelection_[from];
        lastSelection_.erase(lastSelection_.begin() + static_cast<long>(from));
        lastSelection_.insert(lastSelection_.begin() + static_cast<long>(to), was);
    }
}

// Puts the Qt items in the order of the list, keeping selection and focus.
void TListView::ReorderWidget() {
    QTreeWidgetItem* current = tree_->currentItem();
    std::vector<bool> selected;
    for (TListItem* item : items_->items_) selected.push_back(item->Selected());
    tree_->blockSignals(true);
    while (tree_->topLevelItemCount() > 0) tree_->takeTopLevelItem(tree_->topLevelItemCount() - 1);
    for (TListItem* item : items_->items_) tree_->addTopLevelItem(item->item_);
    for (size_t i = 0; i < items_->items_.size(); ++i) items_->items_[i]->item_->setSelected(selected[i]);
    if (current) tree_->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    tree_->blockSignals(false);
    lastSelection_ = selected;
}

int TListView::StringWidth(const std::string& text) const {
    return QFontMetrics(tree_->font()).horizontalAdvance(Q(text));
}

// ---- status bar ----

const TClassInfo& TStatusPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TStatusPanel", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TStatusPanel>(c)
            .Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
            .Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth)
            .Enum<TAlignment>("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, AlignmentNames());
        return c;
    }();
    return info;
}

void TStatusPanel::SetText(const std::string& text) {
    text_ = text;
    label_->setText(Q(text));
}

void TStatusPanel::SetWidth(int width) {
    width_ = std::max(0, width);
    bar_->Arrange();
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    label_->setAlignment(AlignmentOf(alignment));
}

int TStatusPanel::Index() const {
    auto& p = bar_->panels_->panels_;
    return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

const TClassInfo& TStatusPanels::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TStatusPanels", &TPersistent::StaticClass(), {}, nullptr};
        TPropBuilder<TStatusPanels>(c).Int("Count", &TStatusPanels::Count, nullptr);
        return c;
    }();
    return info;
}

TStatusPanels::~TStatusPanels() {
    for (TStatusPanel* p : panels_) delete p;
}

TStatusPanel* TStatusPanels::Add() {
    auto* label = new QLabel(bar_->bar_);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(AlignmentOf(TAlignment::taLeftJustify));
    // The text starts right at the bevel, so that a panel's designed width
    // holds the words designed for it.
    label->setIndent(0);
    auto* panel = new TStatusPanel(bar_, label);
    panels_.push_back(panel);
    bar_->Arrange();
    return panel;
}

void TStatusPanels::Delete(int index) {
    TStatusPanel* p = Items(index);
    panels_.erase(panels_.begin() + index);
    delete p->label_;
    delete p;
    bar_->Arrange();
}

void TStatusPanels::Clear() {
    while (!panels_.empty()) Delete(Count() - 1);
}

const TClassInfo& TStatusBar::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TStatusBar>("TStatusBar", TWinControl::StaticClass());
        TPropBuilder<TStatusBar>(c)
            .Obj<TStatusPanels>("Panels", &TStatusBar::Panels)
            .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
            .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
        return c;
    }();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), bar_(new CallbackWidget), simpleLabel_(new QLabel(bar_)),
      panels_(std::make_unique<TStatusPanels>(this)) {
    SetWidget(bar_);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->resize(200, 19);
    simpleLabel_->setTextFormat(Qt::PlainText);
    simpleLabel_->setIndent(2);
    bar_->Resized = [this] { Arrange(); };
    SetColor(clBtnFace);
    SetAlign(TAlign::alBottom);
    Arrange();
}

TStatusBar::~TStatusBar() { panels_.reset(); }

void TStatusBar::Arrange() {
    int h = bar_->height();
    simpleLabel_->setVisible(simplePanel_);
    simpleLabel_->setGeometry(0, 2, bar_->width(), std::max(0, h - 2));
    int x = 0;
    int count = panels_->Count();
    for (int i = 0; i < count; ++i) {
        TStatusPanel* p = panels_->Items(i);
        int w = i == count - 1 ? std::max(p->width_, bar_->width() - x) : p->width_;
        p->label_->setGeometry(x, 2, std::max(0, w), std::max(0, h - 2));
        p->label_->setVisible(!simplePanel_);
        x += w;
    }
}

void TStatusBar::SetSimplePanel(bool simple) {
    simplePanel_ = simple;
    Arrange();
}

void TStatusBar::SetSimpleText(const std::string& text) {
    simpleText_ = text;
    simpleLabel_->setText(Q(text));
}

// ---- tool bar ----

const TClassInfo& TToolButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TToolButton>("TToolButton", TGraphicControl::StaticClass());
        TPropBuilder<TToolButton>(c)
            .Enum<TToolButtonStyle>("Style", &TToolButton::Style, &TToolButton::SetStyle,
                                    {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"})
            .Int("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex)
            .Bool("Down", &TToolButton::Down, &TToolButton::SetDown)
            .Bool("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped)
            .Obj<TPopupMenu>("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu)
            .Obj<TMenuItem>("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem);
        return c;
    }();
    return info;
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner), button_(new QToolButton) {
    SetWidget(button_);
    button_->resize(23, 22);
    QObject::connect(button_, &QToolButton::clicked, [this] { Guarded([this] { Click(); }); });
}

TToolBar* TToolButton::Bar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    UpdateLook();
}

void TToolButton::UpdateLook() {
    TToolBar* bar = Bar();
    bool separator = IsSeparator();
    button_->setEnabled(!separator && Enabled());
    button_->setAutoRaise(separator || (bar && bar->Flat()));
    button_->setCheckable(style_ == TToolButtonStyle::tbsCheck);
    button_->setChecked(down_);
    button_->setPopupMode(style_ == TToolButtonStyle::tbsDropDown ? QToolButton::MenuButtonPopup
                                                                  : QToolButton::DelayedPopup);
    TImageList* images = bar ? bar->Images() : nullptr;
    QIcon icon = !separator && images && imageIndex_ >= 0 ? images->Icon(imageIndex_) : QIcon();
    button_->setIcon(icon);
    if (images) button_->setIconSize(QSize(images->Width(), images->Height()));
    bool captions = bar ? bar->ShowCaptions() : true;
    button_->setText(separator ? QString() : Q(Caption()));
    button_->setToolButtonStyle(icon.isNull()  ? Qt::ToolButtonTextOnly
                                : captions     ? Qt::ToolButtonTextUnderIcon
                                               : Qt::ToolButtonIconOnly);
}

void TToolButton::CaptionChanged() { UpdateLook(); }

void TToolButton::SetStyle(TToolButtonStyle style) {
    bool wasSeparator = IsSeparator();
    style_ = style;
    if (IsSeparator() && !wasSeparator) SetWidth(8);
    UpdateLook();
    RequestAlign();
}

void TToolButton::SetImageIndex(int index) {
    imageIndex_ = index;
    UpdateLook();
}

// A grouped check button that goes down raises the others of its group:
// the adjacent grouped check buttons.
void TToolButton::SetDown(bool down) {
    down_ = down;
    button_->setChecked(down);
    if (!down || !grouped_ || !Parent()) return;
    const auto& list = Parent()->ControlList();
    auto self = std::find(list.begin(), list.end(), this);
    auto raise = [this](TControl* c) {
        auto* b = dynamic_cast<TToolButton*>(c);
        if (!b || !b->grouped_ || b->style_ != TToolButtonStyle::tbsCheck) return false;
        if (b != this) {
            b->down_ = false;
            b->button_->setChecked(false);
        }
        return true;
    };
    for (auto it = self; it != list.end() && raise(*it); ++it) {}
    for (auto it = self; it != list.begin() && raise(*(it - 1)); --it) {}
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    dropdownMenu_ = menu;
    button_->setMenu(menu ? menu->PopupWidget() : nullptr);
}

void TToolButton::SetMenuItem(TMenuItem* item) {
    menuItem_ = item;
    if (!item) return;
    SetCaption(item->Caption());
    SetHint(item->Hint());
    SetImageIndex(item->ImageIndex());
    SetEnabled(item->Enabled());
}

void TToolButton::Click() {
    if (style_ == TToolButtonStyle::tbsCheck) SetDown(grouped_ ? true : !down_);
    if (menuItem_) return menuItem_->Click();
    TGraphicControl::Click();
}

void TToolButton::BoundsChanged() {
    if (Parent()) Parent()->Realign();
}

const TClassInfo& TToolBar::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TToolBar>("TToolBar", TWinControl::StaticClass());
        TPropBuilder<TToolBar>(c)
            .Int("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth)
            .Int("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight)
            .Bool("Flat", &TToolBar::Flat, &TToolBar::SetFlat)
            .Bool("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions)
            .Obj<TImageList>("Images", &TToolBar::Images, &TToolBar::SetImages)
            .Int("ButtonCount", &TToolBar::ButtonCount, nullptr);
        return c;
    }();
    return info;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
    auto* bar = new CallbackWidget;
    SetWidget(bar);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->resize(150, 29);
    SetColor(clBtnFace);
    SetAlign(TAlign::alTop);
}

int TToolBar::ButtonCount() const {
    int n = 0;
    for (TControl* c : ControlList()) n += c->Is<TToolButton>() ? 1 : 0;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const {
    int n = 0;
    for (TControl* c : ControlList())
        if (c->Is<TToolButton>() && n++ == index) return static_cast<TToolButton*>(c);
    throw plat::Exception("Tool button index out of bounds");
}

void TToolBar::AlignControls() {
    int x = 0;
    for (TControl* c : ControlList()) {
        if (!c->Visible()) continue;
        auto* b = dynamic_cast<TToolButton*>(c);
        int w = b && !b->IsSeparator() ? buttonWidth_ : c->Width();
        int h = b ? buttonHeight_ : c->Height();
        c->SetBounds(x, 2, w, h);
        x += w;
    }
}

void TToolBar::UpdateButtons() {
    for (TControl* c : ControlList())
        if (auto* b = dynamic_cast<TToolButton*>(c)) b->UpdateLook();
    Realign();
}

void TToolBar::SetButtonWidth(int width) {
    buttonWidth_ = std::max(1, width);
    Realign();
}

void TToolBar::SetButtonHeight(int height) {
    buttonHeight_ = std::max(1, height);
    Realign();
}

void TToolBar::SetFlat(bool flat) {
    flat_ = flat;
    UpdateButtons();
}

void TToolBar::SetShowCaptions(bool show) {
    showCaptions_ = show;
    UpdateButtons();
}

void TToolBar::SetImages(TImageList* images) {
    images_ = images;
    UpdateButtons();
}

}  // namespace vcl
