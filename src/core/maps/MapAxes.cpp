#include "core/maps/MapAxes.h"

#include <cstddef>

namespace kelvane {

TCellBounds CellBoundsOf(const TMapAxis& axis, double first, double last) {
    TCellBounds bounds{};
    bounds[0] = first;
    for (std::size_t k = 1; k < axis.size(); ++k) bounds[k] = (axis[k - 1] + axis[k]) / 2;
    bounds[MapSize] = last;
    return bounds;
}

TPlotRanges AutoPlotRanges(const TEngineSetup& setup, const TMapAxis& lhLoad) {
    TPlotRanges ranges;
    ranges.MinRpm = 0;
    ranges.MaxRpm = setup.EZKVersion == TEZKVersion::GT ? 6900 : 6600;
    ranges.MinLoad = lhLoad[0] - (lhLoad[1] - lhLoad[0]) / 2;
    ranges.MaxLoad = lhLoad[15] + (lhLoad[15] - lhLoad[14]) / 2;
    return ranges;
}

bool AutoRangesReplacePlotRanges(TScaleMode scaleChoice, bool samplesLoaded) {
    return scaleChoice == TScaleMode::Default || (scaleChoice == TScaleMode::Automatic && !samplesLoaded);
}

namespace {

const TMapAxis& LH23LoadTable(TLHConfig lhConfig) {
    switch (lhConfig) {
        case TLHConfig::HexaMaf:
            return AxisTables::LH23LoadHexaMaf;
        case TLHConfig::Alpha:
            return AxisTables::LH23LoadAlpha;
        case TLHConfig::Map:
            return AxisTables::LH23LoadMap;
        default:
            return AxisTables::LH23LoadMaf;
    }
}

}  // namespace

TMapAxes RecomputeAxes(const TEngineSetup& setup, TLHMapSource lhMapSource, const TBinAxes& binAxes,
                       const TPlotScaleState& scale) {
    TMapAxes axes;
    if (setup.LHVersion == TLHVersion::LH22) {
        axes.LHRpm = AxisTables::LH22Rpm;
        axes.LHLoad =
            setup.LHConfig == TLHConfig::HexaMaf ? AxisTables::LH22LoadHexaMaf : AxisTables::LH22LoadMaf;
    } else if (binAxes.LHRpm && binAxes.LHLoad) {
        axes.LHRpm = *binAxes.LHRpm;
        axes.LHLoad = *binAxes.LHLoad;
    } else {
        axes.LHRpm = AxisTables::LH23Rpm;
        axes.LHLoad = LH23LoadTable(setup.LHConfig);
    }

    if (binAxes.EZKRpm)
        axes.EZKRpm = *binAxes.EZKRpm;
    else
        axes.EZKRpm = setup.EZKVersion == TEZKVersion::GT ? AxisTables::EZKRpmGT : AxisTables::EZKRpmS4;
    axes.EZKLoad = AxisTables::EZKLoad;

    axes.LHRpmBounds = CellBoundsOf(axes.LHRpm, BoundEnds::LHRpmFirst, BoundEnds::LHRpmLast);
    axes.LHLoadBounds = CellBoundsOf(axes.LHLoad, BoundEnds::LHLoadFirst, BoundEnds::LHLoadLast);
    axes.EZKRpmBounds = CellBoundsOf(axes.EZKRpm, BoundEnds::EZKRpmFirst, BoundEnds::EZKRpmLast);
    axes.EZKLoadBounds = CellBoundsOf(axes.EZKLoad, BoundEnds::EZKLoadFirst, BoundEnds::EZKLoadLast);

    axes.FuelLimits = FuelLimitsFor(setup.LHVersion, lhMapSource);
    axes.AutoRangesApply = AutoRangesReplacePlotRanges(scale.ScaleChoice, scale.SamplesLoaded);
    return axes;
}

}  // namespace kelvane
