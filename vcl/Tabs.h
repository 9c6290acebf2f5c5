// The tab set: a row of tabs taken from a list of texts, one of them
// current (TabIndex), over a Qt tab bar. A choice of the user changes the
// current tab after OnChange allowed it and is a click.
#pragma once

#include <memory>

#include "Controls.h"

class QTabBar;

namespace vcl {

// Before the user's choice of another tab; clearing the flag refuses it.
using TTabSetChangeEvent = TEvent<TObject*, int, bool&>;

class TTabSet : public TWinControl {
    VCL_DECLARE_CLASS(TTabSet)
public:
    explicit TTabSet(TComponent* owner);
    ~TTabSet() override;

    // A change of the list rebuilds the tabs and keeps the current index
    // while it still names a tab (else none is current).
    TStrings* Tabs() const { return tabs_.get(); }
    // -1 when no tab is current; an index outside the tabs makes none current.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index);

    TTabSetChangeEvent OnChange;

    QTabBar* Bar() const { return bar_; }

protected:
    bool ClickOnMouse() const override { return false; }

private:
    void TabsChanged();
    void ShowCurrent();
    QTabBar* bar_;
    std::unique_ptr<TStrings> tabs_;
    int tabIndex_ = -1;
    bool syncing_ = false;
};

}  // namespace vcl
