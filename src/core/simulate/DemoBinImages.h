#pragma once

#include "core/maps/BinImageBytes.h"
#include "core/maps/MapGrid.h"

namespace kelvane {

// Device images as the logging device keeps them, holding the given maps
// over the given axes (the RPM axes as near as their step bytes allow).
// LH: the "Cat" map in use, MAF sensor. EZK: the map in all three sets.
TBinBytes MakeLHDeviceImage(const TMapGrid& fuel, const TMapAxis& rpmAxis, const TMapAxis& loadAxis);
TBinBytes MakeEZKDeviceImage(const TMapGrid& ignition, const TMapAxis& rpmAxis);

}  // namespace kelvane
