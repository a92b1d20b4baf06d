#include <gtest/gtest.h>

#include "core/logdata/PlotMafPass.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {
namespace {

TEST(PlotMafPassTest, MapSystemBreakpointsAndExtrapolation) {
    const std::pair<double, double> cases[] = {
        {92, 22},      {100, 24}, {104, 26}, {1972, 243}, {1460, 222},
        {1716, 232.5}, {84, 20},  {0, -1},   {2484, 264}, {300, 88.75},
    };
    for (const auto& [maf, expected] : cases) EXPECT_DOUBLE_EQ(MapSystemPlotMaf(maf), expected) << maf;
}

TEST(PlotMafPassTest, OtherConfigurationsUseTheSignal) {
    TLogData data;
    TLogDataEntry e;
    e.MafSignal = 300;
    data.Entries = {e, TLogDataEntry{}};
    for (TLHConfig config : {TLHConfig::Unset, TLHConfig::Maf, TLHConfig::HexaMaf, TLHConfig::Alpha}) {
        PlotMafPass(data, config);
        EXPECT_EQ(data[0].PlotMaf, 300);
        EXPECT_EQ(data[1].PlotMaf, MissingValue);
    }
    PlotMafPass(data, TLHConfig::Map);
    EXPECT_DOUBLE_EQ(data[0].PlotMaf, 88.75);
    EXPECT_EQ(data[1].PlotMaf, MissingValue);  // no MAF signal: no made-up load
}

}  // namespace
}  // namespace kelvane
