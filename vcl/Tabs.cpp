// The tab set over QTabBar: the tabs follow the list of texts, the current
// tab follows TabIndex, and the user's choice asks OnChange first.
#include "Tabs.h"

#include <QTabBar>

namespace vcl {

const TClassInfo& TTabSet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c = MakeComponentClass<TTabSet>("TTabSet", TWinControl::StaticClass());
        TPropBuilder<TTabSet>(c)
            .Obj<TStrings>("Tabs", &TTabSet::Tabs)
            .Int("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex)
            .Event("OnChange");
        return c;
    }();
    return info;
}

TTabSet::TTabSet(TComponent* owner) : TWinControl(owner), bar_(new QTabBar), tabs_(std::make_unique<TStrings>()) {
    SetWidget(bar_);
    bar_->resize(185, 21);
    bar_->setShape(QTabBar::RoundedSouth);
    bar_->setExpanding(false);
    tabs_->Changed = [this] { TabsChanged(); };
    QObject::connect(bar_, &QTabBar::currentChanged, [this](int index) {
        if (syncing_ || index == tabIndex_) return;
        Guarded([&] {
            bool allow = true;
            OnChange(this, index, allow);
            if (!allow) return ShowCurrent();
            tabIndex_ = index;
            Click();
        });
    });
}

TTabSet::~TTabSet() = default;

void TTabSet::TabsChanged() {
    syncing_ = true;
    while (bar_->count() > tabs_->Count()) bar_->removeTab(bar_->count() - 1);
    for (int i = 0; i < tabs_->Count(); ++i) {
        QString text = QString::fromStdString(tabs_->Strings(i));
        if (i < bar_->count()) bar_->setTabText(i, text);
        else bar_->addTab(text);
    }
    syncing_ = false;
    if (tabIndex_ >= tabs_->Count()) tabIndex_ = -1;
    ShowCurrent();
}

void TTabSet::SetTabIndex(int index) {
    tabIndex_ = index >= 0 && index < tabs_->Count() ? index : -1;
    ShowCurrent();
}

void TTabSet::ShowCurrent() {
    syncing_ = true;
    bar_->setCurrentIndex(tabIndex_);
    syncing_ = false;
}

}  // namespace vcl
