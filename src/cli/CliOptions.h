#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/maps/EngineSetup.h"
#include "core/maps/MapSets.h"
#include "core/plot/Selection.h"

namespace kelvane::cli {

enum class TCommand { Help, Log, Cells, Bin, Map, AdjustFuel, AdjustIgnition };

struct TCliOptions {
    TCommand Command = TCommand::Help;
    bool Summary = false;
    TEngineSetup Setup{TLHVersion::LH23, TLHConfig::Maf, TEZKVersion::S4};
    int AfrSmoothing = 3;
    bool FiltersEnabled = true;
    bool PlotAfr = true;
    bool PlotO2Adj = true;
    bool EzkView = false;
    std::vector<std::string> Files;  // one open, as the program's command line
    // Each "--then FILE..." is a later "add to plot" open of its own.
    std::vector<std::vector<std::string>> LaterOpens;

    // The adjustments: the reference map file and the region of both.
    std::string Reference;
    TCellRegion Region = WholeGrid;
    // adjust-fuel: the reference's source, one target AFR or a target map
    // file (neither: 14.7), and a smoothing pass's widths.
    TLHMapSource Source = TLHMapSource::Text;
    std::optional<double> TargetAfr;
    std::string TargetMap;
    struct TWidths {
        double Vertical;
        double Horizontal;
    };
    std::optional<TWidths> Smooth;
    // adjust-ignition: the limits as typed into the window's boxes.
    std::string MaxCylinders = "3";
    std::string MaxRetard = "1";
    bool IncludeAdjustments = false;
};

struct TParseResult {
    bool Ok = false;
    std::string Error;  // what was wrong, for a usage error
    TCliOptions Options;
};

TParseResult ParseArguments(const std::vector<std::string>& arguments);

extern const char* const UsageText;

}  // namespace kelvane::cli
