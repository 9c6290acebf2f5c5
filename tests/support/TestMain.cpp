// Test entry point: a QApplication on the offscreen platform, so that tests
// create real windows and controls without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "Dialogs.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // No test may ever wait on a real dialog: unless a test scripts its own,
    // dialogs are recorded and answered OK.
    plat::SetDialogPresenter(std::make_shared<plat::ScriptedDialogs>());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
