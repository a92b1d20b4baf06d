#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/MapAxes.h"

namespace kelvane {

// How far the plot ranges may be widened by dragging in the margins or
// zooming with the wheel: to 7000 rpm and load 500 at least, to the top of
// the fuel map's load axis, and to the largest included sample.
struct TRangeLimits {
    double MaxRpm = 7000;
    double MaxLoad = 500;
};
TRangeLimits RangeLimits(const TLogData& logData, const TMapAxis& lhLoadAxis);

// A drag in a margin rescales one axis so that the value under the press
// point follows the mouse. Distances are measured from the plot's top (load)
// or left edge (engine speed); length is the plot's height or width. Moves
// at or past either edge leave the ranges as they were.
struct TMarginDrag {
    double PressDistance = 0;
    double Distance = 0;
    double Length = 0;
};

// The load drag rescales both views at once: the fuel map's load within
// 0 .. limits.MaxLoad, the EZK view's load rounded to whole percents within
// its full range.
TPlotRanges DragLoadRanges(const TPlotRanges& start, const TMarginDrag& drag, const TRangeLimits& limits);
// Engine speed, rounded to whole rpm, within 0 .. limits.MaxRpm.
TPlotRanges DragRpmRanges(const TPlotRanges& start, const TMarginDrag& drag, const TRangeLimits& limits);

// The wheel zooms about a value: factor below 1 zooms in. The engine speed,
// the load of the view in force, or both, within the drags' limits.
enum class TZoomAxes { Both, Rpm, Load };
struct TZoom {
    double Rpm = 0;   // value under the cursor
    double Load = 0;  // in the view's own load (PlotMaf or load percent)
    double Factor = 1;
    TZoomAxes Axes = TZoomAxes::Both;
    bool Ezk = false;
};
TPlotRanges ZoomedRanges(const TPlotRanges& ranges, const TZoom& zoom, const TRangeLimits& limits);

}  // namespace kelvane
