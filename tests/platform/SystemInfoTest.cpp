// System queries, shell verbs and the mapping of Windows-style paths.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <filesystem>

#include "SystemInfo.h"
#include "TempEnvironment.h"

using ::testing::HasSubstr;
using ::testing::Not;

using namespace plat;
using ortktest::ScopedEnv;
using ortktest::TempFolder;

TEST(SystemInfo, AnsiCodePageComesFromTheEnvironment) {
    {
        ScopedEnv acp("ORTK_ACP", std::nullopt);
        EXPECT_EQ(GetACP(), 936);
    }
    for (int cp : {936, 950, 1252}) {
        ScopedEnv acp("ORTK_ACP", std::to_string(cp));
        EXPECT_EQ(GetACP(), cp) << "ORTK_ACP=" << cp;
    }
    ScopedEnv bad("ORTK_ACP", "big5");
    EXPECT_EQ(GetACP(), 936);
}

TEST(SystemInfo, UserNameIsAShortFolderName) {
    std::string name = GetUserName();
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 32u * 4);
    EXPECT_THAT(name, Not(HasSubstr("/")));
}

TEST(SystemInfo, ModulePathsNameTheFileThatHoldsTheCode) {
    std::string exe = ExecutablePath();
    EXPECT_TRUE(std::filesystem::is_regular_file(exe)) << exe;
    static int insideTheTestProgram = 0;
    EXPECT_EQ(ModuleFileNameOf(&insideTheTestProgram), exe);
    std::string library = ModuleFileNameOf(reinterpret_cast<const void*>(&GetACP));
    EXPECT_EQ(std::filesystem::path(library).filename(), "libplatform.so") << library;
    EXPECT_TRUE(std::filesystem::path(library).is_absolute());
    EXPECT_EQ(ModuleFileNameOf(nullptr), "");
}

TEST(SystemInfo, NativePathMapsDrivesBackslashesAndRelativeValues) {
    ScopedEnv noD("ORTK_DRIVE_D", std::nullopt);
    ScopedEnv e("ORTK_DRIVE_E", "/srv/e");
    EXPECT_EQ(NativePath("D:\\app\\", "/base/"), "/app/");
    EXPECT_EQ(NativePath("d:\\app\\\\lib", "/base/"), "/app/lib");
    EXPECT_EQ(NativePath("E:\\data\\", "/base/"), "/srv/e/data/");
    EXPECT_EQ(NativePath("e:", "/base/"), "/srv/e/");
    EXPECT_EQ(NativePath("E:pkg", ""), "/srv/e/pkg");
    EXPECT_EQ(NativePath("\\lib\\", "/app/"), "/app/lib/");
    EXPECT_EQ(NativePath("\\lib", ""), "/lib");
    EXPECT_EQ(NativePath("C_PKG\\", "/app"), "/app/C_PKG/");
    EXPECT_EQ(NativePath("C_PKG\\", ""), "C_PKG/");
    EXPECT_EQ(NativePath("/opt/kvx/", "/app/"), "/opt/kvx/");
    EXPECT_EQ(NativePath("\\\\fileserver\\share\\x", "/app/"), "/fileserver/share/x");
    EXPECT_EQ(NativePath("", "/app/"), "");
}

TEST(SystemInfo, TrailingDelimiterIsAddedOnce) {
    EXPECT_EQ(IncludeTrailingPathDelimiter("/app"), "/app/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/app/"), "/app/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_TRUE(HasDrive("c:\\x"));
    EXPECT_FALSE(HasDrive("\\x"));
}

TEST(SystemInfo, ShellOpenHandsExistingFilesToTheOpener) {
    TempFolder dir;
    std::string file = dir.Write("report.xlsx", "x");
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const std::string& target) {
        opened.push_back(target);
        return true;
    });
    EXPECT_TRUE(ShellExecute("open", file));
    EXPECT_TRUE(ShellExecute("OPEN", "https://example.org/"));
    EXPECT_FALSE(ShellExecute("open", dir.Path() + "missing.xlsx"));
    EXPECT_FALSE(ShellExecute("print", file));
    EXPECT_FALSE(ShellExecute("open", ""));
    SetShellOpenHandler({});
    EXPECT_EQ(opened, (std::vector<std::string>{file, "https://example.org/"}));
}

TEST(SystemInfo, ShellPropertiesShowsPathAndSizeWithoutBlocking) {
    TempFolder dir;
    std::string file = dir.Write("report.xlsx", std::string(1234, 'x'));
    EXPECT_FALSE(ShellExecute("properties", dir.Path() + "missing.xlsx"));
    ASSERT_TRUE(ShellExecute("properties", file));
    QWidget* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ShellPropertiesDialog" && w->isVisible()) dialog = w;
    ASSERT_NE(dialog, nullptr);
    QString texts;
    for (QLabel* label : dialog->findChildren<QLabel*>()) texts += label->text() + "\n";
    EXPECT_TRUE(texts.contains(QString::fromStdString(file))) << texts.toStdString();
    EXPECT_TRUE(texts.contains("1") && texts.contains("234")) << texts.toStdString();
    dialog->close();
    QApplication::processEvents();
}
