#pragma once

#include "core/maps/EngineSetup.h"
#include "core/maps/MapAxes.h"
#include "core/maps/MapGrid.h"

namespace kelvane {

// The simulated car's engine: what it really needs, over the axes of its
// ECUs. The fuel need is held as the LH map values that give 14.7 with no
// O2 trim; fuel delivered follows (map value + 512), as the LH reads its map.
struct TEngineModel {
    TEngineSetup Setup;
    TMapAxes Axes;
    TMapGrid TrueFuel;        // LH map value for 14.7, over the LH axes
    TMapGrid KnockThreshold;  // largest knock-free advance in degrees, over the EZK axes
    TMapGrid SoundIgnition;   // an ignition map with a margin below the threshold
};

TEngineModel MakeEngineModel(const TEngineSetup& setup);

// Bilinear between breakpoints, the edge values held beyond the axes.
double Interpolate(const TMapGrid& grid, const TMapAxis& rpmAxis, const TMapAxis& loadAxis, double rpm,
                   double load);

// Open-loop AFR of a fuel map value against the true need at the same place.
double OpenLoopAfr(double trueValue, double mapValue);

// The map value with its fuel scaled by factor (LH values are offset by 512).
double ScaleFuelValue(double mapValue, double factor);

}  // namespace kelvane
