#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <vector>

#include "DocumentFixture.h"
#include "app/mapwindows/FuelMapUnit.h"
#include "app/mapwindows/MapGridView.h"

namespace kelvane {
namespace {

// A tool window needs the document and nothing of the main window: a typed
// cell changes the state through the document, as one undo step, and the
// undo reaches the window through the document's signal.
TEST(ToolWindowTest, AMapWindowWorksOnTheDocumentAlone) {
    TDocumentFixture f;
    std::vector<TChangeSet> unannounced;
    f.Document.SetUnannouncedHandler([&](TChangeSet missing) { unannounced.push_back(missing); });
    TFuelMapSet& fuel = f.State().Fuel;
    fuel.Reference.Fill(100);
    fuel.ReferenceLoaded = true;
    fuel.ResetAdjustments(f.State().Axes.FuelLimits);
    f.Document.Apply(TChange::FuelMaps);
    f.Document.StartNewHistory();

    TFuelMapForm form(f.Document);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.SetTab(TFuelMapTab::Updated);
    TMapGridView* grid = form.Grid(TFuelMapTab::Updated);
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellRect(8, 8).center());
    QTest::keyClicks(grid, QStringLiteral("1"));
    QTest::keyClicks(grid->Editor(), QStringLiteral("10"));
    QTest::keyClick(grid->Editor(), Qt::Key_Return);

    EXPECT_EQ(fuel.Updated.At(7, 7), 110);
    EXPECT_TRUE(fuel.AdjustmentsEdited);
    EXPECT_EQ(f.Document.History().UndoName(), "Typing in Updated Map");

    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(fuel.Updated.At(7, 7), 100);
    EXPECT_FALSE(fuel.AdjustmentsEdited) << "back to the map as loaded";
    EXPECT_TRUE(unannounced.empty());
}

}  // namespace
}  // namespace kelvane
