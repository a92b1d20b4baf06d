#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/logdata/KelvaneDefs.h"
#include "core/maps/EngineSetup.h"

namespace kelvane {

// The texts and rules of the two log grids: the main window's log panel
// (one row per sample, the time column and the header kept in view) and the
// shorter grid of the "Data Log" window.

// A grid without a plot shows this many empty rows.
inline constexpr int EmptyGridRows = 100;

// Extra pixels a column gets beyond its sizing text.
inline constexpr int GridColumnPadding = 10;

struct TLogGridColumn {
    std::string Header;
    std::string SizingText;  // the column is this text's width plus the padding
    bool Shown = true;
};

// The sizing text of a grid's time column: "999.99", or the longest time of
// the list when a drive runs past it.
std::string TimeSizingText(const TLogData& logData);

// The main grid's 19 columns: time, RPM, MAF (MAP), MAF% (MAP%), AFR, O2adj,
// InjPW, Inj%, Th, Load, Kct, KR1 .. KR8. A column is shown when a loaded
// file has its log column.
inline constexpr int MainGridColumnCount = 19;
std::vector<TLogGridColumn> MainGridColumns(const TColumnSet& present, TLHConfig config);
std::string MainGridText(const TLogDataEntry& entry, int column, TLHConfig config);

// The "Data Log" window's 7 columns: the measured and the smoothed AFR side by side.
inline constexpr int LogWindowColumnCount = 7;
std::vector<TLogGridColumn> LogWindowColumns();
std::string LogWindowText(const TLogDataEntry& entry, int column);

// The top sample of a grid after it was asked to show a sample: unchanged
// while the sample is among the visible rows, otherwise the sample comes to
// about the middle.
int GridTopSampleShowing(int sample, int topSample, int visibleRows);
// The "Data Log" window follows the selection with the sample before the
// one marked at its top.
int LogWindowTopSample(std::size_t marked);

// The log panel's new width once the grid's columns are sized: narrowed to
// the columns' total, or widened towards it but to no more than 40 % of the
// main window's client width. Each column counts its width and its grid line.
int LogPanelWidth(int panelWidth, int gridClientWidth, const std::vector<int>& shownColumnWidths,
                  int mainClientWidth);

}  // namespace kelvane
