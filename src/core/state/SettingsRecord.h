#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/logdata/FilterSettings.h"
#include "core/maps/EngineSetup.h"
#include "core/maps/MapAxes.h"

namespace kelvane {

// Selected limits of the plot ("Select:").
struct TPlotLimits {
    double MinRpm = 0;
    double MaxRpm = 6600;
    double MinMaf = 28;
    double MaxMaf = 387;

    bool operator==(const TPlotLimits&) const = default;
};

struct TKnockLimit {
    double MaxRetard = 0;
    int MaxCylinders = 0;

    bool operator==(const TKnockLimit&) const = default;
};

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
    TPlotLimits PlotLimits;
    TFilterSettings ActiveFilters = FilterSectionDefaults();
    TFilterSettings StoredFilters = FilterSectionDefaults();
    int AfrSmoothing = DefaultAfrSmoothing;
    int AdjustSmoothing = DefaultAdjustSmoothing;
    std::array<TKnockLimit, 2> KnockLimits{{{3.0, 3}, {6.0, 6}}};
    bool CellCursor = true;
    std::filesystem::path ProjectFolder;
    std::string ProjectName;
    std::string SessionName;
    std::vector<std::filesystem::path> RecentFiles;  // newest first

    bool operator==(const TSettings&) const = default;
};

}  // namespace kelvane
