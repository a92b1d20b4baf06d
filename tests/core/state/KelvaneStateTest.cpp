#include <gtest/gtest.h>

#include "core/maps/MapAxes.h"
#include "core/state/KelvaneState.h"

namespace kelvane {
namespace {

TEST(KelvaneStateTest, AxesFollowEngineSetupAndStartAsDefaultTables) {
    TKelvaneState state;
    EXPECT_EQ(state.Axes.LHRpm, AxisTables::LH23Rpm);
    state.Setup().LHVersion = LHVersion22;
    state.Setup().LHConfig = LHConfigHexaMaf;
    state.Setup().EZKVersion = EZKVersionGT;
    state.RecomputeAxes();
    EXPECT_EQ(state.Axes.LHRpm, AxisTables::LH22Rpm);
    EXPECT_EQ(state.Axes.LHLoad, AxisTables::LH22LoadHexaMaf);
    EXPECT_EQ(state.Axes.EZKRpm, AxisTables::EZKRpmGT);
    EXPECT_EQ(&state.PlotContext().FuelAdjustment, &state.Fuel.Adjustments);
}

}  // namespace
}  // namespace kelvane
