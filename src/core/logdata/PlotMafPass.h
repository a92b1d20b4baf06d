#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {

// The MAF signal carried from the standard LH load breakpoints onto the MAP system's
// breakpoints, piecewise linear, extrapolating along the first and last segment.
double MapSystemPlotMaf(double mafSignal);

// A sample's PlotMaf from its MAF signal.
inline double PlotMafOf(double mafSignal, TLHConfig lhConfig) {
    // Carrying a missing signal would invent a load of about -1 for logs without MAF.
    if (lhConfig != TLHConfig::Map || mafSignal == MissingValue) return mafSignal;
    return MapSystemPlotMaf(mafSignal);
}

// Sets PlotMaf of every sample: carried onto the MAP system's scale for LH configuration
// TLHConfig::Map, the MAF signal itself otherwise. A missing MAF signal stays missing.
void PlotMafPass(TLogData& data, TLHConfig lhConfig);

}  // namespace kelvane
