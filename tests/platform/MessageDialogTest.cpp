// The message box as the user meets it (the Qt presenter, not a script): the
// default button is the one asked for, has the focus and comes first in tab
// order; a default button the box does not show leaves no button default;
// the character set chooses a face that writes its script.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "Dialogs.h"

namespace {

// Shows `dialog` with the real presenter; `look` sees the open box, then
// the box is answered with its first button.
int ShowAndLook(const plat::MessageDialog& dialog, const std::function<void(QMessageBox*)>& look) {
    std::shared_ptr<plat::IDialogPresenter> scripted = plat::CurrentDialogPresenter();
    plat::SetDialogPresenter(nullptr);
    bool looked = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        EXPECT_NE(box, nullptr);
        if (!box) return;
        look(box);
        looked = true;
        box->buttons().front()->click();
    });
    int result = plat::Dialogs().ShowMessageDialog(dialog);
    plat::SetDialogPresenter(scripted);
    EXPECT_TRUE(looked);
    return result;
}

plat::MessageDialog YesNoCancel(int defaultButton, int charset) {
    plat::MessageDialog d;
    d.Text = "保存更改吗?";
    d.Type = plat::MsgDlgType::Confirmation;
    d.Buttons = {plat::MsgDlgBtn::Yes, plat::MsgDlgBtn::No, plat::MsgDlgBtn::Cancel};
    d.DefaultButton = defaultButton;
    d.FontName = "SimSun";
    d.FontCharset = charset;
    return d;
}

QPushButton* Captioned(QMessageBox* box, QMessageBox::StandardButton which) {
    return qobject_cast<QPushButton*>(box->button(which));
}

}  // namespace

TEST(MessageDialog, TheDefaultButtonHasTheFocusAndLeadsTheTabOrder) {
    ShowAndLook(YesNoCancel(1, 134), [](QMessageBox* box) {
        QPushButton* no = Captioned(box, QMessageBox::No);
        ASSERT_NE(no, nullptr);
        EXPECT_TRUE(no->isDefault());
        EXPECT_FALSE(Captioned(box, QMessageBox::Yes)->isDefault());
        EXPECT_EQ(box->focusWidget(), no);
        EXPECT_EQ(no->nextInFocusChain(), Captioned(box, QMessageBox::Yes));
    });
}

TEST(MessageDialog, ADefaultButtonTheBoxDoesNotShowLeavesNoneDefault) {
    ShowAndLook(YesNoCancel(-1, 134), [](QMessageBox* box) {
        for (QAbstractButton* b : box->buttons())
            EXPECT_FALSE(qobject_cast<QPushButton*>(b)->isDefault()) << b->text().toStdString();
    });
}

TEST(MessageDialog, TheCharacterSetChoosesAFaceThatWritesItsScript) {
    for (auto [charset, system] : {std::pair{134, QFontDatabase::SimplifiedChinese},
                                   std::pair{136, QFontDatabase::TraditionalChinese}}) {
        const QStringList able = QFontDatabase::families(system);
        if (able.isEmpty()) GTEST_SKIP() << "no CJK face installed (scripts/install-deps.sh installs one)";
        ShowAndLook(YesNoCancel(0, charset), [&](QMessageBox* box) {
            EXPECT_TRUE(able.contains(box->font().family())) << charset << " " << box->font().family().toStdString();
        });
    }
}
