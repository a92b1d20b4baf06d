#include <gtest/gtest.h>

#include <string>

#include "core/shell/MapClipboard.h"
#include "support/MapLoadingTestSupport.h"

namespace kelvane {
namespace {

using namespace kelvane::testing;

std::string LHBlock() {
    return CopyBlock(PatternGrid(-50, 7), WholeMap, 0);
}

std::string EZKBlock() {
    return CopyBlock(PatternGrid(12.5, 1.5), WholeMap, 1);
}

TEST(MapEditMenuTest, PasteItemFollowsTheClipboardText) {
    struct TCase {
        std::string Text;
        std::string Caption;
        bool Enabled;
    };
    const TCase cases[] = {
        {LHBlock(), "Paste LH Map", true},
        {EZKBlock(), "Paste EZK Map", true},
        {"", "Paste Map", false},
        {"12\t13\r\n", "Paste Map", false},
    };
    for (const TCase& c : cases) {
        const TMenuItemState item = PasteMapItem(c.Text);
        EXPECT_EQ(item.Caption, c.Caption) << c.Text;
        EXPECT_EQ(item.Enabled, c.Enabled) << c.Text;
    }
}

TEST(MapEditMenuTest, CopyItemFollowsTheViewAndItsReference) {
    TKelvaneState state;
    state.Ignition.ReferenceLoaded = true;
    TMenuItemState item = CopyMapItem(state);
    EXPECT_EQ(item.Caption, "Copy Updated LH &Map");
    EXPECT_FALSE(item.Enabled);
    EXPECT_FALSE(CopyUpdatedMap(state).has_value());

    state.Display.View = TPlotView::EZK;
    item = CopyMapItem(state);
    EXPECT_EQ(item.Caption, "Copy Updated EZK &Map");
    EXPECT_TRUE(item.Enabled);
}

TEST(MapEditMenuTest, CopyUpdatedMapGivesTheWholeUpdatedMap) {
    TKelvaneState state;
    state.Fuel.ReferenceLoaded = true;
    state.Fuel.Updated = PatternGrid(-3, 2);
    state.Ignition.ReferenceLoaded = true;
    state.Ignition.Updated = PatternGrid(22.25, 1);

    EXPECT_EQ(CopyUpdatedMap(state), CopyBlock(state.Fuel.Updated, WholeMap, 0));
    state.Display.View = TPlotView::EZK;
    const std::optional<std::string> text = CopyUpdatedMap(state);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->substr(0, 5), "22.2\t");  // one decimal, halves to even
    EXPECT_EQ(*text, CopyBlock(state.Ignition.Updated, WholeMap, 1));
}

TEST(MapEditMenuTest, LHPasteReplacesTheReferenceAndClearsItsFile) {
    TKelvaneState state;
    state.Fuel.Source = TLHMapSource::PrimaryLoad;
    state.Fuel.ReferencePath = "/maps/Base fuel map.txt";
    state.Fuel.Adjustments.Fill(1.3);
    state.Fuel.AdjustmentsEdited = true;

    ASSERT_TRUE(PasteMap(state, LHBlock()).Has(TChange::FuelMaps));

    EXPECT_EQ(state.Fuel.Reference, PatternGrid(-50, 7));
    EXPECT_TRUE(state.Fuel.ReferenceLoaded);
    EXPECT_EQ(state.Fuel.Source, TLHMapSource::Text);
    EXPECT_TRUE(state.Fuel.ReferencePath.empty());
    EXPECT_EQ(state.Fuel.Adjustments, FilledGrid(1.0));
    EXPECT_FALSE(state.Fuel.AdjustmentsEdited);
    EXPECT_EQ(state.Axes.FuelLimits, FuelLimitsFor(TLHVersion::Unset, TLHMapSource::Text));
    EXPECT_EQ(state.Fuel.Updated, state.Fuel.Reference);
    EXPECT_FALSE(state.Ignition.ReferenceLoaded);
}

TEST(MapEditMenuTest, EZKPasteAcceptsDecimalCommas) {
    std::string text = EZKBlock();
    for (char& c : text)
        if (c == '.') c = ',';
    ASSERT_EQ(PasteMapItem(text).Caption, "Paste EZK Map");
    TKelvaneState state;
    state.Ignition.Source = TEZKMapSource::NoCat98;
    state.Ignition.ReferencePath = "/maps/ign.txt";

    ASSERT_TRUE(PasteMap(state, text).Has(TChange::IgnitionMaps));

    EXPECT_TRUE(state.Ignition.ReferenceLoaded);
    EXPECT_EQ(state.Ignition.Reference, PatternGrid(12.5, 1.5));
    EXPECT_EQ(state.Ignition.Source, TEZKMapSource::Text);
    EXPECT_TRUE(state.Ignition.ReferencePath.empty());
    EXPECT_EQ(state.Ignition.Updated, state.Ignition.Reference);
    EXPECT_FALSE(state.Fuel.ReferenceLoaded);
}

TEST(MapEditMenuTest, PasteOfOtherTextChangesNothing) {
    TKelvaneState state;
    state.Fuel.ReferencePath = "/maps/ref.txt";
    EXPECT_TRUE(PasteMap(state, "not a map").Empty());
    EXPECT_EQ(state.Fuel.ReferencePath, "/maps/ref.txt");
}

}  // namespace
}  // namespace kelvane
