// Common controls: the page control with its tab sheets, the tree view with
// its nodes, the list view with columns and items, the status bar with
// panels and the tool bar with tool buttons. Nodes, items, columns and
// panels are persistent objects with published properties, so that they
// can be reached by name ("Items" by absolute index, "Columns", "Panels").
#pragma once

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "Controls.h"
#include "StdCtrls.h"

namespace vcl {

class TImageList;
class TPopupMenu;
class TMenuItem;
class TTabSheet;
class CallbackWidget;

// ---- page control ----

using TTabChangingEvent = TEvent<TObject*, bool&>;

class TPageControl : public TWinControl {
    VCL_DECLARE_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const;
    // Shows the page; programs switching pages get no change events.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The next (or previous) page whose tab is visible, wrapping; nullptr when none.
    TTabSheet* FindNextPage(TTabSheet* current, bool forward) const;
    void SelectNextPage(bool forward);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    QWidget* ClientWidget() const override;
    QTabWidget* Tabs() const { return tabs_; }

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void UpdateTab(TTabSheet* page);
    int TabIndexOf(const TTabSheet* page) const;
    QTabWidget* tabs_;
    std::vector<TTabSheet*> pages_;
    TImageList* images_ = nullptr;
    bool switching_ = false;
};

class TTabSheet : public TWinControl {
    VCL_DECLARE_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return pageControl_; }
    // Puts the sheet into a page control (as its last page); nullptr takes it out.
    void SetPageControl(TPageControl* pageControl);
    int PageIndex() const;
    void SetPageIndex(int index);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // A sheet is visible while it is the active page of its page control.
    bool Visible() const override;
    void SetVisible(bool visible) override;
    void SetParent(TWinControl* parent) override;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void CaptionChanged() override;
    void AttachWidget(TWinControl* parent) override;
    void ApplyVisible() override {}

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

// ---- tree view ----

class TTreeNodes;
class TTreeView;

class TTreeNode : public TPersistent {
    VCL_DECLARE_CLASS(TTreeNode)
public:
    ~TTreeNode() override;

    std::string Text() const;
    void SetText(const std::string& text);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int index);
    int StateIndex() const { return stateIndex_; }
    void SetStateIndex(int index) { stateIndex_ = index; }
    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }

    TTreeNode* Parent() const { return parent_; }
    int Level() const;
    // Position among its siblings.
    int Index() const;
    // Position among all nodes of the tree, counted depth first.
    int AbsoluteIndex() const;
    int Count() const { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int index) const { return children_.at(static_cast<size_t>(index)); }
    bool HasChildren() const { return !children_.empty(); }
    TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
    TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node depth first; nullptr after the last.
    TTreeNode* GetNext() const;

    bool Expanded() const;
    void SetExpanded(bool expanded);
    void Expand(bool recursive);
    void Collapse(bool recursive);
    bool Selected() const;
    void SetSelected(bool selected);
    void MakeVisible();
    // Frees the node and its children.
    void Delete();
    void DeleteChildren();

    TTreeNodes* Owner() const { return owner_; }
    TTreeView* TreeView() const;
    QTreeWidgetItem* WidgetItem() const { return item_; }

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeNodes* owner, TTreeNode* parent, QTreeWidgetItem* item);
    std::vector<TTreeNode*>& Siblings() const;
    void UpdateIcon();

    TTreeNodes* owner_;
    TTreeNode* parent_;
    QTreeWidgetItem* item_;
    std::vector<TTreeNode*> children_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    int stateIndex_ = -1;
    void* data_ = nullptr;
};

class TTreeNodes : public TPersistent {
    VCL_DECLARE_CLASS(TTreeNodes)
public:
    explicit TTreeNodes(TTreeView* view);
    ~TTreeNodes() override;

    // All nodes of the tree.
    int Count() const;
    // Node by absolute index (depth first); raises plat::Exception outside 0..Count-1.
    TTreeNode* Item(int absoluteIndex) const;
    TTreeNode* GetFirstNode() const { return top_.empty() ? nullptr : top_.front(); }
    // A node as the last sibling of `sibling` (top level when nullptr).
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
    // A node before `sibling` (the last top-level node when nullptr).
    TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
    void Delete(TTreeNode* node) { node->Delete(); }
    void Clear();
    // Changes between BeginUpdate and EndUpdate are shown at the end.
    void BeginUpdate();
    void EndUpdate();
    TTreeView* Owner() const { return view_; }
    TTreeNode* NodeOf(const QTreeWidgetItem* item) const;

private:
    friend class TTreeNode;
    TTreeNode* Create(TTreeNode* parent, int position, const std::string& text);
    TTreeView* view_;
    std::vector<TTreeNode*> top_;
    int updating_ = 0;
};

using TTVChangedEvent = TEvent<TObject*, TTreeNode*>;
using TTVChangingEvent = TEvent<TObject*, TTreeNode*, bool&>;
enum class TDragMode { dmManual, dmAutomatic };

class TTreeView : public TWinControl {
    VCL_DECLARE_CLASS(TTreeView)
public:
    explicit TTreeView(TComponent* owner);
    ~TTreeView() override;

    TTreeNodes* Items() const { return items_.get(); }
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    // The first node shown at the top of the view.
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* node);
    void FullExpand();
    void FullCollapse();
    TTreeNode* GetNodeAt(int x, int y) const;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    int Indent() const;
    void SetIndent(int indent);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool show) { showLines_ = show; }
    bool ShowRoot() const;
    void SetShowRoot(bool show);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool show);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool rowSelect) { rowSelect_ = rowSelect; }
    bool AutoExpand() const { return autoExpand_; }
    void SetAutoExpand(bool autoExpand) { autoExpand_ = autoExpand; }
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode mode);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVChangedEvent OnExpanded;
    TTVChangedEvent OnCollapsed;

    QTreeWidget* Tree() const { return tree_; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    QTreeWidget* tree_;
    std::unique_ptr<TTreeNodes> items_;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool showLines_ = true;
    bool showButtons_ = true;
    bool rowSelect_ = false;
    bool autoExpand_ = false;
    TDragMode dragMode_ = TDragMode::dmManual;
    TImageList* images_ = nullptr;
    bool selecting_ = false;
};

// ---- list view ----

class TListView;
class TListItems;

class TListColumn : public TPersistent {
    VCL_DECLARE_CLASS(TListColumn)
public:
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int Width() const;
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
    int Index() const;

private:
    friend class TListColumns;
    friend class TListView;
    explicit TListColumn(TListView* view) : view_(view) {}
    TListView* view_;
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = false;
};

class TListColumns : public TPersistent {
    VCL_DECLARE_CLASS(TListColumns)
public:
    explicit TListColumns(TListView* view) : view_(view) {}
    ~TListColumns() override;
    int Count() const { return static_cast<int>(columns_.size()); }
    TListColumn* Items(int index) const { return columns_.at(static_cast<size_t>(index)); }
    TListColumn* Add();
    void Delete(int index);
    void Clear();

private:
    friend class TListColumn;
    friend class TListView;
    TListView* view_;
    std::vector<TListColumn*> columns_;
};

class TListItem : public TPersistent {
    VCL_DECLARE_CLASS(TListItem)
public:
    ~TListItem() override;
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TStrings* SubItems() const { return subItems_.get(); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Selected() const;
    void SetSelected(bool selected);
    bool Checked() const;
    void SetChecked(bool checked);
    bool Focused() const;
    void SetFocused(bool focused);
    void* Data() const { return data_; }
    void SetData(void* data) { data_ = data; }
    int Index() const;
    void Delete();
    TListView* ListView() const { return view_; }
    QTreeWidgetItem* WidgetItem() const { return item_; }

private:
    friend class TListItems;
    friend class TListView;
    TListItem(TListView* view, QTreeWidgetItem* item);
    void Show();
    TListView* view_;
    QTreeWidgetItem* item_;
    std::string caption_;
    std::unique_ptr<TStrings> subItems_;
    int imageIndex_ = -1;
    void* data_ = nullptr;
};

class TListItems : public TPersistent {
    VCL_DECLARE_CLASS(TListItems)
public:
    explicit TListItems(TListView* view) : view_(view) {}
    ~TListItems() override;
    int Count() const { return static_cast<int>(items_.size()); }
    TListItem* Item(int index) const { return items_.at(static_cast<size_t>(index)); }
    TListItem* Add();
    TListItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    int IndexOf(const TListItem* item) const;

private:
    friend class TListItem;
    friend class TListView;
    TListView* view_;
    std::vector<TListItem*> items_;
    int updating_ = 0;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TSortType { stNone, stData, stText, stBoth };
enum class TItemChange { ctText, ctImage, ctState };
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVChangeEvent = TEvent<TObject*, TListItem*, TItemChange>;
// Before an item's caption or image changes; clearing the flag keeps the old one.
using TLVChangingEvent = TEvent<TObject*, TListItem*, TItemChange, bool&>;
// Order of two items: negative when `a` comes first.
using TLVCompare = std::function<int(const TListItem* a, const TListItem* b)>;

class TListView : public TWinControl {
    VCL_DECLARE_CLASS(TListView)
public:
    explicit TListView(TComponent* owner);
    ~TListView() override;

    TListColumns* Columns() const { return columns_.get(); }
    TListItems* Items() const { return items_.get(); }
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool multi);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool rowSelect);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool show);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool Checkboxes() const { return checkboxes_; }
    void SetCheckboxes(bool checkboxes);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool gridLines) { gridLines_ = gridLines; }
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType type);
    TImageList* SmallImages() const { return smallImages_; }
    void SetSmallImages(TImageList* images);

    // The first selected item; nullptr when none.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int SelCount() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    TListItem* ItemFocused() const;
    // Orders the items by `compare` (negative: a before b), stably.
    void CustomSort(const std::function<int(TListItem*, TListItem*)>& compare);
    // Orders the items by text (TextCompare), stably.
    void AlphaSort();
    // How a list sorted by text orders its items; by default the captions
    // compared without case. Setting it sorts a sorted list again.
    void SetTextCompare(TLVCompare compare);
    int CompareText(const TListItem* a, const TListItem* b) const;
    void Clear() { items_->Clear(); }
    // The width of a text in the list's font, in pixels.
    int StringWidth(const std::string& text) const;

    TLVColumnClickEvent OnColumnClick;
    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVChangingEvent OnChanging;

    QTreeWidget* Tree() const { return tree_; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }

private:
    friend class TListColumn;
    friend class TListColumns;
    friend class TListItem;
    friend class TListItems;
    void UpdateColumns();
    void ReorderWidget();
    bool SortsByText() const { return sortType_ == TSortType::stText || sortType_ == TSortType::stBoth; }
    // Puts one item whose text changed at its place among the others.
    void PlaceByText(TListItem* item);
    TListItem* ItemOf(const QTreeWidgetItem* item) const;
    QTreeWidget* tree_;
    std::unique_ptr<TListColumns> columns_;
    std::unique_ptr<TListItems> items_;
    TViewStyle viewStyle_ = TViewStyle::vsIcon;
    bool multiSelect_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool showColumnHeaders_ = true;
    bool hideSelection_ = true;
    bool checkboxes_ = false;
    bool gridLines_ = false;
    TSortType sortType_ = TSortType::stNone;
    TImageList* smallImages_ = nullptr;
    std::vector<bool> lastSelection_;
    TLVCompare textCompare_;
    // The items stand in text order (every change of a caption keeps it so
    // once it holds); false after a sort by anything else.
    bool textOrdered_ = false;
    // Items put into a text-ordered list out of its order (an item added
    // before its caption is set); they take their place with their caption.
    std::unordered_set<const TListItem*> unplaced_;
};

// ---- status bar ----

class TStatusBar;

class TStatusPanel : public TPersistent {
    VCL_DECLARE_CLASS(TStatusPanel)
public:
    std::string Text() const { return text_; }
    void SetText(const std::string& text);
    int Width() const { return width_; }
    void SetWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    int Index() const;
    QLabel* Label() const { return label_; }

private:
    friend class TStatusPanels;
    friend class TStatusBar;
    TStatusPanel(TStatusBar* bar, QLabel* label) : bar_(bar), label_(label) {}
    TStatusBar* bar_;
    QLabel* label_;
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TStatusPanels : public TPersistent {
    VCL_DECLARE_CLASS(TStatusPanels)
public:
    explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
    ~TStatusPanels() override;
    int Count() const { return static_cast<int>(panels_.size()); }
    TStatusPanel* Items(int index) const { return panels_.at(static_cast<size_t>(index)); }
    TStatusPanel* Add();
    void Delete(int index);
    void Clear();

private:
    friend class TStatusBar;
    friend class TStatusPanel;
    TStatusBar* bar_;
    std::vector<TStatusPanel*> panels_;
};

// Panels stand side by side with their widths; the last reaches the right
// edge. With SimplePanel the bar shows SimpleText alone.
class TStatusBar : public TWinControl {
    VCL_DECLARE_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;
    TStatusPanels* Panels() const { return panels_.get(); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool simple);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    QLabel* SimpleLabel() const { return simpleLabel_; }

private:
    friend class TStatusPanel;
    friend class TStatusPanels;
    void Arrange();
    CallbackWidget* bar_;
    QLabel* simpleLabel_;
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
};

// ---- tool bar ----

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

class TToolButton : public TGraphicControl {
    VCL_DECLARE_CLASS(TToolButton)
public:
    explicit TToolButton(TComponent* owner);

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle style);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Down() const { return down_; }
    void SetDown(bool down);
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool grouped) { grouped_ = grouped; }
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* menu);
    TMenuItem* MenuItem() const { return menuItem_; }
    // The button takes the item's caption, hint, image, enabled state and click.
    void SetMenuItem(TMenuItem* item);
    bool IsSeparator() const { return style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider; }
    void Click() override;
    void SetParent(TWinControl* parent) override;

    QToolButton* Button() const { return button_; }

protected:
    void CaptionChanged() override;
    bool ClickOnMouse() const override { return false; }
    void BoundsChanged() override;

private:
    friend class TToolBar;
    void UpdateLook();
    TToolBar* Bar() const;
    QToolButton* button_;
    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    int imageIndex_ = -1;
    bool down_ = false;
    bool grouped_ = false;
    TPopupMenu* dropdownMenu_ = nullptr;
    TMenuItem* menuItem_ = nullptr;
};

// Tool buttons stand left to right in the order they were put in, each
// ButtonWidth x ButtonHeight (separators keep their own width).
class TToolBar : public TWinControl {
    VCL_DECLARE_CLASS(TToolBar)
public:
    explicit TToolBar(TComponent* owner);

    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int width);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int height);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool show);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;

protected:
    void AlignControls() override;

private:
    friend class TToolButton;
    void UpdateButtons();
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    bool flat_ = false;
    bool showCaptions_ = false;
    TImageList* images_ = nullptr;
};

}  // namespace vcl
