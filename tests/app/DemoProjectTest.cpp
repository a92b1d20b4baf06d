#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <memory>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"
#include "support/TempFolder.h"

namespace kelvane {
namespace {

// The demo beside the test program's build folder (build/<name>/app_tests).
QString DemoFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../../examples/demo-project");
}

void WaitForLogs(TMainForm& form, std::size_t count) {
    for (int i = 0; i < 100 && form.State().Logs.Data.Count() < count; ++i) QTest::qWait(20);
}

TEST(DemoProjectTest, TheFirstStartOffersTheDemoOnceAndYesOpensItsLastSession) {
    TTempFolder folder;
    TFakePrompts prompts;
    prompts.Answers.push_back(TFakeAnswer::Yes());
    auto form = std::make_unique<TMainForm>(TestFormOptions(prompts, folder.Path() / "common"));
    form->OfferDemoProject();
    WaitForLogs(*form, 2700);
    ASSERT_EQ(prompts.Calls.size(), 1u);
    EXPECT_EQ(prompts.Calls[0].Kind, TPromptKind::YesNo);
    EXPECT_EQ(form->State().Logs.Data.Files.size(), 3u);
    EXPECT_EQ(form->State().Logs.Data.Count(), 2700u) << "three runs of 90 s";
    EXPECT_TRUE(form->State().Fuel.ReferenceLoaded) << "the session's base fuel map";

    // Asked once only, whatever the answer.
    form->OfferDemoProject();
    EXPECT_EQ(prompts.Calls.size(), 1u);
}

TEST(DemoProjectTest, NoOpensNothingAndAFolderOnTheCommandLineOpensTheProject) {
    TTempFolder folder;
    TFakePrompts prompts;
    prompts.Answers.push_back(TFakeAnswer::No());
    auto form = std::make_unique<TMainForm>(TestFormOptions(prompts, folder.Path() / "common"));
    form->OfferDemoProject();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(form->State().Logs.Data.Count(), 0u);

    EXPECT_FALSE(form->OpenFolderFromCommandLine(QString::fromStdString(folder.Path().string())));
    ASSERT_TRUE(form->OpenFolderFromCommandLine(DemoFolder() + "/2026-05-02"));
    WaitForLogs(*form, 2700);
    EXPECT_EQ(form->State().Logs.Data.Count(), 2700u);
}

}  // namespace
}  // namespace kelvane
