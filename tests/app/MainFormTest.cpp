#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "FakePrompts.h"
#include "TempFolder.h"
#include "TestFormOptions.h"
#include "app/plot/MainUnit.h"

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

}  // namespace
}  // namespace kelvane
