#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {

// The MAF signal carried from the standard LH load breakpoints onto the MAP system's
// breakpoints, piecewise linear, extrapolating along the first and last segment.
double MapSystemPlotMaf(double mafSignal);

// Sets PlotMaf of every sample: carried onto the MAP system's scale for LH configuration
// TLHConfig::Map, the MAF signal itself otherwise. A missing MAF signal stays missing.
void PlotMafPass(TLogData& data, TLHConfig lhConfig);

}  // namespace kelvane
