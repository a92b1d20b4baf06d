#include <gtest/gtest.h>

#include "core/maps/MapAxes.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

TEST(KelvaneStateTest, AxesFollowEngineSetupAndStartAsDefaultTables) {
    TKelvaneState state;
    EXPECT_EQ(state.Axes.LHRpm, AxisTables::LH23Rpm);
    state.Setup().LHVersion = TLHVersion::LH22;
    state.Setup().LHConfig = TLHConfig::HexaMaf;
    state.Setup().EZKVersion = TEZKVersion::GT;
    state.RecomputeAxes();
    EXPECT_EQ(state.Axes.LHRpm, AxisTables::LH22Rpm);
    EXPECT_EQ(state.Axes.LHLoad, AxisTables::LH22LoadHexaMaf);
    EXPECT_EQ(state.Axes.EZKRpm, AxisTables::EZKRpmGT);
    EXPECT_EQ(&state.PlotContext().FuelAdjustment, &state.Fuel.Adjustments);
}

}  // namespace
}  // namespace kelvane
