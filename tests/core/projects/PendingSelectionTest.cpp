#include <gtest/gtest.h>

#include "core/projects/PendingSelection.h"

namespace kelvane {
namespace {

TPendingSelection Selection() {
    TPendingSelection selection;
    selection.ProjectFolder = "/p/Volvo";
    selection.SessionName = "2024-05-01";
    selection.Logs = TLogRequest::Files;
    selection.LogFiles = {"/p/Volvo/2024-05-01/Run1.txt"};
    selection.LHStartingMap = "/p/Volvo/2024-05-01/Base fuel map.txt";
    selection.Setup = TEngineSetup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
    return selection;
}

TEST(SelectionHandOverTest, TheSameSelectionTwiceIsAppliedOnce) {
    TSelectionHandOver handOver;
    EXPECT_TRUE(handOver.Offer(Selection()));
    ASSERT_TRUE(handOver.Take().has_value());
    EXPECT_FALSE(handOver.Offer(Selection()));
    EXPECT_FALSE(handOver.Take().has_value());
}

TEST(SelectionHandOverTest, AMapBoxOrTheEngineSetupAloneIsHandedOver) {
    TSelectionHandOver handOver;
    ASSERT_TRUE(handOver.Offer(Selection()));
    TPendingSelection otherMap = Selection();
    otherMap.LHStartingMap = "/p/Volvo/2024-05-01/Initial fuel map.txt";
    EXPECT_TRUE(handOver.Offer(otherMap));
    TPendingSelection otherSetup = otherMap;
    otherSetup.Setup.LHConfig = TLHConfig::HexaMaf;
    EXPECT_TRUE(handOver.Offer(otherSetup));
    TPendingSelection otherUpdated = otherSetup;
    otherUpdated.EZKUpdatedMap = "/p/Volvo/2024-05-01/Updated (x) Ign map.txt";
    EXPECT_TRUE(handOver.Offer(otherUpdated));
    EXPECT_EQ(handOver.Take(), otherUpdated);
}

TEST(SelectionHandOverTest, AfterThePlotWasClosedElsewhereTheSameSelectionIsAppliedAgain) {
    TSelectionHandOver handOver;
    ASSERT_TRUE(handOver.Offer(Selection()));
    handOver.Forget();
    EXPECT_TRUE(handOver.Offer(Selection()));
}

}  // namespace
}  // namespace kelvane
