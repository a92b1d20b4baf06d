#pragma once

#include <optional>

#include "core/maps/EngineSetup.h"
#include "core/maps/MapGrid.h"
#include "core/maps/MapSets.h"

namespace kelvane {

// The default axis tables, index 0 first.
namespace AxisTables {
constexpr TMapAxis LH23Rpm{500,  700,  990,  1200, 1400, 1700, 1800, 2000,
                           2400, 2800, 3300, 3700, 4000, 4800, 5600, 6200};
constexpr TMapAxis LH23LoadMaf{36, 52, 68, 84, 100, 116, 132, 164, 180, 196, 212, 228, 260, 324, 450, 516};
constexpr TMapAxis LH23LoadHexaMaf{30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 180, 210, 236};
constexpr TMapAxis LH23LoadAlpha{92,  100, 108, 116, 128, 140, 156,  188,
                                 220, 284, 348, 476, 604, 948, 1460, 1972};
constexpr TMapAxis LH23LoadMap{22, 24, 28, 31, 35, 40, 47, 57, 67, 85, 100, 127, 148, 188, 222, 243};
constexpr TMapAxis LH22Rpm{500,  660,  930,  1200, 1400, 1600, 1800, 2000,
                           2300, 2700, 3300, 3600, 4100, 4700, 5500, 6000};
constexpr TMapAxis LH22LoadMaf{72,  104, 136, 168, 200, 232, 264, 328,
                               360, 392, 456, 520, 648, 776, 904, 1032};
constexpr TMapAxis LH22LoadHexaMaf{64,  80,  96,  128, 144, 160, 176, 208,
                                   224, 240, 272, 304, 336, 400, 464, 528};
constexpr TMapAxis EZKRpmGT{560,  680,  870,  1200, 1400, 1900, 2400, 3000,
                            3200, 3400, 3900, 4200, 4800, 5300, 5800, 6200};
constexpr TMapAxis EZKRpmS4{560,  680,  870,  1200, 1400, 1900, 2400, 3000,
                            3200, 3400, 3700, 3900, 4400, 4900, 5300, 6000};
constexpr TMapAxis EZKLoad{0,     6.67, 13.34, 20,    26.67, 33.33, 40,    46.67,
                           53.33, 60,   66.67, 73.33, 80,    86.67, 93.33, 100};
}  // namespace AxisTables

// Fixed outer cell bounds (element 0 / element 16) of each axis.
namespace BoundEnds {
constexpr double LHRpmFirst = 0, LHRpmLast = 100000;
constexpr double LHLoadFirst = 0, LHLoadLast = 10000;
constexpr double EZKRpmFirst = 0, EZKRpmLast = 6800;
constexpr double EZKLoadFirst = -3.33, EZKLoadLast = 103.33;
}  // namespace BoundEnds

// Plot scale choice ("Auto Scale", "Full Scale", the selected limits).
enum class TScaleMode : int { Automatic = 0, Default = 1, Manual = 2 };

// The EZK view's full vertical range, in percent load.
constexpr double EzkMinLoad = -3.33;
constexpr double EzkMaxLoad = 103.33;

// What the plot shows: engine speed across, the fuel map's load (LH view)
// and the ignition map's load percent (EZK view) down.
struct TPlotRanges {
    double MinRpm = 0;
    double MaxRpm = 0;
    double MinLoad = 0;
    double MaxLoad = 0;
    double EzkMin = EzkMinLoad;
    double EzkMax = EzkMaxLoad;
    bool operator==(const TPlotRanges&) const = default;
};

// The plot limits of a program that has stored none ("Select:" in Options).
inline constexpr TPlotRanges DefaultPlotLimits{0, 6600, 28, 387};

// Axes read out of the current bin images; empty while none has been opened.
// The LH pair is used only when both are present.
struct TBinAxes {
    std::optional<TMapAxis> LHRpm;
    std::optional<TMapAxis> LHLoad;
    std::optional<TMapAxis> EZKRpm;
};

// What the plot knows when the axes are rebuilt; decides whether the
// automatic ranges replace the plot ranges.
struct TPlotScaleState {
    TScaleMode ScaleChoice = TScaleMode::Default;
    bool SamplesLoaded = false;
};

struct TMapAxes {
    TMapAxis LHRpm{};
    TMapAxis LHLoad{};
    TMapAxis EZKRpm{};
    TMapAxis EZKLoad{};
    TCellBounds LHRpmBounds{};
    TCellBounds LHLoadBounds{};
    TCellBounds EZKRpmBounds{};
    TCellBounds EZKLoadBounds{};
    TFuelLimits FuelLimits{};
    // True when the automatic ranges (AutoPlotRanges) become the plot ranges
    // (default scale, or automatic scale with no sample loaded).
    bool AutoRangesApply = false;
};

// Midpoints between neighbours, with the given outer ends.
TCellBounds CellBoundsOf(const TMapAxis& axis, double first, double last);

// RPM to 6900 for the GT ignition, else 6600; load over the full extent of
// the LH load cells.
TPlotRanges AutoPlotRanges(const TEngineSetup& setup, const TMapAxis& lhLoad);

bool AutoRangesReplacePlotRanges(TScaleMode scaleChoice, bool samplesLoaded);

// Rebuilds every axis value from the engine setup, the LH map source and the
// axes of the current bin images. LH 2.2 never takes axes from a bin image.
TMapAxes RecomputeAxes(const TEngineSetup& setup, TLHMapSource lhMapSource, const TBinAxes& binAxes = {},
                       const TPlotScaleState& scale = {});

}  // namespace kelvane
