#pragma once

#include <cstddef>
#include <string>

#include "core/logdata/KelvaneDefs.h"
#include "core/plot/CellStatistics.h"
#include "core/plot/DisplayOptions.h"
#include "core/plot/PlotContext.h"
#include "core/plot/Selection.h"

namespace kelvane {

// A number right-aligned in a field of width characters with the given
// decimals, "." always. Decimals are dropped one by one until the text fits;
// a number that still does not fit fills the field with "*", MissingValue
// with blanks. A value that rounds to zero carries no minus sign.
std::string WidthText(double value, int width, int decimals);

// The readout of a selection's statistics: the mean plotted value, and for
// more than one sample its spread and count; in the ignition view the worst
// knock. Empty when nothing was counted or neither AFR nor O2 adjustment is
// plotted.
std::string StatisticsText(const TCellStatistics& statistics, const TDisplayOptions& options);

// The status bar's selection readout: the statistics of the selection, or the
// point readout when it is exactly one sample. Empty without samples or
// selection, and for cells picked in the other view.
std::string SelectionStatusText(const TLogData& logData, const TSelection& selection,
                                const TPlotContext& context);

// The statistics readout of one cell, shown while the mouse is over it.
std::string HoverCellText(const TLogData& logData, int row, int column, const TPlotContext& context);

// How one sample's plotted value comes about: its AFR, the O2 adjustment and
// the fuel adjustment in force, then its knock when it is a knock event.
// Empty for an index naming no sample.
std::string PointReadout(const TLogData& logData, std::size_t index, const TPlotContext& context);

// Where a sample comes from: its log file's name and its time, so the moment
// can be found in the drive ("Run07.txt  at 123.45 s"). Empty for an index
// naming no sample.
std::string PointOrigin(const TLogData& logData, std::size_t index);

// The values under the mouse for the status bar: engine speed and the load of
// the view ("MAF" on the fuel map, "Load" on the ignition map).
std::string CursorValuesText(TPlotView view, double rpm, double load);

}  // namespace kelvane
