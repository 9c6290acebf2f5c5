// Menu items over QActions: an item with sub-items carries a QMenu; the
// entries of a main menu sit in a QMenuBar, those of a pop-up menu in a
// QMenu. Opening a sub-menu is a click on its item, as programs use it to
// enable the entries just before they show.
#include "Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPoint>
#include <strings.h>

#include "Controls.h"
#include "ImgList.h"
#include "QtText.h"

namespace vcl {

namespace {

struct KeyName {
    uint16_t Key;
    const char* Name;
};

const std::vector<KeyName>& KeyNames() {
    static const std::vector<KeyName> names = {
        {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
        {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
        {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
    };
    return names;
}

std::string KeyText(uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    for (const KeyName& k : KeyNames())
        if (k.Key == key) return k.Name;
    return {};
}

uint16_t KeyOfText(const std::string& text) {
    if (text.size() == 1) {
        char c = static_cast<char>(toupper(static_cast<unsigned char>(text[0])));
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<uint16_t>(c);
    }
    if (text.size() >= 2 && (text[0] == 'F' || text[0] == 'f')) {
        bool digits = true;
        for (size_t i = 1; i < text.size(); ++i) digits = digits && isdigit(static_cast<unsigned char>(text[i]));
        if (digits) {
            int n = std::stoi(text.substr(1));
            if (n >= 1 && n <= 12) return static_cast<uint16_t>(VK_F1 + n - 1);
        }
    }
    for (const KeyName& k : KeyNames())
        if (strcasecmp(k.Name, text.c_str()) == 0) return k.Key;
    if (strcasecmp(text.c_str(), "Delete") == 0) return VK_DELETE;
    if (strcasecmp(text.c_str(), "Insert") == 0) return VK_INSERT;
    if (strcasecmp(text.c_str(), "Escape") == 0) return VK_ESCAPE;
    return 0;
}

std::string PlainCaption(const std::string& caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    return out;
}

}  // namespace

TShortCut ShortCut(uint16_t key, uint8_t shift) {
    TShortCut s = key & 0x0FFF;
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(shortCut & 0x0FFF);
    if (key.empty()) return {};
    std::string prefix;
    if (shortCut & scShift) prefix += "Shift+";
    if (shortCut & scCtrl) prefix += "Ctrl+";
    if (shortCut & scAlt) prefix += "Alt+";
    return prefix + key;
}

TShortCut TextToShortCut(const std::string& text) {
    TShortCut mods = 0;
    std::string rest = text;
    for (;;) {
        size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 >= rest.size()) break;
        std::string mod = rest.substr(0, plus);
        if (strcasecmp(mod.c_str(), "Shift") == 0) mods |= scShift;
        else if (strcasecmp(mod.c_str(), "Ctrl") == 0) mods |= scCtrl;
        else if (strcasecmp(mod.c_str(), "Alt") == 0) mods |= scAlt;
        else return 0;
        rest = rest.substr(plus + 1);
    }
    uint16_t key = KeyOfText(rest);
    return key ? static_cast<TShortCut>(key | mods) : 0;
}

QKeySequence ShortCutToKeySequence(TShortCut s) {
    int key = QtKeyOf(s & 0x0FFF);
    if (!key) return {};
    int mods = 0;
    if (s & scShift) mods |= Qt::SHIFT;
    if (s & scCtrl) mods |= Qt::CTRL;
    if (s & scAlt) mods |= Qt::ALT;
    return QKeySequence(key | mods);
}

// ---- TMenuItem ----

const TClassInfo& TMenuItem::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TMenuItem>("TMenuItem", TComponent::StaticClass());
        TPropBuilder<TMenuItem>(c)
            .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
            .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
            .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
            .Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck)
            .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
            .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
            .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
            .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
            .Int("Count", &TMenuItem::Count, nullptr)
            .Event("OnClick");
        TPropInfo shortCut{"ShortCut", TTypeKind::Integer,
                           [](const TObject* o) { return plat::Variant(static_cast<const TMenuItem*>(o)->ShortCut()); },
                           [](TObject* o, const plat::Variant& v) {
                               int value = 0;
                               if (v.IsString()) {
                                   std::string t = v.ToString();
                                   value = t.empty() ? 0 : TextToShortCut(t);
                                   if (!value && !t.empty() && !isdigit(static_cast<unsigned char>(t[0])))
                                       throw plat::Exception("Invalid shortcut " + t);
                                   if (!value && !t.empty()) value = v.ToInt();
                               } else {
                                   value = v.ToInt();
                               }
                               static_cast<TMenuItem*>(o)->SetShortCut(value);
                           },
                           nullptr};
        // A shortcut property takes its number or its text ("Ctrl+H").
        c.AddProperty(shortCut);
        return c;
    }();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), action_(new QAction) {
    QObject::connect(action_, &QAction::triggered, [this] { Guarded([this] { Click(); }); });
}

TMenuItem::~TMenuItem() {
    while (!items_.empty()) {
        TMenuItem* child = items_.back();
        if (child->Destroying()) {
            child->parent_ = nullptr;
            items_.pop_back();
        } else {
            child->Free();
        }
    }
    if (parent_) parent_->Remove(this);
    delete subMenu_;
    delete action_;
}

void TMenuItem::SetCaption(const std::string& caption) {
    caption_ = caption;
    UpdateAction();
}

void TMenuItem::SetShortCut(int shortCut) {
    shortCut_ = shortCut;
    action_->setShortcut(ShortCutToKeySequence(static_cast<TShortCut>(shortCut)));
}

// A checked radio item clears the check marks of the radio items of its group.
void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    if (checked && radioItem_ && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) {
                sibling->checked_ = false;
                sibling->UpdateAction();
            }
    UpdateAction();
}

void TMenuItem::SetRadioItem(bool radio) {
    radioItem_ = radio;
    UpdateAction();
}

void TMenuItem::SetAutoCheck(bool autoCheck) {
    autoCheck_ = autoCheck;
    UpdateAction();
}

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    UpdateAction();
}

void TMenuItem::SetVisible(bool visible) {
    visible_ = visible;
    UpdateAction();
}

void TMenuItem::SetImageIndex(int index) {
    imageIndex_ = index;
    UpdateIcon();
}

void TMenuItem::SetHint(const std::string& hint) {
    hint_ = hint;
    action_->setStatusTip(Q(hint.substr(0, hint.find('|'))));
}

void TMenuItem::SetDefault(bool isDefault) {
    default_ = isDefault;
    QFont f = action_->font();
    f.setBold(isDefault);
    action_->setFont(f);
}

void TMenuItem::UpdateAction() {
    action_->setSeparator(IsLine());
    action_->setText(Q(caption_));
    action_->setCheckable(checked_ || autoCheck_ || radioItem_);
    action_->setChecked(checked_);
    action_->setEnabled(enabled_);
    action_->setVisible(visible_);
}

void TMenuItem::UpdateIcon() {
    TMenu* menu = Menu();
    TImageList* images = menu ? menu->Images() : nullptr;
    action_->setIcon(images && imageIndex_ >= 0 ? images->Icon(imageIndex_) : QIcon());
    for (TMenuItem* child : items_) child->UpdateIcon();
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

QWidget* TMenuItem::Container() {
    if (menu_) return menu_->RootContainer();
    if (!subMenu_) {
        subMenu_ = new QMenu;
        action_->setMenu(subMenu_);
        QObject::connect(subMenu_, &QMenu::aboutToShow, [this] { Guarded([this] { Click(); }); });
    }
    return subMenu_;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this) return;
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw plat::Exception("A menu item cannot hold itself");
    if (item->parent_) item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    Attach(index, item);
}

void TMenuItem::Attach(int index, TMenuItem* item) {
    QWidget* container = Container();
    QAction* before = index < Count() ? items_[static_cast<size_t>(index)]->action_ : nullptr;
    container->insertAction(before, item->action_);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    item->UpdateAction();
    item->UpdateIcon();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    if (QWidget* container = menu_ ? menu_->RootContainer() : subMenu_) container->removeAction(item->action_);
    item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) { Items(index)->Free(); }

void TMenuItem::Clear() {
    while (!items_.empty()) items_.back()->Free();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    std::string wanted = PlainCaption(caption);
    for (TMenuItem* item : items_)
        if (strcasecmp(PlainCaption(item->caption_).c_str(), wanted.c_str()) == 0) return item;
    return nullptr;
}

void TMenuItem::Click() {
    if (autoCheck_) SetChecked(!checked_);
    else action_->setChecked(checked_);   // Qt toggles checkable actions on its own; the item decides
    OnClick(this);
}

// ---- TMenu ----

const TClassInfo& TMenu::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c{"TMenu", &TComponent::StaticClass(), {}, nullptr};
        TPropBuilder<TMenu>(c)
            .Obj<TMenuItem>("Items", &TMenu::Items)
            .Obj<TImageList>("Images", &TMenu::Images, &TMenu::SetImages)
            .Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
        return c;
    }();
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() { items_->Free(); }

void TMenu::SetImages(TImageList* images) {
    images_ = images;
    items_->UpdateIcon();
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
    std::vector<TMenuItem*> stack{items_};
    while (!stack.empty()) {
        TMenuItem* item = stack.back();
        stack.pop_back();
        if (item != items_ && item->ShortCut() == shortCut) return item;
        for (int i = item->Count() - 1; i >= 0; --i) stack.push_back(item->Items(i));
    }
    return nullptr;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
    TMenuItem* item = FindItemByShortCut(shortCut);
    if (!item || !item->Enabled() || !item->Visible()) return false;
    item->Click();
    return true;
}

// ---- TMainMenu ----

const TClassInfo& TMainMenu::StaticClass() {
    static const TClassInfo info = MakeComponentClass<TMainMenu>("TMainMenu", TMenu::StaticClass());
    return info;
}

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner), bar_(new QMenuBar) { bar_->setNativeMenuBar(false); }

// The bar goes with the menu; the form that shows it lets go of it first.
TMainMenu::~TMainMenu() {
    Items()->Clear();
    delete bar_;
}

QWidget* TMainMenu::RootContainer() const { return bar_; }

// ---- TPopupMenu ----

const TClassInfo& TPopupMenu::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TPopupMenu>("TPopupMenu", TMenu::StaticClass());
        TPropBuilder<TPopupMenu>(c).Event("OnPopup");
        return c;
    }();
    return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner), menu_(new QMenu) {}

TPopupMenu::~TPopupMenu() {
    Items()->Clear();
    delete menu_;
}

QWidget* TPopupMenu::RootContainer() const { return menu_; }

void TPopupMenu::Popup(int x, int y) {
    OnPopup(this);
    menu_->popup(QPoint(x, y));
}

}  // namespace vcl
