#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "core/shell/SettingsWindows.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

TEST(MainFormTest, ShowsCaptionAndClosesOnExit) {
    TTempFolder commonRoot;
    TFakePrompts prompts;
    TMainForm form(TestFormOptions(prompts, commonRoot.Path()));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Kelvane"));
    EXPECT_EQ(form.Exit1()->text(), QStringLiteral("E&xit"));

    form.Exit1()->trigger();
    EXPECT_FALSE(form.isVisible());
}

TEST(MainFormTest, SettingsThatCannotBeWrittenAtExitAreShownInOneBox) {
    TTempFolder commonRoot;
    TFakePrompts prompts;
    TMainForm form(TestFormOptions(prompts, commonRoot.Path()));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A folder where the settings file should be: every exit write to it fails, for root too.
    const std::filesystem::path settingsFile = form.Store().Main().FileName();
    std::filesystem::remove(settingsFile);
    std::filesystem::create_directories(settingsFile / "inside");
    prompts.Calls.clear();

    form.Exit1()->trigger();
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(prompts.Calls.size(), 1u);
    EXPECT_EQ(prompts.Calls[0].Kind, TPromptKind::Error);
    EXPECT_EQ(prompts.Calls[0].Text, QString::fromStdString("This file could not be written:\n" +
                                                            settingsFile.string() + ": not a regular file"));
    // The target AFR map beside it was still written.
    EXPECT_TRUE(std::filesystem::is_regular_file(commonRoot.Path() / "TargetAFRmap.txt"));
}

TEST(MainFormTest, StoredPlacementOffTheScreenIsPulledBackOntoIt) {
    TTempFolder commonRoot;
    TFakePrompts prompts;
    {
        TMainForm first(TestFormOptions(prompts, commonRoot.Path()));
        ASSERT_TRUE(WriteWindowSize(first.Store().Main(), MainWindowSection, {5000, 5000, 400, 300}));
    }
    TMainForm form(TestFormOptions(prompts, commonRoot.Path()));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form.geometry(), QRect(screen.right() + 1 - 400, screen.bottom() + 1 - 300, 400, 300));
}

}  // namespace
}  // namespace kelvane
