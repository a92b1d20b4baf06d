#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapGrid.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/PlotContext.h"

namespace kelvane {

// Axes and bounds of a plausible engine, the adjustment maps at "no change",
// and default display options.
struct TPlotFixture {
    TDisplayOptions Options;
    TMapAxis LhRpm{500,  700,  1000, 1300, 1600, 2000, 2400, 2800,
                   3200, 3600, 4000, 4500, 5000, 5500, 6000, 6500};
    TMapAxis LhLoad{};
    TMapAxis EzkRpm{};
    TMapAxis EzkLoad{};
    TCellBounds LhRpmBounds{}, LhLoadBounds{}, EzkRpmBounds{}, EzkLoadBounds{};
    TMapGrid FuelAdjustment;
    TMapGrid IgnitionAdjustment;

    TPlotFixture() {
        for (int k = 0; k < MapSize; ++k) {
            LhLoad[k] = 100 + 60.0 * k;
            EzkRpm[k] = 600 + 400.0 * k;
            EzkLoad[k] = 100.0 * k / 15;
        }
        Rebound();
        FuelAdjustment.Fill(1.0);
        IgnitionAdjustment.Fill(0.0);
    }

    void Rebound() {
        LhRpmBounds = Bounds(LhRpm, 0, 100000);
        LhLoadBounds = Bounds(LhLoad, 0, 10000);
        EzkRpmBounds = Bounds(EzkRpm, 0, 6800);
        EzkLoadBounds = Bounds(EzkLoad, -3.33, 103.33);
    }

    static TCellBounds Bounds(const TMapAxis& axis, double low, double high) {
        TCellBounds b{};
        b[0] = low;
        for (int k = 1; k < MapSize; ++k) b[k] = (axis[k - 1] + axis[k]) / 2;
        b[MapSize] = high;
        return b;
    }

    TPlotContext Context() const {
        return {Options,      LhRpm,         LhLoad,         LhRpmBounds,       LhLoadBounds,
                EzkRpmBounds, EzkLoadBounds, FuelAdjustment, IgnitionAdjustment};
    }

    // An included sample with a measured AFR.
    static TLogDataEntry Sample(double rpm, double plotMaf, double load, double afr) {
        TLogDataEntry e;
        e.Rpm = rpm;
        e.PlotMaf = plotMaf;
        e.Load = load;
        e.SmoothedAfr = afr;
        e.Afr = afr;
        e.AfrPresent = 1;
        e.Included = 1;
        return e;
    }
};

}  // namespace kelvane
