#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/logdata/FilterSettings.h"
#include "core/logdata/RecentFiles.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapAxes.h"
#include "core/plot/KnockLimits.h"

namespace kelvane {

// Defaults of section "Filter" of the main file: unlike a project's defaults
// they leave the three limits off.
constexpr TFilterSettings FilterSectionDefaults() {
    TFilterSettings filters;
    filters.MaxAfr = 0;
    filters.MaxAfrEnabled = false;
    filters.MaxRpmSlope = 0;
    filters.MaxRpmSlopeEnabled = false;
    filters.MaxMafSlope = 0;
    filters.MaxMafSlopeEnabled = false;
    filters.InhibitBefore = 0;
    filters.InhibitAfter = 0;
    return filters;
}

constexpr int DefaultAdjustSmoothing = 2;
constexpr int MinPlotPointSize = 2;

// The settings the main window holds, with the values a first run gives.
struct TSettings {
    TEngineSetup EngineSetup;
    TScaleMode ScaleMode = TScaleMode::Default;
    int PlotPointSize = 6;
    TPlotRanges PlotLimits = DefaultPlotLimits;  // the selected limits ("Select:")
    TFilterSettings ActiveFilters = FilterSectionDefaults();
    TFilterSettings StoredFilters = FilterSectionDefaults();
    int AfrSmoothing = DefaultAfrSmoothing;
    int AdjustSmoothing = DefaultAdjustSmoothing;
    TKnockLimits KnockLimits = DefaultKnockLimits;
    bool CellCursor = true;
    std::filesystem::path ProjectFolder;
    std::string ProjectName;
    std::string SessionName;
    TRecentFiles RecentFiles;

    bool operator==(const TSettings&) const = default;
};

}  // namespace kelvane
