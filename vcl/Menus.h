// Menus: the main menu of a form and pop-up menus, made of menu items with
// captions ("-" for a separator, "&" before the accelerator), shortcuts,
// check marks (radio groups by GroupIndex), images and sub-items. A menu
// item is a component owned like any other (usually by its form) and placed
// in its parent item's list, as a control is in its parent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QKeySequence>

#include "Classes.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace vcl {

class TImageList;
class TMenu;

// A shortcut: a virtual key plus scShift, scCtrl and scAlt.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
TShortCut ShortCut(uint16_t key, uint8_t shift);
// "Ctrl+H", "F9", "Shift+Del"; empty for 0.
std::string ShortCutToText(TShortCut shortCut);
// The reverse; 0 for text that names no key.
TShortCut TextToShortCut(const std::string& text);
QKeySequence ShortCutToKeySequence(TShortCut shortCut);

class TMenuItem : public TComponent {
    VCL_DECLARE_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    int ShortCut() const { return shortCut_; }
    void SetShortCut(int shortCut);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool radio);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool autoCheck);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);

    // ---- sub-items ----
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return parent_; }
    TMenu* Menu() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    // Frees sub-item `index`.
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The sub-item whose caption, without "&", equals `caption` (no case); nullptr when none.
    TMenuItem* Find(const std::string& caption) const;

    TNotifyEvent OnClick;
    // Runs the item as a choice of the user: toggles an auto-check mark, fires OnClick.
    virtual void Click();

    QAction* Action() const { return action_; }
    // The menu that shows the sub-items; created with the first one.
    QMenu* SubMenu() const { return subMenu_; }

private:
    friend class TMenu;
    friend class TMainMenu;
    friend class TPopupMenu;
    void Attach(int index, TMenuItem* item);
    QWidget* Container();
    void UpdateAction();
    void UpdateIcon();

    std::string caption_;
    int shortCut_ = 0;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool autoCheck_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    int imageIndex_ = -1;
    std::string hint_;
    bool default_ = false;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;      // set on the root item of a menu
    QAction* action_;
    QMenu* subMenu_ = nullptr;
};

class TMenu : public TComponent {
    VCL_DECLARE_CLASS(TMenu)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    // The root item; the menu's entries are its sub-items.
    TMenuItem* Items() const { return items_; }
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool ownerDraw) { ownerDraw_ = ownerDraw; }
    // The item with a shortcut equal to `shortCut`, searched depth first; nullptr when none.
    TMenuItem* FindItemByShortCut(TShortCut shortCut) const;
    // Runs the item with that shortcut when it is enabled; false when none did.
    bool IsShortCut(TShortCut shortCut);

protected:
    friend class TMenuItem;
    virtual QWidget* RootContainer() const = 0;

private:
    TMenuItem* items_;
    TImageList* images_ = nullptr;
    bool ownerDraw_ = false;
};

class TMainMenu : public TMenu {
    VCL_DECLARE_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;
    QMenuBar* MenuBar() const { return bar_; }

protected:
    QWidget* RootContainer() const override;

private:
    QMenuBar* bar_;
};

class TPopupMenu : public TMenu {
    VCL_DECLARE_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;
    // Shows the menu at a screen position (it does not wait for a choice).
    void Popup(int x, int y);
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
    TNotifyEvent OnPopup;
    QMenu* PopupWidget() const { return menu_; }

protected:
    QWidget* RootContainer() const override;

private:
    QMenu* menu_;
    TComponent* popupComponent_ = nullptr;
};

}  // namespace vcl
