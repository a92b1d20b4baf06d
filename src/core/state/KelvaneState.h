#pragma once

#include <optional>

#include "core/logdata/LogState.h"
#include "core/maps/BinCurrentImage.h"
#include "core/maps/MapAxes.h"
#include "core/maps/MapSets.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/GraphRange.h"
#include "core/plot/NearestSample.h"
#include "core/plot/PlotContext.h"
#include "core/plot/PlotDisplay.h"
#include "core/plot/Selection.h"
#include "core/state/SettingsRecord.h"

namespace kelvane {

// Worked out on first use after a change and kept until the next change of
// what they depend on (UpdateDerivedData empties them).
struct TDerivedCaches {
    TNearestSampleIndex Nearest;
    std::optional<TCellStatisticsGrid> CellStatistics;
};

// Everything the main window owns for the one loaded plot. Tool windows get
// a reference to it; the rules that work on it live beside their data.
struct TKelvaneState {
    TLogState Logs;
    TSettings Settings;  // engine setup, filters, smoothing, plot limits ...
    TFuelMapSet Fuel;
    TIgnitionMapSet Ignition;
    TCurrentLHImage LHImage;
    TCurrentEZKImage EZKImage;
    TMapAxes Axes = kelvane::RecomputeAxes(TEngineSetup{}, TLHMapSource::Text);
    TDisplayOptions Display;
    TPlotDisplay PlotDisplay;
    TPlotRanges PlotRanges;  // what the plot shows: set up with the axes, fitted to the logs
    TSelection Selection;
    TGraphRange Graph;  // the samples the data graph shows
    // Derived: worked out again by UpdateDerivedData after each change.
    TMapGrid MeanAfrGrid{};
    TDerivedCaches Caches;

    const TEngineSetup& Setup() const { return Settings.EngineSetup; }
    TEngineSetup& Setup() { return Settings.EngineSetup; }

    // Rebuilds the axes from the engine setup, the LH reference's source and
    // the current bin images.
    void RecomputeAxes() {
        TBinAxes binAxes;
        binAxes.LHRpm = LHImage.RpmAxis();
        binAxes.LHLoad = LHImage.LoadAxis();
        binAxes.EZKRpm = EZKImage.RpmAxis();
        Axes = kelvane::RecomputeAxes(Setup(), Fuel.Source, binAxes,
                                      TPlotScaleState{Settings.ScaleMode, !Logs.Data.Empty()});
    }

    // Changes the selection with the samples' Selected flags kept in step.
    TSelectionEditor SelectionEditor() { return TSelectionEditor(Selection, Logs.Data, PlotContext()); }

    TPlotContext PlotContext() const {
        return TPlotContext{
            Display,           Axes.LHRpm,         Axes.LHLoad,      Axes.LHRpmBounds,    Axes.LHLoadBounds,
            Axes.EZKRpmBounds, Axes.EZKLoadBounds, Fuel.Adjustments, Ignition.Adjustments};
    }
};

}  // namespace kelvane
